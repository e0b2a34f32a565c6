#pragma once

#include "core/baselogger.h"
#include "options/optionssnapshot.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class BaseDevice;
class Operation;
class SnapshotGuard;
class SnapshotStore;
class UsbManager;

// Puts a snapshot's option values back onto an instrument:
//   prepare(): refuses a snapshot naming an id outside the kind's catalogue or a value that does not fit
//              its id; then a snapshot of what the instrument holds now (stored like any other), then
//              prepared() with the options whose values differ, for the user to confirm;
//   apply():   those values set, committed and the instrument rebooted; once the same instrument is back
//              (a new device object from `manager` with the same serial and chip id; any other one is
//              left alone), every restored option is read back, and finished() names the ids that did
//              not take.
// Identity options (OptionLayout::isIdentity) are left as they are unless setIncludeIdentity(true) asks
// for them: restored from another instrument's snapshot they would make this one pretend to be that one.
// Empty values (not known to the instrument when the snapshot was taken) are not written.
// The caller checks the kind and serial first (check()). GUI thread only.
class SnapshotRestore : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    enum class Check
    {
        Matches,     // same kind, same serial
        OtherSerial, // same kind, another instrument: ask first
        OtherKind    // refused
    };
    static Check check(const OptionsSnapshot& snapshot, const BaseDevice& device);

    // Result of finished(): 0 every option took; > 0 that many did not; < 0 the restore failed.
    static constexpr int kDidNotComeBack = -120;
    static constexpr int kNoSnapshot = -121;
    static constexpr int kRefused = -122;

    SnapshotRestore(const OptionsSnapshot& target, BaseDevice* device, SnapshotStore* store,
                    UsbManager* manager, QObject* parent = nullptr);

    void prepare();
    // Whether apply() writes the identity options that differ too; off unless asked for.
    void setIncludeIdentity(bool include) { m_includeIdentity = include; }
    bool includesIdentity() const { return m_includeIdentity; }
    void apply();
    // How long apply() waits for the rebooted instrument to come back (30 s by default).
    void setReturnTimeout(int milliseconds) { m_returnTimer.setInterval(milliseconds); }

    // What apply() writes: the differing settings, and the differing identity options when included.
    QList<OptionsSnapshot::Option> changes() const;
    // The identity options that differ, whether they are included or not.
    QList<OptionsSnapshot::Option> identityChanges() const { return m_identityChanges; }
    QString beforePath() const { return m_beforePath; }
    // The message finished() gave; inside an EnglishScope in English.
    QString message() const;

signals:
    void prepared(QList<OptionsSnapshot::Option> changes);
    void progress(QString message);
    // `notTaken`: ids whose read-back value differs from the snapshot (or that no longer read).
    void finished(int result, QString message, QList<quint32> notTaken);

private:
    enum class State
    {
        Idle,
        Preparing,
        Prepared,
        Writing,
        WaitingForReturn,
        ReadingBack,
        Done
    };

    void follow(BaseDevice* device);
    // Follows the set of the values through its store and the restart.
    void followWrite(Operation* send);
    void waitForReturn();
    void deviceArrived(BaseDevice* device);
    // A device of the kind arrived while waiting: taken if it is the same instrument, once it told.
    void candidateIdentified(BaseDevice* device);
    void readBack(const Operation& read, int result);
    // `make` is called twice: for the user and, inside an EnglishScope, for machine-read reports.
    void finish(int result, const std::function<QString()>& make, const QList<quint32>& notTaken = {});

    OptionsSnapshot m_target;
    QPointer<BaseDevice> m_device;
    SnapshotStore* m_store;
    QPointer<UsbManager> m_manager;
    QPointer<SnapshotGuard> m_guard;
    QList<OptionsSnapshot::Option> m_changes;         // settings
    QList<OptionsSnapshot::Option> m_identityChanges; // identity options
    QList<OptionsSnapshot::Option> m_written;
    QString m_serial; // of the instrument written to: the one to follow through its reboot
    QString m_chipId;
    bool m_includeIdentity = false;
    QString m_beforePath;
    QTimer m_returnTimer;
    State m_state = State::Idle;
    bool m_committed = false;
    QString m_message;
    QString m_englishMessage;
};
