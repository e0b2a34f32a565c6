#include "devices/jobs/rebootdevicejob.h"

#include "usb/usbdevice.h"

RebootDeviceJob::RebootDeviceJob(QObject* parent) : AbstractJob(QStringLiteral("RebootDeviceJob"), parent) {}

void RebootDeviceJob::execute(UsbDevice* device)
{
    if (!device || device->sendCommand(e_cmd_Reboot) != 0) {
        logger()->error("Can't reboot device");
    }
}
