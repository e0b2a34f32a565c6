#include "ui/snapshotfirst.h"

#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/snapshotguard.h"
#include "devices/snapshotstore.h"
#include "recording/recordingbridge.h"
#include "ui/deviceconfirmation.h"
#include "ui/devicepage.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

void SnapshotFirst::run(QWidget* page, std::function<BaseDevice*()> currentDevice,
                        std::function<void()> action)
{
    BaseDevice* device = currentDevice();
    if (!device) {
        return;
    }
    if (DevicePage::ignoredWhileBusy(device)) {
        return;
    }
    const QPointer<BaseDevice> askedFor = device;
    auto* guard = new SnapshotGuard(device, &store(), page);
    QObject::connect(guard, &SnapshotGuard::succeeded, page,
                     [guard, askedFor, currentDevice, action](QString path, OptionsSnapshot snapshot) {
                         RecordingBridge::recordSnapshotSaved(snapshot, path);
                         guard->deleteLater();
                         BaseDevice* shown = currentDevice();
                         if (!askedFor || askedFor != shown) {
                             if (shown) {
                                 shown->logger()->warn(
                                     "The device changed while its snapshot was taken; nothing was done");
                             }
                             return;
                         }
                         if (DevicePage::ignoredWhileBusy(shown)) {
                             return;
                         }
                         action();
                     });
    QObject::connect(
        guard, &SnapshotGuard::failed, page, [page, guard, askedFor, currentDevice, action](QString reason) {
            guard->deleteLater();
            if (!askedFor || askedFor != currentDevice()) {
                return; // the instrument went away: nothing to ask about
            }
            DeviceConfirmation::ask(
                page, QStringLiteral("noSnapshotQuestion"),
                QCoreApplication::translate("SnapshotFirst",
                                            "No snapshot of the instrument's settings could be taken:\n%1\n\n"
                                            "Settings and calibration lost by this step cannot be restored "
                                            "then. Go on without a snapshot?")
                    .arg(reason),
                currentDevice, action);
        });
    guard->start();
}

SnapshotStore& SnapshotFirst::store()
{
    static SnapshotStore instance(SnapshotStore::defaultFolder(), Settings::instance()->snapshotLimit());
    return instance;
}
