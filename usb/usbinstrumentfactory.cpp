#include "usb/usbinstrumentfactory.h"

UsbInstrumentFactory::~UsbInstrumentFactory() = default;
