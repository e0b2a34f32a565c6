#include "loggerfactory.h"

#include "dailyfilename.h"
#include "uisink.h"

#include <spdlog/sinks/daily_file_sink.h>
#include <spdlog/sinks/stdout_color_sinks.h>
#include <spdlog/spdlog.h>

#include <QFileInfo>

namespace {
// Rotation at 23:59 local time: the next day's file carries the date of the day it covers.
constexpr int kRotationHour = 23;
constexpr int kRotationMinute = 59;
} // namespace

void LoggerFactory::init(int level, const QString& logFilePath, Console console)
{
    m_level = level;
    m_sinks.clear();
    if (console == Console::StandardOutput) {
        m_sinks.push_back(std::make_shared<spdlog::sinks::stdout_color_sink_mt>());
    } else if (console == Console::StandardError) {
        m_sinks.push_back(std::make_shared<spdlog::sinks::stderr_color_sink_mt>());
    }

    QString fileError;
    if (!logFilePath.isEmpty()) {
        try {
            m_sinks.push_back(std::make_shared<spdlog::sinks::daily_file_sink<std::mutex, DailyFileName>>(
                logFilePath.toLocal8Bit().toStdString(), kRotationHour, kRotationMinute, false));
        } catch (const std::exception& error) {
            fileError = QString::fromLocal8Bit(error.what());
        }
    }

    m_uiSink = std::make_shared<UiSink>();
    m_sinks.push_back(m_uiSink);

    if (!fileError.isEmpty()) {
        // Reported on the remaining sinks at error level, whatever level was chosen.
        spdlog::logger report("LoggerFactory", m_sinks.begin(), m_sinks.end());
        report.error("Can't open log file {}, logging continues without it: {}",
                     QFileInfo(logFilePath).absoluteFilePath(), fileError);
        report.flush();
    }
}

std::shared_ptr<spdlog::logger> LoggerFactory::logger(const QString& name)
{
    const std::string key = name.toLocal8Bit().toStdString();
    if (auto existing = spdlog::get(key)) {
        return existing;
    }
    auto created = std::make_shared<spdlog::logger>(key, m_sinks.begin(), m_sinks.end());
    created->set_level(static_cast<spdlog::level::level_enum>(m_level));
    try {
        spdlog::register_logger(created);
    } catch (const spdlog::spdlog_ex&) {
        // Another thread registered the same name between the lookup and here: use that one.
        if (auto existing = spdlog::get(key)) {
            return existing;
        }
    }
    return created;
}
