#include "app/cli/devicecommands.h"

#include "app/cli/busscanner.h"
#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clifiles.h"
#include "app/cli/clireport.h"
#include "app/cli/clisafeguard.h"
#include "app/cli/devicewatch.h"
#include "app/cli/eventwait.h"
#include "core/englishscope.h"
#include "devices/basedevice.h"
#include "devices/jobs/writefirmwarejob.h"
#include "devices/snapshotrestore.h"
#include "devices/snapshotstore.h"
#include "devices/tymbrelsensor.h"
#include "firmware/firmwareloader.h"
#include "recording/recordingbridge.h"

#include <QDir>
#include <QJsonArray>
#include <QPointer>
#include <QTemporaryDir>

#include <libusb.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// The sensor reads both thresholds back after a calibration; they normally arrive at once.
constexpr int kThresholdReadBackMs = 5000;
// A successful update or reset ends in a reboot command; it is sent right after the job came back.
constexpr int kRebootSentMs = 10000;
// An instrument that restarts leaves the bus at once; the link notices within its probe interval.
constexpr int kRestartMs = 10000;

QString hexValue(const QByteArray& value)
{
    return value.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(value.toHex());
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Failure of an instrument job that never came back: the instrument went away.
int wentAway(CliReport& report, const CliText& what)
{
    return report.fail(CliExitCode::InstrumentFailed,
                       CliText::translate("DeviceCommands", "The instrument went away during %1.").arg(what),
                       LIBUSB_ERROR_NO_DEVICE);
}

// After a wait: the instrument may have gone meanwhile, and its device object with it.
bool isGone(const QPointer<BaseDevice>& device)
{
    return !device || !device->isConnected();
}

CliText withMessage(const CliText& text, const CliText& message)
{
    return message.isEmpty() ? text : CliText(QStringLiteral("%1: %2")).arg(text, message);
}

} // namespace

DeviceCommands::DeviceCommands(const CliContext& context) : m_context(context) {}

QString DeviceCommands::hexId(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}

CliText DeviceCommands::title(const BaseDevice& device)
{
    return device.serial().isEmpty()
               ? CliText(device.name())
               : CliText::translate("DeviceCommands", "%1 (serial %2)").arg(device.name(), device.serial());
}

QJsonObject DeviceCommands::deviceJson(const BaseDevice& device, const UsbBusDeviceAddress& address)
{
    return QJsonObject{
        {QStringLiteral("name"), device.name()},
        {QStringLiteral("kind"), device.kindKey()},
        {QStringLiteral("address"), CliArguments::addressText(address)},
        {QStringLiteral("usbId"), BusScanner::usbIdText(device.usbId())},
        {QStringLiteral("serial"), device.serial()},
        {QStringLiteral("pcbSerial"), device.pcbSerial()},
        {QStringLiteral("firmware"), device.softwareVersion()},
        {QStringLiteral("hardwareRevision"), device.hardwareRevision()},
        {QStringLiteral("deviceType"), device.deviceType()},
        {QStringLiteral("chipId"), device.chipId()},
        {QStringLiteral("systemId"), device.systemId()},
        {QStringLiteral("updateRequired"), device.updateRequired()},
    };
}

int DeviceCommands::info(BaseDevice* device, const UsbBusDeviceAddress& address)
{
    CliConsole& console = m_context.console;
    const QList<QPair<QString, QString>> rows{
        {tr("Instrument"), QStringLiteral("%1 (%2)").arg(device->name(), device->kindKey())},
        {tr("Address"), CliArguments::addressText(address)},
        {tr("USB id"), BusScanner::usbIdText(device->usbId())},
        {tr("Serial"), device->serial()},
        {tr("PCB serial"), device->pcbSerial()},
        {tr("Firmware"), device->softwareVersion()},
        {tr("Hardware revision"), device->hardwareRevision()},
        {tr("Device type"), device->deviceType()},
        {tr("Chip id"), device->chipId()},
        {tr("System id"), device->systemId()},
        {tr("Update required"), device->updateRequired() ? tr("yes") : tr("no")},
    };
    // The values line up behind the longest heading of the language.
    int width = 19;
    for (const auto& row : rows) {
        width = std::max(width, int(row.first.size()) + 2);
    }
    for (const auto& row : rows) {
        console.print((row.first + QLatin1Char(':')).leftJustified(width) + row.second);
    }
    return m_context.report.exitCode();
}

