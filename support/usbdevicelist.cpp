#include "support/usbdevicelist.h"

#include <QStringList>

#include <libusb.h>

namespace {
QString speedName(int speed)
{
    switch (speed) {
    case LIBUSB_SPEED_LOW:
        return QStringLiteral("low speed");
    case LIBUSB_SPEED_FULL:
        return QStringLiteral("full speed");
    case LIBUSB_SPEED_HIGH:
        return QStringLiteral("high speed");
    case LIBUSB_SPEED_SUPER:
        return QStringLiteral("super speed");
    case LIBUSB_SPEED_SUPER_PLUS:
        return QStringLiteral("super speed plus");
    default:
        return QStringLiteral("unknown speed");
    }
}
} // namespace

QString UsbDeviceList::text()
{
    libusb_context* context = nullptr;
    const int rc = libusb_init(&context);
    if (rc != 0) {
        return QStringLiteral("USB buses cannot be listed: libusb_init failed with %1\n")
            .arg(QString::fromLatin1(libusb_error_name(rc)));
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    QStringList lines;
    if (count < 0) {
        lines << QStringLiteral("USB buses cannot be listed: %1")
                     .arg(QString::fromLatin1(libusb_error_name(int(count))));
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = list[i];
        uint8_t ports[8] = {};
        const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
        QStringList path;
        for (int p = 0; p < depth; ++p) {
            path << QString::number(ports[p]);
        }
        QString line = QStringLiteral("bus %1 device %2 port %3: ")
                           .arg(libusb_get_bus_number(device), 3, 10, QLatin1Char('0'))
                           .arg(libusb_get_device_address(device), 3, 10, QLatin1Char('0'))
                           .arg(path.isEmpty() ? QStringLiteral("-") : path.join(QLatin1Char('.')));
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) == 0) {
            line += QStringLiteral("ID %1:%2, class 0x%3, USB %4.%5, ")
                        .arg(descriptor.idVendor, 4, 16, QLatin1Char('0'))
                        .arg(descriptor.idProduct, 4, 16, QLatin1Char('0'))
                        .arg(descriptor.bDeviceClass, 2, 16, QLatin1Char('0'))
                        .arg(descriptor.bcdUSB >> 8)
                        .arg((descriptor.bcdUSB >> 4) & 0xF);
        } else {
            line += QStringLiteral("no device descriptor, ");
        }
        lines << line + speedName(libusb_get_device_speed(device));
    }
    if (count >= 0) {
        libusb_free_device_list(list, 1);
        if (count == 0) {
            lines << QStringLiteral("no USB device");
        }
    }
    libusb_exit(context);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
