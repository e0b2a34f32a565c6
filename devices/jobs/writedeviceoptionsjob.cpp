#include "devices/jobs/writedeviceoptionsjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

WriteDeviceOptionsJob::WriteDeviceOptionsJob(bool reboot, QObject* parent)
    : AbstractJob(QStringLiteral("WriteDeviceOptionsJob"), parent), m_reboot(reboot)
{
}

void WriteDeviceOptionsJob::execute(UsbDevice* device)
{
    logger()->trace("Write options");
    const int rc = device ? device->sendCommand(e_cmd_WriteOptions) : LIBUSB_ERROR_NO_DEVICE;
    if (rc != 0) {
        logger()->error("Can't write options, error {}", rc);
        setResult(rc);
    }
}

QString WriteDeviceOptionsJob::resultMessage(int result) const
{
    if (result == 0) {
        return QString();
    }
    return tr("The options could not be stored permanently on the instrument (%1).")
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
