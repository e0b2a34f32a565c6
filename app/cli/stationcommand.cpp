#include "app/cli/stationcommand.h"

#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/cliexitcode.h"
#include "app/cli/clireport.h"
#include "app/cli/eventwait.h"
#include "core/settings.h"
#include "records/recorder.h"
#include "station/station.h"
#include "station/stationserials.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <memory>

namespace {
std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int)
{
    g_interrupted = true;
    // A second Ctrl+C ends the process at once.
    std::signal(SIGINT, SIG_DFL);
}

// Recorded events must reach the database before the process ends.
constexpr int kRecordsFlushMs = 10000;
} // namespace

StationCommand::StationCommand(UsbManager* manager, CliConsole& console, const QString& snapshotFolder,
                               Recorder* recorder)
    : BaseLogger(QStringLiteral("Cli")), m_manager(manager), m_console(console),
      m_snapshotFolder(snapshotFolder), m_recorder(recorder)
{
}

int StationCommand::run(const CliArguments& arguments, CliReport& report)
{
    // One board, one line: also the summary document at the end.
    m_console.setCompactJson(true);
    StationSerials serials;
    QString error;
    if (arguments.scan()) {
        serials.setScan();
    } else if (!arguments.serials().isEmpty() && !serials.setRange(arguments.serials(), &error)) {
        return report.fail(CliExitCode::Usage, error);
    }

    Station::Setup setup;
    setup.function = arguments.function();
    setup.firmware = arguments.firmware();
    setup.baseFirmware = arguments.baseFirmware();
    setup.rework = arguments.rework();
    setup.snapshotFolder = m_snapshotFolder;
    setup.snapshotLimit = Settings::instance()->snapshotLimit();
    const QString anchor = !setup.firmware.isEmpty() ? setup.firmware : setup.baseFirmware;
    setup.optionDirectory =
        !anchor.isEmpty() ? QFileInfo(anchor).absolutePath() : Settings::instance()->firmwarePath();

    std::unique_ptr<Recorder> own;
    Recorder* recorder = m_recorder;
    if (!recorder) {
        Recorder::Options options;
        QString recordsError;
        if (!Recorder::optionsFromSettings(&options, &recordsError)) {
            m_console.note(recordsError);
        }
        options.interfaceName = QString::fromLatin1(ServiceEvent::kCommandLine);
        own = std::make_unique<Recorder>(options);
        recorder = own.get();
    }

    Station station(m_manager, recorder, &serials);
    int boards = 0;
    QElapsedTimer clock;
    QObject::connect(&station, &Station::boardDone, &station, [&](const Station::Outcome& outcome) {
        ++boards;
        const QString serial = outcome.serial.isEmpty() ? QStringLiteral("-") : outcome.serial;
        const QString result = outcome.passed ? QStringLiteral("PASS") : QStringLiteral("FAIL");
        m_console.endProgress();
        if (m_console.json()) {
            QJsonObject line{{QStringLiteral("result"), result},
                             {QStringLiteral("serial"), outcome.serial},
                             {QStringLiteral("seconds"), qRound(outcome.seconds * 10) / 10.0},
                             {QStringLiteral("kind"), outcome.kind},
                             {QStringLiteral("chipId"), outcome.chipId},
                             {QStringLiteral("firmwareVersion"), outcome.firmwareVersion}};
            if (!outcome.passed) {
                line.insert(QStringLiteral("step"), Station::stepName(outcome.step));
                line.insert(QStringLiteral("reason"), outcome.reason);
            }
            if (!outcome.snapshot.isEmpty()) {
                line.insert(QStringLiteral("snapshot"), outcome.snapshot);
            }
            m_console.document(line);
        } else if (outcome.passed) {
            m_console.print(
                QStringLiteral("PASS %1 %2 s").arg(serial, QString::number(qRound(outcome.seconds))));
        } else {
            m_console.print(QStringLiteral("FAIL %1 %2: %3")
                                .arg(serial, Station::stepName(outcome.step), outcome.reason));
        }
        if (arguments.count() > 0 && boards >= arguments.count()) {
            station.stop();
        }
    });
    QObject::connect(&station, &Station::stepChanged, &station, [&](Station::Step step) {
        if (step == Station::Step::Waiting && serials.mode() == StationSerials::Mode::Scan &&
            serials.next().isEmpty()) {
            // Read between boards, outside the discovery's signal.
            QTimer::singleShot(0, &station, [&] {
                if (!station.isRunning() || !serials.next().isEmpty()) {
                    return;
                }
                m_console.note(tr("Scan the serial of the next board:"));
                QString line;
                if (!m_console.readLine(&line)) {
                    station.stop();
                    return;
                }
                station.serialScanned(line);
            });
            return;
        }
        if (step == Station::Step::Waiting) {
            m_console.note(tr("Waiting for a board..."));
        } else if (step == Station::Step::Unplug) {
            m_console.note(tr("Unplug the board."));
        }
    });
    QObject::connect(&station, &Station::progress, &station, [&](int value, int maximum) {
        m_console.progress(Station::stepName(station.step()), value, maximum);
    });

    const int started = station.start(setup);
    if (started < 0) {
        return report.fail(started == -3 ? CliExitCode::FileError : CliExitCode::Usage, station.errorText());
    }
    clock.start();
    g_interrupted = false;
    const auto previous = std::signal(SIGINT, onInterrupt);
    QTimer interrupt;
    QObject::connect(&interrupt, &QTimer::timeout, &station, [&] {
        if (g_interrupted.exchange(false) && station.isRunning()) {
            m_console.note(tr("Stopping after the current board."));
            station.stop();
        }
    });
    interrupt.start(100);
    EventWait wait;
    QObject::connect(&station, &Station::finished, &wait, &EventWait::wake);
    wait.until([&] { return !station.isRunning(); });
    interrupt.stop();
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);

    const double hours = clock.elapsed() / 3600000.0;
    const double perHour = hours > 0 ? boards / hours : 0;
    report.insert(QStringLiteral("boards"), boards);
    report.insert(QStringLiteral("passed"), station.passed());
    report.insert(QStringLiteral("failed"), station.failed());
    report.insert(QStringLiteral("boardsPerHour"), qRound(perHour * 10) / 10.0);
    m_console.print(tr("%1 boards: %2 passed, %3 failed, %4 boards per hour")
                        .arg(boards)
                        .arg(station.passed())
                        .arg(station.failed())
                        .arg(perHour, 0, 'f', 1));
    if (!recorder->waitForIdle(kRecordsFlushMs)) {
        m_console.note(tr("Not every record was written: %1").arg(recorder->statusText()));
    }
    if (station.failed() > 0) {
        return report.fail(CliExitCode::InstrumentFailed,
                           CliText::translate("StationCommand", "%1 of %2 boards failed.")
                               .arg(station.failed())
                               .arg(boards));
    }
    return report.exitCode();
}
