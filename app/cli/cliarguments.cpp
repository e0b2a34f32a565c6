#include "app/cli/cliarguments.h"

#include "core/applicationidentity.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

using Command = CliArguments::Command;

enum class Output
{
    No,
    Optional,
    Required
};

struct CommandEntry
{
    Command command;
    const char* words;
    const char* argument; // "FILE" when the subcommand takes one
    Output output;
    bool exportOptions; // --format and --series
    bool destructive;
    bool usb;
    const char* summary;
};

const CommandEntry kCommands[] = {
    {Command::List, "list", nullptr, Output::No, false, false, true,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "List the recognised instruments on the bus (address, kind, vendor:product) without opening them.")},
    {Command::Info, "info", nullptr, Output::No, false, false, true,
     QT_TRANSLATE_NOOP("CliArguments", "Show the instrument's identity.")},
    {Command::OptionsRead, "options read", nullptr, Output::Optional, false, false, true,
     QT_TRANSLATE_NOOP("CliArguments",
                       "Read every option into a snapshot file: -o FILE, else into the snapshot folder.")},
    {Command::OptionsRestore, "options restore", "FILE", Output::No, false, true, true,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "Put a snapshot's values back: shows the changes, writes them, reboots, reads them back.")},
    {Command::FirmwareShow, "firmware show", "FILE", Output::No, false, false, false,
     QT_TRANSLATE_NOOP("CliArguments",
                       "Show a firmware file's header and check its hash (no instrument needed).")},
    {Command::FirmwareUpdate, "firmware update", "FILE", Output::No, false, true, true,
     QT_TRANSLATE_NOOP("CliArguments", "Install a firmware file; the instrument verifies it and restarts.")},
    {Command::Reset, "reset", nullptr, Output::No, false, true, true,
     QT_TRANSLATE_NOOP("CliArguments", "Reset the instrument to its factory settings; it restarts.")},
    {Command::LogDownload, "log download", nullptr, Output::Required, false, false, true,
     QT_TRANSLATE_NOOP("CliArguments", "Save the instrument's event log to -o FILE (Latin-1 text).")},
    {Command::LogClear, "log clear", nullptr, Output::No, false, true, true,
     QT_TRANSLATE_NOOP("CliArguments", "Delete the instrument's event log.")},
    {Command::DatasetsList, "datasets list", nullptr, Output::No, false, false, true,
     QT_TRANSLATE_NOOP("CliArguments", "List the control unit's measurement series.")},
    {Command::DatasetsExport, "datasets export", nullptr, Output::Required, true, false, true,
     QT_TRANSLATE_NOOP("CliArguments", "Export measurement series to -o FILE as KML, GPX or CSV.")},
    {Command::DatasetsClear, "datasets clear", nullptr, Output::No, false, true, true,
     QT_TRANSLATE_NOOP("CliArguments", "Delete every measurement series on the control unit.")},
    {Command::Calibrate, "calibrate", nullptr, Output::No, false, false, true,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "Calibrate the acoustic sensor's touch detector (the production sweep) and store the threshold.")},
    {Command::SupportBundle, "support-bundle", nullptr, Output::Required, false, false, true,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "Save a zip file for support to -o FILE: the last seven daily logs, the instrument's snapshots (all "
         "when none is attached), the settings without secrets, the connection findings, versions and the "
         "USB "
         "device list.")},
    {Command::History, "history", nullptr, Output::No, false, false, false,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "Show the service records, newest first: every instrument, or --serial S; --since DATE.")},
    {Command::Station, "station", nullptr, Output::No, false, false, true,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "Production station: board after board gets --function NAME, its firmware and a serial, "
         "is verified and recorded; one line per board, PASS or FAIL.")},
};

struct OptionEntry
{
    const char* names; // comma-separated, short name first
    const char* valueName;
    const char* description;
};

