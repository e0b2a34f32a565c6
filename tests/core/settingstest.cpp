#include "core/settings.h"
#include "core/loggerfactory.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// ctest runs the cases of this file side by side, each in a process of its own; test mode alone would
// have them share one file below the real home, so each process gets a home of its own.
void useOwnHome()
{
    static QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace

// Every case runs in a process of its own, so here the settings store is the first singleton asked for:
// its constructor creates the logger factory while the creation lock is held.
TEST(SingletonOrder, TheSettingsStoreMayComeBeforeTheLoggerFactory)
{
    useOwnHome();
    QCoreApplication::setApplicationName("Service Software Vectaris/Tymbrel");
    Settings* settings = Settings::instance();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->logger(), LoggerFactory::instance()->logger("Settings"));
}

namespace {

// Test mode keeps the store away from the user's real files; every case starts from an empty store.
class SettingsTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        useOwnHome();
        QCoreApplication::setOrganizationName("Tessor");
        QCoreApplication::setApplicationName("Service Software Vectaris/Tymbrel");
        LoggerFactory::instance()->init(0, QString());
    }

    void SetUp() override
    {
        QSettings raw(Settings::instance()->fileName(), QSettings::IniFormat);
        raw.clear();
        raw.sync();
    }

    QString makeFile(const QString& name)
    {
        return QFileInfo(writeFile(m_dir.filePath(name), "firmware")).absoluteFilePath();
    }

    QStringList stored() const
    {
        QSettings raw(Settings::instance()->fileName(), QSettings::IniFormat);
        return raw.value("FirmwareFiles").toStringList();
    }

    // The application name holds a '/', so the default template would name a missing directory.
    QTemporaryDir m_dir{QDir::tempPath() + "/settingstest-XXXXXX"};
};

} // namespace

TEST_F(SettingsTest, AFreshStoreBelowTheApplicationDataDirectoryHasTheDefaults)
{
    Settings* settings = Settings::instance();
    const QString expected = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                 .absoluteFilePath("Service Software Vectaris/Tymbrel.ini");
    EXPECT_EQ(settings->fileName(), expected);
    EXPECT_TRUE(settings->restoreGeometry("MainWindow").isEmpty());
    EXPECT_EQ(settings->restoreWindowStates(), Qt::WindowNoState);
    EXPECT_TRUE(settings->firmwareFile().isEmpty());
    EXPECT_TRUE(settings->firmwarePath().isEmpty());
    EXPECT_TRUE(settings->firmwareFile(-1).isEmpty());
}

TEST_F(SettingsTest, GeometryAndStatesSurviveInTheFile)
{
    Settings* settings = Settings::instance();
    settings->saveGeometry("MainWindow", QByteArray("\x01\x02geometry", 10));
    settings->saveWindowStates(Qt::WindowMaximized | Qt::WindowActive);
    settings->sync();

    QSettings raw(settings->fileName(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Geometry/MainWindow").toByteArray(), QByteArray("\x01\x02geometry", 10));
    EXPECT_EQ(raw.value("WindowStates/MainWindow").toInt(), int(Qt::WindowMaximized | Qt::WindowActive));
    EXPECT_EQ(settings->restoreWindowStates(), Qt::WindowMaximized | Qt::WindowActive);
}

// Most recent first, each file once, ten at most; the folder is announced when it changes.
TEST_F(SettingsTest, RecentFirmwareFilesAreTheTenLastUsedNewestFirst)
{
    Settings* settings = Settings::instance();
    QSignalSpy spy(settings, &Settings::firmwarePathChanged);
    QStringList files;
    for (int i = 0; i < 11; ++i) {
        files.prepend(makeFile(QStringLiteral("f%1.firmware").arg(i)));
        settings->addFirmwareFile(files.first());
    }
    ASSERT_EQ(spy.count(), 11);
    EXPECT_EQ(spy.first().at(0).toString(), QFileInfo(files.last()).absolutePath());
    EXPECT_EQ(stored(), files.mid(0, 10));
    EXPECT_EQ(settings->firmwareFile(9), files.at(9));
    EXPECT_TRUE(settings->firmwareFile(10).isEmpty());

    settings->addFirmwareFile(files.first()); // the newest again: nothing changes
    EXPECT_EQ(spy.count(), 11);
    settings->addFirmwareFile(files.at(2)); // an older one moves to the front
    EXPECT_EQ(spy.count(), 12);
    EXPECT_EQ(stored().mid(0, 4), (QStringList{files.at(2), files.at(0), files.at(1), files.at(3)}));
    EXPECT_EQ(stored().size(), 10);
}

TEST_F(SettingsTest, MissingOrVanishedFilesAreNotOffered)
{
    Settings* settings = Settings::instance();
    QSignalSpy spy(settings, &Settings::firmwarePathChanged);
    settings->addFirmwareFile(QString());
    settings->addFirmwareFile(m_dir.filePath("never-existed.firmware"));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(stored().isEmpty());

    const QString older = makeFile("older.firmware");
    const QString newer = makeFile("newer.firmware");
    settings->addFirmwareFile(older);
    settings->addFirmwareFile(newer);
    QFile::remove(newer);

    // The entry stays in the list but reads as empty; older entries are still offered by index.
    EXPECT_EQ(stored().size(), 2);
    EXPECT_TRUE(settings->firmwareFile(0).isEmpty());
    EXPECT_TRUE(settings->firmwarePath().isEmpty());
    EXPECT_EQ(settings->firmwareFile(1), older);
}
