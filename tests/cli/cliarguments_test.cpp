// The command line as service-cli reads it: every subcommand with what it takes, and the usage errors
// that must stop a run before anything is looked at.
#include "app/cli/cliarguments.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using Command = CliArguments::Command;
using Format = CliArguments::Format;

QStringList line(const char* text)
{
    return QStringList{"service-cli"} + QString::fromUtf8(text).split(' ', Qt::SkipEmptyParts);
}

struct Accepted
{
    const char* line;
    Command command;
    const char* file;
    const char* output;
    Format format;
    bool destructive;
};

const Accepted kAccepted[] = {
    {"list", Command::List, "", "", Format::Kml, false},
    {"info --json", Command::Info, "", "", Format::Kml, false},
    {"options read", Command::OptionsRead, "", "", Format::Kml, false},
    {"options read -o a.json", Command::OptionsRead, "", "a.json", Format::Kml, false},
    {"options restore s.json --yes", Command::OptionsRestore, "s.json", "", Format::Kml, true},
    {"firmware show f.firmware", Command::FirmwareShow, "f.firmware", "", Format::Kml, false},
    {"firmware update f.firmware", Command::FirmwareUpdate, "f.firmware", "", Format::Kml, true},
    {"reset", Command::Reset, "", "", Format::Kml, true},
    {"log download -o x.log", Command::LogDownload, "", "x.log", Format::Kml, false},
    {"log clear", Command::LogClear, "", "", Format::Kml, true},
    {"datasets list", Command::DatasetsList, "", "", Format::Kml, false},
    {"datasets export -o t.GPX", Command::DatasetsExport, "", "t.GPX", Format::Gpx, false},
    {"datasets export -o t.gpx --format csv", Command::DatasetsExport, "", "t.gpx", Format::Csv, false},
    {"datasets export --output t.txt", Command::DatasetsExport, "", "t.txt", Format::Kml, false},
    {"datasets clear", Command::DatasetsClear, "", "", Format::Kml, true},
    {"calibrate", Command::Calibrate, "", "", Format::Kml, false},
};

TEST(CliArguments, AcceptsEverySubcommandWithWhatItTakes)
{
    for (const Accepted& accepted : kAccepted) {
        CliArguments arguments;
        ASSERT_TRUE(arguments.parse(line(accepted.line)))
            << accepted.line << ": " << arguments.error().toStdString();
        EXPECT_EQ(arguments.command(), accepted.command) << accepted.line;
        EXPECT_EQ(arguments.file(), QString::fromUtf8(accepted.file)) << accepted.line;
        EXPECT_EQ(arguments.output(), QString::fromUtf8(accepted.output)) << accepted.line;
        EXPECT_EQ(arguments.format(), accepted.format) << accepted.line;
        EXPECT_EQ(arguments.isDestructive(), accepted.destructive) << accepted.line;
        EXPECT_EQ(arguments.needsUsb(), accepted.command != Command::FirmwareShow) << accepted.line;
    }
}

TEST(CliArguments, ReadsSwitchesAndValues)
{
    CliArguments arguments;
    ASSERT_TRUE(arguments.parse(line("datasets export -o x.csv --series 3,1 --device 2:17 --wait 2.5 --json "
                                     "--yes --without-snapshot --debug")));
    EXPECT_EQ(arguments.series(), (QList<int>{3, 1}));
    ASSERT_TRUE(arguments.hasDevice());
    EXPECT_EQ(arguments.device(), UsbBusDeviceAddress(2, 17));
    EXPECT_DOUBLE_EQ(arguments.waitSeconds(), 2.5);
    EXPECT_TRUE(arguments.json());
    EXPECT_TRUE(arguments.yes());
    EXPECT_TRUE(arguments.withoutSnapshot());
    EXPECT_EQ(arguments.logLevel(), 1);
    EXPECT_TRUE(arguments.consoleLogging());

    ASSERT_TRUE(arguments.parse(line("info --trace --debug")));
    EXPECT_EQ(arguments.logLevel(), 0);
    ASSERT_TRUE(arguments.parse(line("info")));
    EXPECT_EQ(arguments.logLevel(), 2);
    EXPECT_FALSE(arguments.consoleLogging());
    EXPECT_FALSE(arguments.hasDevice());
    EXPECT_FALSE(arguments.json());
}

struct Refused
{
    const char* line;
    const char* reason; // part of the error text
};

const Refused kRefused[] = {
    {"", "No command"},
    {"frobnicate", "Unknown command"},
    {"info --language fr", "--language takes de or en"},
    {"options", "read, restore"},
    {"options write", "read, restore"},
    {"options restore", "takes one FILE"},
    {"firmware update a b", "takes one FILE"},
    {"info extra", "takes no argument"},
    {"info -o x", "-o is not taken"},
    {"log download", "needs -o FILE"},
    {"datasets export", "needs -o FILE"},
    {"datasets list --format kml", "datasets export only"},
    {"datasets export -o x --format pdf", "kml, gpx or csv"},
    {"datasets export -o x --series 0", "from 1 on"},
    {"datasets export -o x --series 1,x", "from 1 on"},
    {"datasets export -o x --series 2,2", "twice"},
    {"info --device 1-4", "BUS:ADDR"},
    {"info --device 1:256", "BUS:ADDR"},
    {"info --device :4", "BUS:ADDR"},
    {"info --wait -3", "number of seconds"},
    {"info --wait soon", "number of seconds"},
    {"info --bogus", "bogus"},
};

TEST(CliArguments, RefusesWhatIsNotAValidLine)
{
    for (const Refused& refused : kRefused) {
        CliArguments arguments;
        EXPECT_FALSE(arguments.parse(line(refused.line))) << refused.line;
        EXPECT_TRUE(arguments.error().contains(QString::fromUtf8(refused.reason)))
            << refused.line << ": " << arguments.error().toStdString();
    }
    // Even a refused line remembers that the answer was asked for as JSON.
    CliArguments arguments;
    EXPECT_FALSE(arguments.parse(line("frobnicate --json")));
    EXPECT_TRUE(arguments.json());
}

TEST(CliArguments, HelpAndVersionWinOverTheRestOfTheLine)
{
    CliArguments arguments;
    ASSERT_TRUE(arguments.parse(line("reset --help")));
    EXPECT_TRUE(arguments.helpRequested());
    ASSERT_TRUE(arguments.parse(line("frobnicate -v")));
    EXPECT_TRUE(arguments.versionRequested());
}

TEST(CliArguments, HelpNamesEverySubcommandOptionAndExitCode)
{
    const QString help = CliArguments::helpText();
    const QString words = QStringLiteral(
        "list|info|options read|options restore FILE|firmware show FILE|firmware update FILE|reset|"
        "log download -o FILE|log clear|datasets list|datasets export -o FILE|datasets clear|calibrate|"
        "--output|--format|--series|--device|--wait|--json|--yes|--without-snapshot|--debug|--trace|"
        "--usb-debug|--usb-info|--help|--version");
    for (const QString& word : words.split(QLatin1Char('|'))) {
        EXPECT_TRUE(help.contains(word)) << word.toStdString();
    }
    for (int code = 0; code <= 5; ++code) {
        EXPECT_TRUE(help.contains(QStringLiteral("\n  %1  ").arg(code))) << code;
    }
}

} // namespace
