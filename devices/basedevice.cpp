#include "devices/basedevice.h"

#include "core/englishscope.h"
#include "devices/abstractjob.h"
#include "devices/jobs/deletelogjob.h"
#include "devices/jobs/factoryresetjob.h"
#include "devices/jobs/readdefaultvaluesjob.h"
#include "devices/jobs/readdevicemultipleoptionsjob.h"
#include "devices/jobs/readdeviceoptionjob.h"
#include "devices/jobs/readlogjob.h"
#include "devices/jobs/readoptionssnapshotjob.h"
#include "devices/jobs/rebootdevicejob.h"
#include "devices/jobs/setdevicemultipleoptionsjob.h"
#include "devices/jobs/setdeviceoptionjob.h"
#include "devices/jobs/writedeviceoptionsjob.h"
#include "devices/jobs/writefirmwarejob.h"
#include "devices/worker.h"

#include <libusb.h>

#include <atomic>

namespace {
std::atomic<int> g_liveDevices{0};

int registerDeviceMetaTypes()
{
    qRegisterMetaType<NotificationMessageType>("NotificationMessageType");
    qRegisterMetaType<AbstractJob*>("AbstractJob*");
    qRegisterMetaType<QList<quint32>>("QList<quint32>");
    qRegisterMetaType<QHash<quint32, QByteArray>>("QHash<quint32,QByteArray>");
    qRegisterMetaType<OptionsSnapshot>("OptionsSnapshot");
    qRegisterMetaType<DeviceIdentity>("DeviceIdentity");
    qRegisterMetaType<Operation*>("Operation*");
    return 0;
}
} // namespace

BaseDevice::BaseDevice(const InstrumentKind& kind, libusb_device* device, QObject* parent)
    : UsbInstrument(parent), BaseLogger(QString::fromLatin1(kind.name)), m_kind(&kind),
      m_name(QString::fromLatin1(kind.name))
{
    const QString& name = m_name;
    static const int registered = registerDeviceMetaTypes();
    Q_UNUSED(registered);

    m_worker = new Worker(device ? libusb_ref_device(device) : nullptr, name); // deleted on its thread
    m_worker->moveToThread(&m_thread);
    m_thread.setObjectName(name + QStringLiteral("WorkerThread"));

    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(&m_thread, &QThread::started, m_worker, &Worker::init);
    connect(m_worker, &Worker::deviceConnected, this, &BaseDevice::deviceConnected);
    connect(m_worker, &Worker::deviceDisconnected, this, &BaseDevice::deviceDisconnected);
    connect(m_worker, &Worker::deviceOpenFailed, this, &BaseDevice::deviceOpenFailed);
    connect(m_worker, &Worker::jobStartded, this, &BaseDevice::busy);
    connect(m_worker, &Worker::jobFinished, this, &BaseDevice::jobFinished);
    connect(m_worker, &Worker::jobFinished, this, &BaseDevice::idle);
    connect(m_worker, &Worker::jobProgressChanged, this, &BaseDevice::jobProgressed);
    connect(this, &BaseDevice::runJob, m_worker, &Worker::executeJob);

    m_thread.start(QThread::InheritPriority);
    ++g_liveDevices;
}

int BaseDevice::liveCount()
{
    return g_liveDevices.load();
}

BaseDevice::~BaseDevice()
{
    logger()->trace("Base destroyed!");
    // Queued jobs must not start any more: the instrument may get commands (a reboot, a reset) that
    // nobody waits for.
    m_thread.requestInterruption();
    m_thread.quit();
    m_thread.wait();
    // The thread is gone: jobs that were still queued were never run and never came back.
    const QList<AbstractJob*> leftOver = m_jobsInFlight.keys();
    m_jobsInFlight.clear();
    qDeleteAll(leftOver);
    --g_liveDevices;
}

QString BaseDevice::systemIdFromChipId(const QString& chipId)
{
    const QString hex = chipId.left(7) + chipId.right(7);
    bool ok = false;
    quint64 number = hex.toULongLong(&ok, 16);
    if (!ok) {
        number = 0;
    }
    const QString digits = (QStringLiteral("0000000000000000") + QString::number(number)).right(16);
    QStringList groups;
    for (int i = 0; i < digits.size(); i += 4) {
        groups << digits.mid(i, 4);
    }
    return groups.join(QLatin1Char('-'));
}

QList<Operation*> BaseDevice::pendingOperations() const
{
    QList<Operation*> operations;
    for (const Pending& pending : m_jobsInFlight) {
        if (pending.operation) {
            operations.append(pending.operation);
        }
    }
    return operations;
}

Operation* BaseDevice::post(AbstractJob* job, Operation::Kind kind, Operation::Inputs inputs,
                            Completion complete)
{
    auto* operation = new Operation(kind, std::move(inputs), this);
    m_jobsInFlight.insert(job, {operation, std::move(complete)});
    emit operationStarted(operation);
    emit runJob(job);
    return operation;
}

