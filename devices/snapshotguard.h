#pragma once

#include "core/baselogger.h"
#include "options/optionssnapshot.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class BaseDevice;
class Operation;
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
    // The failure's reason as failed() gave it; inside an EnglishScope in English.
    QString reason() const;

signals:
    void succeeded(QString path, OptionsSnapshot snapshot);
    void failed(QString reason);

private:
    void snapshotTaken(const Operation& read, int result);
    // `make` is called twice: for the user and, inside an EnglishScope, for machine-read reports.
    void finishWithFailure(const std::function<QString()>& make);

    QPointer<BaseDevice> m_device;
    SnapshotStore* m_store;
    bool m_started = false;
    bool m_done = false;
    QString m_reason;
    QString m_englishReason;
};
