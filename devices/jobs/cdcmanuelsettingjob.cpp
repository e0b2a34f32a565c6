#include "devices/jobs/cdcmanuelsettingjob.h"

#include "devices/cdcthreshold.h"
#include "options/storageids_sensorunit.h"
#include "usb/usbdevice.h"

#include <libusb.h>

CdcManuelSettingJob::CdcManuelSettingJob(uint mode, const QVariant& value, QObject* parent)
    : AbstractJob(QStringLiteral("CdcManuelSettingJob"), parent), m_value(value), m_mode(mode)
{
}

bool CdcManuelSettingJob::isQuiet() const
{
    return m_mode != PostAndStoreThreshold;
}

bool CdcManuelSettingJob::postThreshold(int sensitivity)
{
    const int rc = m_device ? m_device->sendCommand(e_cmd_CdcSetThreshold, CdcThreshold::toRaw(sensitivity))
                            : LIBUSB_ERROR_NO_DEVICE;
    if (rc != 0) {
        logger()->error("Can't post CDC threshold {}, error {}", sensitivity, rc);
        setResult(rc);
        return false;
    }
    emit thresholdRead(sensitivity);
    return true;
}

void CdcManuelSettingJob::execute(UsbDevice* device)
{
    m_device = device;
    int rc = LIBUSB_ERROR_NO_DEVICE;
    switch (m_mode) {
    case ReadTouchState: {
        QByteArray answer;
        if (m_device) {
            answer =
                m_device->request(e_cmd_CdcGetState, e_cmd_CdcStateAnswer, &rc, UsbDevice::kRequestTimeoutMs);
        }
        if (rc != 0) {
            logger()->error("Can't read CDC state {}", rc);
            setResult(rc);
            emit touchStateChanged(false);
            return;
        }
        emit touchStateChanged(UsbDevice::toUInt32(answer) == 0);
        return;
    }
    case ReadStoredThreshold: {
        QByteArray answer;
        if (m_device) {
            answer = m_device->request(e_cmd_CdcGetThreshold, e_cmd_CdcThresholdAnswer, &rc,
                                       UsbDevice::kRequestTimeoutMs);
        }
        if (rc != 0) {
            logger()->error("Can't read CDC threshold {}", rc);
            setResult(rc);
            emit readFailed(rc);
            return;
        }
        emit thresholdSaved(CdcThreshold::toSensitivity(UsbDevice::toUInt32(answer)));
        return;
    }
    case ReadCalibratedThreshold: {
        // The option holds the calibrated threshold in sensitivity units, as the calibration wrote it:
        // a 32-bit little-endian word after the [22][option id] header. readOption checks that header.
        QByteArray value;
        if (m_device) {
            value = m_device->readOption(
                quint32(StorageIDs_SensorUnit::Options::e_sid_su_TouchProtect_Calibrated), &rc,
                UsbDevice::kRequestTimeoutMs);
        }
        if (rc != 0) {
            logger()->error("Can't read calibrated CDC threshold {}", rc);
            setResult(rc);
            emit readFailed(rc);
            return;
        }
        emit calibrationRead(int(UsbDevice::toUInt32(value)));
        return;
    }
    case PostThreshold:
        postThreshold(m_value.toInt());
        return;
    case PostAndStoreThreshold: {
        if (!postThreshold(m_value.toInt())) {
            return; // nothing posted, so nothing to store
        }
        rc = m_device->sendCommand(e_cmd_CdcStoreThreshold);
        setResult(rc);
        if (rc != 0) {
            logger()->error("Can't store threshold");
            return;
        }
        emit thresholdSaved(m_value.toInt());
        return;
    }
    default:
        return;
    }
}
