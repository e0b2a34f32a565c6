#include "devices/jobs/readdeviceoptionjob.h"

#include "usb/usbdevice.h"

ReadDeviceOptionJob::ReadDeviceOptionJob(quint32 optionId, QObject* parent)
    : AbstractJob(QStringLiteral("ReadDeviceOptionJob"), parent), m_optionId(optionId)
{
}

void ReadDeviceOptionJob::execute(UsbDevice* device)
{
    if (!device) {
        setResult(-1);
        return;
    }
    int rc = 0;
    const QByteArray value = device->readOption(m_optionId, &rc, UsbDevice::kRequestTimeoutMs);
    if (rc != 0) {
        setResult(-1);
        return;
    }
    m_value = value;
    logger()->trace("Read option {} : {}", m_optionId, latin1Text(m_value));
}
