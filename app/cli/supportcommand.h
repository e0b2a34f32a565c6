#pragma once

#include <QCoreApplication>

class CliArguments;
class CliConsole;
class CliReport;
class UsbManager;

// "service-cli support-bundle -o FILE": looks at the bus once (or for --wait) the way every command does,
// takes the instrument it finds as the connected one (its snapshots go in) and writes the same bundle the
// window saves. An instrument that cannot be found or opened is no failure here: what stood in the way is
// one of the findings the bundle carries. The discovery must be started. GUI thread.
class SupportCommand
{
    Q_DECLARE_TR_FUNCTIONS(SupportCommand)

public:
    SupportCommand(UsbManager* manager, CliConsole& console);

    // Exit 0 with "file" and "instrument" (the connected one's serial, or null) in the report; 4 when the
    // file could not be written.
    int run(const CliArguments& arguments, CliReport& report);

private:
    UsbManager* m_manager;
    CliConsole& m_console;
};
