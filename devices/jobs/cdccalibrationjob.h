#pragma once

#include "devices/abstractjob.h"

// Calibrates the acoustic sensor's touch detector: sweeps the threshold 0..4095 up and then down, takes
// the upper edge of the switching region, stores offset + that point as the calibrated threshold and
// posts and stores it as the working threshold.
//
// Results: 0 stored within [minThreshold, maxThreshold]; 1 stored but outside those limits (warning);
// kNoUsableThreshold: the detector never switched or offset + point lies outside 0..4095, nothing
// stored; other negative codes: an exchange failed (its libusb code, -2 for a wrong answer,
// LIBUSB_ERROR_NO_DEVICE without a transport, kStopped when the device went during the sweep). The
// first failed exchange stops the job and nothing more is stored, since a failed read would otherwise
// pass for a switching point and a failed post would let the store command keep whatever threshold the
// sweep left; the last progress message says so.
class CdcCalibrationJob : public AbstractJob
{
    Q_OBJECT

public:
    // Where the calibration stands. The progress messages are texts for the user (and translated);
    // whoever has to tell the outcome from a running sweep follows stepChanged instead.
    enum Step
    {
        BottomUp, // sweeping 0..4095
        TopDown,  // sweeping 4095..0
        Final,    // stored; value = the switching point found
        Failed    // nothing stored; value = the threshold where it stopped
    };
    Q_ENUM(Step)

    static constexpr int kSteps = 4096;
    // Raw detector word reported for a state that could not be read.
    static constexpr int kStateUnreadable = -2147483647 - 1;
    static constexpr int kNoUsableThreshold = -100;

    // The limits are ordered, whatever order they come in.
    CdcCalibrationJob(int offset, int minThreshold, int maxThreshold, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

    int offset() const { return m_offset; }
    int minThreshold() const { return m_minThreshold; }
    int maxThreshold() const { return m_maxThreshold; }
    // The switching point without offset; -1 when the state never changed.
    int found() const { return m_found; }

signals:
    // Emitted on entering each step, just before that step's first progressChanged.
    void stepChanged(int step, int value);

private:
    bool postThreshold(int sensitivity);
    int readTouchState();
    void fail(int step);
    // Posts every threshold from `first` to `last` (either direction) after a starting read at
    // `first`, and gives the last threshold at which the detector changed state (-1: never).
    // False when an exchange failed; the job has then failed and nothing may be stored.
    bool sweep(Step step, int first, int last, const QString& message, int* lastChange);
    void reportFailure(int value);

    int m_offset;
    int m_minThreshold;
    int m_maxThreshold;
    int m_found = -1;
    UsbDevice* m_device = nullptr;
    int m_error = 0; // first failed exchange of the sweep
};
