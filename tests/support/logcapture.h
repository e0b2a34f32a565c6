#pragma once

#include "core/loggerfactory.h"
#include "core/uisink.h"

#include <QObject>
#include <QStringList>

#include <spdlog/logger.h>
#include <spdlog/sinks/base_sink.h>

#include <memory>
#include <mutex>

// Collects log lines from any thread: either every logger's lines as "<logger>: <message>" (made directly, or
// every()), or the exact messages of one logger it is attached to (attach()).
class LogCapture : public spdlog::sinks::base_sink<std::mutex>
{
public:
    // Every logger's lines from `level` up. Loggers keep the sinks they were created with: create the
    // capture before the first logger exists.
    explicit LogCapture(int level = 0)
    {
        LoggerFactory::instance()->init(level, QString());
        m_connection =
            QObject::connect(LoggerFactory::instance()->uiSink(), &UiSink::newMessage,
                             [this](QDateTime, int lineLevel, QString loggerName, QString message) {
                                 add(lineLevel, loggerName + QStringLiteral(": ") + message);
                             });
    }
    ~LogCapture() override { QObject::disconnect(m_connection); }

    // The process's capture of every logger; later calls return it whatever their level.
    static LogCapture& every(int level)
    {
        static LogCapture* capture = new LogCapture(level); // lives until process exit
        return *capture;
    }

    // Attaches a capture to `logger` and opens the logger up to trace level.
    static std::shared_ptr<LogCapture> attach(const std::shared_ptr<spdlog::logger>& logger)
    {
        std::shared_ptr<LogCapture> capture(new LogCapture(Attached{}));
        logger->sinks().push_back(capture);
        logger->set_level(spdlog::level::trace);
        return capture;
    }

    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(m_linesMutex);
        return m_lines;
    }
    // Number of lines containing `text`.
    int count(const QString& text) const { return count(-1, text, false); }
    bool contains(const QString& text) const { return count(text) > 0; }
    // Number of lines of `level` that are exactly `text`, or (`prefix`) start with it.
    int count(int level, const QString& text, bool prefix = false) const
    {
        std::lock_guard<std::mutex> lock(m_linesMutex);
        int n = 0;
        for (int i = 0; i < m_lines.size(); ++i) {
            const QString& line = m_lines.at(i);
            const bool matches = level < 0 ? line.contains(text)
                                 : prefix  ? line.startsWith(text)
                                           : line == text;
            n += (level < 0 || m_levels.at(i) == level) && matches ? 1 : 0;
        }
        return n;
    }
    bool contains(int level, const QString& text) const { return count(level, text) > 0; }
    bool containsPrefix(int level, const QString& prefix) const { return count(level, prefix, true) > 0; }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_linesMutex);
        m_lines.clear();
        m_levels.clear();
    }

protected:
    void sink_it_(const spdlog::details::log_msg& message) override
    {
        add(message.level, QString::fromUtf8(message.payload.data(), int(message.payload.size())));
    }
    void flush_() override {}

private:
    struct Attached
    {
    };
    explicit LogCapture(Attached) {}

    void add(int level, const QString& line)
    {
        std::lock_guard<std::mutex> lock(m_linesMutex);
        m_lines << line;
        m_levels << level;
    }

    mutable std::mutex m_linesMutex; // guards m_lines and m_levels; the sink's own mutex guards sink_it_
    QStringList m_lines;
    QList<int> m_levels;
    QMetaObject::Connection m_connection;
};
