#include "devices/jobs/writefirmwarejob.h"

#include "devices/basedevice.h"
#include "firmware/firmwarechecksum.h"
#include "firmware/firmwareloader.h"
#include "usb/usbdevice.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <libusb.h>

namespace {
QByteArray word(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

QString usbErrorName(int code)
{
    if (code == UsbDevice::kWrongAnswer) {
        return QStringLiteral("wrong answer");
    }
    return QString::fromLatin1(libusb_error_name(code));
}
} // namespace

WriteFirmwareJob::WriteFirmwareJob(QString file, BaseDevice* device, QObject* parent)
    : AbstractJob(QStringLiteral("WriteFirmwareJob"), parent), m_file(std::move(file)), m_device(device),
      m_hardwareRevision(device ? device->hardwareRevision() : QString())
{
}

QString WriteFirmwareJob::resultMessage(int result) const
{
    switch (result) {
    case DecryptFailed:
        return tr("Can't decrypt file");
    case HashWrong:
        return tr("Hash is wrong!");
    case HardwareNotSupported:
        return tr("Firmware not supported by hardware revision!");
    case InvalidOffset:
        return tr("Invalid offset at file");
    case UsbError:
        return tr("USB Error");
    default:
        return QString();
    }
}

WriteFirmwareJob::Result WriteFirmwareJob::checkFile(const QByteArray& image, const FirmwareInfo& info,
                                                     const QString& hardwareRevision)
{
    if (image.isEmpty()) {
        return DecryptFailed;
    }
    if (QCryptographicHash::hash(image, QCryptographicHash::Md5) != info.md5) {
        return HashWrong;
    }
    if (!info.supportedHardware.contains(hardwareRevision) &&
        !info.supportedHardware.contains(QStringLiteral("ALL"))) {
        return HardwareNotSupported;
    }
    if (info.offset < 0 || info.offset >= image.size()) {
        return InvalidOffset;
    }
    return Success;
}

void WriteFirmwareJob::execute(UsbDevice* usb)
{
    // Everything about the file is checked before the instrument hears of it.
    FirmwareInfo info;
    const QByteArray image = loadFirmware(m_file, &info, nullptr);
    const Result check = checkFile(image, info, m_hardwareRevision);
    switch (check) {
    case Success:
        break;
    case DecryptFailed:
        logger()->error("Can't decrypt file {}", m_file);
        break;
    case HashWrong:
        logger()->error("Hash is wrong! is: {} should be: {}",
                        QCryptographicHash::hash(image, QCryptographicHash::Md5), info.md5);
        break;
    case HardwareNotSupported:
        logger()->error("Firmware not supported by hardware revision! should be: {}", m_hardwareRevision);
        break;
    default:
        logger()->error("Invalid offset at file {}: offset {}", m_file, info.offset);
        break;
    }
    if (check != Success) {
        setResult(check);
        return;
    }

    const int offset = info.offset;
    const int size = image.size() - offset;

    // Size and checksum of the bytes that follow.
    if (!usb) {
        logger()->error("Can't write firmware {}", usbErrorName(LIBUSB_ERROR_NO_DEVICE));
        setResult(UsbError);
        return;
    }
    logger()->trace("Firmware size {} byte", size);
    int rc = usb->sendCommand(e_cmd_FirmwareStart, quint32(size));
    if (rc != LIBUSB_SUCCESS) {
        logger()->error("Write firmware size failed: {}", usbErrorName(rc));
        setResult(UsbError);
        return;
    }

    const quint32 crc = firmwareChecksum(image.constData() + offset, size);
    logger()->trace("Write checksum: {}", crc);
    rc = usb->sendCommand(e_cmd_FirmwareChecksum, crc);
    if (rc != LIBUSB_SUCCESS) {
        logger()->error("Write checksum failed: {}", usbErrorName(rc));
        setResult(UsbError);
        return;
    }

    // The data, addressed from the first transmitted byte. A packet that did not go out whole ends
    // the transfer: the instrument sees nothing further.
    logger()->trace("Write firmware data");
    const QByteArray dataCode = word(e_cmd_FirmwareData);
    // Progress in bytes sent of the total; reported once per percent so that a large image does not
    // flood the user-interface thread with queued signals.
    const QString writing = tr("Writing firmware...");
    emit progressChanged(name(), 0, size, writing);
    int reportedPercent = 0;
    for (int position = 0; position < size;) {
        const int length = qMin(kChunkSize, size - position);
        QByteArray packet;
        packet.reserve(8 + length);
        packet.append(dataCode);
        packet.append(word(quint32(position)));
        packet.append(image.constData() + offset + position, length);
        int written = 0;
        rc = usb->sendData(packet, &written, kPacketTimeoutMs);
        if (rc != LIBUSB_SUCCESS || written != packet.size()) {
            logger()->error("Can't write firmware {}", rc);
            if (rc == LIBUSB_SUCCESS) {
                logger()->error("Short write at offset {}: {} of {} bytes", position, written, packet.size());
            }
            setResult(UsbError);
            return;
        }
        logger()->info("write firmware offset {}", position);
        position += length;
        const int percent = int(qint64(position) * 100 / size);
        if (percent != reportedPercent) {
            reportedPercent = percent;
            emit progressChanged(name(), position, size, writing);
        }
    }

    // End of data, then the verification, which may take the instrument a long time.
    usb->sendCommand(e_cmd_FirmwareData);
    logger()->trace("Verify firmware");
    emit progressChanged(name(), size, size, tr("Verifying..."));
    rc = LIBUSB_SUCCESS;
    const QByteArray answer =
        usb->request(e_cmd_FirmwareData, e_cmd_FirmwareVerifyAnswer, &rc, kVerifyTimeoutMs);
    if (rc < 0) {
        logger()->error("Verify firmware failed: {}", usbErrorName(rc));
        setResult(VerifyFailed);
        return;
    }
    // An answer without a status word is no confirmation.
    if (answer.size() < 4) {
        logger()->error("Verify firmware failed: answer carries no status ({} bytes)", answer.size());
        setResult(VerifyFailed);
        return;
    }
    const quint32 status = qFromLittleEndian<quint32>(answer.constData() + answer.size() - 4);
    if (status != 0) {
        logger()->error("Verify firmware failed: {}", status);
        setResult(VerifyFailed);
        return;
    }
    setResult(Success);
}
