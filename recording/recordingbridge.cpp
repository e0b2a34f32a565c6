#include "recording/recordingbridge.h"

#include "devices/basedevice.h"
#include "devices/snapshotrestore.h"
#include "options/optionlayout.h"
#include "options/optionssnapshot.h"
#include "options/storageidcatalogue.h"
#include "usb/usbmanager.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <libusb.h>

#include <algorithm>

namespace {
RecordingBridge* g_current = nullptr;
constexpr const char* kConnectedRecorded = "serviceRecordConnected";

QString hexId(quint32 id)
{
    return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
}

QJsonArray idList(QList<quint32> ids)
{
    std::sort(ids.begin(), ids.end());
    QJsonArray list;
    for (const quint32 id : ids) {
        list.append(hexId(id));
    }
    return list;
}

bool isLanguage(StorageIdCatalogue::Family family, quint32 id)
{
    const QString name = StorageIdCatalogue::name(family, id);
    return name.contains(QLatin1String("_Option_Lang_")) || name.endsWith(QLatin1String("DefaultLanguage"));
}

// Which kind of write a set of values is: the instrument's identity, its menu languages, a function of
// the option description file, or settings.
QString writeName(const Operation::Inputs& inputs, Operation::Purpose purpose,
                  StorageIdCatalogue::Family family)
{
    if (purpose == Operation::Purpose::Function) {
        return QString::fromLatin1(ServiceEvent::kFunctionWrite);
    }
    const QList<quint32> ids = inputs.optionValues.keys();
    if (std::any_of(ids.begin(), ids.end(), [](quint32 id) { return OptionLayout::isIdentity(id); })) {
        return QString::fromLatin1(ServiceEvent::kIdentityWrite);
    }
    if (!ids.isEmpty() &&
        std::all_of(ids.begin(), ids.end(), [family](quint32 id) { return isLanguage(family, id); })) {
        return QString::fromLatin1(ServiceEvent::kLanguagesSet);
    }
    return QString::fromLatin1(ServiceEvent::kParameterWrite);
}

// Reads answer questions; they are worth a record only when they fail.
bool recordedOnlyOnFailure(Operation::Kind kind)
{
    switch (kind) {
    case Operation::Kind::ReadIdentity:
    case Operation::Kind::ReadOption:
    case Operation::Kind::ReadOptions:
    case Operation::Kind::TakeSnapshot: // a snapshot that worked is recorded with its file
    case Operation::Kind::Reboot:
        return true;
    default:
        return false;
    }
}

QString operationName(Operation::Kind kind, const Operation::Inputs& inputs, Operation::Purpose purpose,
                      StorageIdCatalogue::Family family)
{
    switch (kind) {
    case Operation::Kind::ReadIdentity:
        return QString::fromLatin1(RecordingBridge::kIdentityRead);
    case Operation::Kind::ReadOption:
    case Operation::Kind::ReadOptions:
        return QString::fromLatin1(RecordingBridge::kOptionRead);
    case Operation::Kind::SendOption:
    case Operation::Kind::SendOptions:
        return writeName(inputs, purpose, family);
    case Operation::Kind::WriteOptions:
        return QString::fromLatin1(ServiceEvent::kParameterWrite);
    case Operation::Kind::Reboot:
        return QString::fromLatin1(RecordingBridge::kRestart);
    case Operation::Kind::FactoryReset:
        return QString::fromLatin1(ServiceEvent::kFactoryReset);
    case Operation::Kind::UpdateFirmware:
        return QString::fromLatin1(ServiceEvent::kFirmwareUpdate);
    case Operation::Kind::DownloadLog:
        return QString::fromLatin1(ServiceEvent::kLogDownload);
    case Operation::Kind::ClearLog:
        return QString::fromLatin1(ServiceEvent::kLogClear);
    case Operation::Kind::TakeSnapshot:
        return QString::fromLatin1(ServiceEvent::kSnapshotTaken);
    case Operation::Kind::ReadDatasets:
        return QString::fromLatin1(ServiceEvent::kDatasetRead);
    case Operation::Kind::ClearDatasets:
        return QString::fromLatin1(ServiceEvent::kDatasetClear);
    case Operation::Kind::CalibrateTouch:
    case Operation::Kind::StoreTouchThreshold:
        return QString::fromLatin1(ServiceEvent::kTouchCalibration);
    }
    return QString();
}

QString sha256Of(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        return QString();
    }
    return QString::fromLatin1(hash.result().toHex());
}
} // namespace

