#include "station/station.h"

#include "devices/basedevice.h"
#include "devices/operation.h"
#include "devices/snapshotstore.h"
#include "firmware/firmwarecipher.h"
#include "firmware/firmwareinfo.h"
#include "firmware/firmwareloader.h"
#include "options/storageids_general.h"
#include "records/recorder.h"
#include "records/serviceevent.h"
#include "station/stationserials.h"
#include "usb/usbmanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
constexpr quint32 kSerialId = quint32(StorageIDs_general::Options::e_sid_DeviceSerialNumber);
constexpr int kSettleCheckMs = 250;
const char* const kUpdateOnlyKey = "update-only";

QString hex(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QStringLiteral("(empty)") : QString::fromLatin1(bytes.toHex(' '));
}

QJsonArray arrayOrOne(const QJsonValue& value)
{
    return value.isArray() ? value.toArray() : QJsonArray{value};
}
} // namespace

Station::Station(UsbManager* manager, Recorder* recorder, StationSerials* serials, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("Station")), m_manager(manager), m_recorder(recorder),
      m_serials(serials)
{
    m_settle.setInterval(kSettleCheckMs);
    connect(&m_settle, &QTimer::timeout, this, &Station::checkSettled);
    m_returnTimer.setSingleShot(true);
    connect(&m_returnTimer, &QTimer::timeout, this, [this] {
        fail(m_step, QStringLiteral("the board did not come back within %1 s")
                         .arg(m_setup.returnTimeoutMs / 1000.0, 0, 'g', 3));
    });
}

Station::~Station() = default;

QString Station::stepName(Step step)
{
    switch (step) {
    case Step::Waiting:
        return QStringLiteral("waiting");
    case Step::Kind:
        return QStringLiteral("kind");
    case Step::BaseFirmware:
        return QStringLiteral("base firmware");
    case Step::Snapshot:
        return QStringLiteral("snapshot");
    case Step::Identity:
        return QStringLiteral("identity");
    case Step::Function:
        return QStringLiteral("function");
    case Step::Firmware:
        return QStringLiteral("firmware");
    case Step::Reboot:
        return QStringLiteral("reboot");
    case Step::Verify:
        return QStringLiteral("verify");
    case Step::Unplug:
        return QStringLiteral("unplug");
    }
    return QString();
}

namespace {
// Every function of the option file of `directory`, with the device type that offers it.
int readFunctions(const QString& directory, QList<QPair<QString, QString>>* typeAndName)
{
    QFile file(OptionFunctions::filePath(directory));
    if (!file.open(QIODevice::ReadOnly)) {
        return OptionFunctions::NoFile;
    }
    const QJsonDocument document =
        QJsonDocument::fromJson(FirmwareCipher(FirmwareCipher::kBuiltInKey).decrypt(file.readAll()));
    if (!document.isObject()) {
        return OptionFunctions::Unreadable;
    }
    for (const QJsonValue& device : arrayOrOne(document.object().value(QStringLiteral("devices")))) {
        const QString type = device.toObject().value(QStringLiteral("device_type")).toString();
        for (const QJsonValue& function : arrayOrOne(device.toObject().value(QStringLiteral("functions")))) {
            const QJsonObject object = function.toObject();
            const QJsonValue name = object.contains(QStringLiteral("name"))
                                        ? object.value(QStringLiteral("name"))
                                        : object.value(QStringLiteral("functionname"));
            typeAndName->append(qMakePair(type, name.toString()));
        }
    }
    return OptionFunctions::Loaded;
}
} // namespace

QStringList Station::functionNames(const QString& optionDirectory)
{
    QList<QPair<QString, QString>> functions;
    readFunctions(optionDirectory, &functions);
    QStringList names;
    for (const auto& function : qAsConst(functions)) {
        if (!function.second.isEmpty() && !names.contains(function.second)) {
            names.append(function.second);
        }
    }
    return names;
}

int Station::functionDeviceTypes(QStringList* types)
{
    QList<QPair<QString, QString>> functions;
    const int result = readFunctions(m_setup.optionDirectory, &functions);
    for (const auto& function : qAsConst(functions)) {
        if (function.second == m_setup.function && !function.first.isEmpty() &&
            !types->contains(function.first)) {
            types->append(function.first);
        }
    }
    return result;
}

