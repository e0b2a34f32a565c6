#pragma once

#include "devices/abstractjob.h"

// Makes the options set so far permanent on the instrument ([24]). A failed send ends the job with its
// libusb code and a message. `reboot()` asks the device to reboot the instrument afterwards.
class WriteDeviceOptionsJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit WriteDeviceOptionsJob(bool reboot, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

    bool reboot() const { return m_reboot; }

private:
    bool m_reboot;
};
