#include "usb/openbackoff.h"

namespace {
constexpr qint64 kDelaysMs[] = {5000, 10000, 20000, 40000};
constexpr qint64 kLongestDelayMs = 60000;
// The poll timer may tick a little before an attempt falls due; such a tick counts as on time.
constexpr qint64 kToleranceMs = 100;
} // namespace

qint64 OpenBackoff::delayAfter(int failures)
{
    if (failures < 1) {
        return 0;
    }
    const size_t index = size_t(failures - 1);
    return index < sizeof kDelaysMs / sizeof kDelaysMs[0] ? kDelaysMs[index] : kLongestDelayMs;
}

bool OpenBackoff::mayAttempt(const UsbBusDeviceAddress& address, qint64 nowMs) const
{
    const auto it = m_entries.find(address);
    return it == m_entries.end() || nowMs + kToleranceMs >= it->second.nextAttemptMs;
}

qint64 OpenBackoff::recordFailure(const UsbBusDeviceAddress& address, qint64 nowMs)
{
    Entry& entry = m_entries[address];
    ++entry.failures;
    const qint64 delay = delayAfter(entry.failures);
    entry.nextAttemptMs = nowMs + delay;
    return delay;
}

int OpenBackoff::failures(const UsbBusDeviceAddress& address) const
{
    const auto it = m_entries.find(address);
    return it == m_entries.end() ? 0 : it->second.failures;
}

void OpenBackoff::recordConnected(const UsbBusDeviceAddress& address, qint64 nowMs)
{
    m_entries[address].connectedAtMs = nowMs;
}

qint64 OpenBackoff::recordDisconnected(const UsbBusDeviceAddress& address, qint64 nowMs)
{
    const auto it = m_entries.find(address);
    if (it == m_entries.end() || it->second.connectedAtMs < 0 ||
        nowMs - it->second.connectedAtMs >= kStableConnectionMs) {
        forget(address);
        return 0;
    }
    it->second.connectedAtMs = -1;
    ++it->second.drops;
    return recordFailure(address, nowMs);
}

int OpenBackoff::drops(const UsbBusDeviceAddress& address) const
{
    const auto it = m_entries.find(address);
    return it == m_entries.end() ? 0 : it->second.drops;
}

void OpenBackoff::forget(const UsbBusDeviceAddress& address)
{
    m_entries.erase(address);
}

void OpenBackoff::retainOnly(const QSet<UsbBusDeviceAddress>& present)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        it = present.contains(it->first) ? std::next(it) : m_entries.erase(it);
    }
}