int Station::start(const Setup& setup)
{
    m_setup = setup;
    m_error.clear();
    if (m_functions.locate(setup.optionDirectory) != OptionFunctions::Loaded) {
        m_error = QStringLiteral("no option description file %1")
                      .arg(OptionFunctions::filePath(setup.optionDirectory));
        return -1;
    }
    m_functionTypes.clear();
    if (functionDeviceTypes(&m_functionTypes) != OptionFunctions::Loaded) {
        m_error = QStringLiteral("the option description file %1 cannot be read")
                      .arg(OptionFunctions::filePath(setup.optionDirectory));
        return -1;
    }
    if (m_functionTypes.isEmpty()) {
        m_error = QStringLiteral("the option description file offers no function \"%1\"").arg(setup.function);
        return -2;
    }
    // The base firmware the file names is the line's default; a file given here wins.
    if (m_setup.baseFirmware.isEmpty()) {
        m_functions.load(setup.optionDirectory, QString(), QString());
        if (!m_functions.baseFirmware().isEmpty()) {
            const QString named = QDir(setup.optionDirectory).filePath(m_functions.baseFirmware());
            m_setup.baseFirmware = QFileInfo::exists(named) ? named : QString();
        }
    }
    for (const QString& file : {m_setup.firmware, m_setup.baseFirmware}) {
        FirmwareInfo info;
        if (!file.isEmpty() && loadFirmware(file, &info, nullptr).isEmpty()) {
            m_error = QStringLiteral("the firmware file %1 cannot be read").arg(file);
            return -3;
        }
    }
    m_running = true;
    m_stopRequested = false;
    m_passed = m_failed = 0;
    connect(m_manager, &UsbManager::deviceAdded, this, &Station::deviceAdded, Qt::UniqueConnection);
    connect(m_manager, &UsbManager::deviceRemoved, this, &Station::deviceRemoved, Qt::UniqueConnection);
    logger()->info("station started: function {}, firmware {}, base firmware {}", m_setup.function,
                   m_setup.firmware, m_setup.baseFirmware);
    nextBoard();
    return 0;
}

void Station::stop()
{
    m_stopRequested = true;
    if (m_running && (m_step == Step::Waiting || m_step == Step::Unplug)) {
        finish();
    }
}

void Station::finish()
{
    if (!m_running) {
        return;
    }
    m_running = false;
    ++m_generation;
    m_settle.stop();
    m_returnTimer.stop();
    disconnect(m_manager, nullptr, this, nullptr);
    logger()->info("station stopped: {} passed, {} failed", m_passed, m_failed);
    emit finished();
}

void Station::setStep(Step step)
{
    m_step = step;
    logger()->debug("board {}: {}", m_board.chipId, stepName(step));
    emit stepChanged(step);
}

void Station::serialScanned(const QString& serial)
{
    m_serials->scanned(serial);
    if (m_waitsForSerial && !m_serials->next().isEmpty()) {
        m_waitsForSerial = false;
        begin();
    }
}

void Station::deviceAdded(const UsbBusDeviceAddress& address)
{
    const bool wanted = m_step == Step::Waiting || m_board.returning;
    if (!m_running || !wanted || m_candidate || (m_waitsForSerial && m_board.present)) {
        return;
    }
    m_candidate = qobject_cast<BaseDevice*>(m_manager->device(address).data());
    m_candidateAddress = address;
    if (!m_candidate) {
        return;
    }
    // Settled is seen the moment it happens; the timer only backs that up.
    BaseDevice* device = m_candidate;
    connect(device, &UsbInstrument::connected, this, &Station::checkSettled, Qt::UniqueConnection);
    connect(device, &BaseDevice::identityChanged, this, &Station::checkSettled, Qt::UniqueConnection);
    connect(device, &BaseDevice::operationStarted, this, [this, device](Operation* operation) {
        connect(operation, &Operation::finished, this, [this, device] {
            if (m_candidate == device) {
                checkSettled();
            }
        });
    });
    m_settle.start();
    checkSettled();
}

void Station::deviceRemoved(const UsbBusDeviceAddress& address)
{
    if (m_candidate && address == m_candidateAddress) {
        m_candidate = nullptr;
        m_settle.stop();
    }
    if (!m_board.present || !(address == m_board.address)) {
        return;
    }
    m_board.present = false;
    if (m_board.returning) {
        return; // restarting, as meant
    }
    if (m_step == Step::Unplug || (m_step == Step::Waiting && m_waitsForSerial)) {
        m_waitsForSerial = false;
        nextBoard();
        return;
    }
    fail(m_step, QStringLiteral("the board was unplugged"));
}

