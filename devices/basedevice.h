#pragma once

#include "core/baselogger.h"
#include "devices/deviceidentity.h"
#include "devices/instrumentkind.h"
#include "devices/notificationmessagetype.h"
#include "options/optionssnapshot.h"
#include "options/storageidcatalogue.h"
#include "usb/usbinstrument.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThread>

struct libusb_device;
class AbstractJob;
class Worker;

// The user-interface-side model of one connected instrument: its identity, a cache of its stored
// options and its worker thread. Every operation creates a job and posts it to the worker (runJob);
// when the job comes back the device applies its outputs, emits change signals, chains follow-up jobs
// and raises notifications.
//
// Threads: every member function runs on the user-interface thread; only the worker thread executes
// jobs, and everything between the two threads is queued. Destruction blocks until the running job
// has finished; jobs still waiting in the queue are not run and are deleted here.
// What the device is (name, picture, ids, options) comes from its kind's row in the kind table.
// Ownership: non-quiet jobs belong to the device from posting on (deleted after they came back, or in
// the destructor); kinds receive the jobs the base does not know in handleJobFinished and own them.
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
    void firmwareUpdateFinished(bool successful);
    void logDownloadFinsihed(QString logs);
    void runJob(AbstractJob* job);
    void progressChanged(QString name, int value, int maximum = -1, QString message = QString());
    void idle();
    void busy();
    void notify(NotificationMessageType type, QString message);
    // Every non-quiet job that came back, with its result and result message, before its outputs are
    // applied; for diagnostics and tests.
    void jobResult(QString name, int result, QString message);
    // Answer to takeSnapshot(): the snapshot (valid when `result` is 0) or the failure.
    void snapshotTaken(OptionsSnapshot snapshot, int result, QString message);

public slots:
    void init();
    // Changes only the local cache, and only for an id already cached with different bytes.
    void setDeviceOption(uint optionId, QByteArray value);
    void updateFirmware(QString file);
    void downloadLog();
    void clearLog();
    void readDeviceOption(uint optionId);
    void readMultipleDeviceOptions(QList<quint32> optionIds);
    void sendDeviceOption(uint optionId, QByteArray value);
    void sendDeviceOptions(QHash<quint32, QByteArray> options);
    void writeDeviceOptions(bool reboot = false);
    void rebootDevice();
    void factoryReset();
    // Reads every option of the kind and answers with snapshotTaken; the values also refresh the cache.
    void takeSnapshot();

    // Hook run after an identity read was applied: posts the reads of the kind's options.
    virtual void readDeviceOptions();

protected:
    // Receives every returned job the base does not handle, and owns it (must delete it).
    virtual void handleJobFinished(AbstractJob* job) = 0;

    // Called after a multiple-option read came back and its values went into the cache: the ids asked
    // for, the values that came (an id without one got no value from the unit), and the job's result.
    virtual void optionsRead(const QList<quint32>& requested, const QHash<quint32, QByteArray>& values,
                             int result);

    // Hands `job` to the worker. Non-quiet jobs are owned by the device from here on; quiet jobs stay
    // with their parent.
    void postJob(AbstractJob* job);

private slots:
    void deviceDisconnected();
    void deviceConnected();
    void jobFinished(AbstractJob* job);
    void deviceOpenFailed(QString step, int error);

private:
    using Handler = void (BaseDevice::*)(AbstractJob*);

    void applyIdentity(AbstractJob* job);
    void storeOption(AbstractJob* job);
    void mergeOptions(AbstractJob* job);
    void snapshotOutcome(AbstractJob* job);
    void logText(AbstractJob* job);
    void firmwareOutcome(AbstractJob* job);
    void writeAfterSet(AbstractJob* job);
    void rebootAfterWrite(AbstractJob* job);

    const InstrumentKind* m_kind;
    QThread m_thread;
    bool m_connected = false;
    QString m_name;
    DeviceIdentity m_identity;
    QHash<quint32, QByteArray> m_deviceOptions;
    bool m_openFailed = false;
    Worker* m_worker = nullptr;        // lives on m_thread; deleted there when the thread finishes
    QSet<AbstractJob*> m_jobsInFlight; // posted, not yet handed back (user-interface thread only)
};
