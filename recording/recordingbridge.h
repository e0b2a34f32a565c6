#pragma once

#include "core/baselogger.h"
#include "devices/operation.h"
#include "options/storageidcatalogue.h"
#include "records/recorder.h"
#include "records/serviceevent.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class BaseDevice;
class SnapshotRestore;
class UsbManager;
struct OptionsSnapshot;

// Turns what happens to the instruments into service records: one event per operation, whoever posted
// it (a page, the command line, the device itself), through the process's one Recorder. It follows every
// device the discovery serves (operationStarted and the operation's finished), so no page records a
// device operation itself. What is not a device operation (a snapshot file written, a restore as a
// whole, a dataset export) is recorded by the one place that does it, through the static calls below,
// which do nothing when the process has no bridge.
//
// Reads (identity, options, snapshots) are recorded only when they fail; a successful snapshot is
// recorded when its file is written. Follow-ups are part of the operation that chained them: a set of
// option values is recorded once its store came back. A firmware update is recorded when it ends; the
// version it installed is the one the instrument's next "connected" event carries.
//
// One per process, created at start-up and set as current(); GUI thread only (the Recorder hands the
// events to its own thread).
class RecordingBridge : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    // Operations recorded only when they fail, beyond the ServiceEvent names.
    static constexpr const char* kIdentityRead = "identity-read";
    static constexpr const char* kOptionRead = "option-read";
    static constexpr const char* kRestart = "restart";

    explicit RecordingBridge(std::unique_ptr<Recorder> recorder, QObject* parent = nullptr);
    ~RecordingBridge() override;

    // A bridge with a recorder for the settings' `[Records]` section, the events marked with
    // `interfaceName` (ServiceEvent::kWindow or kCommandLine). When the database setting cannot be used,
    // the local file is used and `error` says why.
    static std::unique_ptr<RecordingBridge> fromSettings(const QString& interfaceName, QString* error);
    // The bridge of the process, or null.
    static RecordingBridge* current();

    Recorder* recorder() const { return m_recorder.get(); }

    // Follows every device `manager` serves now and later.
    void follow(UsbManager* manager);
    // Follows one device; attaching it twice is harmless.
    void attach(BaseDevice* device);

    // Records any event (a production station's PASS or FAIL, say): serial, kind and USB id are taken
    // from `device` where the event leaves them empty; who, where and when are filled in as for every
    // other event.
    void record(ServiceEvent event, const BaseDevice* device = nullptr);

    // An event of `operation` for the instrument `device` is now: to be completed and recorded later
    // (recordRestore), when the device may be gone.
    static ServiceEvent eventFor(const BaseDevice& device, const QString& operation);
    static QString usbIdText(quint32 usbId);

    // The places that do what is not a device operation call these, once each.
    static void recordSnapshotSaved(const OptionsSnapshot& snapshot, const QString& file);
    // `event` from eventFor(device, kSnapshotRestored) made before the restore started.
    static void recordRestore(ServiceEvent event, const SnapshotRestore& restore, const QString& snapshotFile,
                              int result, const QString& message, const QList<quint32>& notTaken);
    static void recordDatasetExport(const BaseDevice* device, const QString& format, int series,
                                    qint64 points, const QString& file, int result, const QString& message);

private:
    // What an operation was posted with, kept until it ends: the device may be gone by then.
    struct Started
    {
        const BaseDevice* device = nullptr;
        Operation::Kind kind = Operation::Kind::ReadIdentity;
        Operation::Inputs inputs;
        StorageIdCatalogue::Family family = StorageIdCatalogue::Family::UpdateOnly;
        ServiceEvent event; // the instrument's fields filled in
        QString firmwareVersion;
        QString hardwareRevision;
        QHash<quint32, QByteArray> before; // cached values of the ids a send writes
        QElapsedTimer clock;
        bool followUp = false;   // part of the operation that chained it
        bool heldParent = false; // `parent` waits for this one's outcome
        ServiceEvent parent;     // the set of values whose store this is
    };

    void operationStarted(Operation* operation);
    void operationFinished(Operation* operation);
    void operationLost(Operation* operation);
    // The event a finished operation makes, or false when it makes none.
    bool eventOf(const Operation& operation, Started& started, ServiceEvent* event);
    void recordConnected(BaseDevice& device);

    std::unique_ptr<Recorder> m_recorder;
    QHash<Operation*, Started> m_started;
};
