#include "devices/basedevice.h"

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
    connect(m_worker, &Worker::jobProgressChanged, this, &BaseDevice::progressChanged);
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
    const QSet<AbstractJob*> leftOver = m_jobsInFlight;
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

void BaseDevice::postJob(AbstractJob* job)
{
    if (!job) {
        return;
    }
    if (!job->isQuiet()) {
        m_jobsInFlight.insert(job);
    }
    emit runJob(job);
}

void BaseDevice::init()
{
    postJob(new ReadDefaultValuesJob());
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

void BaseDevice::updateFirmware(QString file)
{
    postJob(new WriteFirmwareJob(file, this));
}

void BaseDevice::downloadLog()
{
    postJob(new ReadLogJob());
}

void BaseDevice::clearLog()
{
    postJob(new DeleteLogJob());
}

void BaseDevice::readDeviceOption(uint optionId)
{
    postJob(new ReadDeviceOptionJob(optionId));
}

void BaseDevice::readMultipleDeviceOptions(QList<quint32> optionIds)
{
    postJob(new ReadDeviceMultipleOptionsJob(optionIds));
}

void BaseDevice::sendDeviceOption(uint optionId, QByteArray value)
{
    postJob(new SetDeviceOptionJob(optionId, value));
}

void BaseDevice::sendDeviceOptions(QHash<quint32, QByteArray> options)
{
    postJob(new SetDeviceMultipleOptionsJob(options));
}

void BaseDevice::writeDeviceOptions(bool reboot)
{
    postJob(new WriteDeviceOptionsJob(reboot));
}

void BaseDevice::rebootDevice()
{
    postJob(new RebootDeviceJob());
}

void BaseDevice::factoryReset()
{
    postJob(new FactoryResetJob());
}

void BaseDevice::takeSnapshot()
{
    postJob(new ReadOptionsSnapshotJob(optionIds()));
}

void BaseDevice::deviceDisconnected()
{
    m_connected = false;
    emit disconnected();
}

void BaseDevice::deviceConnected()
{
    m_connected = true;
    postJob(new ReadDefaultValuesJob());
    emit connected();
}

void BaseDevice::deviceOpenFailed(QString step, int error)
{
    m_openFailed = true;
    emit openFailed(step, error);
}

void BaseDevice::jobFinished(AbstractJob* job)
{
    if (!job) {
        return;
    }
    m_jobsInFlight.remove(job);

    const QHash<QString, Handler> handlers{
        {QStringLiteral("DeleteLogJob"), nullptr},
        {QStringLiteral("FactoryResetJob"), nullptr},
        {QStringLiteral("ReadDefaultValuesJob"), &BaseDevice::applyIdentity},
        {QStringLiteral("ReadLogJob"), &BaseDevice::logText},
        {QStringLiteral("WriteFirmwareJob"), &BaseDevice::firmwareOutcome},
        {QStringLiteral("ReadDeviceMultipleOptionsJob"), &BaseDevice::mergeOptions},
        {QStringLiteral("ReadOptionsSnapshotJob"), &BaseDevice::snapshotOutcome},
        {QStringLiteral("ReadDeviceOptionJob"), &BaseDevice::storeOption},
        {QStringLiteral("SetDeviceMultipleOptionsJob"), &BaseDevice::writeAfterSet},
        {QStringLiteral("WriteDeviceOptionsJob"), &BaseDevice::rebootAfterWrite},
    };

    const QString name = job->name();
    const int result = job->result();
    const QString message = job->resultMessage(result);
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

    const auto it = handlers.constFind(name);
    if (it == handlers.constEnd()) {
        handleJobFinished(job); // the kind owns the job now
        return;
    }
    if (it.value()) {
        (this->*it.value())(job);
    }
    delete job;
}

void BaseDevice::applyIdentity(AbstractJob* job)
{
    auto* read = static_cast<ReadDefaultValuesJob*>(job);
    DeviceIdentity next;
    next.serial = read->serial();
    next.pcbSerial = read->pcbSerial();
    next.softwareVersion = read->softwareVersion();
    next.chipId = read->chipId();
    // Derived only when the chip id changes: a device that never read one keeps no system id.
    next.systemId = next.chipId == m_identity.chipId ? m_identity.systemId : systemIdFromChipId(next.chipId);
    next.deviceType = read->deviceType();
    next.hardwareRevision = read->hardwareRevision();
    next.updateRequired = read->updateRequired();
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

void BaseDevice::storeOption(AbstractJob* job)
{
    auto* read = static_cast<ReadDeviceOptionJob*>(job);
    m_deviceOptions[read->optionId()] = read->value();
    emit deviceOptionChanged(read->optionId(), read->value());
}

void BaseDevice::mergeOptions(AbstractJob* job)
{
    auto* read = static_cast<ReadDeviceMultipleOptionsJob*>(job);
    const QHash<quint32, QByteArray> values = read->values();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        m_deviceOptions.insert(it.key(), it.value());
        emit deviceOptionChanged(it.key(), it.value());
    }
    optionsRead(read->requestedIds(), values, read->result());
}

void BaseDevice::optionsRead(const QList<quint32>& /*requested*/,
                             const QHash<quint32, QByteArray>& /*values*/, int /*result*/)
{
}

void BaseDevice::snapshotOutcome(AbstractJob* job)
{
    auto* read = static_cast<ReadOptionsSnapshotJob*>(job);
    const QHash<quint32, QByteArray> values = read->values();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        m_deviceOptions.insert(it.key(), it.value());
        emit deviceOptionChanged(it.key(), it.value());
    }
    OptionsSnapshot snapshot;
    if (read->result() == 0) {
        snapshot.kind = kindKey();
        snapshot.usbId = usbId();
        snapshot.serial = m_identity.serial;
        snapshot.firmwareVersion = m_identity.softwareVersion;
        snapshot.hardwareRevision = m_identity.hardwareRevision;
        snapshot.systemId = m_identity.systemId;
        snapshot.chipId = m_identity.chipId;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        snapshot.takenAt = now.addMSecs(-now.time().msec()); // whole seconds, as the file keeps it
        for (const quint32 id : read->optionIds()) {
            const auto it = values.constFind(id);
            if (it != values.constEnd() && !snapshot.contains(id)) {
                snapshot.options.append({id, StorageIdCatalogue::name(optionFamily(), id), it.value()});
            }
        }
        snapshot.unknownIds = read->unknownIds();
    }
    emit snapshotTaken(snapshot, read->result(), read->resultMessage(read->result()));
}