const OptionEntry kOptions[] = {
    {"o,output", "FILE",
     QT_TRANSLATE_NOOP("CliArguments", "Where options read, log download and datasets export write.")},
    {"format", "kml|gpx|csv",
     QT_TRANSLATE_NOOP("CliArguments", "Format of datasets export (default: from the -o suffix, else kml).")},
    {"series", "N,...",
     QT_TRANSLATE_NOOP("CliArguments",
                       "Series of datasets export, numbered as datasets list shows them (default: all).")},
    {"device", "BUS:ADDR",
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "The instrument at this bus and address (see list); needed when several are attached.")},
    {"wait", "SECONDS",
     QT_TRANSLATE_NOOP("CliArguments",
                       "Wait up to SECONDS for an instrument to arrive (default: one scan of the bus).")},
    {"serial", "S", QT_TRANSLATE_NOOP("CliArguments", "history: the records of this serial only.")},
    {"since", "DATE",
     QT_TRANSLATE_NOOP("CliArguments",
                       "history: records from this date (YYYY-MM-DD) or time (ISO 8601) on.")},
    {"function", "NAME",
     QT_TRANSLATE_NOOP("CliArguments",
                       "station: the function of the option description file every board gets.")},
    {"firmware", "FILE",
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "station: the function's firmware (default: the one the option file names); the option "
         "file is read from this file's folder.")},
    {"base-firmware", "FILE",
     QT_TRANSLATE_NOOP("CliArguments",
                       "station: the base firmware an update-only board gets first (default: the option "
                       "file's).")},
    {"serials", "FROM..TO",
     QT_TRANSLATE_NOOP("CliArguments",
                       "station: serials from this range (LINE-0001..LINE-0500); the next free one is "
                       "remembered, a failed board uses none.")},
    {"scan", nullptr,
     QT_TRANSLATE_NOOP("CliArguments",
                       "station: one serial per board from standard input (a barcode scanner); the board "
                       "plugged next gets it.")},
    {"count", "N", QT_TRANSLATE_NOOP("CliArguments", "station: stop after N boards.")},
    {"rework", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "station: a board that carries another serial gets the new one.")},
    {"json", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "Print exactly one JSON document on standard output.")},
    {"yes", nullptr,
     QT_TRANSLATE_NOOP("CliArguments",
                       "Confirm a destructive command (needed when standard input is not a terminal).")},
    {"without-snapshot", nullptr,
     QT_TRANSLATE_NOOP("CliArguments",
                       "Go on with a destructive command when no complete options snapshot could be taken.")},
    {"include-identity", nullptr,
     QT_TRANSLATE_NOOP(
         "CliArguments",
         "options restore: also write the identity options (serials, types, hardware revision, test "
         "results); left as they are otherwise, --yes included.")},
    {"language", "de|en",
     QT_TRANSLATE_NOOP("CliArguments",
                       "Language of the messages and of this help (default: language= in the settings "
                       "file's [General] section, else the system's).")},
    {"debug", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "Log at debug level; log lines also go to standard error.")},
    {"trace", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "Log at trace level; log lines also go to standard error.")},
    {"usb-debug", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "Turn on libusb's own debug logging (standard error).")},
    {"usb-info", nullptr,
     QT_TRANSLATE_NOOP("CliArguments", "Turn on libusb's own info logging (standard error).")},
    {"h,help", nullptr, QT_TRANSLATE_NOOP("CliArguments", "Show this help.")},
    {"v,version", nullptr, QT_TRANSLATE_NOOP("CliArguments", "Show the version.")},
};

// A text of the tables above in the installed language.
QString translated(const char* source)
{
    return QCoreApplication::translate("CliArguments", source);
}

QStringList namesOf(const OptionEntry& option)
{
    return QString::fromLatin1(option.names).split(QLatin1Char(','));
}

QString commandLine(const CommandEntry& entry)
{
    QString line = QString::fromLatin1(entry.words);
    if (entry.argument) {
        line += QLatin1Char(' ') + QString::fromLatin1(entry.argument);
    }
    if (entry.output == Output::Required) {
        line += QStringLiteral(" -o FILE");
    } else if (entry.output == Output::Optional) {
        line += QStringLiteral(" [-o FILE]");
    }
    return line;
}

const CommandEntry* entryOf(Command command)
{
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command) {
            return &entry;
        }
    }
    return nullptr;
}

// "  <left>   <description>" with the description wrapped at word boundaries to fit kHelpWidth, its
// continuation lines indented to the description column.
constexpr int kHelpColumn = 34;
constexpr int kHelpWidth = 100;

QString helpEntry(const QString& left, const QString& description)
{
    QString text = QStringLiteral("  ") + left;
    text = text.size() + 2 > kHelpColumn ? text + QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' '))
                                         : text.leftJustified(kHelpColumn);
    int column = kHelpColumn;
    bool first = true;
    for (const QString& word : description.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!first && column + 1 + word.size() > kHelpWidth) {
            text += QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' '));
            column = kHelpColumn;
            first = true;
        }
        if (!first) {
            text += QLatin1Char(' ');
            ++column;
        }
        text += word;
        column += word.size();
        first = false;
    }
    return text + QLatin1Char('\n');
}

} // namespace

bool CliArguments::fail(const CliText& reason)
{
    m_error = reason;
    return false;
}

