#pragma once

#include "devices/abstractjob.h"

// Tells the control unit to delete all of its measurement series: [280][1026]. The unit does not
// answer; the result is that of the OUT transfer (0, or its libusb code).
class ClearDataSetsJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ClearDataSetsJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;
};
