#include "records/recorderworker.h"

#include "records/recordstore.h"

#include <QDeadlineTimer>
#include <QTimer>

namespace {
// Outbox events sent per pass, so that new events are not starved by a long backlog.
constexpr int kOutboxBatch = 200;
} // namespace

RecorderWorker::RecorderWorker(const RecordsAddress& target, const RecordsAddress& outbox,
                               int retryIntervalMs)
    : BaseLogger(QStringLiteral("Records")), m_targetAddress(target), m_outboxAddress(outbox),
      m_shared(target.isShared())
{
    m_retry = new QTimer(this);
    m_retry->setInterval(retryIntervalMs);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, [this] {
        m_retryDue = true;
        process();
    });
}

RecorderWorker::~RecorderWorker() = default;

void RecorderWorker::enqueue(ServiceEvent event)
{
    bool schedule = false;
    {
        QMutexLocker lock(&m_mutex);
        m_incoming.push_back(std::move(event));
        schedule = !m_scheduled;
        m_scheduled = true;
        ++m_waiting;
    }
    if (schedule) {
        QMetaObject::invokeMethod(this, &RecorderWorker::process, Qt::QueuedConnection);
    }
}

bool RecorderWorker::waitForIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_mutex);
    while (m_busy || m_scheduled || m_waiting.load() > 0) {
        if (!m_idle.wait(&m_mutex, deadline)) {
            return false;
        }
    }
    return true;
}

void RecorderWorker::start()
{
    {
        QMutexLocker lock(&m_mutex);
        m_busy = true;
    }
    if (m_shared) {
        // Events left in the outbox by an earlier run count as waiting from the start.
        ensureOutbox();
    }
    process();
}

bool RecorderWorker::ensureOutbox()
{
    if (m_outbox && m_outbox->isOpen()) {
        return true;
    }
    m_outbox = std::make_unique<RecordStore>();
    const int opened = m_outbox->open(m_outboxAddress);
    if (opened != RecordStore::kOk) {
        setProblem(m_outbox->errorText());
        m_outbox.reset();
        return false;
    }
    m_outboxCount = m_outbox->outboxCount();
    return true;
}

bool RecorderWorker::connectTarget()
{
    if (m_target && m_target->isOpen()) {
        return true;
    }
    m_target = std::make_unique<RecordStore>();
    const int opened = m_target->open(m_targetAddress);
    if (opened != RecordStore::kOk) {
        setProblem(m_target->errorText());
        m_target.reset();
        return false;
    }
    logger()->info("Records go to {}", m_targetAddress.displayText());
    return true;
}

bool RecorderWorker::flushOutbox()
{
    while (m_outboxCount > 0) {
        if (!ensureOutbox()) {
            return false;
        }
        QList<qint64> positions;
        const QList<ServiceEvent> events = m_outbox->outboxHead(kOutboxBatch, &positions);
        if (events.isEmpty()) {
            m_outboxCount = m_outbox->outboxCount();
            return m_outboxCount == 0;
        }
        for (int i = 0; i < events.size(); ++i) {
            if (m_target->insert(events.at(i)) != RecordStore::kOk) {
                setProblem(m_target->errorText());
                m_target.reset();
                return false;
            }
            // Sent before removed: a crash in between sends it again, which the id makes harmless.
            if (m_outbox->removeOutbox(positions.at(i)) != RecordStore::kOk) {
                setProblem(m_outbox->errorText());
                return false;
            }
            --m_outboxCount;
        }
        updateWaiting();
    }
    return true;
}

void RecorderWorker::process()
{
    {
        QMutexLocker lock(&m_mutex);
        m_scheduled = false;
        m_busy = true;
        for (ServiceEvent& event : m_incoming) {
            m_held.push_back(std::move(event));
        }
        m_incoming.clear();
    }
    bool written = true;
    // A server that did not answer is asked again when the retry interval is over, not for every event.
    const bool mayConnect = m_target || m_retryDue;
    // A local file is opened with the first event; a call with nothing to write leaves that first
    // attempt due (it would otherwise wait for the retry interval).
    m_retryDue = !m_shared && m_held.empty() && m_retryDue;
    if (m_shared) {
        const bool up = mayConnect && connectTarget() && flushOutbox();
        while (up && !m_held.empty()) {
            if (m_target->insert(m_held.front()) != RecordStore::kOk) {
                setProblem(m_target->errorText());
                m_target.reset();
                break;
            }
            m_held.pop_front();
        }
        // Whatever the server did not take waits in the outbox, behind what is there already.
        while (!m_held.empty() && ensureOutbox()) {
            if (m_outbox->pushOutbox(m_held.front()) != RecordStore::kOk) {
                setProblem(m_outbox->errorText());
                break;
            }
            m_held.pop_front();
            ++m_outboxCount;
        }
        written = up && m_outboxCount == 0 && m_held.empty();
    } else {
        while (!m_held.empty() && mayConnect && connectTarget()) {
            const int result = m_target->insert(m_held.front());
            if (result != RecordStore::kOk) {
                setProblem(m_target->errorText());
                if (result != RecordStore::kReadOnly) {
                    m_target.reset();
                }
                break;
            }
            m_held.pop_front();
        }
        written = m_held.empty();
    }
    if (written) {
        clearProblem();
    } else if (!m_retry->isActive()) {
        m_retry->start();
    }
    QMutexLocker lock(&m_mutex);
    m_busy = false;
    lock.unlock();
    updateWaiting();
}

void RecorderWorker::stop()
{
    m_retry->stop();
    m_retryDue = true;
    process();
    if (!m_held.empty()) {
        logger()->error("{} service events could not be recorded and are lost: {}", m_held.size(), m_problem);
    }
    m_target.reset();
    m_outbox.reset();
}

void RecorderWorker::updateWaiting()
{
    int waiting = 0;
    {
        QMutexLocker lock(&m_mutex);
        waiting = int(m_incoming.size() + m_held.size() + std::max<qint64>(m_outboxCount, 0));
        const int before = m_waiting.exchange(waiting);
        if (waiting == 0 && !m_busy && !m_scheduled) {
            m_idle.wakeAll();
        }
        if (before == waiting) {
            return;
        }
    }
    emit waitingChanged(waiting);
}

void RecorderWorker::setProblem(const QString& message)
{
    if (message == m_problem) {
        return;
    }
    m_problem = message;
    logger()->warn("{}", message);
    emit failed(message);
}

void RecorderWorker::clearProblem()
{
    if (m_problem.isEmpty()) {
        return;
    }
    m_problem.clear();
    logger()->info("Records are written again to {}", m_targetAddress.displayText());
    emit recovered();
}
