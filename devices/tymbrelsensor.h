#pragma once

#include "devices/basedevice.h"

#include <QTimer>

// The Tymbrel acoustic sensor, both generations (their rows of the kind table tell them apart). Reads
// the general and sensor options and drives the touch/proximity detector: calibration, working and
// stored thresholds, and a 500 ms touch-state monitor.
// Touch jobs are created with the sensor as parent: quiet ones (every mode but the store) stay its
// children until they are done; the calibration and the store are operations like any other.
class TymbrelSensor : public BaseDevice
{
    Q_OBJECT

public:
    static constexpr int kMonitorIntervalMs = 500;

    TymbrelSensor(const InstrumentKind& kind, libusb_device* device, QObject* parent = nullptr);
    // The first generation's row of the kind table.
    explicit TymbrelSensor(libusb_device* device, QObject* parent = nullptr);
    ~TymbrelSensor() override;

    // The last values read from the sensor (0 before any). A failed read keeps them, but they are no
    // longer known to be the sensor's: acting on them (storing, falling back) waits for the next read.
    int savedCdcThreshold() const { return m_saved.value; }
    int calibratedCdcThreshold() const { return m_calibrated.value; }
    bool hasSavedCdcThreshold() const { return m_saved.everRead; }
    bool hasCalibratedCdcThreshold() const { return m_calibrated.everRead; }
    bool isSavedCdcThresholdCurrent() const { return m_saved.everRead && !m_saved.failed; }
    bool isCalibratedCdcThresholdCurrent() const { return m_calibrated.everRead && !m_calibrated.failed; }
    // The last read of either threshold failed.
    bool hasCdcThresholdReadFailed() const { return m_saved.failed || m_calibrated.failed; }
    bool isMonitoringTouchState() const { return m_monitorTimer.isActive(); }

signals:
    void touchDetectorChanged(bool touched);
    void savedCdcThresholdChanged(int sensitivity);
    void savedCdcCalibrationChanged(int sensitivity);
    // A read of the stored or the calibrated threshold failed with `result`; the last known values stay.
    void cdcThresholdReadFailed(int result);
    // The running calibration entered `step` (CdcCalibrationJob::Step) at `value`; delivered before
    // that step's progressChanged.
    void cdcCalibrationStepChanged(int step, int value);

public:
    // The production sweep: no offset, any threshold of the detector's range.
    static constexpr int kProductionCalibrationOffset = 0;
    static constexpr int kProductionCalibrationMin = 0;
    static constexpr int kProductionCalibrationMax = 4095;

public slots:
    // The operation's switching point is the one found (-1: none).
    Operation* calibrateCdc(int offset, int minThreshold, int maxThreshold);
    Operation* calibrateForProduction()
    {
        return calibrateCdc(kProductionCalibrationOffset, kProductionCalibrationMin,
                            kProductionCalibrationMax);
    }
    void writeCdcThreshold(int sensitivity);
    Operation* saveCdcThreshold(int sensitivity);
    void startMonitorTouchState();
    void stopMonitorTouchState();

private slots:
    void pollTouchState();

private:
    void readStoredThresholds();

    struct Reading
    {
        int value = 0;
        bool everRead = false; // value came from the sensor
        bool failed = false;   // the latest read failed
    };
    void setReading(Reading& reading, int value);

    QTimer m_monitorTimer;
    Reading m_saved;
    Reading m_calibrated;
};
