#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>

// Downloads the instrument's event log: [11], then a stream of packets ended by the 4-byte end code
// [12], an empty packet or no first packet within 10 s. A receive failure inside the stream ends the job
// with that libusb code and stores nothing. The log is opaque bytes here.
class ReadLogJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ReadLogJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    // Only a failure has a message: a log that was read is handed on for saving instead.
    QString resultMessage(int result) const override;

    QByteArray log() const { return m_log; }

private:
    QByteArray m_log;
};
