#include "devices/jobs/readdefaultvaluesjob.h"

#include "options/storageids_general.h"
#include "usb/usbdevice.h"

namespace {
constexpr unsigned int kTimeoutMs = UsbDevice::kRequestTimeoutMs;
constexpr quint32 sid(StorageIDs_general::Options id)
{
    return quint32(id);
}
} // namespace

ReadDefaultValuesJob::ReadDefaultValuesJob(QObject* parent)
    : AbstractJob(QStringLiteral("ReadDefaultValuesJob"), parent)
{
}

bool ReadDefaultValuesJob::deviceValid() const
{
    if (!m_device) {
        logger()->critical("Device not valid!");
        return false;
    }
    return true;
}

QString ReadDefaultValuesJob::versionFromAnswer(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('$'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        return text;
    }
    const QStringList words = parts.first().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.isEmpty() ? parts.first() : words.last();
}

void ReadDefaultValuesJob::execute(UsbDevice* device)
{
    m_device = device;
    if (!deviceValid()) {
        setResult(-1);
        return;
    }
    int rc = 0;
    QByteArray answer = m_device->request(e_cmd_GetSerialNumber, e_cmd_SerialNumberAnswer, &rc, kTimeoutMs);
    if (rc != 0) {
        setResult(-1);
        return;
    }
    m_pcbSerial = latin1Text(answer);
    logger()->trace("Read serial number: {}", m_pcbSerial);

    if (!deviceValid()) {
        setResult(-2);
        return;
    }
    answer = m_device->request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &rc, kTimeoutMs);
    if (rc != 0) {
        setResult(-2);
        return;
    }
    m_softwareVersion = versionFromAnswer(latin1Text(answer));
    logger()->trace("Read Software version: {}", m_softwareVersion);

    if (!deviceValid()) {
        setResult(-3);
        return;
    }
    answer =
        m_device->readOption(sid(StorageIDs_general::Options::e_sid_DeviceSerialNumber), &rc, kTimeoutMs);
    if (rc != 0) {
        answer = m_device->request(e_cmd_GetSerialNumber, e_cmd_SerialNumberAnswer, &rc, kTimeoutMs);
        if (rc != 0) {
            setResult(-3);
            return;
        }
        m_updateRequired = true;
    }
    m_serial = latin1Text(answer);
    logger()->trace("Read serial: {}", m_serial);

    if (!deviceValid()) {
        setResult(-4);
        return;
    }
    answer = m_device->readOption(sid(StorageIDs_general::Options::e_sid_HardwareRevision), &rc, kTimeoutMs);
    if (rc != 0) {
        answer = m_device->request(e_cmd_GetHardwareRevision, e_cmd_HardwareRevisionAnswer, &rc, kTimeoutMs);
        if (rc != 0) {
            setResult(-4);
            return;
        }
        m_updateRequired = true;
    }
    m_hardwareRevision = latin1Text(answer);
    logger()->trace("Read hardware revision: {}", m_hardwareRevision);

    if (!deviceValid()) {
        setResult(-5);
        return;
    }
    answer = m_device->readOption(sid(StorageIDs_general::Options::e_sid_DeviceType), &rc, kTimeoutMs);
    if (rc != 0) {
        setResult(-5);
        return;
    }
    m_deviceType = latin1Text(answer);
    logger()->trace("Read device type: {}", m_deviceType);

    if (!deviceValid()) {
        setResult(-6);
        return;
    }
    answer = m_device->request(e_cmd_GetChipId, e_cmd_ChipIdAnswer, &rc, kTimeoutMs);
    if (rc != 0) {
        setResult(-6);
        return;
    }
    m_chipId = latin1Text(answer);
    logger()->trace("Read chip id: {}", m_chipId);
}
