#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>

// Downloads the instrument's event log: [11], then a stream of packets ended by the 4-byte end code
// [12], an empty packet or no first packet within 10 s. A receive failure inside the stream ends the job
// with that libusb code and stores nothing. The log is opaque bytes here.
// A stream longer than `maxBytes` (no instrument's log comes near the default) ends the job with
// LIBUSB_ERROR_OVERFLOW, and a device that is going stops it between packets (kStopped): an
// instrument that never ends its stream can neither fill the memory nor hold the worker for ever.
class ReadLogJob : public AbstractJob
{
    Q_OBJECT

public:
    static constexpr int kMaxLogBytes = 16 * 1024 * 1024;

    explicit ReadLogJob(QObject* parent = nullptr, int maxBytes = kMaxLogBytes);

    void execute(UsbDevice* device) override;
    // Only a failure has a message: a log that was read is handed on for saving instead.
    QString resultMessage(int result) const override;

    QByteArray log() const { return m_log; }

private:
    QByteArray m_log;
    int m_maxBytes;
};
