#pragma once

#include <spdlog/logger.h>
#include <spdlog/sinks/base_sink.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Records what one logger writes, so that a test can assert on the exact lines.
class LogCapture : public spdlog::sinks::base_sink<std::mutex>
{
public:
    struct Line
    {
        spdlog::level::level_enum level;
        std::string text;
    };

    // Attaches a capture to `logger` and opens the logger up to trace level.
    static std::shared_ptr<LogCapture> attach(const std::shared_ptr<spdlog::logger>& logger)
    {
        auto capture = std::make_shared<LogCapture>();
        logger->sinks().push_back(capture);
        logger->set_level(spdlog::level::trace);
        return capture;
    }

    std::vector<Line> lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return m_lines;
    }

    int count(spdlog::level::level_enum level, const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return int(std::count_if(m_lines.begin(), m_lines.end(),
                                 [&](const Line& line) { return line.level == level && line.text == text; }));
    }

    bool contains(spdlog::level::level_enum level, const std::string& text) { return count(level, text) > 0; }
    bool containsPrefix(spdlog::level::level_enum level, const std::string& prefix)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& line) {
            return line.level == level && line.text.compare(0, prefix.size(), prefix) == 0;
        });
    }

protected:
    void sink_it_(const spdlog::details::log_msg& message) override
    {
        m_lines.push_back(Line{message.level, std::string(message.payload.data(), message.payload.size())});
    }
    void flush_() override {}

private:
    std::vector<Line> m_lines;
};
