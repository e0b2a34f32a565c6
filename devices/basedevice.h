#pragma once

#include "core/baselogger.h"
#include "devices/devicepanelfactory.h"
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
class DeviceWidget;
class QWidget;
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
// Ownership: non-quiet jobs belong to the device from posting on (deleted after they came back, or in
// the destructor); their operations are the device's children (deleted later once finished).
class BaseDevice : public UsbInstrument, public BaseLogger
{
    Q_OBJECT

public:
    // Takes its own libusb reference on `device` for the worker; the caller keeps its own.
    BaseDevice(const QString& name, libusb_device* device, QObject* parent = nullptr);
    ~BaseDevice() override;

    // Device objects alive in the process (diagnostics and leak tests).
    static int liveCount();

    QString name() const override { return m_name; }
    QString serial() const { return m_serial; }
    QString pcbSerial() const { return m_pcbSerial; }
    QString softwareVersion() const { return m_softwareVersion; }
    QString chipId() const { return m_chipId; }
    QString systemId() const { return m_systemId; }
    QString deviceType() const { return m_deviceType; }
    QString hardwareRevision() const { return m_hardwareRevision; }
    bool updateRequired() const { return m_updateRequired; }
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

    // Resource path of the kind's picture (":/images/…"); empty for the base. A path rather than an
    // image, so that the devices layer needs no graphics module and works without a display; the user
    // interface loads it.
    virtual QString picture() const;
    // (USB vendor id << 16) | product id of the kind; 0 for the base.
    virtual quint32 usbId() const;
    // Stable key of the kind ("control-unit", "acoustic-sensor", …) that names it in snapshot files and on
    // the command line; empty for the base.
    virtual QString kindKey() const;
    // Which option tables the kind knows.
    virtual StorageIdCatalogue::Family optionFamily() const;
    // Every option id the kind knows, in catalogue order.
    QList<quint32> optionIds() const { return StorageIdCatalogue::deviceIds(optionFamily()); }
    // The kind's panels, created on first call with `parent` through the installed panel factory and
    // kept while they live; null while a kind has none.
    virtual DeviceWidget* productionWidget(QWidget* parent) = 0;
    virtual DeviceWidget* serviceWidget(QWidget* parent) = 0;
    // A page lets `panel` go (it deletes it): the next request creates a fresh one. Unknown panels and
    // repeated calls are ignored.
    void releasePanel(const QObject* panel);

signals:
    void chipIdChanged(QString chipId);
    void systemIdChanged(QString systemId);
    void nameChanged(QString name);
    void pcbSerialChanged(QString pcbSerial);
    void pictureChanged(QString picture);
    void serialChanged(QString serial);
    void softwareVersionChanged(QString version);
    void deviceOptionChanged(uint optionId, QByteArray value);
    void deviceTypeChanged(QString deviceType);
    void hardwareRevisionChanged(QString hardwareRevision);
    void updateRequiredChanged(bool updateRequired);
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
    virtual void readDeviceOptions() = 0;

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

    // The `role` panel: the one kept while it lives, otherwise a new one from the installed factory.
    DeviceWidget* panel(DevicePanelFactory::Role role, QWidget* parent);

private slots:
    void deviceDisconnected();
    void deviceConnected();
    void jobFinished(AbstractJob* job);
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
    void setChipId(const QString& chipId);

    QThread m_thread;
    bool m_connected = false;
    QString m_name;
    QString m_serial;
    QString m_pcbSerial;
    QString m_softwareVersion;
    QString m_chipId;
    QString m_systemId;
    QString m_deviceType;
    QString m_hardwareRevision;
    bool m_updateRequired = false;
    QHash<quint32, QByteArray> m_deviceOptions;
    bool m_openFailed = false;
    Worker* m_worker = nullptr;                  // lives on m_thread; deleted there when the thread finishes
    QHash<AbstractJob*, Pending> m_jobsInFlight; // posted, not yet handed back (user-interface thread only)
    // Production and service panel. The pages own them while they show them; `object` notices when a
    // page deleted one.
    struct KeptPanel
    {
        QPointer<QObject> object;
        DeviceWidget* widget = nullptr;
    };
    KeptPanel m_panels[2];
};
