#pragma once

#include <memory>

class BaseDevice;
class DeviceWidget;
class QObject;
class QWidget;

// Where the device kinds get their production and service panels from. The panels are widgets and
// live in the user interface, which the devices layer must not depend on (a headless front end links
// it without any widget library), so the user interface installs an implementation at start-up. Until
// one is installed, or for a kind it has no panel for, the kinds have no panels.
//
// GUI thread only.
class DevicePanelFactory
{
public:
    enum class Role
    {
        Production,
        Service
    };

    // The panel as the kind keeps it: `widget` to hand out, `object` (the same panel as a QObject) to
    // notice when it is gone. Both null when there is none.
    struct Panel
    {
        DeviceWidget* widget = nullptr;
        QObject* object = nullptr;
    };

    virtual ~DevicePanelFactory();

    // Creates the `role` panel for the kind of `device` with `parent`, already handed the device
    // (setDevice). Returns an empty Panel when that kind has no such panel.
    virtual Panel createPanel(BaseDevice* device, Role role, QWidget* parent) = 0;

    // Replaces the installed factory (null removes it).
    static void install(std::unique_ptr<DevicePanelFactory> factory);
    static DevicePanelFactory* installed();
};
