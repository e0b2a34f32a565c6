#pragma once

#include "devices/basedevice.h"

#include <QTimer>

// The Tymbrel acoustic sensor (first generation; the second derives from it). Reads the general and
// sensor options and drives the touch/proximity detector: calibration, working and stored thresholds,
// and a 500 ms touch-state monitor.
// Touch jobs are created with the sensor as parent: quiet ones (every mode but the store) stay its
// children until it is destroyed, the calibration and the store come back through handleJobFinished.
class TymbrelSensor : public BaseDevice
{
    Q_OBJECT

public:
    static constexpr int kMonitorIntervalMs = 500;

    TymbrelSensor(libusb_device* device, QObject* parent = nullptr);
    ~TymbrelSensor() override;

    QString picture() const override;
    quint32 usbId() const override;
    QString kindKey() const override;
    StorageIdCatalogue::Family optionFamily() const override;
    DeviceWidget* productionWidget(QWidget* parent) override;
    DeviceWidget* serviceWidget(QWidget* parent) override;
    void readDeviceOptions() override;

    int savedCdcThreshold() const { return m_savedThreshold; }
    int calibratedCdcThreshold() const { return m_calibratedThreshold; }
    bool isMonitoringTouchState() const { return m_monitorTimer.isActive(); }

signals:
    void touchDetectorChanged(bool touched);
    void savedCdcThresholdChanged(int sensitivity);
    void savedCdcCalibrationChanged(int sensitivity);
    // A read of the stored or the calibrated threshold failed with `result`; the last known value stands.
    void cdcThresholdReadFailed(int result);
    // A calibration came back: its job result and the switching point it found (-1: none).
    void cdcCalibrationFinished(int result, int switchingPoint);

public:
    // The production sweep: no offset, any threshold of the detector's range.
    static constexpr int kProductionCalibrationOffset = 0;
    static constexpr int kProductionCalibrationMin = 0;
    static constexpr int kProductionCalibrationMax = 4095;

public slots:
    void calibrateCdc(int offset, int minThreshold, int maxThreshold);
    void calibrateForProduction()
    {
        calibrateCdc(kProductionCalibrationOffset, kProductionCalibrationMin, kProductionCalibrationMax);
    }
    void writeCdcThreshold(int sensitivity);
    void saveCdcThreshold(int sensitivity);
    void startMonitorTouchState();
    void stopMonitorTouchState();

protected:
    // For the second generation, which differs only in name and picture.
    TymbrelSensor(const QString& name, libusb_device* device, QObject* parent);
    void handleJobFinished(AbstractJob* job) override;

private slots:
    void pollTouchState();

private:
    void readStoredThresholds();

    QTimer m_monitorTimer;
    int m_savedThreshold = 0;
    int m_calibratedThreshold = 0;
};
