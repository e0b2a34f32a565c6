#pragma once

#include "devices/abstractjob.h"

// Resets the instrument to factory settings ([264]) and, only if that was sent, reboots it ([275]).
// Result: the code of the last send, LIBUSB_ERROR_NO_DEVICE without a transport.
class FactoryResetJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit FactoryResetJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    // Success tells the user the instrument restarts; a failure names the libusb error.
    QString resultMessage(int result) const override;
};
