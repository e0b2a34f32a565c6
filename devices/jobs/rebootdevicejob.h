#pragma once

#include "devices/abstractjob.h"

// Restarts the instrument ([275]). A failed send is only logged: the result is always 0.
class RebootDeviceJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit RebootDeviceJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
};
