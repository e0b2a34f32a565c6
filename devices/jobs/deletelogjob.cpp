#include "devices/jobs/deletelogjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

DeleteLogJob::DeleteLogJob(QObject* parent) : AbstractJob(QStringLiteral("DeleteLogJob"), parent) {}

void DeleteLogJob::execute(UsbDevice* device)
{
    setResult(device ? device->sendCommand(e_cmd_DeleteLog) : LIBUSB_ERROR_NO_DEVICE);
}

QString DeleteLogJob::resultMessage(int result) const
{
    return result == 0 ? tr("Log entries deleted!") : tr("Something goes wrong!");
}
