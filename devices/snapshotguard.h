#pragma once

#include "core/baselogger.h"
#include "options/optionssnapshot.h"

#include <QObject>
#include <QPointer>
#include <QString>

class BaseDevice;
class SnapshotStore;

// Takes and stores a snapshot of an instrument's options before something that may lose them (a factory
// reset, a firmware update, a production write, a language set, a restore). Answers once: succeeded with
// the file written, or failed with a reason a user can act on (the caller then asks whether to go on).
// GUI thread only.
class SnapshotGuard : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    SnapshotGuard(BaseDevice* device, SnapshotStore* store, QObject* parent = nullptr);

    // Posts the read. A guard answers once; later calls are ignored.
    void start();

signals:
    void succeeded(QString path, OptionsSnapshot snapshot);
    void failed(QString reason);

private:
    void snapshotTaken(const OptionsSnapshot& snapshot, int result, const QString& message);
    void finishWithFailure(const QString& reason);

    QPointer<BaseDevice> m_device;
    SnapshotStore* m_store;
    bool m_started = false;
    bool m_done = false;
};
