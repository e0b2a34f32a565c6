#include "devices/jobs/setdevicemultipleoptionsjob.h"

#include "devices/jobs/setdeviceoptionjob.h"
#include "usb/usbdevice.h"

#include <libusb.h>

SetDeviceMultipleOptionsJob::SetDeviceMultipleOptionsJob(const QHash<quint32, QByteArray>& options,
                                                         QObject* parent)
    : AbstractJob(QStringLiteral("SetDeviceMultipleOptionsJob"), parent), m_options(options)
{
}

void SetDeviceMultipleOptionsJob::execute(UsbDevice* device)
{
    m_sent = 0;
    if (m_options.isEmpty()) {
        return;
    }
    if (!device) {
        m_noDevice = true;
        setResult(LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    for (auto it = m_options.constBegin(); it != m_options.constEnd(); ++it) {
        const int rc = SetDeviceOptionJob::sendOption(device, it.key(), it.value(), logger());
        if (rc != 0) {
            m_failedId = it.key();
            setResult(rc);
            return;
        }
        ++m_sent;
    }
}

QString SetDeviceMultipleOptionsJob::resultMessage(int result) const
{
    if (result == 0) {
        return QString();
    }
    if (m_noDevice) {
        return tr("The options could not be sent: the instrument is not connected (%1). Nothing was stored.")
            .arg(QString::fromLatin1(libusb_error_name(result)));
    }
    return tr("Sending the options failed at option 0x%1 (%2 of %3 sent, %4). Nothing was stored "
              "permanently.")
        .arg(m_failedId, 8, 16, QLatin1Char('0'))
        .arg(m_sent)
        .arg(m_options.size())
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