void BaseDevice::postQuiet(AbstractJob* job)
{
    if (job) {
        emit runJob(job);
    }
}

Operation* BaseDevice::readIdentity()
{
    auto* job = new ReadDefaultValuesJob();
    return post(job, Operation::Kind::ReadIdentity, {}, [this, job](Operation&) { applyIdentity(job); });
}

void BaseDevice::init()
{
    readIdentity();
}

void BaseDevice::setDeviceOption(uint optionId, QByteArray value)
{
    auto it = m_deviceOptions.find(optionId);
    if (it == m_deviceOptions.end() || it.value() == value) {
        return;
    }
    it.value() = value;
    emit deviceOptionChanged(optionId, value);
}

Operation* BaseDevice::updateFirmware(QString file)
{
    auto* job = new WriteFirmwareJob(file, this);
    Operation::Inputs inputs;
    inputs.file = file;
    return post(job, Operation::Kind::UpdateFirmware, inputs,
                [this, job](Operation& operation) { firmwareOutcome(*job, operation); });
}

Operation* BaseDevice::downloadLog()
{
    auto* job = new ReadLogJob();
    return post(job, Operation::Kind::DownloadLog, {},
                [this, job](Operation& operation) { logText(*job, operation); });
}

Operation* BaseDevice::clearLog()
{
    return post(new DeleteLogJob(), Operation::Kind::ClearLog);
}

Operation* BaseDevice::readDeviceOption(uint optionId)
{
    auto* job = new ReadDeviceOptionJob(optionId);
    Operation::Inputs inputs;
    inputs.optionIds = {optionId};
    return post(job, Operation::Kind::ReadOption, inputs, [this, job](Operation& operation) {
        operation.setValues({{job->optionId(), job->value()}});
        m_deviceOptions[job->optionId()] = job->value();
        emit deviceOptionChanged(job->optionId(), job->value());
    });
}

Operation* BaseDevice::readMultipleDeviceOptions(QList<quint32> optionIds)
{
    auto* job = new ReadDeviceMultipleOptionsJob(optionIds);
    Operation::Inputs inputs;
    inputs.optionIds = optionIds;
    return post(job, Operation::Kind::ReadOptions, inputs, [this, job](Operation& operation) {
        mergeOptions(job->values(), operation);
        optionsRead(job->requestedIds(), job->values(), job->result());
    });
}

Operation* BaseDevice::sendDeviceOption(uint optionId, QByteArray value)
{
    Operation::Inputs inputs;
    inputs.optionValues.insert(optionId, value);
    return post(new SetDeviceOptionJob(optionId, value), Operation::Kind::SendOption, inputs);
}

Operation* BaseDevice::sendDeviceOptions(QHash<quint32, QByteArray> options)
{
    auto* job = new SetDeviceMultipleOptionsJob(options);
    Operation::Inputs inputs;
    inputs.optionValues = options;
    return post(job, Operation::Kind::SendOptions, inputs, [this, job](Operation& operation) {
        // A set that failed part-way must not be made permanent.
        if (job->result() == 0) {
            operation.setFollowUp(writeDeviceOptions(true));
        }
    });
}

Operation* BaseDevice::writeDeviceOptions(bool reboot)
{
    Operation::Inputs inputs;
    inputs.reboot = reboot;
    auto* job = new WriteDeviceOptionsJob(reboot);
    return post(job, Operation::Kind::WriteOptions, inputs, [this, job](Operation& operation) {
        if (job->reboot()) {
            logger()->debug("WriteDeviceOptions finished {}: Reboot required", job->result());
            operation.setFollowUp(rebootDevice());
        }
    });
}

Operation* BaseDevice::rebootDevice()
{
    return post(new RebootDeviceJob(), Operation::Kind::Reboot);
}

Operation* BaseDevice::factoryReset()
{
    return post(new FactoryResetJob(), Operation::Kind::FactoryReset);
}

Operation* BaseDevice::takeSnapshot()
{
    const QList<quint32> ids = optionIds();
    auto* job = new ReadOptionsSnapshotJob(ids);
    Operation::Inputs inputs;
    inputs.optionIds = ids;
    return post(job, Operation::Kind::TakeSnapshot, inputs,
                [this, job](Operation& operation) { snapshotOutcome(*job, operation); });
}

void BaseDevice::deviceDisconnected()
{
    m_connected = false;
    emit disconnected();
}

void BaseDevice::deviceConnected()
{
    m_connected = true;
    readIdentity();
    emit connected();
}

void BaseDevice::deviceOpenFailed(QString step, int error)
{
    m_openFailed = true;
    emit openFailed(step, error);
}

