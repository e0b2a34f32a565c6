#include "core/baselogger.h"
#include "core/dailyfilename.h"
#include "core/loggerfactory.h"
#include "core/uisink.h"
#include "testfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <spdlog/spdlog.h>

namespace {

class NamedObject : public BaseLogger
{
public:
    explicit NamedObject(const QString& name) : BaseLogger(name) {}
};

// The messages the in-process sink passed on.
QStringList messages(const QSignalSpy& spy)
{
    QStringList result;
    for (const QList<QVariant>& call : spy) {
        result.append(call.at(3).toString());
    }
    return result;
}

std::tm localTime(int year, int month, int day, int hour, int minute)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return tm;
}

} // namespace

TEST(DailyFileName, InsertsDateAndTimeBeforeTheExtension)
{
    EXPECT_EQ(DailyFileName::calc_filename("/data/Tool.log", localTime(2024, 3, 5, 9, 7)),
              "/data/Tool_2024-03-05_09-07.log");
    EXPECT_EQ(DailyFileName::calc_filename("/data/Tool", localTime(2024, 12, 31, 23, 59)),
              "/data/Tool_2024-12-31_23-59");
    // Only the file's own extension counts, not a dot in a directory name.
    EXPECT_EQ(DailyFileName::calc_filename("/data.d/service-software.log", localTime(2026, 1, 2, 0, 0)),
              "/data.d/service-software_2026-01-02_00-00.log");
}

TEST(Logging, InfoLevelKeepsTraceAndDebugFromEverySink)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("Tool.log"));
    LoggerFactory::instance()->init(spdlog::level::info, base);
    QSignalSpy spy(LoggerFactory::instance()->uiSink(), &UiSink::newMessage);

    NamedObject object(QStringLiteral("LevelInfo"));
    object.logger()->trace("trace line");
    object.logger()->debug("debug line");
    object.logger()->info("info {}", 42);
    object.logger()->warn("warn line");
    object.logger()->flush();

    EXPECT_EQ(messages(spy), (QStringList{QStringLiteral("info 42"), QStringLiteral("warn line")}));

    const QStringList files = QDir(dir.path()).entryList({"Tool_*.log"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegExp("Tool_\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}\\.log").exactMatch(files.first()));
    const QByteArray content = readFile(dir.filePath(files.first()));
    EXPECT_TRUE(content.contains("[LevelInfo] [info] info 42"));
    EXPECT_FALSE(content.contains("debug line"));
    EXPECT_FALSE(content.contains("trace line"));
}

TEST(Logging, TraceLevelWithoutAFilePassesEverythingToConsoleAndUiSink)
{
    LoggerFactory::instance()->init(spdlog::level::trace, QString());
    QSignalSpy spy(LoggerFactory::instance()->uiSink(), &UiSink::newMessage);
    NamedObject object(QStringLiteral("LevelTrace"));
    object.logger()->trace("t");
    object.logger()->debug("d");
    EXPECT_EQ(messages(spy), (QStringList{QStringLiteral("t"), QStringLiteral("d")}));
    ASSERT_EQ(object.logger()->sinks().size(), 2u);
    EXPECT_NE(std::dynamic_pointer_cast<UiSink>(object.logger()->sinks().back()), nullptr);
}

TEST(Logging, UiSinkCarriesLevelNameMessageAndTime)
{
    LoggerFactory::instance()->init(spdlog::level::debug, QString());
    QSignalSpy spy(LoggerFactory::instance()->uiSink(), &UiSink::newMessage);
    const QDateTime before = QDateTime::currentDateTime();
    NamedObject object(QStringLiteral("Carrier"));
    object.logger()->error("Wrong Answer: {}:{} {}", 2, 6, QStringLiteral("Gerät"));
    const QDateTime after = QDateTime::currentDateTime();

    ASSERT_EQ(spy.count(), 1);
    const QList<QVariant> call = spy.first();
    const QDateTime stamp = call.at(0).toDateTime();
    EXPECT_GE(stamp, before.addMSecs(-1));
    EXPECT_LE(stamp, after.addMSecs(1));
    EXPECT_EQ(call.at(1).toInt(), 4);
    EXPECT_EQ(call.at(2).toString(), QStringLiteral("Carrier"));
    EXPECT_EQ(call.at(3).toString(), QStringLiteral("Wrong Answer: 2:6 Gerät"));
}

TEST(Logging, SameNameSharesOneLoggerAndDestructionDropsTheName)
{
    LoggerFactory::instance()->init(spdlog::level::info, QString());
    QSignalSpy spy(LoggerFactory::instance()->uiSink(), &UiSink::newMessage);

    auto first = std::make_unique<NamedObject>(QStringLiteral("ReadLogJob"));
    NamedObject second(QStringLiteral("ReadLogJob"));
    EXPECT_EQ(first->logger(), second.logger());
    EXPECT_NE(spdlog::get("ReadLogJob"), nullptr);

    first.reset();
    EXPECT_EQ(spdlog::get("ReadLogJob"), nullptr);
    second.logger()->info("still writing");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.first().at(3).toString(), QStringLiteral("still writing"));

    // A later object of the same name starts with a fresh logger.
    NamedObject third(QStringLiteral("ReadLogJob"));
    EXPECT_NE(third.logger(), second.logger());
}

TEST(Logging, UnwritableLogFileKeepsConsoleAndUiSinkAndSaysWhy)
{
    QTemporaryDir dir;
    // A regular file where the log directory should be: the log file can never be created below it.
    writeFile(dir.filePath("blocked"));
    const QString impossible = dir.filePath(QStringLiteral("blocked/Tool.log"));

    testing::internal::CaptureStdout();
    LoggerFactory::instance()->init(spdlog::level::info, impossible);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NE(console.find("[error] Can't open log file"), std::string::npos) << console;
    EXPECT_NE(console.find("blocked/Tool.log"), std::string::npos) << console;

    QSignalSpy after(LoggerFactory::instance()->uiSink(), &UiSink::newMessage);
    NamedObject object(QStringLiteral("AfterFailure"));
    object.logger()->info("goes on");
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(after.first().at(3).toString(), QStringLiteral("goes on"));
    // Two sinks remain: console and in-process.
    EXPECT_EQ(object.logger()->sinks().size(), 2u);
}
