#include "app/cli/clisession.h"

#include "app/cli/busscanner.h"
#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clicontext.h"
#include "app/cli/clireport.h"
#include "app/cli/datasetcommands.h"
#include "app/cli/devicecommands.h"
#include "app/cli/eventwait.h"
#include "app/cli/firmwarefilereport.h"
#include "app/cli/historycommand.h"
#include "app/cli/instrumentselector.h"
#include "app/cli/stationcommand.h"
#include "app/cli/supportcommand.h"
#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/controlunit.h"
#include "devices/snapshotstore.h"
#include "devices/tymbrelsensor.h"
#include "recording/recordingbridge.h"
#include "usb/usbmanager.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {
// While a command waits for an instrument, the bus is looked at this often besides the hotplug arrivals.
constexpr int kPollIntervalMs = 1000;
// "list --wait" looks at the bus this often.
constexpr int kListIntervalMs = 200;
// How long the end of a command waits for its records to be written.
constexpr int kRecordsWaitMs = 10000;

// The commands that need one kind's own behaviour name the device class that has it.
CliText kindTitle(InstrumentKind::Model model)
{
    if (model == InstrumentKind::Model::ControlUnit) {
        return CliText::translate("CliSession", "a control unit");
    }
    return CliText::translate("CliSession", "an acoustic sensor");
}
} // namespace

CliSession::CliSession(CliConsole& console, UsbManager* manager)
    : BaseLogger(QStringLiteral("Cli")), m_console(console), m_manager(manager),
      m_snapshotFolder(SnapshotStore::defaultFolder()), m_pollIntervalMs(kPollIntervalMs)
{
}

int CliSession::run(const QStringList& arguments)
{
    CliArguments parsed;
    const bool ok = parsed.parse(arguments);
    if (ok && (parsed.helpRequested() || parsed.versionRequested())) {
        // Asked for by a person: plain text, whatever else the line says.
        m_console.setJson(false);
        m_console.print(
            (parsed.helpRequested() ? CliArguments::helpText() : CliArguments::versionText()).trimmed());
        return 0;
    }
    m_console.setJson(parsed.json());
    CliReport report(parsed.commandName());
    if (!ok) {
        report.fail(CliExitCode::Usage, parsed.errorText());
    } else {
        logger()->info("Command line: {}", arguments.mid(1).join(QLatin1Char(' ')));
        execute(parsed, report);
    }
    answer(report);
    if (report.ok()) {
        logger()->info("{} done", parsed.commandName());
    } else {
        logger()->warn("{} ended with exit code {}: {}", parsed.commandName(), report.exitCode(),
                       report.error());
    }
    return report.exitCode();
}

void CliSession::answer(const CliReport& report)
{
    if (m_console.json()) {
        m_console.document(report.toJson());
        return;
    }
    if (report.ok()) {
        return;
    }
    QString line = QStringLiteral("service-cli: %1").arg(report.shownError());
    if (report.result()) {
        line += QLatin1Char(' ') + tr("(result %1)").arg(*report.result());
    }
    m_console.note(line);
    if (report.exitCode() == int(CliExitCode::Usage) &&
        report.value(QStringLiteral("device")).isUndefined()) {
        m_console.note(tr("Try \"service-cli --help\"."));
    }
}

int CliSession::execute(const CliArguments& arguments, CliReport& report)
{
    if (arguments.command() == CliArguments::Command::FirmwareShow) {
        return FirmwareFileReport::show(arguments.file(), m_console, report);
    }
    if (arguments.command() == CliArguments::Command::History) {
        return HistoryCommand(m_console).run(arguments, report);
    }
    m_manager->setPollInterval(m_pollIntervalMs);
    if (arguments.command() == CliArguments::Command::List) {
        m_manager->init();
        return list(arguments, report);
    }
    if (arguments.command() == CliArguments::Command::SupportBundle) {
        m_manager->init();
        return SupportCommand(m_manager, m_console).run(arguments, report);
    }

    // Everything done to the instrument from here on is recorded, like the window's work.
    QString problem;
    std::unique_ptr<RecordingBridge> records =
        RecordingBridge::fromSettings(QString::fromLatin1(ServiceEvent::kCommandLine), &problem);
    if (!problem.isEmpty()) {
        m_console.note(tr("Records: %1").arg(problem));
    }
    QObject::connect(records->recorder(), &Recorder::failed, records.get(),
                     [this](const QString& message) { m_console.note(tr("Records: %1").arg(message)); });
    records->follow(m_manager);
    m_manager->init();
    // The station's boards and every operation on them go into the same records.
    const int code = arguments.command() == CliArguments::Command::Station
                         ? StationCommand(m_manager, m_console, m_snapshotFolder, records->recorder())
                               .run(arguments, report)
                         : serve(arguments, report);
    // Bounded: a shared server out of reach keeps the events in the local outbox for the next run.
    if (!records->recorder()->waitForIdle(kRecordsWaitMs)) {
        m_console.note(tr("Records: %n event(s) not yet in the shared database; they are sent later.",
                          nullptr, records->recorder()->waiting()));
    }
    return code;
}