void Station::checkSettled()
{
    BaseDevice* device = m_candidate;
    if (!device) {
        m_settle.stop();
        return;
    }
    if (device->hasOpenFailed()) {
        m_candidate = nullptr;
        m_settle.stop();
        return; // the discovery says why; a restarting board runs into its time limit
    }
    // Identified, and its own reads after connecting are done: the station's steps come after them.
    if (!device->isConnected() || device->chipId().isEmpty() || !device->pendingOperations().isEmpty()) {
        return;
    }
    m_candidate = nullptr;
    m_settle.stop();
    arrived(device);
}

void Station::arrived(BaseDevice* device)
{
    if (m_board.returning) {
        if (device->chipId() != m_board.chipId) {
            // Not the board that restarted; it stays out of the line until that one is through.
            logger()->warn("another board arrived during the restart (chip id {})", device->chipId());
            return;
        }
        m_returnTimer.stop();
        m_board.returning = false;
        m_board.waitedMs += m_board.waiting.elapsed();
        m_board.device = device;
        m_board.address = m_candidateAddress;
        m_board.present = true;
        if (m_step == Step::BaseFirmware) {
            if (device->kindKey() == QLatin1String(kUpdateOnlyKey)) {
                fail(Step::BaseFirmware, QStringLiteral("the board came back as an update-only board"));
                return;
            }
            m_board.baseFirmwareDone = true;
            checkKind();
        } else {
            verify();
        }
        return;
    }
    ++m_generation;
    m_board = Board();
    m_board.device = device;
    m_board.address = m_candidateAddress;
    m_board.present = true;
    m_board.chipId = device->chipId();
    m_board.clock.start();
    begin();
}

void Station::begin()
{
    BaseDevice* device = m_board.device;
    if (!device) {
        return;
    }
    if (m_serials->mode() == StationSerials::Mode::Scan && m_serials->next().isEmpty()) {
        m_waitsForSerial = true;
        logger()->info("board {} waits for a scanned serial", m_board.chipId);
        emit stepChanged(Step::Waiting);
        return;
    }
    m_board.serial = m_serials->next();
    if (m_serials->exhausted()) {
        fail(Step::Identity, QStringLiteral("the serial range is used up"));
        return;
    }
    if (device->kindKey() == QLatin1String(kUpdateOnlyKey)) {
        baseFirmware();
        return;
    }
    checkKind();
}

void Station::follow(Operation* operation, std::function<void(Operation&)> next)
{
    const int generation = m_generation;
    m_board.waiting.start();
    connect(operation, &Operation::progress, this, [this, generation](int value, int maximum, QString) {
        if (generation == m_generation) {
            emit progress(value, maximum);
        }
    });
    connect(operation, &Operation::finished, this, [this, generation, operation, next](int, QString) {
        if (generation == m_generation && m_running) {
            m_board.waitedMs += m_board.waiting.elapsed();
            next(*operation);
        }
    });
}

void Station::baseFirmware()
{
    setStep(Step::BaseFirmware);
    if (m_setup.baseFirmware.isEmpty()) {
        fail(Step::BaseFirmware, QStringLiteral("an update-only board needs the base firmware"));
        return;
    }
    follow(m_board.device->updateFirmware(m_setup.baseFirmware), [this](Operation& done) {
        if (done.result() < 0) {
            fail(Step::BaseFirmware, done.message());
            return;
        }
        m_board.waiting.start();
        m_board.returning = true;
        m_returnTimer.start(m_setup.returnTimeoutMs);
    });
}

void Station::checkKind()
{
    setStep(Step::Kind);
    BaseDevice* device = m_board.device;
    m_functions.load(m_setup.optionDirectory, device->deviceType(), device->hardwareRevision());
    if (!m_functions.names().contains(m_setup.function)) {
        fail(Step::Kind, QStringLiteral("a %1 of device type \"%2\", PCB \"%3\" is not a board for function "
                                        "%4 (%5)")
                             .arg(device->name(), device->deviceType(), device->hardwareRevision(),
                                  m_setup.function, m_functionTypes.join(QStringLiteral(", "))));
        return;
    }
    const OptionFunctions::Refusal refusal = m_functions.refusal(m_setup.function);
    if (refusal.reason != OptionFunctions::Refusal::None) {
        fail(Step::Kind,
             QStringLiteral("function %1 holds option \"%2\" of type \"%3\", which cannot be written")
                 .arg(m_setup.function, refusal.id, refusal.type));
        return;
    }
    m_board.meant = m_functions.values(m_setup.function);
    m_board.firmwareFile = m_setup.firmware;
    if (m_board.firmwareFile.isEmpty() && !m_functions.firmware(m_setup.function).isEmpty()) {
        m_board.firmwareFile = QDir(m_setup.optionDirectory).filePath(m_functions.firmware(m_setup.function));
    }
    if (!m_board.firmwareFile.isEmpty()) {
        FirmwareInfo info;
        if (loadFirmware(m_board.firmwareFile, &info, nullptr).isEmpty()) {
            fail(Step::Firmware,
                 QStringLiteral("the firmware file %1 cannot be read").arg(m_board.firmwareFile));
            return;
        }
        m_board.firmwareVersion = info.firmwareVersion;
    }
    const QString carried = device->serial();
    if (!m_board.serial.isEmpty() && !carried.isEmpty() && carried != m_board.serial && !m_setup.rework) {
        fail(Step::Identity,
             QStringLiteral("the board already carries the serial %1 (re-work not chosen)").arg(carried));
        return;
    }
    snapshot();
}

