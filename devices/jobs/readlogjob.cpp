#include "devices/jobs/readlogjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

ReadLogJob::ReadLogJob(QObject* parent, int maxBytes)
    : AbstractJob(QStringLiteral("ReadLogJob"), parent), m_maxBytes(maxBytes)
{
}

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
        if (collected.size() + packet.size() > m_maxBytes || stopRequested()) {
            // The rest of the stream is still coming: the next request must not take it for its answer.
            device->markStaleAnswerPossible();
            logger()->error("Log read stopped after {} bytes: {}", collected.size(),
                            stopRequested() ? "the device is going" : "longer than any device log");
            setResult(stopRequested() ? kStopped : LIBUSB_ERROR_OVERFLOW);
            return;
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
    if (result == LIBUSB_ERROR_OVERFLOW) {
        return tr("The device log could not be read: the device sent more than any device log holds.");
    }
    return tr("The device log could not be read (%1).").arg(QString::fromLatin1(libusb_error_name(result)));
}
