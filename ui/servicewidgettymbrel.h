#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <memory>

namespace Ui {
class ServiceWidgetTymbrel;
}
class ProductionWidgetTymbrel;

// Service panel of the acoustic sensors: shows whether the touch detector is touched (polled only while
// the panel is visible), moves the working threshold in steps of 8, stores it in the instrument or
// falls back to the calibrated one, and embeds the calibration panel.
// Thresholds are 0…4095: the current-threshold edit accepts nothing else and only acceptable values are
// sent; the calibrated-threshold edit is read-only and shows what the instrument reports. A failed
// threshold read shows no 0: the edits keep the last known values and Save and Cancel are disabled.
class ServiceWidgetTymbrel : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    static constexpr int kThresholdSteps = 4096;
    static constexpr int kStep = 8;
    // USB identifier both acoustic sensor generations report.
    static constexpr quint32 kAcousticSensorUsbId = 0x1E843001;

    explicit ServiceWidgetTymbrel(QWidget* parent = nullptr);
    ~ServiceWidgetTymbrel() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool connected) override;
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

    ProductionWidgetTymbrel* calibrationPanel() const;

signals:
    void currentThresholdChanged(int sensitivity);

public slots:
    void onTouchDetectorChanged(bool touched);
    void onTouchProtectInsensitiveClicked();
    void onTouchProtectSensitiveClicked();
    void onTouchProtectCancelClicked();
    void onTouchProtectSaveClicked();
    void onTouchProtectCurrentThresholdChanged();
    void onTouchProtectThresholdSaved(int value);
    void onTouchProtectCalibrationSaved(int value);
    // Save needs the stored threshold and Cancel the calibrated one as the sensor last reported them;
    // after a failed read both stay off and the panel says why.
    void updateThresholdActions();

private:
    // Integer value of the current-threshold edit, 0 if it is not a number.
    int currentThreshold() const;
    void setCurrentThreshold(int value);
    // Emits currentThresholdChanged only for a value the instrument accepts.
    void emitCurrentThreshold();

    std::unique_ptr<Ui::ServiceWidgetTymbrel> ui;
};
