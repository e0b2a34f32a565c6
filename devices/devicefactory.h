#pragma once

#include "usb/usbinstrumentfactory.h"

// Creates the device kind that serves a recognised instrument. Installed in the discovery at start-up
// (install()), so that the USB layer recognises instruments without knowing the kinds.
class DeviceFactory : public UsbInstrumentFactory
{
public:
    UsbInstrument* create(quint32 usbId, libusb_device* device, QObject* parent) override;

    // Installs a factory in the process-wide discovery.
    static void install();
};
