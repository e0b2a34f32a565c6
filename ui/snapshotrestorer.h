#pragma once

#include <QString>

#include <functional>

class BaseDevice;
class QWidget;

// The window's side of putting a snapshot back: reads the file, refuses one of another kind, asks before
// restoring one of another instrument, shows what will change and asks again (Cancel the default), then
// lets SnapshotRestore write, reboot and read back, and says how it went. Every answer belongs to the
// device the page showed when it was asked; a change of device in between cancels.
class SnapshotRestorer
{
public:
    static void start(QWidget* page, const QString& path, std::function<BaseDevice*()> currentDevice);

    // The confirmation text for `changes` lines ("name: now → snapshot"), at most `limit` of them.
    static QString changeSummary(const QStringList& changes, int limit = 15);
};
