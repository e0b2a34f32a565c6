#pragma once

#include <QString>

class CliArguments;
class CliConsole;
class CliReport;
class UsbManager;

// What every service-cli command works with: the parsed command line, the console, the report that
// becomes its output, the discovery, and where options snapshots go.
struct CliContext
{
    const CliArguments& arguments;
    CliConsole& console;
    CliReport& report;
    UsbManager* manager;
    QString snapshotFolder;
    int snapshotLimit;
};
