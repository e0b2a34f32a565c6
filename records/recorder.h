#pragma once

#include "core/baselogger.h"
#include "records/recordsaddress.h"
#include "records/serviceevent.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

class RecorderWorker;

// The one recorder of a process: record() stamps an event with who, where and with which tool, and
// hands it to a thread of its own, so that the caller (the GUI thread, an instrument operation) never
// waits for a database. With a shared server, events that cannot reach it wait in the local file's
// outbox and go out in order, each once, when it is back. A recording failure is a signal and a log
// line; the operation it records goes on.
class Recorder : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    struct Options
    {
        RecordsAddress database = RecordsAddress::localDefault();
        // The local file that keeps the outbox (and the records, without a shared server).
        RecordsAddress local = RecordsAddress::localDefault();
        QString station; // empty: the host name
        QString interfaceName = QString::fromLatin1(ServiceEvent::kWindow);
        int retryIntervalMs = 5000;
    };

    // The settings' `[Records]` section (database, station); false with the reason in `error` when the
    // database address cannot be used (the local file is used then).
    static bool optionsFromSettings(Options* options, QString* error);

    explicit Recorder(const Options& options, QObject* parent = nullptr);
    ~Recorder() override;

    // Fills in station, user, tool version and interface where the event leaves them empty, and queues it.
    // Any thread; never waits for a database.
    void record(ServiceEvent event);

    bool isShared() const { return m_shared; }
    QString station() const { return m_station; }
    // Events not yet in the database they are meant for (queued, or in the outbox).
    int waiting() const;
    // "Records: shared, 3 waiting", "Records: shared" or "Records: local".
    QString statusText() const;
    // Blocks until every queued event is written (true) or `timeoutMs` is over (false): for a command
    // line that is about to end, and for tests.
    bool waitForIdle(int timeoutMs);

signals:
    void waitingChanged(int waiting);
    void failed(const QString& message);
    void recovered();

private:
    const bool m_shared;
    const QString m_station;
    const QString m_user;
    const QString m_toolVersion;
    const QString m_interface;
    QThread m_thread;
    std::unique_ptr<RecorderWorker> m_worker;
};
