#include "devices/genericdevice.h"

GenericDevice::GenericDevice(const InstrumentKind& kind, libusb_device* device, QObject* parent)
    : BaseDevice(kind, device, parent)
{
}
