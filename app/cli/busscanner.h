#pragma once

#include "usb/usbbusdeviceaddress.h"

#include <QList>
#include <QString>

// Looks at the bus without opening anything: which recognised instruments are attached, where, and of
// which kind. libusb's default context must be started (the discovery does that).
class BusScanner
{
public:
    struct Instrument
    {
        UsbBusDeviceAddress address;
        quint32 usbId = 0; // (vendor << 16) | product
        QString kind;      // the device kind's key
    };

    // The recognised instruments in libusb's list order. False with the libusb code in `error` when
    // libusb cannot list the bus.
    static bool scan(QList<Instrument>* instruments, int* error = nullptr);

    // "1e84:3000"
    static QString usbIdText(quint32 usbId);
};
