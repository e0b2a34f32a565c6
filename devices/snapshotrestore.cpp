#include "devices/snapshotrestore.h"

#include "core/englishscope.h"
#include "devices/basedevice.h"
#include "devices/snapshotguard.h"
#include "devices/snapshotstore.h"
#include "options/optionlayout.h"
#include "options/storageids_general.h"
#include "usb/usbmanager.h"

#include <QHash>

#include <libusb.h>

namespace {
constexpr int kReturnTimeoutMs = 30000;

QString hexId(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}
} // namespace

SnapshotRestore::Check SnapshotRestore::check(const OptionsSnapshot& snapshot, const BaseDevice& device)
{
    if (snapshot.kind != device.kindKey()) {
        return Check::OtherKind;
    }
    return snapshot.serial == device.serial() ? Check::Matches : Check::OtherSerial;
}

SnapshotRestore::SnapshotRestore(const OptionsSnapshot& target, BaseDevice* device, SnapshotStore* store,
                                 UsbManager* manager, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("SnapshotRestore")), m_target(target), m_device(device),
      m_store(store), m_manager(manager)
{
    m_returnTimer.setSingleShot(true);
    m_returnTimer.setInterval(kReturnTimeoutMs);
    connect(&m_returnTimer, &QTimer::timeout, this, [this] {
        finish(kDidNotComeBack, [] {
            return tr("The instrument did not come back after its reboot. Plug it in again and check its "
                      "options.");
        });
    });
}

void SnapshotRestore::prepare()
{
    if (m_state != State::Idle) {
        return;
    }
    if (!m_device) {
        finish(kRefused, [] { return tr("No instrument is connected."); });
        return;
    }
    if (check(m_target, *m_device) == Check::OtherKind) {
        finish(kRefused, [this] {
            return tr("This snapshot belongs to a %1, not to this %2; it is not restored.")
                .arg(m_target.kind, m_device->kindKey());
        });
        return;
    }
    QStringList misfits;
    for (const OptionsSnapshot::Option& option : qAsConst(m_target.options)) {
        const QString misfit = option.value.isEmpty()
                                   ? QString()
                                   : OptionLayout::misfit(m_device->optionFamily(), option.id, option.value);
        if (!misfit.isEmpty()) {
            misfits << misfit;
        }
    }
    if (!misfits.isEmpty()) {
        finish(kRefused, [&misfits] {
            return tr("This snapshot is not restored; nothing was changed: %1").arg(misfits.join("; "));
        });
        return;
    }
    m_state = State::Preparing;
    emit progress(tr("Reading the instrument's current options..."));
    m_guard = new SnapshotGuard(m_device, m_store, this);
    connect(m_guard, &SnapshotGuard::succeeded, this,
            [this](const QString& path, const OptionsSnapshot& now) {
                m_beforePath = path;
                m_changes.clear();
                m_identityChanges.clear();
                for (const OptionsSnapshot::Option& option : m_target.differences(now)) {
                    if (!option.value.isEmpty()) {
                        (OptionLayout::isIdentity(option.id) ? m_identityChanges : m_changes).append(option);
                    }
                }
                m_state = State::Prepared;
                emit prepared(changes());
            });
    connect(m_guard, &SnapshotGuard::failed, this, [this] {
        finish(kNoSnapshot, [this] { return tr("Nothing was changed: %1").arg(m_guard->reason()); });
    });
    m_guard->start();
}

QList<OptionsSnapshot::Option> SnapshotRestore::changes() const
{
    return m_includeIdentity ? m_changes + m_identityChanges : m_changes;
}

void SnapshotRestore::apply()
{
    if (m_state != State::Prepared) {
        return;
    }
    m_written = changes();
    if (m_written.isEmpty()) {
        finish(0, [] {
            return tr("The instrument already holds every value of the snapshot; nothing was written.");
        });
        return;
    }
    if (!m_device || !m_device->isConnected()) {
        finish(kRefused, [] { return tr("The instrument went away; nothing was written."); });
        return;
    }
    QHash<quint32, QByteArray> values;
    for (const OptionsSnapshot::Option& option : qAsConst(m_written)) {
        values.insert(option.id, option.value);
    }
    // The instrument comes back with the serial written to it, if one is.
    m_serial = m_device->serial();
    for (const OptionsSnapshot::Option& option : qAsConst(m_written)) {
        if (option.id == quint32(StorageIDs_general::Options::e_sid_DeviceSerialNumber)) {
            const int end = option.value.indexOf('\0');
            m_serial = QString::fromLatin1(end < 0 ? option.value : option.value.left(end));
        }
    }
    m_chipId = m_device->chipId();
    m_state = State::Writing;
    follow(m_device);
    if (m_manager) {
        connect(m_manager, &UsbManager::deviceAdded, this, [this](UsbBusDeviceAddress address) {
            if (m_manager) {
                deviceArrived(qSharedPointerObjectCast<BaseDevice>(m_manager->device(address)).data());
            }
        });
    }
    logger()->info("Restoring {} options of snapshot {} {} {}", values.size(), m_target.kind, m_target.serial,
                   m_target.takenAt.toString(Qt::ISODate));
    emit progress(tr("Writing %n option(s)...", nullptr, values.size()));
    Operation* send = m_device->sendDeviceOptions(values);
    send->setPurpose(Operation::Purpose::Restore);
    followWrite(send);
}