void Station::snapshot()
{
    setStep(Step::Snapshot);
    follow(m_board.device->takeSnapshot(), [this](Operation& done) {
        if (done.result() != 0 || !done.snapshot().isValid()) {
            fail(Step::Snapshot,
                 done.message().isEmpty() ? QStringLiteral("no whole snapshot") : done.message());
            return;
        }
        QString error;
        m_board.snapshot =
            SnapshotStore(m_setup.snapshotFolder, m_setup.snapshotLimit).save(done.snapshot(), &error);
        if (m_board.snapshot.isEmpty()) {
            fail(Step::Snapshot, error);
            return;
        }
        identity();
    });
}

void Station::identity()
{
    if (m_board.serial.isEmpty() || m_board.device->serial() == m_board.serial) {
        function();
        return;
    }
    setStep(Step::Identity);
    follow(m_board.device->sendDeviceOption(kSerialId, m_board.serial.toLatin1()), [this](Operation& done) {
        if (done.result() < 0) {
            fail(Step::Identity, done.message());
            return;
        }
        function();
    });
}

void Station::function()
{
    setStep(Step::Function);
    m_board.toSend = m_board.meant.keys();
    std::sort(m_board.toSend.begin(), m_board.toSend.end());
    sendNextValue();
}

void Station::sendNextValue()
{
    BaseDevice* device = m_board.device;
    if (!m_board.toSend.isEmpty()) {
        const quint32 id = m_board.toSend.takeFirst();
        follow(device->sendDeviceOption(id, m_board.meant.value(id)), [this](Operation& done) {
            if (done.result() < 0) {
                fail(Step::Function, done.message());
                return;
            }
            sendNextValue();
        });
        return;
    }
    // One store for serial and function; without a firmware the store's restart is the one restart.
    const bool withFirmware = !m_board.firmwareFile.isEmpty();
    follow(device->writeDeviceOptions(!withFirmware), [this, withFirmware](Operation& done) {
        if (done.result() < 0) {
            fail(Step::Function, done.message());
            return;
        }
        withFirmware ? firmware() : awaitReturn();
    });
}

void Station::firmware()
{
    setStep(Step::Firmware);
    follow(m_board.device->updateFirmware(m_board.firmwareFile), [this](Operation& done) {
        if (done.result() < 0) {
            fail(Step::Firmware,
                 done.message().isEmpty() ? QStringLiteral("result %1").arg(done.result()) : done.message());
            return;
        }
        awaitReturn();
    });
}

void Station::awaitReturn()
{
    setStep(Step::Reboot);
    m_board.waiting.start();
    m_board.returning = true;
    m_returnTimer.start(m_setup.returnTimeoutMs);
}

void Station::verify()
{
    setStep(Step::Verify);
    QList<quint32> ids = m_board.meant.keys();
    if (!m_board.serial.isEmpty()) {
        m_board.meant.insert(kSerialId, m_board.serial.toLatin1());
        ids.append(kSerialId);
    }
    std::sort(ids.begin(), ids.end());
    follow(m_board.device->readMultipleDeviceOptions(ids), [this, ids](Operation& done) {
        BaseDevice* device = m_board.device;
        const QHash<quint32, QByteArray> values = done.values();
        QStringList wrong;
        for (const quint32 id : ids) {
            const QString name = StorageIdCatalogue::name(device->optionFamily(), id);
            if (!values.contains(id)) {
                wrong << QStringLiteral("option %1 (%2) did not answer")
                             .arg(id, 8, 16, QLatin1Char('0'))
                             .arg(name);
            } else if (values.value(id) != m_board.meant.value(id)) {
                wrong << QStringLiteral("option %1 (%2) holds %3, meant %4")
                             .arg(id, 8, 16, QLatin1Char('0'))
                             .arg(name, hex(values.value(id)), hex(m_board.meant.value(id)));
            }
        }
        if (!m_board.firmwareVersion.isEmpty() && device->softwareVersion() != m_board.firmwareVersion) {
            wrong << QStringLiteral("the board runs firmware %1, meant %2")
                         .arg(device->softwareVersion(), m_board.firmwareVersion);
        }
        if (!wrong.isEmpty()) {
            fail(Step::Verify, wrong.join(QStringLiteral("; ")));
            return;
        }
        pass();
    });
}

