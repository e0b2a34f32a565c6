// The console of service-cli: what a person's answer means, how progress looks on a terminal and in a
// log, and that JSON mode leaves standard output to the one document.
#include "app/cli/clireport.h"
#include "clistreams.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

using Streams = CliStreams;

TEST(CliConsole, OnlyYesIsYes)
{
    const std::pair<const char*, bool> answers[] = {
        {"y\n", true}, {"yes\n", true}, {" Y \n", true}, {"YES", true},           {"n\n", false},
        {"\n", false}, {"", false},     {"ja\n", false}, {"yes please\n", false}, {"\ny\n", false}};
    for (const auto& answer : answers) {
        Streams streams(answer.first, true);
        EXPECT_EQ(streams.console->ask(QStringLiteral("Reset?")), answer.second) << answer.first;
        EXPECT_EQ(streams.err.data(), QByteArray("Reset? [y/N] "));
        EXPECT_TRUE(streams.out.data().isEmpty());
    }
}

TEST(CliConsole, ProgressOffATerminalIsALineEveryTenth)
{
    Streams streams;
    for (int value = 0; value <= 1000; value += 7) {
        streams.console->progress(QStringLiteral("Writing firmware..."), value, 1000);
    }
    streams.console->progress(QStringLiteral("Writing firmware..."), 1000, 1000);
    streams.console->progress(QStringLiteral("Verifying..."), 1000, 1000);
    const QList<QByteArray> lines = streams.err.data().split('\n');
    ASSERT_EQ(lines.size(),
              13); // 0%, 10% ... 100%, the verify line, and the empty rest after the last newline
    EXPECT_EQ(lines.at(0), QByteArray("Writing firmware... 0%"));
    EXPECT_EQ(lines.at(10), QByteArray("Writing firmware... 100%"));
    EXPECT_EQ(lines.at(11), QByteArray("Verifying... 100%"));
    EXPECT_FALSE(streams.err.data().contains('\r'));
    EXPECT_TRUE(streams.out.data().isEmpty());
}

TEST(CliConsole, ProgressOnATerminalRedrawsOneLine)
{
    Streams streams(QByteArray(), true);
    for (int value = 0; value <= 100; ++value) {
        streams.console->progress(QStringLiteral("Calibrating"), value, 100);
    }
    EXPECT_EQ(streams.err.data().count('\r'), 101);
    EXPECT_FALSE(streams.err.data().contains('\n'));
    EXPECT_TRUE(streams.err.data().contains("[##############################] 100% Calibrating"));
    // The next output starts on a line of its own.
    streams.console->note(QStringLiteral("done"));
    EXPECT_TRUE(streams.err.data().endsWith("Calibrating\x1b[K\ndone\n"));
}

TEST(CliConsole, JsonModeLeavesStandardOutputToTheDocument)
{
    Streams streams;
    streams.console->setJson(true);
    streams.console->print(QStringLiteral("a human line"));
    streams.console->note(QStringLiteral("a note"));
    CliReport report(QStringLiteral("log clear"));
    report.insert(QStringLiteral("snapshot"), QStringLiteral("/x.json"));
    EXPECT_EQ(report.fail(CliExitCode::InstrumentFailed, QStringLiteral("log clear failed"), -7), 3);
    EXPECT_EQ(report.fail(CliExitCode::FileError, QStringLiteral("later")), 3); // the first failure stands
    streams.console->document(report.toJson());

    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(streams.out.data(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << streams.out.data().toStdString();
    const QJsonObject json = document.object();
    EXPECT_EQ(json.value("command").toString(), QStringLiteral("log clear"));
    EXPECT_FALSE(json.value("ok").toBool());
    EXPECT_EQ(json.value("exitCode").toInt(), 3);
    EXPECT_EQ(json.value("error").toString(), QStringLiteral("log clear failed"));
    EXPECT_EQ(json.value("result").toInt(), -7);
    EXPECT_EQ(json.value("snapshot").toString(), QStringLiteral("/x.json"));
    EXPECT_EQ(streams.err.data(), QByteArray("a note\n"));

    // A report that went well carries neither an error nor a result.
    const QJsonObject done = CliReport(QStringLiteral("info")).toJson();
    EXPECT_TRUE(done.value("ok").toBool());
    EXPECT_FALSE(done.contains("error"));
    EXPECT_FALSE(done.contains("result"));
}

} // namespace
