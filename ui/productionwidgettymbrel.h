#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <QPointer>
#include <QString>

#include <memory>

class Operation;

namespace Ui {
class ProductionWidgetTymbrel;
}

// Production panel of the acoustic sensors, also embedded in their service panel: starts the automatic
// calibration of the touch/proximity detector and follows it with a label and a progress bar. A
// calibration that finished with its out-of-range warning is shown as such, not as a plain result.
class ProductionWidgetTymbrel : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidgetTymbrel(QWidget* parent = nullptr);
    ~ProductionWidgetTymbrel() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool connected) override;
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

    // Shows the progress and the outcome of `calibration`, the one the panel started last; what an
    // earlier one still reports is ignored.
    void followCalibration(Operation* calibration);

public slots:
    void onDeviceOptionChanged(uint optionId, QByteArray value) override;
    void startCdcCalibration();

private slots:
    void onCalibrationStep(int step, int value);

private:
    void onCalibrationProgress(int value, int maximum, const QString& message);
    void onCalibrationResult(int result, const QString& message);
    void setWarning(bool warning);

    std::unique_ptr<Ui::ProductionWidgetTymbrel> ui;
    int m_lastCalibrationValue = 0;
    int m_calibrationStep = -1; // CdcCalibrationJob::Step of the running or last calibration
    QPointer<Operation> m_calibration;
};
