#pragma once

#include "devices/abstractjob.h"

#include <QVariant>

// One small operation on the acoustic sensor's touch detector, chosen by mode:
//   0 read the touch state         -> touchStateChanged(touched)  (false when unreadable)
//   1 read the stored threshold    -> thresholdSaved(sensitivity), or readFailed(result)
//   2 read the calibrated threshold -> calibrationRead(sensitivity), or readFailed(result)
//   3 post a threshold (working value only)  -> thresholdRead(s) on success
//   4 post and store a threshold             -> thresholdRead(s), then thresholdSaved(s) on success
// Every mode but 4 is quiet: it is not handed back and stays with its parent (the sensor).
// Result: 0, or the libusb code of the failed exchange (-2 for a wrong answer).
class CdcManuelSettingJob : public AbstractJob
{
    Q_OBJECT

public:
    enum Mode : uint
    {
        ReadTouchState = 0,
        ReadStoredThreshold = 1,
        ReadCalibratedThreshold = 2,
        PostThreshold = 3,
        PostAndStoreThreshold = 4,
    };

    CdcManuelSettingJob(uint mode, const QVariant& value, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    bool isQuiet() const override;

    uint mode() const { return m_mode; }

signals:
    void touchStateChanged(bool touched);
    void thresholdRead(int sensitivity);
    void thresholdSaved(int sensitivity);
    void calibrationRead(int sensitivity);
    // A threshold read (mode 1 or 2) failed: there is no value, and 0 must not pass for one.
    void readFailed(int result);

private:
    bool postThreshold(int sensitivity);

    QVariant m_value;
    UsbDevice* m_device = nullptr;
    uint m_mode;
};
