#pragma once

#include <QCoreApplication>

class CliArguments;
class CliConsole;
class CliReport;

// "service-cli history [--serial S] [--since DATE]": the service records, newest first, from the
// database the settings name (the local file unless `[Records] database=` names a shared one). Needs no
// instrument and no USB.
class HistoryCommand
{
    Q_DECLARE_TR_FUNCTIONS(HistoryCommand)

public:
    explicit HistoryCommand(CliConsole& console);

    // Exit 0 with "database" and "events" in the report; 4 when the database cannot be read.
    int run(const CliArguments& arguments, CliReport& report);

private:
    CliConsole& m_console;
};