int DeviceCommands::optionsRead(BaseDevice* device)
{
    CliReport& report = m_context.report;
    const QString output = m_context.arguments.output();
    CliText reason;
    if (!output.isEmpty() && !CliFiles::canWrite(output, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }

    DeviceWatch watch(device, m_context.console);
    const Operation* read = device->takeSnapshot();
    watch.showProgress(read, tr("Reading options..."));
    const DeviceWatch::Outcome outcome = watch.waitFor(read);
    if (!outcome.cameBack) {
        return wentAway(report, CliText::translate("DeviceCommands", "the options read"));
    }
    const OptionsSnapshot& snapshot = outcome.snapshot;
    if (outcome.result != 0 || !snapshot.isValid()) {
        return report.fail(CliExitCode::InstrumentFailed,
                           withMessage(CliText::translate("DeviceCommands", "The options could not be read"),
                                       outcome.message),
                           outcome.result);
    }

    QString path;
    if (output.isEmpty()) {
        SnapshotStore store(m_context.snapshotFolder, m_context.snapshotLimit);
        QString why;
        path = store.save(snapshot, &why);
        if (path.isEmpty()) {
            return report.fail(
                CliExitCode::FileError,
                CliText::translate("DeviceCommands", "The snapshot could not be saved: %1").arg(why));
        }
    } else {
        if (!CliFiles::write(output, snapshot.toJson(), &reason)) {
            return report.fail(CliExitCode::FileError, reason);
        }
        path = output;
    }
    RecordingBridge::recordSnapshotSaved(snapshot, path);

    QJsonArray options;
    for (const OptionsSnapshot::Option& option : qAsConst(snapshot.options)) {
        options.append(QJsonObject{{QStringLiteral("id"), hexId(option.id)},
                                   {QStringLiteral("name"), option.name},
                                   {QStringLiteral("value"), QString::fromLatin1(option.value.toHex())}});
    }
    report.insert(QStringLiteral("file"), path);
    report.insert(QStringLiteral("options"), options);
    m_context.console.print(
        tr("%1 of %2 written to %3").arg(snapshot.coverage(), title(*device).shown(), shown(path)));
    return report.exitCode();
}

int DeviceCommands::takeInputFile(const QString& file)
{
    m_context.report.insert(QStringLiteral("file"), file);
    CliText reason;
    return CliFiles::canRead(file, &reason) ? 0 : m_context.report.fail(CliExitCode::FileError, reason);
}

int DeviceCommands::optionsRestore(BaseDevice* device)
{
    CliConsole& console = m_context.console;
    CliReport& report = m_context.report;
    const CliArguments& arguments = m_context.arguments;
    const QString file = arguments.file();
    if (const int unreadable = takeInputFile(file)) {
        return unreadable;
    }
    QString reason;
    const OptionsSnapshot target = SnapshotStore::load(file, &reason);
    if (!target.isValid()) {
        return report.fail(
            CliExitCode::Refused,
            CliText::translate("DeviceCommands", "%1 is not an options snapshot this tool can restore: %2")
                .arg(shown(file), reason));
    }
    report.insert(QStringLiteral("snapshotOf"),
                  QJsonObject{{QStringLiteral("kind"), target.kind},
                              {QStringLiteral("serial"), target.serial},
                              {QStringLiteral("time"), target.takenAt.toString(Qt::ISODate)}});

    CliSafeguard safeguard(console, report, arguments.yes(), arguments.withoutSnapshot());
    switch (SnapshotRestore::check(target, *device)) {
    case SnapshotRestore::Check::OtherKind:
        return report.fail(
            CliExitCode::Refused,
            CliText::translate("DeviceCommands",
                               "%1 is a snapshot of a %2; this instrument is a %3. Nothing was sent.")
                .arg(shown(file), target.kind, device->kindKey()));
    case SnapshotRestore::Check::OtherSerial:
        if (!safeguard.mayAsk(QStringLiteral("options restore")) ||
            !safeguard.confirm(tr("The snapshot was taken from serial %1; this instrument is serial %2. "
                                  "Restore it onto this instrument?")
                                   .arg(target.serial, device->serial()))) {
            return report.exitCode();
        }
        break;
    case SnapshotRestore::Check::Matches:
        if (!safeguard.mayAsk(QStringLiteral("options restore"))) {
            return report.exitCode();
        }
        break;
    }

    // prepare(): the current values, stored like any snapshot, and what differs.
    SnapshotStore store(m_context.snapshotFolder, m_context.snapshotLimit);
    std::unique_ptr<QTemporaryDir> scratchFolder;
    std::unique_ptr<SnapshotStore> scratchStore;
    std::unique_ptr<SnapshotRestore> restore;
    int finishedResult = 0;
    CliText finishedMessage;
    QList<quint32> notTaken;
    bool prepared = false;
    bool finished = false;
    EventWait wait;
    auto start = [&](SnapshotStore* into) {
        restore = std::make_unique<SnapshotRestore>(target, device, into, m_context.manager);
        restore->setIncludeIdentity(arguments.includeIdentity());
        prepared = false;
        finished = false;
        QObject::connect(restore.get(), &SnapshotRestore::prepared, &wait, [&] {
            prepared = true;
            wait.wake();
        });
        QObject::connect(restore.get(), &SnapshotRestore::progress, &wait,
                         [&](QString message) { console.note(message); });
        QObject::connect(restore.get(), &SnapshotRestore::finished, &wait,
                         [&](int result, QString message, QList<quint32> ids) {
                             finishedResult = result;
                             finishedMessage = CliText::inBoth(
                                 EnglishScope::english([&] { return restore->message(); }), message);
                             notTaken = ids;
                             finished = true;
                             wait.wake();
                         });
        restore->prepare();
        wait.until([&] { return prepared || finished; });
    };
    start(&store);
    if (finished && finishedResult == SnapshotRestore::kNoSnapshot) {
        // The current values could not be kept. When going on without them is accepted, a throw-away
        // folder takes the snapshot the restore needs to compare with.
        report.insert(QStringLiteral("snapshot"), QJsonValue());
        report.insert(QStringLiteral("snapshotError"), finishedMessage.english());
        if (!safeguard.goOnWithout(finishedMessage)) {
            return report.exitCode();
        }
        // A template of its own: the default one is named after the application, whose name holds a '/'.
        scratchFolder =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/service-cli-XXXXXX"));
        scratchStore = std::make_unique<SnapshotStore>(scratchFolder->path());
        start(scratchStore.get());
    }
    if (!prepared) {
        RecordingBridge::recordRestore(
            RecordingBridge::eventFor(*device, QString::fromLatin1(ServiceEvent::kSnapshotRestored)),
            *restore, file, finishedResult, finishedMessage.shown(), notTaken);
        return report.fail(finishedResult == SnapshotRestore::kRefused ? CliExitCode::Refused
                                                                       : CliExitCode::InstrumentFailed,
                           finishedMessage, finishedResult);
    }
    if (!scratchStore) {
        console.print(tr("Options snapshot: %1").arg(shown(restore->beforePath())));
        console.print(
            tr("The snapshot holds %1.").arg(SnapshotStore::load(restore->beforePath()).coverage()));
        report.insert(QStringLiteral("snapshot"), restore->beforePath());
    }

    const OptionsSnapshot before = SnapshotStore::load(restore->beforePath());
    const QList<OptionsSnapshot::Option> changes = restore->changes();
    QJsonArray changeList;
    if (!changes.isEmpty()) {
        console.print(tr("%n option(s) differ:", nullptr, int(changes.size())));
    }
    for (const OptionsSnapshot::Option& option : changes) {
        const QByteArray old = before.value(option.id);
        console.print(QStringLiteral("  %1  %2  %3 -> %4")
                          .arg(hexId(option.id), option.name, hexValue(old), hexValue(option.value)));
        changeList.append(QJsonObject{
            {QStringLiteral("id"), hexId(option.id)},
            {QStringLiteral("name"), option.name},
            {QStringLiteral("old"),
             before.contains(option.id) ? QJsonValue(QString::fromLatin1(old.toHex())) : QJsonValue()},
            {QStringLiteral("new"), QString::fromLatin1(option.value.toHex())}});
    }
    report.insert(QStringLiteral("changes"), changeList);
    report.insert(QStringLiteral("notTaken"), QJsonArray());
    if (!restore->includesIdentity() && !restore->identityChanges().isEmpty()) {
        QJsonArray leftOut;
        QStringList names;
        for (const OptionsSnapshot::Option& option : restore->identityChanges()) {
            leftOut.append(hexId(option.id));
            names << (option.name.isEmpty() ? hexId(option.id) : option.name);
        }
        report.insert(QStringLiteral("identityLeftOut"), leftOut);
        console.print(tr("Identity options left as they are (--include-identity writes them): %1")
                          .arg(names.join(QStringLiteral(", "))));
    }
    if (changes.isEmpty()) {
        console.print(tr("The instrument already holds every value of the snapshot; nothing to write."));
        return report.exitCode();
    }
    if (!safeguard.confirm(
            tr("Write these %n value(s) and restart the instrument?", nullptr, int(changes.size())))) {
        return report.exitCode();
    }

    const ServiceEvent restored =
        RecordingBridge::eventFor(*device, QString::fromLatin1(ServiceEvent::kSnapshotRestored));
    restore->apply();
    wait.until([&] { return finished; });
    RecordingBridge::recordRestore(restored, *restore, file, finishedResult, finishedMessage.shown(),
                                   notTaken);
    QJsonArray notTakenIds;
    for (const quint32 id : qAsConst(notTaken)) {
        notTakenIds.append(hexId(id));
    }
    report.insert(QStringLiteral("notTaken"), notTakenIds);
    if (finishedResult != 0) {
        return report.fail(CliExitCode::InstrumentFailed, finishedMessage, finishedResult);
    }
    console.print(finishedMessage.shown());
    return report.exitCode();
}

int DeviceCommands::firmwareUpdate(BaseDevice* device)
{
    CliConsole& console = m_context.console;
    CliReport& report = m_context.report;
    const CliArguments& arguments = m_context.arguments;
    const QString file = arguments.file();
    if (const int unreadable = takeInputFile(file)) {
        return unreadable;
    }
    // The checks the update job makes, made here first: a file it would refuse is refused before the
    // question, the snapshot and the first packet.
    FirmwareInfo info;
    const WriteFirmwareJob::Result check =
        WriteFirmwareJob::checkFile(loadFirmware(file, &info, nullptr), info, device->hardwareRevision());
    if (check != WriteFirmwareJob::Success) {
        CliText why;
        switch (check) {
        case WriteFirmwareJob::DecryptFailed:
            why = CliText::translate("DeviceCommands", "it is not a firmware file this tool can decipher");
            break;
        case WriteFirmwareJob::HashWrong:
            why = CliText::translate("DeviceCommands", "its image does not match its MD5 hash");
            break;
        case WriteFirmwareJob::HardwareNotSupported:
            why = CliText::translate("DeviceCommands",
                                     "it is made for hardware revision %1, the instrument is revision %2")
                      .arg(info.supportedHardware.join(QStringLiteral(", ")), device->hardwareRevision());
            break;
        default:
            why =
                CliText::translate("DeviceCommands", "its offset %1 lies outside its image").arg(info.offset);
            break;
        }
        return report.fail(
            CliExitCode::Refused,
            CliText::translate("DeviceCommands", "%1 was refused: %2. Nothing was sent to the instrument.")
                .arg(shown(file), why),
            int(check));
    }
    // Kept now: once the instrument restarts, its device object is gone.
    const CliText name = title(*device);
    const QPointer<BaseDevice> alive(device);
    CliSafeguard safeguard(console, report, arguments.yes(), arguments.withoutSnapshot());
    SnapshotStore store(m_context.snapshotFolder, m_context.snapshotLimit);
    if (!safeguard.mayAsk(QStringLiteral("firmware update")) ||
        !safeguard.confirm(tr("Install %1 on %2?").arg(shown(file), name.shown())) ||
        !safeguard.snapshot(device, store)) {
        return report.exitCode();
    }
    if (isGone(alive)) {
        return wentAway(report,
                        CliText::translate("DeviceCommands", "the options snapshot; nothing was sent"));
    }

    DeviceWatch watch(alive, console);
    const Operation* updating = alive->updateFirmware(file);
    watch.showProgress(updating);
    const DeviceWatch::Outcome update = watch.waitFor(updating);
    if (!update.cameBack) {
        return wentAway(report, CliText::translate("DeviceCommands", "the firmware update"));
    }
    switch (update.result) {
    case WriteFirmwareJob::Success:
        break;
    case WriteFirmwareJob::DecryptFailed:
    case WriteFirmwareJob::HashWrong:
    case WriteFirmwareJob::HardwareNotSupported:
    case WriteFirmwareJob::InvalidOffset:
        // The file changed since it was checked; the job refused it before the first packet.
        return report.fail(
            CliExitCode::Refused,
            CliText::translate("DeviceCommands", "%1. Nothing was sent to the instrument.")
                .arg(withMessage(CliText::translate("DeviceCommands", "The firmware file was refused"),
                                 update.message)),
            update.result);
    default:
        return report.fail(
            CliExitCode::InstrumentFailed,
            update.message.isEmpty() && update.result == WriteFirmwareJob::VerifyFailed
                ? CliText::translate("DeviceCommands",
                                     "The firmware update failed: the instrument did not confirm the image")
                : withMessage(CliText::translate("DeviceCommands", "The firmware update failed"),
                              update.message),
            update.result);
    }
    // The device sends the restart itself once the image was verified; the new firmware runs only once
    // the instrument has left the bus.
    watch.waitFor(update.followUp, kRebootSentMs);
    watch.waitUntil([] { return false; }, kRestartMs);
    if (!watch.isGone()) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            CliText::translate("DeviceCommands",
                               "Firmware %1 was installed and verified on %2, but the instrument "
                               "did not restart within %3 s; restart it by hand.")
                .arg(shown(file), name, QString::number(kRestartMs / 1000)));
    }
    console.print(tr("Firmware %1 installed and verified on %2; the instrument restarts.")
                      .arg(shown(file), name.shown()));
    return report.exitCode();
}