void Station::pass()
{
    m_serials->passed();
    ++m_passed;
    done(true, Step::Verify, QString());
}

void Station::fail(Step step, const QString& reason)
{
    m_serials->failed();
    ++m_failed;
    done(false, step, reason);
}

void Station::done(bool passed, Step failedStep, const QString& reason)
{
    ++m_generation; // late completions of this board's operations change nothing any more
    m_returnTimer.stop();
    m_board.returning = false;

    BaseDevice* device = m_board.device;
    Outcome outcome;
    outcome.passed = passed;
    outcome.step = passed ? Step::Verify : failedStep;
    outcome.reason = reason;
    outcome.seconds = m_board.clock.isValid() ? m_board.clock.elapsed() / 1000.0 : 0;
    outcome.instrumentSeconds = m_board.waitedMs / 1000.0;
    // A failed board is named by the serial it carries; one without by the serial it was to get.
    const QString carried = device ? device->serial() : QString();
    outcome.serial = (passed && !m_board.serial.isEmpty()) || carried.isEmpty() ? m_board.serial : carried;
    outcome.kind = device ? device->kindKey() : QString();
    outcome.chipId = m_board.chipId;
    outcome.firmwareVersion = device ? device->softwareVersion() : QString();
    outcome.snapshot = m_board.snapshot;
    if (passed) {
        logger()->info("PASS {} ({:.1f} s)", outcome.serial, outcome.seconds);
    } else {
        logger()->warn("FAIL {} {}: {}", outcome.serial, stepName(outcome.step), reason);
    }

    if (m_recorder) {
        ServiceEvent event = ServiceEvent::create(QString::fromLatin1(kRecordOperation));
        event.serial = outcome.serial;
        event.kind = outcome.kind;
        if (device) {
            event.usbId = QStringLiteral("%1:%2")
                              .arg(device->usbId() >> 16, 4, 16, QLatin1Char('0'))
                              .arg(device->usbId() & 0xFFFF, 4, 16, QLatin1Char('0'));
        }
        event.result = passed ? 0 : -1;
        event.message =
            passed ? QStringLiteral("PASS") : stepName(outcome.step) + QStringLiteral(": ") + reason;
        QJsonObject details{{QStringLiteral("function"), m_setup.function},
                            {QStringLiteral("step"), stepName(outcome.step)},
                            {QStringLiteral("seconds"), outcome.seconds},
                            {QStringLiteral("chipId"), outcome.chipId},
                            {QStringLiteral("rework"), m_setup.rework}};
        if (!m_board.firmwareFile.isEmpty()) {
            details.insert(QStringLiteral("firmware"), QFileInfo(m_board.firmwareFile).fileName());
            details.insert(QStringLiteral("firmwareVersion"), m_board.firmwareVersion);
        }
        if (m_board.baseFirmwareDone) {
            details.insert(QStringLiteral("baseFirmware"), QFileInfo(m_setup.baseFirmware).fileName());
        }
        if (!outcome.snapshot.isEmpty()) {
            details.insert(QStringLiteral("snapshot"), outcome.snapshot);
        }
        event.setDetails(details);
        m_recorder->record(event);
    }
    emit boardDone(outcome);

    if (!m_running) {
        return;
    }
    if (m_stopRequested || m_serials->exhausted()) {
        finish();
        return;
    }
    if (m_board.present) {
        setStep(Step::Unplug);
        return;
    }
    nextBoard();
}

void Station::nextBoard()
{
    ++m_generation;
    m_board = Board();
    m_waitsForSerial = false;
    if (m_stopRequested) {
        finish();
        return;
    }
    setStep(Step::Waiting);
    // A board plugged while the last one was being taken out is served already.
    for (const UsbBusDeviceAddress& address : m_manager->addresses()) {
        deviceAdded(address);
        if (m_candidate) {
            break;
        }
    }
}
