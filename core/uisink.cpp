#include "uisink.h"

#include <QMetaMethod>

#include <chrono>

void UiSink::sink_it_(const spdlog::details::log_msg& record)
{
    // Every log line passes here, the firmware update's one per packet among them: without a receiver
    // the signal's arguments (a local time, which asks the C library for the time zone each time, and
    // two strings) would be made for nothing.
    static const QMetaMethod signal = QMetaMethod::fromSignal(&UiSink::newMessage);
    if (!isSignalConnected(signal)) {
        return;
    }
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.time.time_since_epoch()).count();
    emit newMessage(QDateTime::fromMSecsSinceEpoch(sinceEpoch), static_cast<int>(record.level),
                    QString::fromLatin1(record.logger_name.data(), int(record.logger_name.size())),
                    // Messages are formatted as UTF-8 (Qt strings go through the fmt formatter as such),
                    // so instrument texts with accents arrive intact.
                    QString::fromUtf8(record.payload.data(), int(record.payload.size())));
}
