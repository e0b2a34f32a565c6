#pragma once

#include "usb/usbbusdeviceaddress.h"

#include <QSet>
#include <QtGlobal>

#include <map>

// When to try again to open an instrument that could not be opened: 5, 10, 20 and 40 seconds after
// the first four failures, then every 60 seconds. Retrying every few seconds for ever would create a
// device object and its thread and write the same lines thousands of times a day for a cause (no
// permission, another program) that only the user can remove. Re-plugging the instrument starts over.
// Times are in milliseconds of a monotonic clock that the caller supplies.
class OpenBackoff
{
public:
    // Milliseconds to wait after the n-th failure in a row (n >= 1).
    static qint64 delayAfter(int failures);

    // True when `address` has not failed, or its waiting time is over at `nowMs`.
    bool mayAttempt(const UsbBusDeviceAddress& address, qint64 nowMs) const;
    // Counts a failure at `nowMs` and gives the delay until the next attempt.
    qint64 recordFailure(const UsbBusDeviceAddress& address, qint64 nowMs);
    int failures(const UsbBusDeviceAddress& address) const;
    // A successful open or a re-plug: the address starts over.
    void forget(const UsbBusDeviceAddress& address);
    // Forgets every address not in `present` (they left the bus).
    void retainOnly(const QSet<UsbBusDeviceAddress>& present);

private:
    struct Entry
    {
        int failures = 0;
        qint64 nextAttemptMs = 0;
    };
    std::map<UsbBusDeviceAddress, Entry> m_entries;
};
