#pragma once

#include <QString>

// Every device on the USB buses as libusb sees it, one line each ("bus 001 device 004 port 1.3: ID
// 1e84:3000, class 0xff, high speed"), without opening any of them. Uses a libusb context of its own, so
// that it works whether or not the discovery has started libusb.
class UsbDeviceList
{
public:
    // The lines, or one line saying why the buses could not be listed.
    static QString text();
};
