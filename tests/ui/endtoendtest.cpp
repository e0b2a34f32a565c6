// End to end under Xvfb: the launcher starts the tool with a simulated control unit; the Info page
// shows the unit's identity; the window is closed with its close button; the run leaves exit code 0,
// the shut-down line in the daily log and the window geometry in the settings file.
#include "core/applicationidentity.h"
#include "firmware/firmwarecipher.h"
#include "launcherprocess.h"
#include "tools/firmwarepacker.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int kStartTimeoutMs = 30000;

QString findFile(const QString& dir, const QString& pattern)
{
    QDirIterator it(dir, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

TEST(EndToEnd, LauncherShowsTheSimulatedControlUnitAndClosesCleanly)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    const QString screenshot = QStringLiteral(SERVICE_E2E_ARTIFACT_DIR "/e2e-info-page.png");
    QDir().mkpath(QStringLiteral(SERVICE_E2E_ARTIFACT_DIR));
    QFile::remove(screenshot);

    QProcess process;
    LauncherProcess::start(process, QStringLiteral(SERVICE_SIM_PATH), dataHome.path(),
                           {QStringLiteral("--kind"), QStringLiteral("control-unit"),
                            QStringLiteral("--serial"), QStringLiteral("CU-E2E-0042"),
                            QStringLiteral("--firmware"), QStringLiteral("4.5.6"),
                            QStringLiteral("--poll-interval"), QStringLiteral("500"),
                            QStringLiteral("--no-control-window"), QStringLiteral("--trace")});
    ASSERT_TRUE(process.waitForStarted(10000));
    LauncherProcess launcher(process);
    ASSERT_FALSE(launcher.waitForLine(QStringLiteral("ready"), kStartTimeoutMs).isEmpty())
        << launcher.tail().toStdString();

    // The Info page shows the unit's identity; for the screenshot, also wait until the identity and
    // option reads are over and the progress dialog has gone (not required: it may be slow to go).
    const QString identity = QStringLiteral("name=Control Unit|serial=CU-E2E-0042|firmware=4.5.6");
    QString info;
    bool shown = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeoutMs) {
        launcher.send(QStringLiteral("info"));
        info = launcher.waitForLine(QStringLiteral("info "), 5000);
        shown = info.startsWith(QStringLiteral("info connected=1 ")) && info.endsWith(identity);
        if (shown && info.contains(QStringLiteral(" busy=0 "))) {
            break;
        }
        QThread::msleep(300);
    }
    ASSERT_TRUE(shown) << info.toStdString() << "\n" << launcher.tail().toStdString();

    launcher.send(QStringLiteral("screenshot ") + screenshot);
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("screenshot"), 10000),
              QStringLiteral("screenshot ") + screenshot);
    EXPECT_TRUE(QFile::exists(screenshot));

    launcher.send(QStringLiteral("close"));
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("closing"), 10000), QStringLiteral("closing"));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000)) << launcher.tail().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << launcher.tail().toStdString();

    const QString log = findFile(dataHome.path(), QStringLiteral("service-sim_*.log"));
    ASSERT_FALSE(log.isEmpty()) << "no daily log below " << dataHome.path().toStdString();
    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QByteArray logText = logFile.readAll();
    EXPECT_TRUE(logText.contains(
        QStringLiteral("Service Software Vectaris/Tymbrel %1").arg(ApplicationIdentity::version()).toUtf8()));
    EXPECT_TRUE(logText.contains("Deinit USB Manager"));

    const QString ini = findFile(dataHome.path(), QStringLiteral("Tymbrel.ini"));
    ASSERT_FALSE(ini.isEmpty());
    QSettings settings(ini, QSettings::IniFormat);
    EXPECT_FALSE(settings.value(QStringLiteral("Geometry/MainWindow")).toByteArray().isEmpty());
    EXPECT_EQ(settings.value(QStringLiteral("WindowStates/MainWindow")).toInt(), 0);
}

// The Service page as a technician sees it with each kind that has a service panel, with a firmware file
// in the recent list: the screenshots stay in the build tree as artifacts.
struct ServiceCase
{
    const char* kind;
    const char* screenshot;
};

class EndToEndService : public ::testing::TestWithParam<ServiceCase>
{
};

TEST_P(EndToEndService, ServicePageWithTheInstrumentsPanel)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    const QString screenshot =
        QStringLiteral(SERVICE_E2E_ARTIFACT_DIR "/") + QLatin1String(GetParam().screenshot);
    QDir().mkpath(QStringLiteral(SERVICE_E2E_ARTIFACT_DIR));
    QFile::remove(screenshot);

    FirmwareInfo header;
    header.firmwareVersion = QStringLiteral("4.6.0");
    header.changelog = QStringLiteral("- touch sensor threshold kept over a restart\n- Bulgarian menus");
    header.type = QStringLiteral("Tymbrel");
    header.supportedHardware = QStringList{QStringLiteral("ALL")};
    header.createdAt = QStringLiteral("2026-11-30");
    FirmwarePacker packer{FirmwareCipher::kBuiltInKey};
    const QString firmware = dataHome.filePath(QStringLiteral("tymbrel-4.6.0.firmware"));
    ASSERT_TRUE(
        packer.save(firmware, packer.packFirmware(QByteArray(4000, 'f'), header, FirmwareCipher::FlagHash)));

    QProcess process;
    LauncherProcess::start(process, QStringLiteral(SERVICE_SIM_PATH), dataHome.path(),
                           {QStringLiteral("--kind"), QLatin1String(GetParam().kind),
                            QStringLiteral("--poll-interval"), QStringLiteral("500"),
                            QStringLiteral("--no-control-window")});
    ASSERT_TRUE(process.waitForStarted(10000));
    LauncherProcess launcher(process);
    ASSERT_FALSE(launcher.waitForLine(QStringLiteral("ready"), kStartTimeoutMs).isEmpty())
        << launcher.tail().toStdString();

    QString info;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kStartTimeoutMs) {
        launcher.send(QStringLiteral("info"));
        info = launcher.waitForLine(QStringLiteral("info "), 5000);
        if (info.startsWith(QStringLiteral("info connected=1 busy=0 "))) {
            break;
        }
        QThread::msleep(300);
    }
    ASSERT_TRUE(info.startsWith(QStringLiteral("info connected=1 busy=0 "))) << launcher.tail().toStdString();

    launcher.send(QStringLiteral("firmware ") + firmware);
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("firmware"), 10000),
              QStringLiteral("firmware ") + firmware);
    launcher.send(QStringLiteral("page service"));
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("page"), 10000), QStringLiteral("page service"));
    QThread::msleep(1500); // a few touch-monitor rounds on the sensor's panel
    launcher.send(QStringLiteral("screenshot ") + screenshot);
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("screenshot"), 10000),
              QStringLiteral("screenshot ") + screenshot);
    EXPECT_TRUE(QFile::exists(screenshot));

    launcher.send(QStringLiteral("close"));
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("closing"), 10000), QStringLiteral("closing"));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000)) << launcher.tail().toStdString();
    EXPECT_EQ(process.exitCode(), 0) << launcher.tail().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, EndToEndService,
                         ::testing::Values(ServiceCase{"control-unit", "e2e-service-control-unit.png"},
                                           ServiceCase{"acoustic-sensor", "e2e-service-acoustic-sensor.png"}),
                         [](const ::testing::TestParamInfo<ServiceCase>& info) {
                             return info.index == 0 ? std::string("ControlUnit")
                                                    : std::string("AcousticSensor");
                         });

} // namespace
