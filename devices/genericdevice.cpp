#include "devices/genericdevice.h"

#include "devices/abstractjob.h"

GenericDevice::GenericDevice(const InstrumentKind& kind, libusb_device* device, QObject* parent)
    : BaseDevice(kind, device, parent)
{
}

void GenericDevice::handleJobFinished(AbstractJob* job)
{
    delete job;
}
