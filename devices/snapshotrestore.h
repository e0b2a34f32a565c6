#pragma once

#include "core/baselogger.h"
#include "options/optionssnapshot.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class BaseDevice;
class SnapshotGuard;
class SnapshotStore;
class UsbManager;

// Puts a snapshot's option values back onto an instrument:
//   prepare(): snapshot of what the instrument holds now (stored like any other), then prepared() with
//              the options whose values differ, for the user to confirm;
//   apply():   those values set, committed and the instrument rebooted; once it is back (a new device
//              object from `manager`), every restored option is read back, and finished() names the
//              ids that did not take.
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
    void apply();
    // How long apply() waits for the rebooted instrument to come back (30 s by default).
    void setReturnTimeout(int milliseconds) { m_returnTimer.setInterval(milliseconds); }

    QList<OptionsSnapshot::Option> changes() const { return m_changes; }
    QString beforePath() const { return m_beforePath; }

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
    void jobResult(const QString& name, int result, const QString& message);
    void waitForReturn();
    void deviceArrived(BaseDevice* device);
    void readBack(const OptionsSnapshot& snapshot, int result, const QString& message);
    void finish(int result, const QString& message, const QList<quint32>& notTaken = {});

    OptionsSnapshot m_target;
    QPointer<BaseDevice> m_device;
    SnapshotStore* m_store;
    QPointer<UsbManager> m_manager;
    QPointer<SnapshotGuard> m_guard;
    QList<OptionsSnapshot::Option> m_changes;
    QString m_beforePath;
    QTimer m_returnTimer;
    State m_state = State::Idle;
    bool m_committed = false;
};