RecordingBridge::RecordingBridge(std::unique_ptr<Recorder> recorder, QObject* parent)
    : QObject(parent), BaseLogger(QStringLiteral("Records")), m_recorder(std::move(recorder))
{
    g_current = this;
}

RecordingBridge::~RecordingBridge()
{
    if (g_current == this) {
        g_current = nullptr;
    }
}

std::unique_ptr<RecordingBridge> RecordingBridge::fromSettings(const QString& interfaceName, QString* error)
{
    Recorder::Options options;
    const bool usable = Recorder::optionsFromSettings(&options, error);
    options.interfaceName = interfaceName;
    auto bridge = std::make_unique<RecordingBridge>(std::make_unique<Recorder>(options));
    if (!usable) {
        bridge->logger()->error("Records database setting not used: {}", error ? *error : QString());
    }
    return bridge;
}

RecordingBridge* RecordingBridge::current()
{
    return g_current;
}

QString RecordingBridge::usbIdText(quint32 usbId)
{
    return QStringLiteral("%1:%2")
        .arg(usbId >> 16, 4, 16, QLatin1Char('0'))
        .arg(usbId & 0xFFFF, 4, 16, QLatin1Char('0'));
}

ServiceEvent RecordingBridge::eventFor(const BaseDevice& device, const QString& operation)
{
    ServiceEvent event = ServiceEvent::create(operation);
    event.serial = device.serial();
    event.kind = device.kindKey();
    event.usbId = usbIdText(device.usbId());
    return event;
}

void RecordingBridge::follow(UsbManager* manager)
{
    connect(manager, &UsbManager::deviceAdded, this, [this, manager](UsbBusDeviceAddress address) {
        attach(qobject_cast<BaseDevice*>(manager->device(address).data()));
    });
    // One process may serve an instrument before its bridge exists (a command line run after another):
    // one that is identified already is recorded now, unless an earlier bridge did.
    for (const UsbBusDeviceAddress& address : manager->addresses()) {
        auto* device = qobject_cast<BaseDevice*>(manager->device(address).data());
        attach(device);
        if (device && device->isConnected() && !device->chipId().isEmpty()) {
            recordConnected(*device);
        }
    }
}

void RecordingBridge::attach(BaseDevice* device)
{
    if (!device) {
        return;
    }
    connect(device, &BaseDevice::operationStarted, this, &RecordingBridge::operationStarted,
            Qt::UniqueConnection);
}

void RecordingBridge::record(ServiceEvent event, const BaseDevice* device)
{
    if (device) {
        const ServiceEvent of = eventFor(*device, QString());
        event.serial = event.serial.isEmpty() ? of.serial : event.serial;
        event.kind = event.kind.isEmpty() ? of.kind : event.kind;
        event.usbId = event.usbId.isEmpty() ? of.usbId : event.usbId;
    }
    if (event.id.isNull()) {
        event.id = QUuid::createUuid();
    }
    if (!event.time.isValid()) {
        event.time = QDateTime::currentDateTimeUtc();
    }
    m_recorder->record(std::move(event));
}

void RecordingBridge::operationStarted(Operation* operation)
{
    auto* device = qobject_cast<BaseDevice*>(operation->parent());
    if (!device) {
        return;
    }
    Started started;
    started.device = device;
    started.kind = operation->kind();
    started.inputs = operation->inputs();
    started.family = device->optionFamily();
    started.event = eventFor(*device, QString());
    started.firmwareVersion = device->softwareVersion();
    started.hardwareRevision = device->hardwareRevision();
    // The values before a write come from the cache, which holds what the instrument last said.
    for (auto it = started.inputs.optionValues.constBegin(); it != started.inputs.optionValues.constEnd();
         ++it) {
        started.before.insert(it.key(), device->deviceOption(it.key()));
    }
    started.clock.start();
    m_started.insert(operation, started);
    connect(operation, &Operation::finished, this, [this, operation] { operationFinished(operation); });
    connect(operation, &QObject::destroyed, this, [this, operation] { operationLost(operation); });
}

