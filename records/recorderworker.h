#pragma once

#include "core/baselogger.h"
#include "records/recordsaddress.h"
#include "records/serviceevent.h"

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

#include <atomic>
#include <deque>
#include <memory>

class QTimer;
class RecordStore;

// The recorder's half on its own thread: takes the queued events and writes them, to the shared server
// when there is one and it answers, else to the local file's outbox, whose events go out in order once
// the server is back. An event that can be written nowhere stays queued in memory and is tried again.
// enqueue(), waiting() and waitForIdle() may be called from any thread; the slots run on the worker's.
class RecorderWorker : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    RecorderWorker(const RecordsAddress& target, const RecordsAddress& outbox, int retryIntervalMs);
    ~RecorderWorker() override;

    void enqueue(ServiceEvent event);
    int waiting() const { return m_waiting.load(); }
    bool waitForIdle(int timeoutMs);

public slots:
    void start();
    void process();
    // Writes what it can, keeps what it cannot in the outbox, and closes the databases.
    void stop();

signals:
    void waitingChanged(int waiting);
    // A recording problem, in plain words; said once until the recording works again.
    void failed(const QString& message);
    void recovered();

private:
    bool connectTarget();
    bool ensureOutbox();
    bool flushOutbox();
    void setProblem(const QString& message);
    void clearProblem();
    void updateWaiting();

    const RecordsAddress m_targetAddress;
    const RecordsAddress m_outboxAddress;
    const bool m_shared;
    std::unique_ptr<RecordStore> m_target;
    std::unique_ptr<RecordStore> m_outbox;
    qint64 m_outboxCount = 0;
    std::deque<ServiceEvent> m_held; // worker thread only
    QTimer* m_retry = nullptr;
    QString m_problem;
    bool m_retryDue = true;

    mutable QMutex m_mutex;
    QWaitCondition m_idle;
    std::deque<ServiceEvent> m_incoming;
    bool m_scheduled = false;
    bool m_busy = false;
    std::atomic<int> m_waiting{0};
};
