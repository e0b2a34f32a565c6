#pragma once

#include "core/baselogger.h"

#include <QCoreApplication>
#include <QString>

class CliArguments;
class CliConsole;
class CliReport;
class Recorder;
class UsbManager;

// service-cli station: the production station without a window. One line per board on standard output
// ("PASS LINE-0001 41 s", "FAIL LINE-0002 firmware: USB Error"; with --json one JSON object per line), a
// summary at the end; Ctrl+C ends the run after the board being worked on. Exit code 0 only when every
// board passed. GUI thread.
class StationCommand : public BaseLogger
{
    Q_DECLARE_TR_FUNCTIONS(StationCommand)

public:
    // `recorder` may be null: the command then records through one of its own.
    StationCommand(UsbManager* manager, CliConsole& console, const QString& snapshotFolder,
                   Recorder* recorder = nullptr);

    int run(const CliArguments& arguments, CliReport& report);

private:
    UsbManager* m_manager;
    CliConsole& m_console;
    QString m_snapshotFolder;
    Recorder* m_recorder;
};
