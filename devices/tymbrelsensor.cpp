#include "devices/tymbrelsensor.h"

#include "devices/jobs/cdccalibrationjob.h"
#include "devices/jobs/cdcmanuelsettingjob.h"
#include "options/storageidcatalogue.h"

TymbrelSensor::TymbrelSensor(libusb_device* device, QObject* parent)
    : TymbrelSensor(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Tymbrel Sensor")), device, parent)
{
}

TymbrelSensor::TymbrelSensor(const QString& name, libusb_device* device, QObject* parent)
    : BaseDevice(name, device, parent)
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
        m_savedThreshold = sensitivity;
        emit savedCdcThresholdChanged(sensitivity);
    });
    postJob(stored);

    auto* calibrated =
        new CdcManuelSettingJob(CdcManuelSettingJob::ReadCalibratedThreshold, QVariant(), this);
    connect(calibrated, &CdcManuelSettingJob::calibrationRead, this, [this](int sensitivity) {
        m_calibratedThreshold = sensitivity;
        emit savedCdcCalibrationChanged(sensitivity);
    });
    postJob(calibrated);
}

QString TymbrelSensor::picture() const
{
    return QStringLiteral(":/images/tymbrel_sensor.png");
}

quint32 TymbrelSensor::usbId() const
{
    return 0x1E843001;
}

QString TymbrelSensor::kindKey() const
{
    return QStringLiteral("acoustic-sensor");
}

StorageIdCatalogue::Family TymbrelSensor::optionFamily() const
{
    return StorageIdCatalogue::Family::AcousticSensor;
}

DeviceWidget* TymbrelSensor::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* TymbrelSensor::serviceWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Service, parent);
}

void TymbrelSensor::readDeviceOptions()
{
    readMultipleDeviceOptions(optionIds());
}

void TymbrelSensor::calibrateCdc(int offset, int minThreshold, int maxThreshold)
{
    postJob(new CdcCalibrationJob(offset, minThreshold, maxThreshold, this));
}

void TymbrelSensor::writeCdcThreshold(int sensitivity)
{
    postJob(new CdcManuelSettingJob(CdcManuelSettingJob::PostThreshold, sensitivity, this));
}

void TymbrelSensor::saveCdcThreshold(int sensitivity)
{
    auto* job = new CdcManuelSettingJob(CdcManuelSettingJob::PostAndStoreThreshold, sensitivity, this);
    // The sensor's copy follows what the instrument now holds, so that a panel opened later shows it.
    connect(job, &CdcManuelSettingJob::thresholdSaved, this, [this](int saved) {
        m_savedThreshold = saved;
        emit savedCdcThresholdChanged(saved);
    });
    postJob(job);
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
    postJob(job);
}

void TymbrelSensor::handleJobFinished(AbstractJob* job)
{
    // A calibration that got as far as storing changed both thresholds on the instrument: read them
    // back rather than trusting what was sent.
    if (job->name() == QLatin1String("CdcCalibrationJob") && job->result() >= 0) {
        readStoredThresholds();
    }
    delete job;
}
