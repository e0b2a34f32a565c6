// End to end under Xvfb: the launcher's control unit holds three walks; the Measurements page lists them
// and shows the first one's track and points. The screenshot stays in the build tree as a test
// artifact, for a person to look at.
#include "launcherprocess.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(MeasurementsScreenshot, PageShowsTheUnitsSeriesWithTheirTrack)
{
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.start(dataHome.path(),
                               {"--kind", "control-unit", "--poll-interval", "500", "--no-control-window"}))
        << launcher.tail().toStdString();

    ASSERT_TRUE(launcher.echoes("datasets 1 3 400"));
    ASSERT_TRUE(
        launcher.poll("info", "info ", "info connected=1 busy=0").startsWith("info connected=1 busy=0"))
        << launcher.tail().toStdString();
    ASSERT_TRUE(launcher.echoes("page measurements"));
    // The store was filled after the unit was read: one reload brings the walks.
    ASSERT_TRUE(launcher.echoes("click refreshDataSetsButton"));
    const QString series = QStringLiteral("measurements series=3 points=400 location=Cable route 1");
    EXPECT_EQ(launcher.poll("measurements", "measurements ", series), series)
        << launcher.tail().toStdString();
    launcher.poll("info", "info ", "info connected=1 busy=0", 10000);
    QThread::msleep(500); // the progress dialog fades out

    EXPECT_TRUE(launcher.screenshot("e2e-measurements-page.png"));
    EXPECT_EQ(launcher.close(), 0) << launcher.tail().toStdString();
}

} // namespace
