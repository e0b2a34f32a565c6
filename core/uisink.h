#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <spdlog/sinks/base_sink.h>

#include <mutex>

// Turns log records into a Qt signal. newMessage is emitted on whichever thread wrote the record;
// a receiver on another thread connects queued.
class UiSink : public QObject, public spdlog::sinks::base_sink<std::mutex>
{
    Q_OBJECT

public:
    UiSink() = default;

signals:
    void newMessage(QDateTime time, int logLevel, QString loggerName, QString message);

protected:
    void sink_it_(const spdlog::details::log_msg& record) override;
    void flush_() override {}
};
