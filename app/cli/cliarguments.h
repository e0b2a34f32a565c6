#pragma once

#include "app/cli/clitext.h"
#include "usb/usbbusdeviceaddress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The command line of service-cli: one subcommand (one or two words, some with a FILE), switches and
// options, read with QCommandLineParser and checked against what the subcommand takes. Knows the help
// text, which lists every subcommand, every option and the exit codes, in the installed language.
class CliArguments
{
    Q_DECLARE_TR_FUNCTIONS(CliArguments)

public:
    enum class Command
    {
        None,
        List,
        Info,
        OptionsRead,
        OptionsRestore,
        FirmwareShow,
        FirmwareUpdate,
        Reset,
        LogDownload,
        LogClear,
        DatasetsList,
        DatasetsExport,
        DatasetsClear,
        Calibrate,
        SupportBundle,
        History,
        Station
    };

    enum class Format
    {
        Kml,
        Gpx,
        Csv
    };

    // Reads `arguments` (the program name first, as QCoreApplication::arguments() gives it). False on a
    // usage error, with the reason in error(). --help and --version are accepted without a subcommand.
    bool parse(const QStringList& arguments);

    // The usage error in English (the JSON document, the log) and in the user's language.
    QString error() const { return m_error.english(); }
    CliText errorText() const { return m_error; }
    bool helpRequested() const { return m_help; }
    bool versionRequested() const { return m_version; }

    Command command() const { return m_command; }
    // The subcommand's words as typed in ("options read"); empty without one.
    QString commandName() const { return m_commandName; }
    // FILE of "options restore", "firmware show" and "firmware update".
    QString file() const { return m_file; }
    // -o FILE; empty when not given.
    QString output() const { return m_output; }
    // --format, else from the output's suffix (.gpx, .csv), else KML.
    Format format() const { return m_format; }
    // --series as given (1-based, in order, no repeats); empty for every series.
    QList<int> series() const { return m_series; }
    bool hasDevice() const { return m_hasDevice; }
    UsbBusDeviceAddress device() const { return m_device; }
    // --wait; 0 without it.
    double waitSeconds() const { return m_waitSeconds; }
    // --serial of history; a null string when not given.
    QString serial() const { return m_serial; }
    // --since of history (a date is its local midnight); invalid when not given.
    QDateTime since() const { return m_since; }
    // station: --function, --firmware, --base-firmware, --serials (as typed), --scan, --count (0: no
    // limit), --rework.
    QString function() const { return m_function; }
    QString firmware() const { return m_firmware; }
    QString baseFirmware() const { return m_baseFirmware; }
    QString serials() const { return m_serials; }
    bool scan() const { return m_scan; }
    int count() const { return m_count; }
    bool rework() const { return m_rework; }
    bool json() const { return m_json; }
    bool yes() const { return m_yes; }
    bool withoutSnapshot() const { return m_withoutSnapshot; }
    bool includeIdentity() const { return m_includeIdentity; }
    // Log level as the window takes it: 0 trace, 1 debug, 2 info.
    int logLevel() const { return m_logLevel; }
    // Console log lines (on standard error) only with --debug or --trace.
    bool consoleLogging() const { return m_logLevel < 2; }

    // The subcommand changes what the instrument holds: a snapshot first and a confirmation.
    bool isDestructive() const;
    // The subcommand talks to an instrument (every one but "firmware show"; "list" only looks at the bus).
    bool needsUsb() const;

    static QString helpText();
    static QString versionText();
    // "BUS:ADDR" (decimal, as libusb numbers them); false for anything else.
    static bool parseAddress(const QString& text, UsbBusDeviceAddress* address);
    static QString addressText(const UsbBusDeviceAddress& address);

private:
    bool fail(const CliText& reason);

    CliText m_error;
    bool m_help = false;
    bool m_version = false;
    Command m_command = Command::None;
    QString m_commandName;
    QString m_file;
    QString m_output;
    Format m_format = Format::Kml;
    QList<int> m_series;
    bool m_hasDevice = false;
    UsbBusDeviceAddress m_device;
    double m_waitSeconds = 0;
    QString m_serial;
    QDateTime m_since;
    QString m_function;
    QString m_firmware;
    QString m_baseFirmware;
    QString m_serials;
    bool m_scan = false;
    int m_count = 0;
    bool m_rework = false;
    bool m_json = false;
    bool m_yes = false;
    bool m_withoutSnapshot = false;
    bool m_includeIdentity = false;
    int m_logLevel = 2;
};
