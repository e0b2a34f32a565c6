#include "devices/snapshotguard.h"

#include "core/englishscope.h"

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
        finishWithFailure([] { return tr("The instrument is not connected."); });
        return;
    }
    connect(m_device, &BaseDevice::disconnected, this, [this] {
        finishWithFailure([] { return tr("The instrument went away while its options were read."); });
    });
    connect(m_device, &QObject::destroyed, this, [this] {
        finishWithFailure([] { return tr("The instrument went away while its options were read."); });
    });
    logger()->info("Taking a snapshot of {} {}", m_device->name(), m_device->serial());
    Operation* read = m_device->takeSnapshot();
    connect(read, &Operation::finished, this, [this, read](int result) { snapshotTaken(*read, result); });
}

void SnapshotGuard::snapshotTaken(const Operation& read, int result)
{
    const OptionsSnapshot snapshot = read.snapshot();
    if (m_done) {
        return;
    }
    if (result != 0 || !snapshot.isValid()) {
        finishWithFailure([&read, result] {
            const QString message = read.message();
            return message.isEmpty() ? tr("The instrument's options could not be read (%1).").arg(result)
                                     : message;
        });
        return;
    }
    const QString path = m_store ? m_store->save(snapshot) : QString();
    if (path.isEmpty()) {
        finishWithFailure([this] {
            return tr("The snapshot could not be saved: %1").arg(m_store ? m_store->lastError() : QString());
        });
        return;
    }
    m_done = true;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    emit succeeded(path, snapshot);
}

QString SnapshotGuard::reason() const
{
    return EnglishScope::active() ? m_englishReason : m_reason;
}

void SnapshotGuard::finishWithFailure(const std::function<QString()>& make)
{
    if (m_done) {
        return;
    }
    m_done = true;
    if (m_device) {
        disconnect(m_device, nullptr, this, nullptr);
    }
    m_reason = make();
    m_englishReason = EnglishScope::english(make);
    logger()->warn("No snapshot: {}", m_reason);
    emit failed(m_reason);
}
