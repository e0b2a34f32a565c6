#include "devices/jobs/cdccalibrationjob.h"

#include "devices/cdcthreshold.h"
#include "options/storageids_sensorunit.h"
#include "usb/usbdevice.h"

#include <QtEndian>

#include <libusb.h>

#include <algorithm>

CdcCalibrationJob::CdcCalibrationJob(int offset, int minThreshold, int maxThreshold, QObject* parent)
    : AbstractJob(QStringLiteral("CdcCalibrationJob"), parent), m_offset(offset),
      m_minThreshold(std::min(minThreshold, maxThreshold)),
      m_maxThreshold(std::max(minThreshold, maxThreshold))
{
}

bool CdcCalibrationJob::postThreshold(int sensitivity)
{
    const int rc = m_device->sendCommand(e_cmd_CdcSetThreshold, CdcThreshold::toRaw(sensitivity));
    if (rc != 0) {
        logger()->error("Can't post CDC threshold {}, error {}", sensitivity, rc);
        if (m_error == 0) {
            m_error = rc;
        }
        return false;
    }
    return true;
}

int CdcCalibrationJob::readTouchState()
{
    int rc = 0;
    const QByteArray answer =
        m_device->request(e_cmd_CdcGetState, e_cmd_CdcStateAnswer, &rc, UsbDevice::kRequestTimeoutMs);
    if (rc != 0) {
        logger()->error("Can't read CDC state {}", rc);
        if (m_error == 0) {
            m_error = rc;
        }
        return kStateUnreadable;
    }
    return int(UsbDevice::toUInt32(answer));
}

void CdcCalibrationJob::fail(int step)
{
    setResult(m_error);
    logger()->error("Calibration stopped at threshold {}: nothing stored", step);
    reportFailure(step);
}

void CdcCalibrationJob::reportFailure(int value)
{
    emit stepChanged(Failed, value);
    emit progressChanged(name(), value, kSteps, tr("Calibration failed, nothing stored"));
}

bool CdcCalibrationJob::sweep(Step phase, int first, int last, const QString& message, int* lastChange)
{
    emit stepChanged(phase, first);
    const int step = first <= last ? 1 : -1;
    postThreshold(first);
    int previous = readTouchState();
    if (m_error != 0) {
        fail(first);
        return false;
    }
    *lastChange = -1;
    for (int t = first;; t += step) {
        if (stopRequested()) {
            // The device is going: the rest of a sweep of thousands of exchanges would only hold it.
            m_error = kStopped;
            fail(t);
            return false;
        }
        postThreshold(t);
        const int state = readTouchState();
        if (m_error != 0) {
            fail(t);
            return false;
        }
        if (state != previous) {
            *lastChange = t;
            previous = state;
        }
        emit progressChanged(name(), t, kSteps, message);
        if (t == last) {
            return true;
        }
    }
}

void CdcCalibrationJob::execute(UsbDevice* device)
{
    m_device = device;
    m_error = 0;
    m_found = -1;
    if (!m_device) {
        m_error = LIBUSB_ERROR_NO_DEVICE;
        fail(0);
        return;
    }

    int lastUp = -1;
    int lastDown = -1;
    if (!sweep(BottomUp, 0, kSteps - 1, tr("Bottom up...."), &lastUp) ||
        !sweep(TopDown, kSteps - 1, 0, tr("Top down..."), &lastDown)) {
        return;
    }

    m_found = std::max(lastUp, lastDown);
    const int threshold = m_offset + m_found;
    if (m_found < 0 || threshold < 0 || threshold >= kSteps) {
        // A detector that never switched, or an offset pushing the point out of range: there is no
        // threshold to store, and storing one would leave the sensor unable to detect a touch.
        logger()->error("Calibration found no usable threshold (found {}, offset {}): nothing stored",
                        m_found, m_offset);
        setResult(kNoUsableThreshold);
        reportFailure(std::max(m_found, 0));
        return;
    }

    const quint32 calibratedId = quint32(StorageIDs_SensorUnit::Options::e_sid_su_TouchProtect_Calibrated);
    QByteArray value(4, '\0');
    qToLittleEndian<qint32>(threshold, value.data());
    const QByteArray packet = UsbDevice::commandPacket(e_cmd_SetOption, calibratedId) + value;
    int transferred = 0;
    int rc = m_device->sendData(packet, &transferred, UsbDevice::kCommandTimeoutMs);
    if (rc == 0 && transferred != packet.size()) {
        rc = LIBUSB_ERROR_IO;
    }
    if (rc != 0) {
        // Not stored: reported as a failure, not as a calibration the instrument does not have.
        logger()->error("Can't set option {}, error {}, writen length {}", calibratedId, rc, transferred);
        m_error = rc;
    } else if (postThreshold(threshold)) {
        // Only a threshold the detector took is stored: after a failed post the store command would
        // make permanent whatever the sweep left posted.
        rc = m_device->sendCommand(e_cmd_CdcStoreThreshold);
        if (rc != 0) {
            logger()->error("Can't store threshold");
            m_error = rc;
        }
    }
    if (m_error != 0) {
        setResult(m_error);
        reportFailure(m_found);
        return;
    }
    postThreshold(threshold);
    setResult(threshold < m_minThreshold || threshold > m_maxThreshold ? 1 : 0);
    emit stepChanged(Final, m_found);
    emit progressChanged(name(), m_found, kSteps, tr("Final"));
}

QString CdcCalibrationJob::resultMessage(int result) const
{
    if (result >= 0) {
        return QString();
    }
    if (result == kNoUsableThreshold) {
        return tr("Touch sensor calibration found no usable threshold: the detector did not switch within "
                  "the range. Nothing was stored.");
    }
    return tr("Touch sensor calibration failed: the sensor did not answer as expected (%1). The "
              "calibration was not stored.")
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
