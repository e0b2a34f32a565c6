#include "devices/jobs/readlogjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

ReadLogJob::ReadLogJob(QObject* parent) : AbstractJob(QStringLiteral("ReadLogJob"), parent) {}

void ReadLogJob::execute(UsbDevice* device)
{
    if (!device) {
        setResult(LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    int rc = device->sendCommand(e_cmd_ReadLog);
    if (rc != 0) {
        setResult(rc);
        return;
    }
    QByteArray collected;
    QByteArray packet;
    rc = device->receiveData(packet, UsbDevice::kStreamFirstPacketTimeoutMs);
    if (rc != 0) {
        // Not even the end code came: that is no empty log but an instrument that did not answer.
        setResult(rc);
        return;
    }
    while (!packet.isEmpty()) {
        // A failed receive leaves the previous packet in place, so a failure inside the stream lands here.
        if (rc != 0) {
            setResult(rc);
            return;
        }
        if (packet.size() == 4 && UsbDevice::toUInt32(packet) == e_cmd_LogEnd) {
            break;
        }
        collected += packet;
        rc = device->receiveData(packet, UsbDevice::kStreamNextPacketTimeoutMs);
    }
    m_log = collected;
}

QString ReadLogJob::resultMessage(int result) const
{
    if (result >= 0) {
        return QString();
    }
    return tr("The device log could not be read (%1).").arg(QString::fromLatin1(libusb_error_name(result)));
}