int DeviceCommands::destructiveJob(BaseDevice* device, const QString& action, const QString& question,
                                   Operation* (BaseDevice::*post)(), const QString& done)
{
    CliReport& report = m_context.report;
    const CliArguments& arguments = m_context.arguments;
    CliSafeguard safeguard(m_context.console, report, arguments.yes(), arguments.withoutSnapshot());
    SnapshotStore store(m_context.snapshotFolder, m_context.snapshotLimit);
    const QPointer<BaseDevice> alive(device);
    if (!safeguard.mayAsk(action) || !safeguard.confirm(question) || !safeguard.snapshot(device, store)) {
        return report.exitCode();
    }
    if (isGone(alive)) {
        return wentAway(report,
                        CliText::translate("DeviceCommands", "the options snapshot; nothing was sent"));
    }
    DeviceWatch watch(alive, m_context.console);
    const DeviceWatch::Outcome outcome = watch.waitFor((alive.data()->*post)());
    if (!outcome.cameBack) {
        return wentAway(report, action);
    }
    if (outcome.result != 0) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            withMessage(CliText::translate("DeviceCommands", "%1 failed").arg(action), outcome.message),
            outcome.result);
    }
    m_context.console.print(done);
    return report.exitCode();
}

int DeviceCommands::reset(BaseDevice* device)
{
    const QString name = title(*device).shown();
    return destructiveJob(device, QStringLiteral("reset"), tr("Reset %1 to its factory settings?").arg(name),
                          &BaseDevice::factoryReset,
                          tr("%1 was reset to its factory settings and restarts.").arg(name));
}