void RecordingBridge::operationFinished(Operation* operation)
{
    const auto found = m_started.find(operation);
    if (found == m_started.end()) {
        return;
    }
    Started started = found.value();
    m_started.erase(found);
    // Posted before the instrument said who it is (the reads right after connecting): it has told by now.
    if (started.event.serial.isEmpty()) {
        if (auto* device = qobject_cast<BaseDevice*>(operation->parent())) {
            started.event.serial = device->serial();
        }
    }
    Operation* next = operation->followUp();
    const auto chained = next ? m_started.find(next) : m_started.end();
    if (chained != m_started.end()) {
        chained->followUp = true;
    }

    if (started.heldParent) {
        ServiceEvent event = started.parent;
        if (operation->result() != 0) {
            event.result = operation->result();
            event.message = operation->message();
        }
        m_recorder->record(event);
        return;
    }
    // A restart or re-read another operation chained, or a step of a restore: the other one is recorded.
    if (started.followUp || operation->purpose() == Operation::Purpose::Restore) {
        return;
    }
    if (operation->kind() == Operation::Kind::ReadIdentity && operation->result() == 0 && started.device) {
        recordConnected(*static_cast<BaseDevice*>(operation->parent()));
        return;
    }
    ServiceEvent event;
    if (!eventOf(*operation, started, &event)) {
        return;
    }
    // Set values count once they are stored: the store decides whether they stay.
    const bool send =
        operation->kind() == Operation::Kind::SendOption || operation->kind() == Operation::Kind::SendOptions;
    if (send && chained != m_started.end() && event.result == 0) {
        chained->heldParent = true;
        chained->parent = event;
        return;
    }
    m_recorder->record(event);
}

void RecordingBridge::operationLost(Operation* operation)
{
    // Only the pointer: the operation is being destroyed. Its device went before it ended.
    const auto found = m_started.find(operation);
    if (found == m_started.end()) {
        return;
    }
    Started started = found.value();
    m_started.erase(found);
    // English, like every text the records keep: they are read at other stations, in other languages.
    const QString gone = QStringLiteral("The instrument went away before the operation ended.");
    if (started.heldParent) {
        started.parent.result = LIBUSB_ERROR_NO_DEVICE;
        started.parent.message = gone;
        m_recorder->record(started.parent);
        return;
    }
    if (started.followUp || recordedOnlyOnFailure(started.kind)) {
        return;
    }
    ServiceEvent event = started.event;
    event.operation =
        operationName(started.kind, started.inputs, Operation::Purpose::Unspecified, started.family);
    event.result = LIBUSB_ERROR_NO_DEVICE;
    event.message = gone;
    m_recorder->record(event);
}

bool RecordingBridge::eventOf(const Operation& operation, Started& started, ServiceEvent* event)
{
    const int result = operation.result();
    if (recordedOnlyOnFailure(operation.kind()) && result >= 0) {
        return false;
    }
    *event = started.event;
    event->operation = operationName(operation.kind(), started.inputs, operation.purpose(), started.family);
    event->time = QDateTime::currentDateTimeUtc();
    event->result = result;
    event->message = operation.message();
    QJsonObject details{{QStringLiteral("durationMs"), double(started.clock.elapsed())}};
    const Operation::Inputs& inputs = started.inputs;
    switch (operation.kind()) {
    case Operation::Kind::SendOption:
    case Operation::Kind::SendOptions: {
        QList<quint32> ids = inputs.optionValues.keys();
        std::sort(ids.begin(), ids.end());
        QJsonArray options;
        for (const quint32 id : ids) {
            options.append(QJsonObject{
                {QStringLiteral("id"), hexId(id)},
                {QStringLiteral("name"), StorageIdCatalogue::name(started.family, id)},
                {QStringLiteral("before"), QString::fromLatin1(started.before.value(id).toHex())},
                {QStringLiteral("after"), QString::fromLatin1(inputs.optionValues.value(id).toHex())}});
        }
        details.insert(QStringLiteral("options"), options);
        break;
    }
    case Operation::Kind::WriteOptions:
        details.insert(QStringLiteral("store"), true);
        details.insert(QStringLiteral("restart"), inputs.reboot);
        break;
    case Operation::Kind::UpdateFirmware:
        // The version installed is the one the instrument's next "connected" event carries: it is known
        // only once the instrument restarted, which it may do after this process has ended.
        details.insert(QStringLiteral("file"), QFileInfo(inputs.file).fileName());
        details.insert(QStringLiteral("sha256"), sha256Of(inputs.file));
        details.insert(QStringLiteral("bytes"), double(QFileInfo(inputs.file).size()));
        details.insert(QStringLiteral("versionBefore"), started.firmwareVersion);
        details.insert(QStringLiteral("hardwareRevision"), started.hardwareRevision);
        break;
    case Operation::Kind::CalibrateTouch: {
        const QList<int>& limits = inputs.touchParameters;
        const int offset = limits.value(0);
        const int point = operation.switchingPoint();
        details.insert(QStringLiteral("offset"), offset);
        details.insert(QStringLiteral("minThreshold"), limits.value(1));
        details.insert(QStringLiteral("maxThreshold"), limits.value(2));
        details.insert(QStringLiteral("switchingPoint"), point);
        if (result >= 0 && point >= 0) {
            details.insert(QStringLiteral("storedThreshold"), offset + point);
        }
        break;
    }
    case Operation::Kind::StoreTouchThreshold:
        details.insert(QStringLiteral("postedThreshold"), inputs.touchParameters.value(0));
        if (result >= 0) {
            details.insert(QStringLiteral("storedThreshold"), inputs.touchParameters.value(0));
        }
        break;
    case Operation::Kind::DownloadLog:
        details.insert(QStringLiteral("bytes"), operation.logText().size());
        break;
    case Operation::Kind::ReadDatasets: {
        qint64 points = 0;
        const QList<VectarisDataset> datasets = operation.datasets();
        for (const VectarisDataset& dataset : datasets) {
            points += dataset.points.size();
        }
        details.insert(QStringLiteral("series"), datasets.size());
        details.insert(QStringLiteral("points"), double(points));
        break;
    }
    default:
        break;
    }
    event->setDetails(details);
    return true;
}