void BaseDevice::logText(AbstractJob* job)
{
    // A broken download is reported by the job's message; handing on a partial or empty text would
    // ask the user to save a log that is not the instrument's.
    if (job->result() != 0) {
        return;
    }
    QByteArray bytes = static_cast<ReadLogJob*>(job)->log();
    bytes.replace('\0', '\n');
    const QString text = QString::fromLatin1(bytes);
    logger()->debug("Logfile:\n {}", text);
    emit logDownloadFinsihed(text);
}

void BaseDevice::firmwareOutcome(AbstractJob* job)
{
    const int result = job->result();
    if (result == 0) {
        emit notify(NotificationMessageType::Success, tr("Firmware update successful! Restart device..."));
        postJob(new RebootDeviceJob());
        return;
    }
    emit notify(NotificationMessageType::Error,
                QStringLiteral("%1 (%2 %3)")
                    .arg(tr("Firmware update failed!"), job->resultMessage(result))
                    .arg(result));
}

void BaseDevice::writeAfterSet(AbstractJob* job)
{
    // A set that failed part-way must not be made permanent.
    if (job->result() == 0) {
        postJob(new WriteDeviceOptionsJob(true));
    }
}

void BaseDevice::rebootAfterWrite(AbstractJob* job)
{
    auto* write = static_cast<WriteDeviceOptionsJob*>(job);
    if (write->reboot()) {
        logger()->debug("WriteDeviceOptions finished {}: Reboot required", write->result());
        postJob(new RebootDeviceJob());
    }
}
