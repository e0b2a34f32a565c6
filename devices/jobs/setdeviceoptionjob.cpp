#include "devices/jobs/setdeviceoptionjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

SetDeviceOptionJob::SetDeviceOptionJob(quint32 optionId, const QByteArray& value, QObject* parent)
    : AbstractJob(QStringLiteral("SetDeviceOptionJob"), parent), m_optionId(optionId), m_value(value)
{
}

int SetDeviceOptionJob::sendOption(UsbDevice* device, quint32 optionId, const QByteArray& value,
                                   const std::shared_ptr<spdlog::logger>& log)
{
    log->trace("Option ID {} length {} bytes", optionId, value.size());
    const QByteArray packet = UsbDevice::commandPacket(e_cmd_SetOption, optionId) + value;
    int transferred = 0;
    int rc = LIBUSB_ERROR_NO_DEVICE;
    if (device) {
        rc = device->sendData(packet, &transferred, UsbDevice::kCommandTimeoutMs);
        if (rc == 0 && transferred != packet.size()) {
            rc = LIBUSB_ERROR_IO; // the instrument took only part of the value
        }
    }
    if (rc != 0) {
        log->error("Can't set option {}, error {}, writen length {}", optionId, rc, transferred);
    }
    return rc;
}

void SetDeviceOptionJob::execute(UsbDevice* device)
{
    setResult(sendOption(device, m_optionId, m_value, logger()));
}

QString SetDeviceOptionJob::resultMessage(int result) const
{
    if (result == 0) {
        return QString();
    }
    return tr("Option 0x%1 could not be sent to the instrument (%2).")
        .arg(m_optionId, 8, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