void RecordingBridge::recordConnected(BaseDevice& device)
{
    // Marked on the device, which lives as long as the plug: a later bridge in the process sees it too.
    if (device.property(kConnectedRecorded).toBool()) {
        return;
    }
    device.setProperty(kConnectedRecorded, true);
    ServiceEvent event = eventFor(device, QString::fromLatin1(ServiceEvent::kConnected));
    event.setDetails(QJsonObject{{QStringLiteral("firmwareVersion"), device.softwareVersion()},
                                 {QStringLiteral("hardwareRevision"), device.hardwareRevision()},
                                 {QStringLiteral("systemId"), device.systemId()},
                                 {QStringLiteral("pcbSerial"), device.pcbSerial()},
                                 {QStringLiteral("deviceType"), device.deviceType()}});
    m_recorder->record(event);
}

void RecordingBridge::recordSnapshotSaved(const OptionsSnapshot& snapshot, const QString& file)
{
    RecordingBridge* bridge = current();
    if (!bridge) {
        return;
    }
    ServiceEvent event = ServiceEvent::create(QString::fromLatin1(ServiceEvent::kSnapshotTaken));
    event.serial = snapshot.serial;
    event.kind = snapshot.kind;
    event.usbId = usbIdText(snapshot.usbId);
    event.message = snapshot.coverage();
    event.setDetails(QJsonObject{{QStringLiteral("file"), file},
                                 {QStringLiteral("options"), snapshot.options.size()},
                                 {QStringLiteral("unknown"), idList(snapshot.unknownIds)},
                                 {QStringLiteral("firmwareVersion"), snapshot.firmwareVersion}});
    bridge->m_recorder->record(event);
}

void RecordingBridge::recordRestore(ServiceEvent event, const SnapshotRestore& restore,
                                    const QString& snapshotFile, int result, const QString& message,
                                    const QList<quint32>& notTaken)
{
    RecordingBridge* bridge = current();
    if (!bridge) {
        return;
    }
    QList<quint32> changed;
    for (const OptionsSnapshot::Option& option : restore.changes()) {
        changed.append(option.id);
    }
    event.time = QDateTime::currentDateTimeUtc();
    event.result = result;
    event.message = message;
    event.setDetails(QJsonObject{{QStringLiteral("file"), snapshotFile},
                                 {QStringLiteral("before"), restore.beforePath()},
                                 {QStringLiteral("identity"), restore.includesIdentity()},
                                 {QStringLiteral("changed"), idList(changed)},
                                 {QStringLiteral("notTaken"), idList(notTaken)}});
    bridge->m_recorder->record(event);
}

void RecordingBridge::recordDatasetExport(const BaseDevice* device, const QString& format, int series,
                                          qint64 points, const QString& file, int result,
                                          const QString& message)
{
    RecordingBridge* bridge = current();
    if (!bridge) {
        return;
    }
    ServiceEvent event = ServiceEvent::create(QString::fromLatin1(ServiceEvent::kDatasetExport));
    event.result = result;
    event.message = message;
    event.setDetails(QJsonObject{{QStringLiteral("format"), format},
                                 {QStringLiteral("series"), series},
                                 {QStringLiteral("points"), double(points)},
                                 {QStringLiteral("file"), file}});
    bridge->record(event, device);
}
