#include "devices/jobs/readdevicemultipleoptionsjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

ReadDeviceMultipleOptionsJob::ReadDeviceMultipleOptionsJob(const QList<quint32>& optionIds, QObject* parent)
    : AbstractJob(QStringLiteral("ReadDeviceMultipleOptionsJob"), parent), m_optionIds(optionIds)
{
}

void ReadDeviceMultipleOptionsJob::execute(UsbDevice* device)
{
    m_values.clear();
    for (const quint32 id : qAsConst(m_optionIds)) {
        int rc = LIBUSB_ERROR_NO_DEVICE;
        QByteArray value;
        if (device) {
            value = device->readOption(id, &rc, UsbDevice::kRequestTimeoutMs);
        }
        if (rc != 0) {
            logger()->error("Reading option {} failed", id);
            // Silence or a mismatching answer is how an older instrument meets an id it does not know:
            // the values read so far are the result. A broken link is not, and must not look like one.
            if (rc != LIBUSB_ERROR_TIMEOUT && rc != UsbDevice::kWrongAnswer) {
                setResult(rc);
            }
            return;
        }
        m_values.insert(id, value);
        if (logger()->should_log(spdlog::level::trace)) {
            logger()->trace("Read option {} : {}", id, latin1Text(value));
        }
        emit progressChanged(name(), m_optionIds.indexOf(id), m_optionIds.size(), QString());
    }
}
