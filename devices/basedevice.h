#pragma once

#include "core/baselogger.h"
#include "devices/deviceidentity.h"
#include "devices/instrumentkind.h"
#include "devices/notificationmessagetype.h"
#include "devices/operation.h"
#include "options/optionssnapshot.h"
#include "options/storageidcatalogue.h"
#include "usb/usbinstrument.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <functional>

struct libusb_device;
class AbstractJob;
class ReadDefaultValuesJob;
class ReadLogJob;
class ReadOptionsSnapshotJob;
class WriteFirmwareJob;
class Worker;

// The user-interface-side model of one connected instrument: its identity, a cache of its stored
// options and its worker thread. Every operation creates a job and posts it to the worker (runJob)
// together with an Operation, the handle the caller gets back, and the completion that belongs to that
// job; when the job comes back the device runs that completion (applies the outputs, emits change
// signals, chains follow-up operations), raises notifications and finishes the Operation.
//
// One place sees every operation: operationStarted(op) is emitted as an operation is posted, whoever
// posted it (a page, the command line, the device itself after connecting or as a follow-up). The
// Operation carries its kind (an enum), its inputs (file, ids, values to write, touch parameters) and,
// once its finished(result, message) signal came, its typed outcome. Quiet touch-detector polls are not
// operations.
//
// Threads: every member function runs on the user-interface thread; only the worker thread executes
// jobs, and everything between the two threads is queued. Destruction blocks until the running job
// has finished; jobs still waiting in the queue are not run and are deleted here.
// What the device is (name, picture, ids, options) comes from its kind's row in the kind table.
// Ownership: non-quiet jobs belong to the device from posting on (deleted after they came back, or in
// the destructor); their operations are the device's children (deleted later once finished).
class BaseDevice : public UsbInstrument, public BaseLogger
{
    Q_OBJECT

public:
    // Takes its own libusb reference on `device` for the worker; the caller keeps its own. `kind` must
    // outlive the device (the rows of InstrumentKind::all() do).
    BaseDevice(const InstrumentKind& kind, libusb_device* device, QObject* parent = nullptr);
    ~BaseDevice() override;

    // Device objects alive in the process (diagnostics and leak tests).
    static int liveCount();

    QString name() const override { return m_name; }
    const InstrumentKind& kind() const { return *m_kind; }
    DeviceIdentity identity() const { return m_identity; }
    QString serial() const { return m_identity.serial; }
    QString pcbSerial() const { return m_identity.pcbSerial; }
    QString softwareVersion() const { return m_identity.softwareVersion; }
    QString chipId() const { return m_identity.chipId; }
    QString systemId() const { return m_identity.systemId; }
    QString deviceType() const { return m_identity.deviceType; }
    QString hardwareRevision() const { return m_identity.hardwareRevision; }
    bool updateRequired() const { return m_identity.updateRequired; }
    bool isConnected() const override { return m_connected; }
    // The cached bytes, empty if `id` is not cached.
    QByteArray deviceOption(quint32 id) const { return m_deviceOptions.value(id); }
    bool hasDeviceOption(quint32 id) const { return m_deviceOptions.contains(id); }
    // True once the transport failed to open; the device then never becomes connected.
    bool hasOpenFailed() const { return m_openFailed; }
    // Non-quiet jobs posted and not yet handed back (0 when the device is idle).
    int pendingJobCount() const { return m_jobsInFlight.size(); }
    // The operations posted and not finished yet, in no particular order.
    QList<Operation*> pendingOperations() const;
    // Name of the worker thread: the device name followed by "WorkerThread".
    QString threadName() const { return m_thread.objectName(); }

    // "1234-5678-9012-3456": the rightmost 16 decimal digits of the number whose hex digits are the
    // first and last seven characters of `chipId`; all zeros when those are not hexadecimal.
    static QString systemIdFromChipId(const QString& chipId);

    // Emits notify(type, message) for this device; used by the discovery to report what happened to it.
    void notifyUser(NotificationMessageType type, const QString& message) { emit notify(type, message); }

