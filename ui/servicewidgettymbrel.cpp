#include "ui/servicewidgettymbrel.h"

#include "devices/tymbrelsensor.h"
#include "ui/productionwidgettymbrel.h"
#include "ui_servicewidgettymbrel.h"

#include <QIcon>
#include <QIntValidator>
#include <QPixmap>

ServiceWidgetTymbrel::ServiceWidgetTymbrel(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ServiceWidgetTymbrel")),
      ui(std::make_unique<Ui::ServiceWidgetTymbrel>())
{
    ui->setupUi(this);
    auto* validator = new QIntValidator(0, kThresholdSteps - 1, this);
    ui->touchProtect_CurrentThresholdEdit->setValidator(validator);
    ui->touchProtect_CalibratedThresholdEdit->setValidator(validator);
    ui->touchProtect_CalibratedThresholdEdit->setReadOnly(true);
    updateThresholdActions();

    connect(ui->touchProtect_insensitiveButton, &QPushButton::clicked, this,
            &ServiceWidgetTymbrel::onTouchProtectInsensitiveClicked);
    connect(ui->touchProtect_sensitiveButton, &QPushButton::clicked, this,
            &ServiceWidgetTymbrel::onTouchProtectSensitiveClicked);
    connect(ui->touchProtectCancelButton, &QPushButton::clicked, this,
            &ServiceWidgetTymbrel::onTouchProtectCancelClicked);
    connect(ui->touchProtect_CurrentThresholdEdit, &QLineEdit::editingFinished, this,
            &ServiceWidgetTymbrel::onTouchProtectCurrentThresholdChanged);
    connect(ui->touchProtect_SaveThresholdButton, &QPushButton::clicked, this,
            &ServiceWidgetTymbrel::onTouchProtectSaveClicked);
}

ServiceWidgetTymbrel::~ServiceWidgetTymbrel() = default;

ProductionWidgetTymbrel* ServiceWidgetTymbrel::calibrationPanel() const
{
    return ui->productionWidgetTymbrel;
}

void ServiceWidgetTymbrel::setDevice(BaseDevice* device)
{
    if (device && device == this->device()) {
        return; // twice the same: nothing is connected twice
    }
    // Monitoring belongs to the panel being shown for this sensor; it must not outlive the hand-over.
    if (auto* previous = qobject_cast<TymbrelSensor*>(this->device())) {
        previous->stopMonitorTouchState();
    }
    attachDevice(device);
    if (!device) {
        updateThresholdActions();
        ui->productionWidgetTymbrel->setDevice(nullptr);
        return;
    }
    auto* sensor = qobject_cast<TymbrelSensor*>(device);
    if (device->usbId() != kAcousticSensorUsbId || !sensor) {
        hide();
        return;
    }
    show();
    // Nothing read yet shows nothing: a 0 in the edits would be taken for the sensor's value.
    if (sensor->hasSavedCdcThreshold()) {
        setCurrentThreshold(sensor->savedCdcThreshold());
    } else {
        ui->touchProtect_CurrentThresholdEdit->clear();
    }
    if (sensor->hasCalibratedCdcThreshold()) {
        onTouchProtectCalibrationSaved(sensor->calibratedCdcThreshold());
    } else {
        ui->touchProtect_CalibratedThresholdEdit->clear();
    }
    updateThresholdActions();

    connect(this, &ServiceWidgetTymbrel::currentThresholdChanged, sensor, &TymbrelSensor::writeCdcThreshold,
            Qt::UniqueConnection);
    connect(this, &DeviceWidget::widgetShow, sensor, &TymbrelSensor::startMonitorTouchState,
            Qt::UniqueConnection);
    connect(this, &DeviceWidget::widgetHide, sensor, &TymbrelSensor::stopMonitorTouchState,
            Qt::UniqueConnection);
    connect(sensor, &TymbrelSensor::savedCdcThresholdChanged, this,
            &ServiceWidgetTymbrel::onTouchProtectThresholdSaved, Qt::UniqueConnection);
    connect(sensor, &TymbrelSensor::savedCdcCalibrationChanged, this,
            &ServiceWidgetTymbrel::onTouchProtectCalibrationSaved, Qt::UniqueConnection);
    connect(sensor, &TymbrelSensor::cdcThresholdReadFailed, this,
            &ServiceWidgetTymbrel::updateThresholdActions, Qt::UniqueConnection);
    connect(sensor, &TymbrelSensor::touchDetectorChanged, this, &ServiceWidgetTymbrel::onTouchDetectorChanged,
            Qt::UniqueConnection);
    if (isVisible()) {
        sensor->startMonitorTouchState();
    }
    ui->productionWidgetTymbrel->setDevice(device);
}

void ServiceWidgetTymbrel::setDeviceConnected(bool) {}

int ServiceWidgetTymbrel::currentThreshold() const
{
    return ui->touchProtect_CurrentThresholdEdit->text().toInt();
}

void ServiceWidgetTymbrel::setCurrentThreshold(int value)
{
    ui->touchProtect_CurrentThresholdEdit->setText(QString::number(value));
}

void ServiceWidgetTymbrel::emitCurrentThreshold()
{
    if (!ui->touchProtect_CurrentThresholdEdit->hasAcceptableInput()) {
        logger()->info("Threshold {} not sent: outside 0..{}", ui->touchProtect_CurrentThresholdEdit->text(),
                       kThresholdSteps - 1);
        return;
    }
    emit currentThresholdChanged(currentThreshold());
}

void ServiceWidgetTymbrel::onTouchDetectorChanged(bool touched)
{
    ui->touchProtectStateLabel->setPixmap(
        QIcon(QStringLiteral(":/icons/black/") +
              (touched ? QStringLiteral("headphone_x_49") : QStringLiteral("headphone_vol3_49")) +
              QStringLiteral(".png"))
            .pixmap(49, 49));
    ui->touchProtectStateLabel->setToolTip(touched ? tr("touched") : tr("NOT touched"));
    ui->touchProtectStateLabel->setProperty("touched", touched);
}

void ServiceWidgetTymbrel::onTouchProtectInsensitiveClicked()
{
    setCurrentThreshold((currentThreshold() + kStep) % kThresholdSteps);
    emitCurrentThreshold();
}

void ServiceWidgetTymbrel::onTouchProtectSensitiveClicked()
{
    setCurrentThreshold((currentThreshold() + kThresholdSteps - kStep) % kThresholdSteps);
    emitCurrentThreshold();
}

void ServiceWidgetTymbrel::updateThresholdActions()
{
    auto* sensor = qobject_cast<TymbrelSensor*>(device());
    ui->touchProtect_SaveThresholdButton->setEnabled(sensor && sensor->isSavedCdcThresholdCurrent());
    ui->touchProtectCancelButton->setEnabled(sensor && sensor->isCalibratedCdcThresholdCurrent());
    ui->touchProtectReadFailedLabel->setVisible(sensor && sensor->hasCdcThresholdReadFailed());
}

void ServiceWidgetTymbrel::onTouchProtectCancelClicked()
{
    auto* sensor = qobject_cast<TymbrelSensor*>(device());
    if (!sensor || !sensor->isCalibratedCdcThresholdCurrent()) {
        return; // there is no calibrated value to fall back to
    }
    ui->touchProtect_CurrentThresholdEdit->setText(ui->touchProtect_CalibratedThresholdEdit->text());
    emitCurrentThreshold();
}

void ServiceWidgetTymbrel::onTouchProtectSaveClicked()
{
    auto* sensor = qobject_cast<TymbrelSensor*>(device());
    if (!sensor || !sensor->isSavedCdcThresholdCurrent() ||
        !ui->touchProtect_CurrentThresholdEdit->hasAcceptableInput()) {
        return;
    }
    // A second click before the first store came back would store twice.
    if (sensor->pendingJobCount() > 0) {
        logger()->info("Save ignored: the sensor is still busy");
        return;
    }
    sensor->saveCdcThreshold(currentThreshold());
}

void ServiceWidgetTymbrel::onTouchProtectCurrentThresholdChanged()
{
    emitCurrentThreshold();
}

void ServiceWidgetTymbrel::onTouchProtectThresholdSaved(int value)
{
    // The stored value becomes the working one; the calibrated field keeps what the calibration found.
    setCurrentThreshold(value);
    updateThresholdActions();
}

void ServiceWidgetTymbrel::onTouchProtectCalibrationSaved(int value)
{
    ui->touchProtect_CalibratedThresholdEdit->setText(QString::number(value));
    updateThresholdActions();
}
