#pragma once

#include "qtformat.h"
#include "singleton.h"

#include <QObject>
#include <QString>

#include <spdlog/logger.h>

#include <memory>
#include <vector>

class UiSink;

// Makes the named loggers: every logger writes to the sinks created by init(), at the level given there.
// Loggers requested before init() have no sinks and level off.
class LoggerFactory : public QObject, public Singleton<LoggerFactory>
{
    Q_OBJECT
    friend class Singleton<LoggerFactory>;

public:
    // Where console lines go. The command line keeps standard output for its results, so it logs to
    // standard error, and only when asked to.
    enum class Console
    {
        StandardOutput,
        StandardError,
        None
    };

    // Creates the console sink (unless Console::None), the daily file sink (only for a non-empty path) and
    // the in-process sink. A log file that cannot be opened leaves the other sinks in place and is
    // reported as an error line; it never stops the program.
    void init(int level, const QString& logFilePath, Console console = Console::StandardOutput);

    std::shared_ptr<spdlog::logger> logger(const QString& name);

    int level() const { return m_level; }
    UiSink* uiSink() const { return m_uiSink.get(); }

private:
    LoggerFactory() = default;

    std::vector<spdlog::sink_ptr> m_sinks;
    std::shared_ptr<UiSink> m_uiSink;
    int m_level = spdlog::level::off;
};
