#pragma once

#include "usb/usbinstrumentfactory.h"

#include <QString>

// Creates the device that serves a recognised instrument, as its row in the kind table says. Installed
// in the discovery at start-up (install()), so that the USB layer recognises instruments without knowing
// the kinds.
class DeviceFactory : public UsbInstrumentFactory
{
public:
    UsbInstrument* create(quint32 usbId, libusb_device* device, QObject* parent) override;
    const char* foundLine(quint32 usbId) const override;

    // Installs a factory in the process-wide discovery.
    static void install();

    // The key of the kind create() makes for `usbId` ("control-unit", …; see BaseDevice::kindKey), without
    // creating it; empty for an id no kind serves. Lets a listing name instruments it does not open.
    static QString kindKey(quint32 usbId);
};
