// End to end under Xvfb: the launcher's control unit holds three walks; the Measurements page lists them
// and shows the first one's track and points. The screenshot stays in the build tree as a test
// artifact, for a person to look at.
#include "launcherprocess.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int kStartTimeoutMs = 30000;

TEST(MeasurementsScreenshot, PageShowsTheUnitsSeriesWithTheirTrack)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    const QString screenshot = QStringLiteral(SERVICE_E2E_ARTIFACT_DIR "/e2e-measurements-page.png");
    QDir().mkpath(QStringLiteral(SERVICE_E2E_ARTIFACT_DIR));
    QFile::remove(screenshot);

    QProcess process;
    LauncherProcess::start(process, QStringLiteral(SERVICE_SIM_PATH), dataHome.path(),
                           {QStringLiteral("--kind"), QStringLiteral("control-unit"),
                            QStringLiteral("--poll-interval"), QStringLiteral("500"),
                            QStringLiteral("--no-control-window")});
    ASSERT_TRUE(process.waitForStarted(10000));
    LauncherProcess launcher(process);
    ASSERT_FALSE(launcher.waitForLine(QStringLiteral("ready"), kStartTimeoutMs).isEmpty())
        << launcher.tail().toStdString();

    launcher.send(QStringLiteral("datasets 1 3 400"));
    ASSERT_EQ(launcher.waitForLine(QStringLiteral("datasets"), 5000), QStringLiteral("datasets 1 3 400"));
    ASSERT_TRUE(launcher
                    .poll(QStringLiteral("info"), QStringLiteral("info "),
                          QStringLiteral("info connected=1 busy=0"), kStartTimeoutMs)
                    .startsWith(QStringLiteral("info connected=1 busy=0")))
        << launcher.tail().toStdString();
    launcher.send(QStringLiteral("page measurements"));
    ASSERT_EQ(launcher.waitForLine(QStringLiteral("page"), 5000), QStringLiteral("page measurements"));
    // The store was filled after the unit was read: one reload brings the walks.
    launcher.send(QStringLiteral("click refreshDataSetsButton"));
    ASSERT_EQ(launcher.waitForLine(QStringLiteral("click"), 5000),
              QStringLiteral("click refreshDataSetsButton"));
    const QString shown = launcher.poll(
        QStringLiteral("measurements"), QStringLiteral("measurements "),
        QStringLiteral("measurements series=3 points=400 location=Cable route 1"), kStartTimeoutMs);
    EXPECT_EQ(shown, QStringLiteral("measurements series=3 points=400 location=Cable route 1"))
        << launcher.tail().toStdString();
    launcher.poll(QStringLiteral("info"), QStringLiteral("info "), QStringLiteral("info connected=1 busy=0"),
                  10000);
    QThread::msleep(500); // the progress dialog fades out

    launcher.send(QStringLiteral("screenshot ") + screenshot);
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("screenshot"), 10000),
              QStringLiteral("screenshot ") + screenshot);
    const QImage image(screenshot);
    EXPECT_FALSE(image.isNull());

    launcher.send(QStringLiteral("close"));
    EXPECT_EQ(launcher.waitForLine(QStringLiteral("closing"), 10000), QStringLiteral("closing"));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(30000)) << launcher.tail().toStdString();
    EXPECT_EQ(process.exitCode(), 0) << launcher.tail().toStdString();
}

} // namespace