bool CliArguments::parse(const QStringList& arguments)
{
    *this = CliArguments();
    // Known before parsing, so that even a usage error can be answered as the JSON document asked for.
    m_json = arguments.mid(1).contains(QStringLiteral("--json"));

    QCommandLineParser parser;
    for (const OptionEntry& option : kOptions) {
        QCommandLineOption parsed(namesOf(option), QString::fromLatin1(option.description));
        if (option.valueName) {
            parsed.setValueName(QString::fromLatin1(option.valueName));
        }
        parser.addOption(parsed);
    }
    if (!parser.parse(arguments)) {
        // Qt's own text would follow the installed language; this one reads the same in the JSON document.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            return fail(CliText::translate("CliArguments", "Unknown option \"%1\".")
                            .arg(unknown.first().size() == 1 ? QStringLiteral("-") + unknown.first()
                                                             : QStringLiteral("--") + unknown.first()));
        }
        return fail(parser.errorText());
    }
    m_help = parser.isSet(QStringLiteral("help"));
    m_version = parser.isSet(QStringLiteral("version"));
    m_logLevel = parser.isSet(QStringLiteral("trace")) ? 0 : parser.isSet(QStringLiteral("debug")) ? 1 : 2;
    m_yes = parser.isSet(QStringLiteral("yes"));
    m_withoutSnapshot = parser.isSet(QStringLiteral("without-snapshot"));
    m_includeIdentity = parser.isSet(QStringLiteral("include-identity"));

    if (m_help || m_version) {
        return true; // shown whatever else the line says
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return fail(CliText::translate("CliArguments", "No command given."));
    }

    // The longest subcommand whose words open the positional arguments.
    const CommandEntry* entry = nullptr;
    int wordCount = 0;
    for (const CommandEntry& candidate : kCommands) {
        const QStringList words = QString::fromLatin1(candidate.words).split(QLatin1Char(' '));
        if (positional.mid(0, words.size()) == words && words.size() > wordCount) {
            entry = &candidate;
            wordCount = words.size();
        }
    }
    if (!entry) {
        QStringList group;
        for (const CommandEntry& candidate : kCommands) {
            const QStringList words = QString::fromLatin1(candidate.words).split(QLatin1Char(' '));
            if (words.size() == 2 && words.first() == positional.first()) {
                group << words.last();
            }
        }
        if (!group.isEmpty()) {
            return fail(CliText::translate("CliArguments", "\"%1\" needs one of: %2.")
                            .arg(positional.first(), group.join(QStringLiteral(", "))));
        }
        return fail(CliText::translate("CliArguments", "Unknown command \"%1\".").arg(positional.first()));
    }
    m_command = entry->command;
    m_commandName = QString::fromLatin1(entry->words);

    const QStringList rest = positional.mid(wordCount);
    if (entry->argument) {
        if (rest.size() != 1 || rest.first().isEmpty()) {
            return fail(CliText::translate("CliArguments", "%1 takes one %2.")
                            .arg(m_commandName, QString::fromLatin1(entry->argument)));
        }
        m_file = rest.first();
    } else if (!rest.isEmpty()) {
        return fail(CliText::translate("CliArguments", "%1 takes no argument \"%2\".")
                        .arg(m_commandName, rest.first()));
    }

    if (parser.isSet(QStringLiteral("output"))) {
        if (entry->output == Output::No) {
            return fail(
                CliText::translate("CliArguments", "%1 writes no file: -o is not taken.").arg(m_commandName));
        }
        m_output = parser.value(QStringLiteral("output"));
        if (m_output.isEmpty()) {
            return fail(CliText::translate("CliArguments", "-o needs a file name."));
        }
    } else if (entry->output == Output::Required) {
        return fail(CliText::translate("CliArguments", "%1 needs -o FILE.").arg(m_commandName));
    }

    const bool formatSet = parser.isSet(QStringLiteral("format"));
    const bool seriesSet = parser.isSet(QStringLiteral("series"));
    if ((formatSet || seriesSet) && !entry->exportOptions) {
        return fail(
            CliText::translate("CliArguments", "--format and --series go with datasets export only."));
    }
    if (formatSet) {
        const QString format = parser.value(QStringLiteral("format")).toLower();
        if (format == QLatin1String("kml")) {
            m_format = Format::Kml;
        } else if (format == QLatin1String("gpx")) {
            m_format = Format::Gpx;
        } else if (format == QLatin1String("csv")) {
            m_format = Format::Csv;
        } else {
            return fail(CliText::translate("CliArguments", "--format takes kml, gpx or csv, not \"%1\".")
                            .arg(parser.value(QStringLiteral("format"))));
        }
    } else if (entry->exportOptions) {
        const QString suffix = QFileInfo(m_output).suffix().toLower();
        m_format = suffix == QLatin1String("gpx")   ? Format::Gpx
                   : suffix == QLatin1String("csv") ? Format::Csv
                                                    : Format::Kml;
    }
    if (seriesSet) {
        const QStringList numbers = parser.value(QStringLiteral("series")).split(QLatin1Char(','));
        for (const QString& text : numbers) {
            bool ok = false;
            const int number = text.trimmed().toInt(&ok);
            if (!ok || number < 1) {
                return fail(CliText::translate("CliArguments",
                                               "--series takes series numbers from 1 on, separated by "
                                               "commas, not \"%1\".")
                                .arg(text));
            }
            if (m_series.contains(number)) {
                return fail(
                    CliText::translate("CliArguments", "--series names series %1 twice.").arg(number));
            }
            m_series.append(number);
        }
    }

    const bool serialSet = parser.isSet(QStringLiteral("serial"));
    const bool sinceSet = parser.isSet(QStringLiteral("since"));
    if ((serialSet || sinceSet) && m_command != Command::History) {
        return fail(CliText::translate("CliArguments", "--serial and --since go with history only."));
    }
    if (serialSet) {
        m_serial = parser.value(QStringLiteral("serial"));
    }
    if (sinceSet) {
        const QString text = parser.value(QStringLiteral("since")).trimmed();
        const QDate date = QDate::fromString(text, Qt::ISODate);
        m_since = date.isValid() ? date.startOfDay() : QDateTime::fromString(text, Qt::ISODateWithMs);
        if (!m_since.isValid()) {
            return fail(CliText::translate("CliArguments",
                                           "--since takes a date (2026-03-01) or a time (2026-03-01T08:00), "
                                           "not \"%1\".")
                            .arg(text));
        }
    }

    const QStringList stationOptions{QStringLiteral("function"),      QStringLiteral("firmware"),
                                     QStringLiteral("base-firmware"), QStringLiteral("serials"),
                                     QStringLiteral("scan"),          QStringLiteral("count"),
                                     QStringLiteral("rework")};
    for (const QString& name : stationOptions) {
        if (parser.isSet(name) && m_command != Command::Station) {
            return fail(CliText::translate("CliArguments", "--%1 goes with station only.").arg(name));
        }
    }
    if (m_command == Command::Station) {
        m_function = parser.value(QStringLiteral("function")).trimmed();
        if (m_function.isEmpty()) {
            return fail(CliText::translate("CliArguments", "station needs --function NAME."));
        }
        m_firmware = parser.value(QStringLiteral("firmware"));
        m_baseFirmware = parser.value(QStringLiteral("base-firmware"));
        m_serials = parser.value(QStringLiteral("serials"));
        m_scan = parser.isSet(QStringLiteral("scan"));
        m_rework = parser.isSet(QStringLiteral("rework"));
        if (m_scan && parser.isSet(QStringLiteral("serials"))) {
            return fail(CliText::translate("CliArguments", "--serials and --scan exclude each other."));
        }
        if (parser.isSet(QStringLiteral("count"))) {
            bool ok = false;
            m_count = parser.value(QStringLiteral("count")).toInt(&ok);
            if (!ok || m_count < 1) {
                return fail(
                    CliText::translate("CliArguments", "--count takes a number of boards, not \"%1\".")
                        .arg(parser.value(QStringLiteral("count"))));
            }
        }
    }

    if (parser.isSet(QStringLiteral("device"))) {
        if (!parseAddress(parser.value(QStringLiteral("device")), &m_device)) {
            return fail(
                CliText::translate("CliArguments",
                                   "--device takes BUS:ADDR as list shows it (for example 1:4), not \"%1\".")
                    .arg(parser.value(QStringLiteral("device"))));
        }
        m_hasDevice = true;
    }
    if (parser.isSet(QStringLiteral("language"))) {
        // LanguageLoader has read it before anything was printed; here it is only checked.
        const QString language = parser.value(QStringLiteral("language")).trimmed().toLower();
        if (language != QLatin1String("de") && language != QLatin1String("en")) {
            return fail(CliText::translate("CliArguments", "--language takes de or en, not \"%1\".")
                            .arg(parser.value(QStringLiteral("language"))));
        }
    }
    if (parser.isSet(QStringLiteral("wait"))) {
        bool ok = false;
        m_waitSeconds = parser.value(QStringLiteral("wait")).toDouble(&ok);
        if (!ok || !std::isfinite(m_waitSeconds) || m_waitSeconds < 0 || m_waitSeconds > 86400 * 7) {
            return fail(CliText::translate("CliArguments", "--wait takes a number of seconds, not \"%1\".")
                            .arg(parser.value(QStringLiteral("wait"))));
        }
    }
    return true;
}

