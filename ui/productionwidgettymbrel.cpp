#include "ui/productionwidgettymbrel.h"

#include "devices/jobs/cdccalibrationjob.h"
#include "devices/tymbrelsensor.h"
#include "options/storageids_sensorunit.h"
#include "ui_productionwidgettymbrel.h"
#include "usb/usbdevice.h"

#include <QStyle>

namespace {
// What the read-out names the running calibration by.
const QString kCalibrationCaption = QStringLiteral("CdcCalibrationJob");
// The stored threshold option holds the threshold times this factor.
constexpr quint32 kThresholdOptionFactor = 524287;
} // namespace

ProductionWidgetTymbrel::ProductionWidgetTymbrel(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ProductionWidgetTymbrel")),
      ui(std::make_unique<Ui::ProductionWidgetTymbrel>())
{
    ui->setupUi(this);
    connect(ui->btnCdcStartCalibration, &QAbstractButton::clicked, this,
            &ProductionWidgetTymbrel::startCdcCalibration);
    ui->lblCdcValue->clear();
    ui->progressCdcCalibration->setMaximum(100);
    ui->progressCdcCalibration->setValue(0);
}

ProductionWidgetTymbrel::~ProductionWidgetTymbrel() = default;

void ProductionWidgetTymbrel::setDevice(BaseDevice* device)
{
    if (device && device == this->device()) {
        return;
    }
    attachDevice(device);
    m_calibration = nullptr;
    if (!device) {
        return;
    }
    if (auto* sensor = qobject_cast<TymbrelSensor*>(device)) {
        connect(sensor, &TymbrelSensor::cdcCalibrationStepChanged, this,
                &ProductionWidgetTymbrel::onCalibrationStep, Qt::UniqueConnection);
        ui->lblCdcValue->setText(QString::number(sensor->savedCdcThreshold()));
    }
}

void ProductionWidgetTymbrel::setDeviceConnected(bool) {}

void ProductionWidgetTymbrel::followCalibration(Operation* calibration)
{
    m_calibration = calibration;
    if (!calibration) {
        return;
    }
    connect(calibration, &Operation::progress, this,
            [this, calibration](int value, int maximum, QString message) {
                if (calibration == m_calibration) {
                    onCalibrationProgress(value, maximum, message);
                }
            });
    connect(calibration, &Operation::finished, this, [this, calibration](int result, QString message) {
        if (calibration == m_calibration) {
            onCalibrationResult(result, message);
        }
    });
}

void ProductionWidgetTymbrel::onCalibrationProgress(int value, int maximum, const QString& message)
{
    setWarning(false);
    const QString& name = kCalibrationCaption;
    if (m_calibrationStep == CdcCalibrationJob::Final) {
        ui->lblCdcValue->setText(name + QStringLiteral(" : ") + message + QLatin1Char(' ') +
                                 QString::number(value));
    } else {
        ui->lblCdcValue->setText(name + QStringLiteral(" : ") + message + QLatin1Char(' ') +
                                 QString::number(value) + QStringLiteral(" / ") + QString::number(maximum));
    }
    ui->progressCdcCalibration->setMaximum(maximum);
    ui->progressCdcCalibration->setValue(value);
}

void ProductionWidgetTymbrel::onCalibrationStep(int step, int value)
{
    m_calibrationStep = step;
    if (step == CdcCalibrationJob::Final) {
        m_lastCalibrationValue = value;
    }
}

void ProductionWidgetTymbrel::onCalibrationResult(int result, const QString& message)
{
    if (result == 0) {
        return;
    }
    // Negative: nothing was stored (the detector never switched, or the sensor stopped answering).
    // Result 1: the instrument took the calibration, but the threshold lies outside the limits asked
    // for. Either way the technician has to look at the sensor.
    if (result < 0) {
        ui->lblCdcValue->setText(message.isEmpty() ? tr("Calibration failed, nothing stored") : message);
    } else {
        ui->lblCdcValue->setText(
            tr("Warning: calibrated threshold %1 is out of range").arg(m_lastCalibrationValue));
    }
    setWarning(true);
}

void ProductionWidgetTymbrel::setWarning(bool warning)
{
    if (ui->lblCdcValue->property("warning").toBool() == warning) {
        return;
    }
    ui->lblCdcValue->setProperty("warning", warning);
    ui->lblCdcValue->style()->unpolish(ui->lblCdcValue);
    ui->lblCdcValue->style()->polish(ui->lblCdcValue);
}

void ProductionWidgetTymbrel::onDeviceOptionChanged(uint optionId, QByteArray value)
{
    if (optionId != quint32(StorageIDs_SensorUnit::Options::e_sid_su_TouchProtectThreshold)) {
        return;
    }
    ui->lblCdcValue->setText(QString::number(UsbDevice::toUInt32(value) / kThresholdOptionFactor));
}

void ProductionWidgetTymbrel::startCdcCalibration()
{
    auto* sensor = qobject_cast<TymbrelSensor*>(device());
    if (!sensor) {
        logger()->info("invalid device {}, Tymbrel Sensor needed", QString());
        return;
    }
    // A second click before the first calibration came back would queue another full sweep.
    if (sensor->pendingJobCount() > 0) {
        logger()->info("Calibration ignored: the sensor is still busy");
        return;
    }
    followCalibration(sensor->calibrateForProduction());
}
