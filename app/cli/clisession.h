#pragma once

#include "core/baselogger.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class CliArguments;
class CliConsole;
class CliReport;
class UsbManager;

// One run of service-cli: reads the command line, finds the instrument, runs the subcommand and
// answers on the console (human-readable lines, or the one JSON document), returning the exit code.
// Runs in any process that has a QCoreApplication: the executable, or a test with simulated instruments.
// Starts the discovery itself when the command needs USB; the owner installs the device factory before
// and shuts the discovery down after (UsbManager::deinit). GUI thread.
class CliSession : public BaseLogger
{
    Q_DECLARE_TR_FUNCTIONS(CliSession)

public:
    CliSession(CliConsole& console, UsbManager* manager);

    // Where options snapshots go; SnapshotStore::defaultFolder() unless set.
    void setSnapshotFolder(const QString& folder) { m_snapshotFolder = folder; }
    // How often the discovery looks at the bus while a command waits (hotplug arrivals are seen at once
    // where the platform reports them).
    void setPollInterval(int milliseconds) { m_pollIntervalMs = milliseconds; }

    // `arguments` as QCoreApplication::arguments() gives them (program name first).
    int run(const QStringList& arguments);

private:
    int execute(const CliArguments& arguments, CliReport& report);
    // The commands that work on one instrument.
    int serve(const CliArguments& arguments, CliReport& report);
    int list(const CliArguments& arguments, CliReport& report);
    void answer(const CliReport& report);

    CliConsole& m_console;
    UsbManager* m_manager;
    QString m_snapshotFolder;
    int m_pollIntervalMs;
};