void SnapshotRestore::follow(BaseDevice* device)
{
    auto gone = [this] {
        if (m_state == State::Writing && m_committed) {
            waitForReturn(); // the reboot: the instrument comes back as a new device
        } else if (m_state == State::Writing) {
            finish(LIBUSB_ERROR_NO_DEVICE,
                   [] { return tr("The instrument went away before the values were committed."); });
        } else if (m_state == State::ReadingBack) {
            finish(LIBUSB_ERROR_NO_DEVICE,
                   [] { return tr("The instrument went away while the values were read back."); });
        }
    };
    connect(device, &BaseDevice::disconnected, this, gone);
    connect(device, &QObject::destroyed, this, gone);
}

void SnapshotRestore::followWrite(Operation* send)
{
    // Set, then store, then restart: each step is the follow-up of the one before.
    connect(send, &Operation::finished, this, [this, send](int result) {
        if (m_state != State::Writing) {
            return;
        }
        if (result != 0) {
            finish(result, [send] {
                return tr("The values could not be sent; nothing was committed: %1").arg(send->message());
            });
            return;
        }
        Operation* store = send->followUp();
        if (!store) {
            return;
        }
        connect(store, &Operation::finished, this, [this, store](int stored) {
            if (m_state != State::Writing) {
                return;
            }
            if (stored != 0) {
                finish(stored,
                       [store] { return tr("The values could not be committed: %1").arg(store->message()); });
                return;
            }
            m_committed = true;
            emit progress(tr("Restarting the instrument..."));
            if (Operation* reboot = store->followUp()) {
                connect(reboot, &Operation::finished, this, [this] {
                    if (m_committed) {
                        waitForReturn();
                    }
                });
            }
        });
    });
}

void SnapshotRestore::waitForReturn()
{
    if (m_state != State::Writing) {
        return;
    }
    m_state = State::WaitingForReturn;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    m_returnTimer.start();
}

void SnapshotRestore::deviceArrived(BaseDevice* device)
{
    if (m_state != State::WaitingForReturn && !(m_state == State::Writing && m_committed)) {
        return;
    }
    if (!device || device == m_device || device->kindKey() != m_target.kind) {
        return;
    }
    // Which instrument it is shows only once its identity was read.
    const QPointer<BaseDevice> candidate = device;
    connect(device, &BaseDevice::identityChanged, this,
            [this, candidate, chipId = device->chipId()](const DeviceIdentity& identity) mutable {
                if (candidate && identity.chipId != chipId) {
                    chipId = identity.chipId;
                    candidateIdentified(candidate);
                }
            });
    if (!device->chipId().isEmpty()) {
        candidateIdentified(device);
    }
}

void SnapshotRestore::candidateIdentified(BaseDevice* device)
{
    if (m_state != State::WaitingForReturn && !(m_state == State::Writing && m_committed)) {
        return;
    }
    if (device->serial() != m_serial || device->chipId() != m_chipId) {
        logger()->info("{} {} arrived while {} restarted; it is left alone", device->name(), device->serial(),
                       m_serial);
        disconnect(device, nullptr, this, nullptr);
        return;
    }
    m_returnTimer.stop();
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    disconnect(device, nullptr, this, nullptr);
    m_state = State::ReadingBack;
    m_device = device;
    follow(device);
    emit progress(tr("Reading the restored values back..."));
    // Identified: the identity read came back, so the read-back follows it in the worker's queue.
    Operation* read = device->takeSnapshot();
    read->setPurpose(Operation::Purpose::Restore);
    connect(read, &Operation::finished, this, [this, read](int result) { readBack(*read, result); });
}

void SnapshotRestore::readBack(const Operation& read, int result)
{
    const OptionsSnapshot snapshot = read.snapshot();
    if (m_state != State::ReadingBack) {
        return;
    }
    if (result != 0) {
        finish(result, [&read] {
            return tr("The values were written, but could not be read back: %1").arg(read.message());
        });
        return;
    }
    QList<quint32> notTaken;
    QStringList names;
    for (const OptionsSnapshot::Option& option : qAsConst(m_written)) {
        if (!snapshot.contains(option.id) || snapshot.value(option.id) != option.value) {
            notTaken.append(option.id);
            names << (option.name.isEmpty() ? hexId(option.id) : option.name);
        }
    }
    if (notTaken.isEmpty()) {
        finish(
            0, [this] { return tr("%n option(s) restored and read back.", nullptr, m_written.size()); },
            notTaken);
    } else {
        finish(
            notTaken.size(),
            [&] {
                return tr("%1 of %2 options did not take: %3")
                    .arg(notTaken.size())
                    .arg(m_written.size())
                    .arg(names.join(", "));
            },
            notTaken);
    }
}

QString SnapshotRestore::message() const
{
    return EnglishScope::active() ? m_englishMessage : m_message;
}

void SnapshotRestore::finish(int result, const std::function<QString()>& make, const QList<quint32>& notTaken)
{
    if (m_state == State::Done) {
        return;
    }
    m_state = State::Done;
    m_returnTimer.stop();
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    if (m_manager) {
        disconnect(m_manager, nullptr, this, nullptr);
    }
    m_message = make();
    m_englishMessage = EnglishScope::english(make);
    const QString& message = m_message;
    if (result < 0) {
        logger()->error("Restore failed: {} ({})", message, result);
    } else if (result > 0) {
        logger()->warn("Restore finished with warning: {}", message);
    } else {
        logger()->info("Restore finished: {}", message);
    }
    emit finished(result, message, notTaken);
}
