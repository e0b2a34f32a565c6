#pragma once

#include "usb/usbbusdeviceaddress.h"

#include <QSet>
#include <QtGlobal>

#include <map>

// When to try again to open an instrument that could not be opened, or that dropped soon after it
// was opened: 5, 10, 20 and 40 seconds after the first four failures, then every 60 seconds. Retrying
// every few seconds for ever would create a device object and its thread and write the same lines
// thousands of times a day for a cause (no permission, another program, a bad cable) that only the user
// can remove. Only a connection that lasted kStableConnectionMs, or re-plugging the instrument, starts
// over. Times are in milliseconds of a monotonic clock that the caller supplies.
class OpenBackoff
{
public:
    static constexpr qint64 kStableConnectionMs = 30000;

    // Milliseconds to wait after the n-th failure in a row (n >= 1).
    static qint64 delayAfter(int failures);

    // True when `address` has not failed, or its waiting time is over at `nowMs`.
    bool mayAttempt(const UsbBusDeviceAddress& address, qint64 nowMs) const;
    // Counts a failure at `nowMs` and gives the delay until the next attempt.
    qint64 recordFailure(const UsbBusDeviceAddress& address, qint64 nowMs);
    int failures(const UsbBusDeviceAddress& address) const;
    // The instrument at `address` was opened at `nowMs`.
    void recordConnected(const UsbBusDeviceAddress& address, qint64 nowMs);
    // It was lost at `nowMs`. After a connection of at least kStableConnectionMs the address starts
    // over and 0 comes back; a shorter one counts as a failure and gives the delay until the next
    // attempt.
    qint64 recordDisconnected(const UsbBusDeviceAddress& address, qint64 nowMs);
    // How many of the failures in a row were connections that dropped before they were stable.
    int drops(const UsbBusDeviceAddress& address) const;
    // A re-plug: the address starts over.
    void forget(const UsbBusDeviceAddress& address);
    // Forgets every address not in `present` (they left the bus).
    void retainOnly(const QSet<UsbBusDeviceAddress>& present);

private:
    struct Entry
    {
        int failures = 0;
        int drops = 0;
        qint64 nextAttemptMs = 0;
        qint64 connectedAtMs = -1; // -1: not connected
    };
    std::map<UsbBusDeviceAddress, Entry> m_entries;
};
