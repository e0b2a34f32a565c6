#pragma once

#include "core/loggerfactory.h"
#include "core/uisink.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <mutex>

// Collects every log line written while it lives ("<logger>: <message>"), from any thread.
// Loggers created before the first LogCapture of a process write nowhere: create it first.
class LogCapture
{
public:
    explicit LogCapture(int level = 0)
    {
        LoggerFactory::instance()->init(level, QString());
        m_connection = QObject::connect(LoggerFactory::instance()->uiSink(), &UiSink::newMessage,
                                        [this](QDateTime, int, QString loggerName, QString message) {
                                            std::lock_guard<std::mutex> lock(m_mutex);
                                            m_lines << loggerName + QStringLiteral(": ") + message;
                                        });
    }
    ~LogCapture() { QObject::disconnect(m_connection); }

    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    // Number of lines containing `text`.
    int count(const QString& text) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int n = 0;
        for (const QString& line : m_lines) {
            n += line.contains(text) ? 1 : 0;
        }
        return n;
    }
    bool contains(const QString& text) const { return count(text) > 0; }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

private:
    mutable std::mutex m_mutex; // guards m_lines
    QStringList m_lines;
    QMetaObject::Connection m_connection;
};