void BaseDevice::jobProgressed(AbstractJob* job, QString name, int value, int maximum, QString message)
{
    emit progressChanged(name, value, maximum, message);
    // The job is still in flight: its return is queued behind this report.
    const auto pending = m_jobsInFlight.constFind(job);
    if (pending != m_jobsInFlight.constEnd() && pending->operation) {
        emit pending->operation->progress(value, maximum, message);
    }
}

void BaseDevice::jobFinished(AbstractJob* job)
{
    if (!job) {
        return;
    }
    const Pending pending = m_jobsInFlight.take(job);

    const QString name = job->name();
    const int result = job->result();
    const QString message = job->resultMessage(result);
    const QString english = EnglishScope::english([&] { return job->resultMessage(result); });
    emit jobResult(name, result, message);

    NotificationMessageType type = NotificationMessageType::Success;
    if (result < 0) {
        type = NotificationMessageType::Error;
        logger()->error("Job {} execution failed: {} ({})", name, message, result);
    } else if (result > 0) {
        type = NotificationMessageType::Warning;
        logger()->warn("Job {} execution finished with warning: {} ({})", name, message, result);
    }
    if (!message.isEmpty()) {
        emit notify(type, message);
    }

    Operation* operation = pending.operation;
    if (operation && pending.complete) {
        pending.complete(*operation);
    }
    delete job;
    if (operation) {
        operation->finish(result, message, english);
        operation->deleteLater();
    }
}

void BaseDevice::applyIdentity(ReadDefaultValuesJob* identity)
{
    DeviceIdentity next;
    next.serial = identity->serial();
    next.pcbSerial = identity->pcbSerial();
    next.softwareVersion = identity->softwareVersion();
    next.chipId = identity->chipId();
    // Derived only when the chip id changes: a device that never read one keeps no system id.
    next.systemId = next.chipId == m_identity.chipId ? m_identity.systemId : systemIdFromChipId(next.chipId);
    next.deviceType = identity->deviceType();
    next.hardwareRevision = identity->hardwareRevision();
    next.updateRequired = identity->updateRequired();
    if (next != m_identity) {
        m_identity = next;
        emit identityChanged(m_identity);
    }
    readDeviceOptions();
}

void BaseDevice::readDeviceOptions()
{
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
}

void BaseDevice::mergeOptions(const QHash<quint32, QByteArray>& values, Operation& operation)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        m_deviceOptions.insert(it.key(), it.value());
        emit deviceOptionChanged(it.key(), it.value());
    }
    operation.setValues(values);
}

void BaseDevice::optionsRead(const QList<quint32>& /*requested*/,
                             const QHash<quint32, QByteArray>& /*values*/, int /*result*/)
{
}

void BaseDevice::snapshotOutcome(const ReadOptionsSnapshotJob& read, Operation& operation)
{
    const QHash<quint32, QByteArray> values = read.values();
    mergeOptions(values, operation);
    OptionsSnapshot snapshot;
    if (read.result() == 0) {
        snapshot.kind = kindKey();
        snapshot.usbId = usbId();
        snapshot.serial = m_identity.serial;
        snapshot.firmwareVersion = m_identity.softwareVersion;
        snapshot.hardwareRevision = m_identity.hardwareRevision;
        snapshot.systemId = m_identity.systemId;
        snapshot.chipId = m_identity.chipId;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        snapshot.takenAt = now.addMSecs(-now.time().msec()); // whole seconds, as the file keeps it
        for (const quint32 id : read.optionIds()) {
            const auto it = values.constFind(id);
            if (it != values.constEnd() && !snapshot.contains(id)) {
                snapshot.options.append({id, StorageIdCatalogue::name(optionFamily(), id), it.value()});
            }
        }
        snapshot.unknownIds = read.unknownIds();
    }
    operation.setSnapshot(snapshot);
    emit snapshotTaken(snapshot, read.result(), read.resultMessage(read.result()));
}

void BaseDevice::logText(const ReadLogJob& read, Operation& operation)
{
    // A broken download is reported by the job's message; handing on a partial or empty text would
    // ask the user to save a log that is not the instrument's.
    if (read.result() != 0) {
        return;
    }
    QByteArray bytes = read.log();
    bytes.replace('\0', '\n');
    const QString text = QString::fromLatin1(bytes);
    logger()->debug("Logfile:\n {}", text);
    operation.setLogText(text);
    emit logDownloadFinsihed(text);
}

void BaseDevice::firmwareOutcome(const WriteFirmwareJob& write, Operation& operation)
{
    const int result = write.result();
    if (result == 0) {
        emit notify(NotificationMessageType::Success, tr("Firmware update successful! Restart device..."));
        operation.setFollowUp(rebootDevice());
        return;
    }
    emit notify(NotificationMessageType::Error,
                QStringLiteral("%1 (%2 %3)")
                    .arg(tr("Firmware update failed!"), write.resultMessage(result))
                    .arg(result));
}
