#pragma once

#include "devices/abstractjob.h"

// Deletes the instrument's event log ([13]). Result: the libusb code of the send.
class DeleteLogJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit DeleteLogJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    // "Log entries deleted!" for 0, "Something goes wrong!" otherwise.
    QString resultMessage(int result) const override;
};
