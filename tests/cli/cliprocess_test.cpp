// The built service-cli binary as a script or a production line runs it: no display, no graphics
// platform plugin, no instrument. Standard output carries the command's output only.
#include "core/applicationidentity.h"
#include "firmwarefiles.h"
#include "processrun.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CliProcess : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    // Runs the binary without a display: no DISPLAY, no Wayland, and a platform plugin that does not
    // exist, which an application that needed one would fail on. The system speaks English unless
    // `locale` says otherwise.
    ProcessRun start(const QStringList& arguments, const QString& locale = "C")
    {
        return runProcess(QStringLiteral(SERVICE_CLI_BINARY), arguments, home.path(),
                          {{"DISPLAY", ""},
                           {"WAYLAND_DISPLAY", QString()},
                           {"QT_QPA_PLATFORM", "no-such-platform"},
                           {"LC_ALL", locale},
                           {"LANG", locale}},
                          30000);
    }

    static QJsonObject document(const ProcessRun& finished)
    {
        QJsonParseError error{};
        const QJsonDocument json = QJsonDocument::fromJson(finished.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << finished.context();
        return json.object();
    }

    QTemporaryDir home;
};

TEST_F(CliProcess, HelpAndVersionNeedNothingElse)
{
    const ProcessRun help = start({"--help"});
    EXPECT_EQ(help.code, 0) << help.context();
    for (const char* part :
         {"Commands:", "firmware update FILE", "--without-snapshot", "--language <de|en>",
          "Exit codes:", "  5  ",
          // The answer "no" there ends the command as a script's missing --without-snapshot does.
          "\"no\" to \"Go on without a snapshot?\" included"}) {
        EXPECT_TRUE(help.out.contains(part)) << part;
    }
    EXPECT_TRUE(help.err.isEmpty()) << help.context();

    const ProcessRun version = start({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("service-cli %1\n").arg(ApplicationIdentity::version()).toUtf8());
}

TEST_F(CliProcess, FirmwareShowReadsAFileWithoutAnInstrument)
{
    FirmwareFiles files;
    const QString path = files.write(QByteArray(4096, '\x5a'), FirmwareFiles::info("4.5.6", {"C", "D"}, 16));
    const ProcessRun shown = start({"firmware", "show", path, "--json"});
    ASSERT_EQ(shown.code, 0) << shown.context();
    const QJsonObject firmware = document(shown).value("firmware").toObject();
    EXPECT_EQ(firmware.value("version").toString(), "4.5.6");
    EXPECT_EQ(firmware.value("supportedHardware").toArray().size(), 2);
    EXPECT_TRUE(firmware.value("hashMatches").toBool());
    EXPECT_EQ(firmware.value("bytesSent").toInt(), 4096 - 16);

    const QString junk = files.write("junk.firmware", QByteArray(300, 'j'));
    const ProcessRun refused = start({"firmware", "show", junk});
    EXPECT_EQ(refused.code, 5);
    // Without --debug the reader's warnings stay off the console: standard error holds only the answer.
    EXPECT_TRUE(refused.err.startsWith("service-cli: ")) << refused.context();
    EXPECT_EQ(refused.err.count('\n'), 1) << refused.context();
    EXPECT_EQ(start({"firmware", "show", home.filePath("none")}).code, 4);
}

TEST_F(CliProcess, NoInstrumentIsExitTwoAndLogsStayOffStandardOutput)
{
    // --debug sends log lines to standard error; standard output is still exactly one JSON document.
    const ProcessRun debug = start({"info", "--json", "--debug"});
    EXPECT_EQ(debug.code, 2) << debug.context();
    const QJsonObject answer = document(debug);
    EXPECT_EQ(answer.value("exitCode").toInt(), 2);
    EXPECT_TRUE(answer.value("error").toString().contains("No instrument")) << debug.context();
    EXPECT_TRUE(debug.err.contains("[Cli]")) << debug.context();

    // Without --debug, standard error holds only the plain answer.
    const ProcessRun plain = start({"info"});
    EXPECT_EQ(plain.code, 2);
    EXPECT_TRUE(plain.out.isEmpty()) << plain.context();
    EXPECT_TRUE(plain.err.startsWith("service-cli: No instrument")) << plain.context();
    EXPECT_EQ(plain.err.count('\n'), 1) << plain.context();

    // The lines went to the window's daily log in the application-data folder.
    QStringList logs;
    QDirIterator files(home.filePath("data"), {"service-software_*.log"}, QDir::Files,
                       QDirIterator::Subdirectories);
    QByteArray text;
    while (files.hasNext()) {
        logs << files.next();
        text += readFile(logs.last());
    }
    EXPECT_FALSE(logs.isEmpty());
    EXPECT_TRUE(text.contains("Command line: info")) << text.toStdString();
    EXPECT_TRUE(logs.value(0).contains("Tessor/Service Software Vectaris/Tymbrel/"))
        << logs.value(0).toStdString();
}

// The help and the messages speak the chosen language (--language, else the settings file, else the
// system's). That the JSON document and the exit codes stay the same is checked in-process.
TEST_F(CliProcess, TheLanguageComesFromTheOptionTheSettingsOrTheSystem)
{
    struct Case
    {
        const char* arguments;
        const char* locale;
        const char* setting; // [General] language=, or none
        bool german;
    };
    const Case cases[] = {
        {"--help", "C", nullptr, false},
        {"--language de --help", "C", nullptr, true},
        {"--language=de --help", "C", nullptr, true},
        {"--help", "de_DE.UTF-8", nullptr, true},
        {"--language en --help", "de_DE.UTF-8", nullptr, false},
        {"--help", "C", "de", true},
        {"--language en --help", "C", "de", false},
        {"--help", "de_DE.UTF-8", "en", false},
    };
    ApplicationIdentity::apply();
    const QString application = QCoreApplication::applicationName();
    const QString settings =
        home.filePath("data/%1/%2/%2.ini").arg(QCoreApplication::organizationName(), application);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings).absolutePath()));
    for (const Case& c : cases) {
        QFile::remove(settings);
        if (c.setting) {
            writeFile(settings, QByteArray("[General]\nlanguage=") + c.setting + '\n');
        }
        const ProcessRun help =
            start(QString::fromLatin1(c.arguments).split(QLatin1Char(' ')), QString::fromLatin1(c.locale));
        EXPECT_EQ(help.code, 0) << c.arguments << help.context();
        for (const char* german : {"Befehle:", "Das Gerät auf Werkseinstellungen zurücksetzen", "Exit-Codes:",
                                   "     des Auftrags werden genannt", "Ohne Sicherung fortfahren?"}) {
            EXPECT_EQ(help.out.contains(german), c.german)
                << c.arguments << " " << c.locale << ": " << german;
        }
        EXPECT_EQ(help.out.contains("Commands:"), !c.german) << c.arguments << " " << c.locale;
    }
    QFile::remove(settings);

    // The words of a refusal follow the language too; an unknown language is a usage error.
    const ProcessRun german = start({"--language", "de", "info"});
    EXPECT_EQ(german.code, 2);
    EXPECT_EQ(german.err, QByteArray("service-cli: Kein Gerät gefunden.\n")) << german.context();
    EXPECT_EQ(start({"--language", "fr", "info"}).code, 1);
}

} // namespace
