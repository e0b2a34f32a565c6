#include "uisink.h"

#include <chrono>

void UiSink::sink_it_(const spdlog::details::log_msg& record)
{
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.time.time_since_epoch()).count();
    emit newMessage(QDateTime::fromMSecsSinceEpoch(sinceEpoch), static_cast<int>(record.level),
                    QString::fromLatin1(record.logger_name.data(), int(record.logger_name.size())),
                    // Messages are formatted as UTF-8 (Qt strings go through the fmt formatter as such),
                    // so instrument texts with accents arrive intact.
                    QString::fromUtf8(record.payload.data(), int(record.payload.size())));
}