    // Resource path of the kind's picture (":/images/…"): a path rather than an image, so that the devices
    // layer needs no graphics module and works without a display; the user interface loads it.
    QString picture() const { return QString::fromLatin1(m_kind->picture); }
    // (USB vendor id << 16) | product id the kind reports.
    quint32 usbId() const { return m_kind->reportedUsbId; }
    // Stable key of the kind ("control-unit", "acoustic-sensor", …) that names it in snapshot files and on
    // the command line.
    QString kindKey() const { return QString::fromLatin1(m_kind->key); }
    // Which option tables the kind knows.
    StorageIdCatalogue::Family optionFamily() const { return m_kind->family; }
    // Every option id the kind knows, in catalogue order.
    QList<quint32> optionIds() const { return StorageIdCatalogue::deviceIds(optionFamily()); }

signals:
    // An identity read came back with values that differ from the ones held; once per read.
    void identityChanged(DeviceIdentity identity);
    void deviceOptionChanged(uint optionId, QByteArray value);
    // A successful log download's text (also the DownloadLog operation's outcome).
    void logDownloadFinsihed(QString logs);
    void runJob(AbstractJob* job);
    // Progress of every operation (the progress dialog shows whatever runs); `name` is the job's, for
    // logs and tests. A caller follows its own operation's progress instead.
    void progressChanged(QString name, int value, int maximum = -1, QString message = QString());
    void idle();
    void busy();
    void notify(NotificationMessageType type, QString message);
    // Every non-quiet job that came back, with its result and result message, before its outputs are
    // applied; for diagnostics and tests only: callers follow the Operation they were handed.
    void jobResult(QString name, int result, QString message);
    // An operation was posted (see the class comment); it finishes through its own signal.
    void operationStarted(Operation* operation);
    // Answer to takeSnapshot(): the snapshot (valid when `result` is 0) or the failure.
    void snapshotTaken(OptionsSnapshot snapshot, int result, QString message);

public slots:
    void init();
    // Changes only the local cache, and only for an id already cached with different bytes.
    void setDeviceOption(uint optionId, QByteArray value);
    // Each posts one operation and returns its handle (the device's child; see Operation).
    // A verified image restarts the instrument: the restart is the update's follow-up.
    Operation* updateFirmware(QString file);
    Operation* downloadLog();
    Operation* clearLog();
    Operation* readDeviceOption(uint optionId);
    Operation* readMultipleDeviceOptions(QList<quint32> optionIds);
    Operation* sendDeviceOption(uint optionId, QByteArray value);
    // Sets the values; when that worked, stores them and restarts (the store is the follow-up).
    Operation* sendDeviceOptions(QHash<quint32, QByteArray> options);
    // With `reboot`, a store that worked is followed by the restart.
    Operation* writeDeviceOptions(bool reboot = false);
    Operation* rebootDevice();
    Operation* factoryReset();
    // Reads every option of the kind and answers with snapshotTaken and the operation's snapshot; the
    // values also refresh the cache.
    Operation* takeSnapshot();

    // Hook run after an identity read was applied: posts the reads of the kind's options.
    virtual void readDeviceOptions();

protected:
    // Runs on the user-interface thread once the job came back, before `operation` finishes: applies
    // the job's outputs and fills in the operation's outcome. The job is deleted afterwards.
    using Completion = std::function<void(Operation& operation)>;

    // Called after a multiple-option read came back and its values went into the cache: the ids asked
    // for, the values that came (an id without one got no value from the unit), and the job's result.
    virtual void optionsRead(const QList<quint32>& requested, const QHash<quint32, QByteArray>& values,
                             int result);

    // Hands the non-quiet `job` to the worker as a `kind` operation; the device owns the job from here
    // on. `complete` (may be empty) captures the job with its concrete type.
    Operation* post(AbstractJob* job, Operation::Kind kind, Operation::Inputs inputs = {},
                    Completion complete = {});
    // Hands a quiet job to the worker: no operation, it stays with its parent and reports through its
    // own signals.
    void postQuiet(AbstractJob* job);

private slots:
    void deviceDisconnected();
    void deviceConnected();
    void jobFinished(AbstractJob* job);
    void jobProgressed(AbstractJob* job, QString name, int value, int maximum, QString message);
    void deviceOpenFailed(QString step, int error);

private:
    struct Pending
    {
        QPointer<Operation> operation;
        Completion complete;
    };

    Operation* readIdentity();
    void applyIdentity(ReadDefaultValuesJob* identity);
    void mergeOptions(const QHash<quint32, QByteArray>& values, Operation& operation);
    void snapshotOutcome(const ReadOptionsSnapshotJob& read, Operation& operation);
    void logText(const ReadLogJob& read, Operation& operation);
    void firmwareOutcome(const WriteFirmwareJob& write, Operation& operation);

    const InstrumentKind* m_kind;
    QThread m_thread;
    bool m_connected = false;
    QString m_name;
    DeviceIdentity m_identity;
    QHash<quint32, QByteArray> m_deviceOptions;
    bool m_openFailed = false;
    Worker* m_worker = nullptr;                  // lives on m_thread; deleted there when the thread finishes
    QHash<AbstractJob*, Pending> m_jobsInFlight; // posted, not yet handed back (user-interface thread only)
};
