#include "app/cli/busscanner.h"

#include "devices/instrumentkind.h"

#include <libusb.h>

bool BusScanner::scan(QList<Instrument>* instruments, int* error)
{
    instruments->clear();
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &list);
    if (count < 0) {
        if (error) {
            *error = int(count);
        }
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0) {
            continue;
        }
        const quint32 usbId = (quint32(descriptor.idVendor) << 16) | descriptor.idProduct;
        const InstrumentKind* kind = InstrumentKind::find(usbId);
        if (!kind) {
            continue;
        }
        Instrument instrument;
        instrument.address =
            UsbBusDeviceAddress(libusb_get_bus_number(list[i]), libusb_get_device_address(list[i]));
        instrument.usbId = usbId;
        instrument.kind = QString::fromLatin1(kind->key);
        instruments->append(instrument);
    }
    libusb_free_device_list(list, 1);
    if (error) {
        *error = 0;
    }
    return true;
}

QString BusScanner::usbIdText(quint32 usbId)
{
    return QStringLiteral("%1:%2")
        .arg(usbId >> 16, 4, 16, QLatin1Char('0'))
        .arg(usbId & 0xFFFF, 4, 16, QLatin1Char('0'));
}
