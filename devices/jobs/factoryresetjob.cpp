#include "devices/jobs/factoryresetjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

FactoryResetJob::FactoryResetJob(QObject* parent) : AbstractJob(QStringLiteral("FactoryResetJob"), parent) {}

void FactoryResetJob::execute(UsbDevice* device)
{
    if (!device) {
        setResult(LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    int rc = device->sendCommand(e_cmd_FactoryReset);
    if (rc == 0) {
        rc = device->sendCommand(e_cmd_Reboot);
    }
    setResult(rc);
}

QString FactoryResetJob::resultMessage(int result) const
{
    if (result == 0) {
        return tr("Factory settings restored. Restart device...");
    }
    return tr("Factory reset failed (%1).").arg(QString::fromLatin1(libusb_error_name(result)));
}