int CliSession::serve(const CliArguments& arguments, CliReport& report)
{

    // The selection narrows the discovery for this run only; whatever the host had set comes back after.
    const UsbManager::CandidateFilter hostFilter = m_manager->candidateFilter();
    InstrumentSelector selector(m_manager, m_console);
    if (arguments.hasDevice()) {
        selector.setAddress(arguments.device());
    }
    selector.setWaitSeconds(arguments.waitSeconds());
    QPointer<BaseDevice> device = selector.select(report);
    if (!device) {
        m_manager->setCandidateFilter(hostFilter);
        return report.exitCode();
    }
    report.insert(QStringLiteral("device"), DeviceCommands::deviceJson(*device, selector.selectedAddress()));

    const CliContext context{arguments, m_console,        report,
                             m_manager, m_snapshotFolder, Settings::instance()->snapshotLimit()};
    DeviceCommands commands(context);
    DatasetCommands datasets(context);
    auto* unit = qobject_cast<ControlUnit*>(device.data());
    auto* sensor = qobject_cast<TymbrelSensor*>(device.data());
    auto wrongKind = [&](InstrumentKind::Model needed) {
        return report.fail(CliExitCode::NoInstrument,
                           CliText::translate("CliSession", "%1 needs %2; the instrument at %3 is a %4 (%5).")
                               .arg(arguments.commandName(), kindTitle(needed),
                                    CliArguments::addressText(selector.selectedAddress()))
                               .arg(device->name(), device->kindKey()));
    };

    switch (arguments.command()) {
    case CliArguments::Command::Info:
        commands.info(device, selector.selectedAddress());
        break;
    case CliArguments::Command::OptionsRead:
        commands.optionsRead(device);
        break;
    case CliArguments::Command::OptionsRestore:
        commands.optionsRestore(device);
        break;
    case CliArguments::Command::FirmwareUpdate:
        commands.firmwareUpdate(device);
        break;
    case CliArguments::Command::Reset:
        commands.reset(device);
        break;
    case CliArguments::Command::LogDownload:
        commands.logDownload(device);
        break;
    case CliArguments::Command::LogClear:
        commands.logClear(device);
        break;
    case CliArguments::Command::DatasetsList:
        unit ? datasets.list(unit) : wrongKind(InstrumentKind::Model::ControlUnit);
        break;
    case CliArguments::Command::DatasetsExport:
        unit ? datasets.exportTo(unit) : wrongKind(InstrumentKind::Model::ControlUnit);
        break;
    case CliArguments::Command::DatasetsClear:
        unit ? datasets.clear(unit) : wrongKind(InstrumentKind::Model::ControlUnit);
        break;
    case CliArguments::Command::Calibrate:
        sensor ? commands.calibrate(sensor) : wrongKind(InstrumentKind::Model::AcousticSensor);
        break;
    case CliArguments::Command::None:
    case CliArguments::Command::List:
    case CliArguments::Command::FirmwareShow:
    case CliArguments::Command::SupportBundle:
    case CliArguments::Command::History:
    case CliArguments::Command::Station:
        break;
    }
    m_manager->setCandidateFilter(hostFilter);
    return report.exitCode();
}

int CliSession::list(const CliArguments& arguments, CliReport& report)
{
    // Listing opens nothing: the discovery, which keeps polling while the list waits, serves nobody.
    const UsbManager::CandidateFilter hostFilter = m_manager->candidateFilter();
    m_manager->setCandidateFilter([](const UsbBusDeviceAddress&, quint32) { return false; });
    QList<BusScanner::Instrument> instruments;
    int error = 0;
    auto look = [&] {
        if (m_manager->isUsbAvailable()) {
            BusScanner::scan(&instruments, &error);
        }
    };
    QElapsedTimer clock;
    clock.start();
    const qint64 waitMs = std::llround(arguments.waitSeconds() * 1000);
    EventWait wait;
    look();
    while (instruments.isEmpty() && error == 0 && clock.elapsed() < waitMs) {
        wait.until([] { return false; }, int(std::min<qint64>(kListIntervalMs, waitMs - clock.elapsed())));
        look();
    }
    m_manager->setCandidateFilter(hostFilter);

    QJsonArray list;
    for (const BusScanner::Instrument& instrument : qAsConst(instruments)) {
        list.append(QJsonObject{{QStringLiteral("address"), CliArguments::addressText(instrument.address)},
                                {QStringLiteral("kind"), instrument.kind},
                                {QStringLiteral("usbId"), BusScanner::usbIdText(instrument.usbId)}});
        m_console.print(QStringLiteral("%1  %2  %3")
                            .arg(CliArguments::addressText(instrument.address), -7)
                            .arg(instrument.kind, -16)
                            .arg(BusScanner::usbIdText(instrument.usbId)));
    }
    report.insert(QStringLiteral("instruments"), list);
    if (!m_manager->isUsbAvailable()) {
        return report.fail(CliExitCode::NoInstrument,
                           CliText::translate("CliSession", "No instrument: USB is not available here. %1")
                               .arg(m_manager->connectionStatus()));
    }
    if (error != 0) {
        return report.fail(CliExitCode::NoInstrument,
                           CliText::translate("CliSession", "The bus could not be listed."), error);
    }
    if (instruments.isEmpty()) {
        return report.fail(CliExitCode::NoInstrument,
                           CliText::translate("CliSession", "No instrument found."));
    }
    return report.exitCode();
}
