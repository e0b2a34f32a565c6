#pragma once

#include <QtGlobal>

struct libusb_device;
class QObject;
class UsbInstrument;

// Turns a recognised instrument on the bus into the device object that serves it. The device layer
// provides the factory and installs it in the discovery; the discovery only matches vendor and product.
class UsbInstrumentFactory
{
public:
    virtual ~UsbInstrumentFactory();

    // A new device object for `usbId` ((vendor << 16) | product) with `parent`, or null when the factory
    // has no kind for it. The object takes its own libusb reference on `device` if it needs one.
    virtual UsbInstrument* create(quint32 usbId, libusb_device* device, QObject* parent) = 0;
    // The debug line written when an instrument with `usbId` is found; null for an id the factory does
    // not serve, which the discovery then reports as unknown.
    virtual const char* foundLine(quint32 usbId) const = 0;
};