int DeviceCommands::logClear(BaseDevice* device)
{
    const QString name = title(*device).shown();
    return destructiveJob(device, QStringLiteral("log clear"),
                          tr("Delete every event log entry on %1?").arg(name), &BaseDevice::clearLog,
                          tr("The event log of %1 was deleted.").arg(name));
}

int DeviceCommands::logDownload(BaseDevice* device)
{
    CliReport& report = m_context.report;
    const QString output = m_context.arguments.output();
    CliText reason;
    if (!CliFiles::canWrite(output, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }
    const QString name = title(*device).shown();
    DeviceWatch watch(device, m_context.console);
    m_context.console.note(tr("Reading the event log..."));
    const DeviceWatch::Outcome outcome = watch.waitFor(device->downloadLog());
    if (!outcome.cameBack) {
        return wentAway(report, CliText::translate("DeviceCommands", "the log download"));
    }
    if (outcome.result != 0) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            withMessage(CliText::translate("DeviceCommands", "The event log could not be read"),
                        outcome.message),
            outcome.result);
    }
    // Saved as the window saves it: the instrument's bytes as Latin-1 text.
    const QByteArray bytes = outcome.logText.toLatin1();
    if (!CliFiles::write(output, bytes, &reason)) {
        return report.fail(CliExitCode::FileError, reason);
    }
    report.insert(QStringLiteral("file"), output);
    report.insert(QStringLiteral("bytes"), bytes.size());
    m_context.console.print(
        tr("Event log of %1 (%n bytes) written to %2", nullptr, int(bytes.size())).arg(name, shown(output)));
    return report.exitCode();
}

