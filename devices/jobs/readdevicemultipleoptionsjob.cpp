#include "devices/jobs/readdevicemultipleoptionsjob.h"

#include "usb/usbdevice.h"

ReadDeviceMultipleOptionsJob::ReadDeviceMultipleOptionsJob(const QList<quint32>& optionIds, QObject* parent)
    : AbstractJob(QStringLiteral("ReadDeviceMultipleOptionsJob"), parent), m_optionIds(optionIds)
{
}

void ReadDeviceMultipleOptionsJob::execute(UsbDevice* device)
{
    m_values.clear();
    for (const quint32 id : qAsConst(m_optionIds)) {
        int rc = -1;
        QByteArray value;
        if (device) {
            value = device->readOption(id, &rc, UsbDevice::kRequestTimeoutMs);
        }
        if (rc != 0) {
            logger()->error("Reading option {} failed", id);
            return;
        }
        m_values.insert(id, value);
        logger()->trace("Read option {} : {}", id, latin1Text(value));
        emit progressChanged(name(), m_optionIds.indexOf(id), m_optionIds.size(), QString());
    }
}
