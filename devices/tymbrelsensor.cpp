#include "devices/tymbrelsensor.h"

#include "devices/jobs/cdccalibrationjob.h"
#include "devices/jobs/cdcmanuelsettingjob.h"

TymbrelSensor::TymbrelSensor(libusb_device* device, QObject* parent)
    : TymbrelSensor(*InstrumentKind::findKey(QStringLiteral("acoustic-sensor")), device, parent)
{
}

TymbrelSensor::TymbrelSensor(const InstrumentKind& kind, libusb_device* device, QObject* parent)
    : BaseDevice(kind, device, parent)
{
    m_monitorTimer.setInterval(kMonitorIntervalMs);
    connect(&m_monitorTimer, &QTimer::timeout, this, &TymbrelSensor::pollTouchState);
    // Posted before the identity read that follows the connection, so these run first once opened.
    readStoredThresholds();
}

TymbrelSensor::~TymbrelSensor()
{
    m_monitorTimer.stop();
}

void TymbrelSensor::readStoredThresholds()
{
    auto* stored = new CdcManuelSettingJob(CdcManuelSettingJob::ReadStoredThreshold, QVariant(), this);
    connect(stored, &CdcManuelSettingJob::thresholdSaved, this, [this](int sensitivity) {
        setReading(m_saved, sensitivity);
        emit savedCdcThresholdChanged(sensitivity);
    });
    // The result travels with the signal: the job may be gone by the time a queued call arrives.
    connect(stored, &CdcManuelSettingJob::readFailed, this, [this](int result) {
        m_saved.failed = true;
        emit cdcThresholdReadFailed(result);
    });
    postQuiet(stored);

    auto* calibrated =
        new CdcManuelSettingJob(CdcManuelSettingJob::ReadCalibratedThreshold, QVariant(), this);
    connect(calibrated, &CdcManuelSettingJob::calibrationRead, this, [this](int sensitivity) {
        setReading(m_calibrated, sensitivity);
        emit savedCdcCalibrationChanged(sensitivity);
    });
    connect(calibrated, &CdcManuelSettingJob::readFailed, this, [this](int result) {
        m_calibrated.failed = true;
        emit cdcThresholdReadFailed(result);
    });
    postQuiet(calibrated);
}

void TymbrelSensor::setReading(Reading& reading, int value)
{
    reading.value = value;
    reading.everRead = true;
    reading.failed = false;
}

Operation* TymbrelSensor::calibrateCdc(int offset, int minThreshold, int maxThreshold)
{
    auto* job = new CdcCalibrationJob(offset, minThreshold, maxThreshold, this);
    // Queued to this thread like the job's progress, and emitted before it, so it arrives first.
    connect(job, &CdcCalibrationJob::stepChanged, this, &TymbrelSensor::cdcCalibrationStepChanged);
    Operation::Inputs inputs;
    inputs.touchParameters = {offset, minThreshold, maxThreshold};
    return post(job, Operation::Kind::CalibrateTouch, inputs, [this, job](Operation& operation) {
        operation.setSwitchingPoint(job->found());
        // A calibration that got as far as storing changed both thresholds on the instrument: read
        // them back rather than trusting what was sent.
        if (job->result() >= 0) {
            readStoredThresholds();
        }
    });
}

void TymbrelSensor::writeCdcThreshold(int sensitivity)
{
    postQuiet(new CdcManuelSettingJob(CdcManuelSettingJob::PostThreshold, sensitivity, this));
}

Operation* TymbrelSensor::saveCdcThreshold(int sensitivity)
{
    auto* job = new CdcManuelSettingJob(CdcManuelSettingJob::PostAndStoreThreshold, sensitivity, this);
    // The sensor's copy follows what the instrument now holds, so that a panel opened later shows it.
    connect(job, &CdcManuelSettingJob::thresholdSaved, this, [this](int saved) {
        setReading(m_saved, saved);
        emit savedCdcThresholdChanged(saved);
    });
    Operation::Inputs inputs;
    inputs.touchParameters = {sensitivity};
    return post(job, Operation::Kind::StoreTouchThreshold, inputs);
}

void TymbrelSensor::startMonitorTouchState()
{
    m_monitorTimer.start();
}

void TymbrelSensor::stopMonitorTouchState()
{
    m_monitorTimer.stop();
}

void TymbrelSensor::pollTouchState()
{
    auto* job = new CdcManuelSettingJob(CdcManuelSettingJob::ReadTouchState, QVariant(), this);
    connect(job, &CdcManuelSettingJob::touchStateChanged, this, &TymbrelSensor::touchDetectorChanged);
    postQuiet(job);
}
