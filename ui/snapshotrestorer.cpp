#include "ui/snapshotrestorer.h"

#include "devices/basedevice.h"
#include "devices/snapshotrestore.h"
#include "devices/snapshotstore.h"
#include "recording/recordingbridge.h"
#include "ui/deviceconfirmation.h"
#include "ui/devicepage.h"
#include "ui/snapshotfirst.h"
#include "usb/usbmanager.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {
void tell(QWidget* page, QMessageBox::Icon icon, const QString& name, const QString& text)
{
    auto* box = new QMessageBox(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, page);
    box->setObjectName(name);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

QString hex(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QCoreApplication::translate("SnapshotRestorer", "(empty)")
                           : QString::fromLatin1(bytes.toHex(' '));
}

void restore(QWidget* page, const QString& file, const OptionsSnapshot& target,
             std::function<BaseDevice*()> currentDevice)
{
    BaseDevice* device = currentDevice();
    if (!device) {
        return;
    }
    auto* run = new SnapshotRestore(target, device, &SnapshotFirst::store(), UsbManager::instance(), page);
    // Made while the instrument is here: it restarts, and comes back as another device object.
    const ServiceEvent restored =
        RecordingBridge::eventFor(*device, QString::fromLatin1(ServiceEvent::kSnapshotRestored));
    QObject::connect(
        run, &SnapshotRestore::prepared, page,
        [page, run, currentDevice](QList<OptionsSnapshot::Option> changes) {
            BaseDevice* shown = currentDevice();
            const QList<OptionsSnapshot::Option> identity = run->identityChanges();
            if (changes.isEmpty() && identity.isEmpty()) {
                run->apply(); // says that nothing needs writing
                return;
            }
            auto describe = [shown](const QList<OptionsSnapshot::Option>& options) {
                QStringList lines;
                for (const OptionsSnapshot::Option& option : options) {
                    const QString name = option.name.isEmpty()
                                             ? QStringLiteral("0x%1").arg(option.id, 8, 16, QLatin1Char('0'))
                                             : option.name;
                    lines << QCoreApplication::translate("SnapshotRestorer", "%1: %2 \u2192 %3")
                                 .arg(name, hex(shown ? shown->deviceOption(option.id) : QByteArray()),
                                      hex(option.value));
                }
                return SnapshotRestorer::changeSummary(lines);
            };
            QString text = QCoreApplication::translate("SnapshotRestorer",
                                                       "Restore %n setting(s) and restart the instrument?",
                                                       nullptr, changes.size());
            if (!changes.isEmpty()) {
                text += QStringLiteral("\n\n") + describe(changes);
            }
            if (!identity.isEmpty()) {
                text += QStringLiteral("\n\n") +
                        QCoreApplication::translate(
                            "SnapshotRestorer",
                            "The instrument's identity differs too; it is written only when ticked "
                            "below:") +
                        QStringLiteral("\n") + describe(identity);
            }
            const QPointer<SnapshotRestore> pending = run;
            auto* includeIdentity =
                identity.isEmpty()
                    ? nullptr
                    : new QCheckBox(QCoreApplication::translate(
                          "SnapshotRestorer", "Also restore the identity (serials, types, hardware revision, "
                                              "test results)"));
            const QPointer<QCheckBox> ticked = includeIdentity;
            QMessageBox* box = DeviceConfirmation::ask(
                page, QStringLiteral("restoreSnapshotQuestion"), text, currentDevice,
                [pending, ticked] {
                    if (pending) {
                        pending->setIncludeIdentity(ticked && ticked->isChecked());
                        pending->apply();
                    }
                },
                [pending] {
                    if (pending) {
                        pending->deleteLater();
                    }
                });
            if (includeIdentity) {
                includeIdentity->setObjectName(QStringLiteral("restoreIdentityCheck"));
                includeIdentity->setChecked(false);
                box->setCheckBox(includeIdentity);
            }
        });
    QObject::connect(
        run, &SnapshotRestore::finished, page,
        [page, run, currentDevice, restored, file](int result, QString message, QList<quint32> notTaken) {
            if (result != 0 || !run->changes().isEmpty()) {
                RecordingBridge::recordRestore(restored, *run, file, result, message, notTaken);
            }
            run->deleteLater();
            if (result == 0) {
                if (BaseDevice* shown = currentDevice()) {
                    shown->notifyUser(NotificationMessageType::Success, message);
                }
                return;
            }
            tell(page, result < 0 ? QMessageBox::Critical : QMessageBox::Warning,
                 QStringLiteral("restoreSnapshotResult"), message);
        });
    run->prepare();
}
} // namespace

void SnapshotRestorer::start(QWidget* page, const QString& path, std::function<BaseDevice*()> currentDevice)
{
    BaseDevice* device = currentDevice();
    if (!device || path.isEmpty()) {
        return;
    }
    if (DevicePage::ignoredWhileBusy(device)) {
        return;
    }
    QString error;
    const OptionsSnapshot target = SnapshotStore::load(path, &error);
    if (!target.isValid()) {
        tell(page, QMessageBox::Critical, QStringLiteral("restoreSnapshotResult"),
             QCoreApplication::translate("SnapshotRestorer", "This file cannot be restored: %1").arg(error));
        return;
    }
    switch (SnapshotRestore::check(target, *device)) {
    case SnapshotRestore::Check::OtherKind:
        tell(page, QMessageBox::Critical, QStringLiteral("restoreSnapshotResult"),
             QCoreApplication::translate(
                 "SnapshotRestorer",
                 "This snapshot was taken from a %1; the connected instrument is a %2. It is not "
                 "restored.")
                 .arg(target.kind, device->kindKey()));
        return;
    case SnapshotRestore::Check::OtherSerial:
        DeviceConfirmation::ask(
            page, QStringLiteral("otherSerialQuestion"),
            QCoreApplication::translate("SnapshotRestorer",
                                        "This snapshot was taken from instrument %1; the connected one is "
                                        "%2.\nRestore it onto this instrument anyway?")
                .arg(target.serial, device->serial()),
            currentDevice,
            [page, path, target, currentDevice] { restore(page, path, target, currentDevice); });
        return;
    case SnapshotRestore::Check::Matches:
        restore(page, path, target, currentDevice);
        return;
    }
}

QString SnapshotRestorer::changeSummary(const QStringList& changes, int limit)
{
    QStringList shown = changes.mid(0, limit);
    if (changes.size() > limit) {
        shown << QCoreApplication::translate("SnapshotRestorer", "… and %n more", nullptr,
                                             int(changes.size()) - limit);
    }
    return shown.join(QLatin1Char('\n'));
}
