// "service-sim run": the built command line, started by the launcher, finds the simulated instrument
// through its own libusb, and the launcher ends with the command's exit status.
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Finished
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Finished simRun(const QStringList& arguments, const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SERVICE_SIM_BINARY), QStringList{QStringLiteral("run")} + arguments);
    Finished run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "service-sim run did not finish";
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

TEST(SimRun, CommandSeesTheSimulatedUnitAndItsExitStatusComesBack)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const Finished info = simRun(
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
