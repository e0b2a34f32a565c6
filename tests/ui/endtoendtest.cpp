// End to end under Xvfb: the launcher starts the tool with a simulated instrument; the Info page shows
// the unit's identity, the Service page its panel; the window is closed with its close button; the run
// leaves exit code 0, the shut-down line in the daily log and the window geometry in the settings file.
#include "core/applicationidentity.h"
#include "firmwarefiles.h"
#include "launcherprocess.h"

#include <QDirIterator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString findFile(const QString& dir, const QString& pattern)
{
    QDirIterator it(dir, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty()) {
            GTEST_SKIP() << "xvfb-run is not installed";
        }
        ASSERT_TRUE(dataHome.isValid());
    }

    QTemporaryDir dataHome;
    LauncherProcess launcher;
};

TEST_F(EndToEnd, LauncherShowsTheSimulatedControlUnitAndClosesCleanly)
{
    ASSERT_TRUE(launcher.start(dataHome.path(),
                               {"--kind", "control-unit", "--serial", "CU-E2E-0042", "--firmware", "4.5.6",
                                "--poll-interval", "500", "--no-control-window", "--trace"}))
        << launcher.tail().toStdString();

    // The Info page shows the unit's identity; for the screenshot, also wait until the identity and
    // option reads are over and the progress dialog has gone (not required: it may be slow to go).
    const QString identity = QStringLiteral("name=Control Unit|serial=CU-E2E-0042|firmware=4.5.6");
    QString info = launcher.poll("info", "info ", "info connected=1 busy=0 ");
    if (!info.startsWith(QLatin1String("info connected=1 "))) {
        info = launcher.poll("info", "info ", "info connected=1 ");
    }
    ASSERT_TRUE(info.startsWith(QLatin1String("info connected=1 ")) && info.endsWith(identity))
        << info.toStdString() << "\n"
        << launcher.tail().toStdString();
    EXPECT_TRUE(launcher.screenshot("e2e-info-page.png"));
    EXPECT_EQ(launcher.close(), 0) << launcher.tail().toStdString();

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
TEST_F(EndToEnd, ServicePageWithEachInstrumentsPanel)
{
    FirmwareFiles files;
    const QString firmware = files.write(QByteArray(4000, 'f'), FirmwareFiles::info("4.6.0", {"ALL"}));

    for (const QString kind : {"control-unit", "acoustic-sensor"}) {
        SCOPED_TRACE(kind.toStdString());
        LauncherProcess launcher;
        const QString home = dataHome.filePath(kind); // each run starts with its own settings
        QDir().mkpath(home);
        ASSERT_TRUE(launcher.start(home, {"--kind", kind, "--poll-interval", "500", "--no-control-window"}))
            << launcher.tail().toStdString();
        ASSERT_TRUE(launcher.poll("info", "info ", "info connected=1 busy=0 ")
                        .startsWith(QLatin1String("info connected=1 busy=0 ")))
            << launcher.tail().toStdString();
        EXPECT_TRUE(launcher.echoes(QStringLiteral("firmware ") + firmware));
        EXPECT_TRUE(launcher.echoes("page service"));
        QThread::msleep(1500); // a few touch-monitor rounds on the sensor's panel
        EXPECT_TRUE(launcher.screenshot(QStringLiteral("e2e-service-%1.png").arg(kind)));
        EXPECT_EQ(launcher.close(), 0) << launcher.tail().toStdString();
    }
}

} // namespace
