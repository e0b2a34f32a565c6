// "service-sim run": the built command line, started by the launcher, finds the simulated instrument
// through its own libusb, and the launcher ends with the command's exit status.
#include "processrun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProcessRun simRun(const QStringList& arguments, const QString& home)
{
    return runProcess(QStringLiteral(SERVICE_SIM_BINARY), QStringList{"run"} + arguments, home, {}, 30000);
}

TEST(SimRun, CommandSeesTheSimulatedUnitAndItsExitStatusComesBack)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const ProcessRun info = simRun(
        {"--kind", "control-unit", "--serial", "TS-RUN-0042", "--", SERVICE_CLI_BINARY, "info", "--json"},
        home.path());
    ASSERT_EQ(info.code, 0) << info.out.toStdString() << info.err.toStdString();
    const QJsonObject device = QJsonDocument::fromJson(info.out).object().value("device").toObject();
    EXPECT_EQ(device.value("serial").toString(), "TS-RUN-0042") << info.out.toStdString();
    EXPECT_EQ(device.value("kind").toString(), "control-unit");

    struct Case
    {
        QStringList arguments;
        int code;
    };
    const Case cases[] = {
        {{"--", "sh", "-c", "exit 7"}, 7},     {{"--", "sh", "-c", "kill -TERM $$"}, 128 + 15},
        {{"--", "no-such-program-here"}, 127}, {{"--kind", "no-such-kind", "--", "true"}, 125},
        {{"--kind", "control-unit"}, 125}, // no command
    };
    for (const Case& c : cases) {
        EXPECT_EQ(simRun(c.arguments, home.path()).code, c.code) << c.arguments.join(' ').toStdString();
    }
}

} // namespace
