#pragma once

#include <functional>

class BaseDevice;
class SnapshotStore;
class QWidget;

// Puts a snapshot of the instrument's options into the snapshot folder before a page does something
// that may lose them (factory reset, firmware update, production or parameter write, language set).
// When no snapshot can be taken the user is asked whether to go on without one; Cancel is the default.
// Like every question of the pages, the outcome belongs to the device the page showed when it started:
// `action` runs only if the page still shows that device and it is idle.
class SnapshotFirst
{
public:
    static void run(QWidget* page, std::function<BaseDevice*()> currentDevice, std::function<void()> action);

    // The store the pages write to and list from (the application-data folder, the settings' limit).
    static SnapshotStore& store();
};
