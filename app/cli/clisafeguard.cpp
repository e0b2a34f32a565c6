#include "app/cli/clisafeguard.h"

#include "app/cli/cliconsole.h"
#include "app/cli/clireport.h"
#include "app/cli/clitext.h"
#include "app/cli/eventwait.h"
#include "core/englishscope.h"
#include "devices/basedevice.h"
#include "devices/snapshotguard.h"
#include "devices/snapshotstore.h"
#include "recording/recordingbridge.h"

#include <QDir>
#include <QPointer>

#include <libusb.h>

CliSafeguard::CliSafeguard(CliConsole& console, CliReport& report, bool yes, bool withoutSnapshot)
    : m_console(console), m_report(report), m_yes(yes), m_withoutSnapshot(withoutSnapshot)
{
}

bool CliSafeguard::mayAsk(const QString& action)
{
    if (m_yes || m_console.inputIsTerminal()) {
        return true;
    }
    m_report.fail(CliExitCode::Usage,
                  CliText::translate("CliSafeguard",
                                     "%1 changes the instrument: give --yes to confirm it when standard "
                                     "input is not a terminal. Nothing was sent.")
                      .arg(action));
    return false;
}

bool CliSafeguard::confirm(const QString& question)
{
    if (m_yes) {
        return true;
    }
    if (m_console.inputIsTerminal() && m_console.ask(question)) {
        return true;
    }
    m_report.fail(CliExitCode::Usage,
                  CliText::translate("CliSafeguard", "Not confirmed; nothing was changed."));
    return false;
}

bool CliSafeguard::snapshot(BaseDevice* device, SnapshotStore& store)
{
    const QPointer<BaseDevice> alive(device);
    SnapshotGuard guard(device, &store);
    EventWait wait;
    QString path;
    CliText reason;
    QString coverage;
    bool done = false;
    // A read that failed for want of a device: the instrument left, though its link may not know yet.
    bool lost = false;
    QObject::connect(device, &BaseDevice::snapshotTaken, &wait,
                     [&](OptionsSnapshot, int result, QString) { lost = result == LIBUSB_ERROR_NO_DEVICE; });
    QObject::connect(&guard, &SnapshotGuard::succeeded, &wait, [&](QString written, OptionsSnapshot taken) {
        RecordingBridge::recordSnapshotSaved(taken, written);
        path = written;
        coverage = taken.coverage();
        done = true;
        wait.wake();
    });
    QObject::connect(&guard, &SnapshotGuard::failed, &wait, [&](QString why) {
        reason = CliText::inBoth(EnglishScope::english([&guard] { return guard.reason(); }), why);
        done = true;
        wait.wake();
    });
    m_console.note(tr("Taking an options snapshot..."));
    guard.start();
    wait.until([&] { return done; });
    if (!path.isEmpty()) {
        m_console.print(tr("Options snapshot: %1").arg(QDir::toNativeSeparators(path)));
        m_console.print(tr("The snapshot holds %1.").arg(coverage));
        m_report.insert(QStringLiteral("snapshot"), path);
        return true;
    }
    m_report.insert(QStringLiteral("snapshot"), QJsonValue());
    m_report.insert(QStringLiteral("snapshotError"), reason.english());
    if (lost || !alive || !alive->isConnected()) {
        // Nothing to go on with: whatever the answer, there is no instrument to change.
        m_report.fail(CliExitCode::InstrumentFailed,
                      CliText::translate("CliSafeguard", "The instrument went away while its options were "
                                                         "read; nothing was changed."),
                      LIBUSB_ERROR_NO_DEVICE);
        return false;
    }
    return goOnWithout(reason);
}

bool CliSafeguard::goOnWithout(const CliText& reason)
{
    m_console.note(tr("No options snapshot could be taken: %1").arg(reason.shown()));
    if (m_withoutSnapshot) {
        m_console.note(tr("Going on without a snapshot (--without-snapshot)."));
        return true;
    }
    if (m_console.inputIsTerminal() && m_console.ask(tr("Go on without a snapshot?"))) {
        return true;
    }
    m_report.fail(CliExitCode::InstrumentFailed,
                  CliText::translate("CliSafeguard", "No options snapshot could be taken (%1); nothing was "
                                                     "changed. Give --without-snapshot to go on without one.")
                      .arg(reason));
    return false;
}
