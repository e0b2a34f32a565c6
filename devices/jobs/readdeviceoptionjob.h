#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>

// Reads one stored option. Result 0, or -1 when there is no transport or the read failed (the value
// then stays empty).
class ReadDeviceOptionJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ReadDeviceOptionJob(quint32 optionId, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;

    quint32 optionId() const { return m_optionId; }
    QByteArray value() const { return m_value; }

private:
    quint32 m_optionId;
    QByteArray m_value;
};
