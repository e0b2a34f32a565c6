#pragma once

#include <QCoreApplication>
#include <QString>

class BaseDevice;
class CliText;
class CliConsole;
class CliReport;
class SnapshotStore;

// What stands before every destructive command, as in the window: the user's confirmation, and an
// options snapshot taken and stored before anything changes. Off a terminal nobody can be asked: --yes
// confirms, and without a snapshot the command stops unless --without-snapshot was given.
class CliSafeguard
{
    Q_DECLARE_TR_FUNCTIONS(CliSafeguard)

public:
    CliSafeguard(CliConsole& console, CliReport& report, bool yes, bool withoutSnapshot);

    // False (and the report failed with exit 1) when the command may not even start: no --yes while
    // standard input is not a terminal. Checked before anything is sent.
    bool mayAsk(const QString& action);
    // Asks `question` on a terminal unless --yes was given; false (report failed with exit 1) for no.
    bool confirm(const QString& question);
    // Takes the snapshot of `device` into `store` and says where it went. True to go on: taken, or going
    // on without it was accepted (--without-snapshot, or yes at the terminal's question); otherwise the
    // report failed with exit 3 (also when the instrument went away meanwhile: nothing is asked then).
    bool snapshot(BaseDevice* device, SnapshotStore& store);
    // The decision after a snapshot failed for `reason`: true to go on without one.
    bool goOnWithout(const CliText& reason);

private:
    CliConsole& m_console;
    CliReport& m_report;
    bool m_yes;
    bool m_withoutSnapshot;
};
