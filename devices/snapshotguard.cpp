#include "devices/snapshotguard.h"

#include "devices/basedevice.h"
#include "devices/snapshotstore.h"
#include "options/optionssnapshot.h"

SnapshotGuard::SnapshotGuard(BaseDevice* device, SnapshotStore* store, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("SnapshotGuard")), m_device(device), m_store(store)
{
}

void SnapshotGuard::start()
{
    if (m_started) {
        return;
    }
    m_started = true;
    if (!m_device || !m_device->isConnected()) {
        finishWithFailure(tr("The instrument is not connected."));
        return;
    }
    connect(m_device, &BaseDevice::disconnected, this,
            [this] { finishWithFailure(tr("The instrument went away while its options were read.")); });
    connect(m_device, &QObject::destroyed, this,
            [this] { finishWithFailure(tr("The instrument went away while its options were read.")); });
    logger()->info("Taking a snapshot of {} {}", m_device->name(), m_device->serial());
    Operation* read = m_device->takeSnapshot();
    connect(read, &Operation::finished, this, [this, read](int result, const QString& message) {
        snapshotTaken(read->snapshot(), result, message);
    });
}

void SnapshotGuard::snapshotTaken(const OptionsSnapshot& snapshot, int result, const QString& message)
{
    if (m_done) {
        return;
    }
    if (result != 0 || !snapshot.isValid()) {
        finishWithFailure(
            message.isEmpty() ? tr("The instrument's options could not be read (%1).").arg(result) : message);
        return;
    }
    QString error;
    const QString path = m_store ? m_store->save(snapshot, &error) : QString();
    if (path.isEmpty()) {
        finishWithFailure(tr("The snapshot could not be saved: %1").arg(error));
        return;
    }
    m_done = true;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    emit succeeded(path, snapshot);
}

void SnapshotGuard::finishWithFailure(const QString& reason)
{
    if (m_done) {
        return;
    }
    m_done = true;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    logger()->warn("No snapshot: {}", reason);
    emit failed(reason);
}