int DeviceCommands::calibrate(TymbrelSensor* sensor)
{
    CliReport& report = m_context.report;
    const QString name = title(*sensor).shown();
    const QPointer<TymbrelSensor> alive(sensor);
    DeviceWatch watch(sensor, m_context.console);
    bool storedRead = false;
    bool calibratedRead = false;
    std::optional<int> readFailure;
    QObject::connect(sensor, &TymbrelSensor::savedCdcThresholdChanged, &watch, [&] {
        storedRead = true;
        watch.wake();
    });
    QObject::connect(sensor, &TymbrelSensor::savedCdcCalibrationChanged, &watch, [&] {
        calibratedRead = true;
        watch.wake();
    });
    QObject::connect(sensor, &TymbrelSensor::cdcThresholdReadFailed, &watch, [&](int result) {
        readFailure = result;
        watch.wake();
    });
    m_context.console.note(
        tr("Calibrating the touch detector of %1 (keep hands off the sensor)...").arg(name));
    const Operation* calibration = sensor->calibrateForProduction();
    watch.showProgress(calibration);
    const DeviceWatch::Outcome outcome = watch.waitFor(calibration);
    if (!outcome.cameBack || !alive) {
        return wentAway(report, CliText::translate("DeviceCommands", "the calibration"));
    }
    if (outcome.result < 0) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            withMessage(CliText::translate("DeviceCommands", "The calibration failed, nothing was stored"),
                        outcome.message),
            outcome.result);
    }
    const int switchingPoint = outcome.switchingPoint;
    if (switchingPoint < 0) {
        return report.fail(CliExitCode::InstrumentFailed,
                           CliText::translate("DeviceCommands",
                                              "The calibration did not report its switching "
                                              "point; check the sensor's thresholds."),
                           outcome.result);
    }
    report.insert(QStringLiteral("switchingPoint"), switchingPoint);
    // The sensor reads both stored thresholds back after a calibration that stored them: what it
    // answers is what the command reports, never the values from before.
    watch.waitUntil([&] { return (storedRead && calibratedRead) || readFailure; }, kThresholdReadBackMs);
    if (!alive || !alive->isConnected()) {
        return wentAway(report, CliText::translate("DeviceCommands", "the calibration"));
    }
    if (!storedRead || !calibratedRead) {
        return report.fail(CliExitCode::InstrumentFailed,
                           readFailure
                               ? CliText::translate("DeviceCommands",
                                                    "The calibration was stored, but the sensor's thresholds "
                                                    "could not be read back; check them.")
                               : CliText::translate("DeviceCommands",
                                                    "The calibration was stored, but the sensor did not "
                                                    "report its thresholds within %1 s; check them.")
                                     .arg(kThresholdReadBackMs / 1000),
                           readFailure.value_or(LIBUSB_ERROR_TIMEOUT));
    }
    report.insert(QStringLiteral("storedThreshold"), alive->savedCdcThreshold());
    report.insert(QStringLiteral("calibratedThreshold"), alive->calibratedCdcThreshold());
    if (outcome.result > 0) {
        return report.fail(
            CliExitCode::InstrumentFailed,
            CliText::translate("DeviceCommands",
                               "The calibrated threshold %1 lies outside %2..%3; it was stored, "
                               "check the sensor.")
                .arg(switchingPoint + TymbrelSensor::kProductionCalibrationOffset)
                .arg(TymbrelSensor::kProductionCalibrationMin)
                .arg(TymbrelSensor::kProductionCalibrationMax),
            outcome.result);
    }
    m_context.console.print(
        tr("Touch detector of %1 calibrated: switching point %2, stored threshold %3.")
            .arg(name, QString::number(switchingPoint), QString::number(alive->savedCdcThreshold())));
    return report.exitCode();
}