bool CliArguments::isDestructive() const
{
    const CommandEntry* entry = entryOf(m_command);
    return entry && entry->destructive;
}

bool CliArguments::needsUsb() const
{
    const CommandEntry* entry = entryOf(m_command);
    return entry && entry->usb;
}

bool CliArguments::parseAddress(const QString& text, UsbBusDeviceAddress* address)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,3}):(\\d{1,3})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch()) {
        return false;
    }
    const int bus = match.captured(1).toInt();
    const int device = match.captured(2).toInt();
    if (bus > 255 || device > 255) {
        return false;
    }
    *address = UsbBusDeviceAddress(quint8(bus), quint8(device));
    return true;
}

QString CliArguments::addressText(const UsbBusDeviceAddress& address)
{
    return QStringLiteral("%1:%2").arg(address.bus()).arg(address.address());
}

QString CliArguments::versionText()
{
    return QStringLiteral("service-cli %1\n").arg(ApplicationIdentity::version());
}

QString CliArguments::helpText()
{
    QString text;
    text += tr("Usage: service-cli <command> [FILE] [options]") + QStringLiteral("\n\n") +
            tr("The service tool for Tymbrel and Vectaris instruments, without a window.") +
            QStringLiteral("\n\n") + tr("Commands:") + QLatin1Char('\n');
    for (const CommandEntry& entry : kCommands) {
        text += helpEntry(commandLine(entry), translated(entry.summary));
    }
    text += QLatin1Char('\n') + tr("Options:") + QLatin1Char('\n');
    for (const OptionEntry& option : kOptions) {
        QStringList names;
        for (const QString& name : namesOf(option)) {
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        QString left = names.join(QStringLiteral(", "));
        if (option.valueName) {
            left += QStringLiteral(" <%1>").arg(QString::fromLatin1(option.valueName));
        }
        text += helpEntry(left, translated(option.description));
    }
    // Paragraphs broken by hand to the help's width; the JSON examples and the codes stay as they are.
    text +=
        QLatin1Char('\n') +
        tr("The instrument: the only recognised one on the bus, or the one at --device BUS:ADDR. Without\n"
           "--wait the bus is scanned once.\n"
           "Destructive commands (options restore, firmware update, reset, log clear, datasets clear) first\n"
           "store an options snapshot and print where it went and how many options it holds (n of m); a\n"
           "snapshot that misses an option counts as none. Without one they stop unless --without-snapshot\n"
           "is given (a terminal is asked). They ask before they start, and need --yes when standard input\n"
           "is not a terminal.\n"
           "Progress goes to standard error. With --json, standard output carries exactly one JSON "
           "document:") +
        QStringLiteral("\n"
                       "  {\"command\": \"info\", \"ok\": true, \"exitCode\": 0, \"device\": {...}, ...}\n"
                       "  {\"command\": \"reset\", \"ok\": false, \"exitCode\": 3, \"error\": \"...\", "
                       "\"result\": -9, ...}\n");
    text += QLatin1Char('\n') + tr("Exit codes:") + QLatin1Char('\n');
    const char* const codes[] = {
        QT_TRANSLATE_NOOP("CliArguments", "done"),
        QT_TRANSLATE_NOOP(
            "CliArguments",
            "usage error, or a destructive command not confirmed (no --yes off a terminal, or \"no\")"),
        QT_TRANSLATE_NOOP("CliArguments",
                          "no instrument: none found, several without --device, USB unavailable, or "
                          "not the kind the\ncommand needs"),
        QT_TRANSLATE_NOOP(
            "CliArguments",
            "the instrument failed, refused or went away (the job's result code and message are "
            "given);\nalso no snapshot without --without-snapshot, \"no\" to \"Go on without a "
            "snapshot?\" included"),
        QT_TRANSLATE_NOOP("CliArguments", "a file could not be read or written"),
        QT_TRANSLATE_NOOP(
            "CliArguments",
            "a check refused the file before anything was sent (hardware revision, hash, offset, "
            "a\nfile that cannot be deciphered, a snapshot of another kind or with a value that "
            "does not\nfit its option)"),
    };
    int code = 0;
    for (const char* meaning : codes) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(code++)
                    .arg(translated(meaning).replace(QLatin1Char('\n'), QStringLiteral("\n     ")));
    }
    return text;
}
