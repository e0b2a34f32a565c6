#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

// How far an export has come, shared between the thread that writes it and the one that shows it, and
// the request to stop it. The writer counts every point it has dealt with; counts are published in
// batches, so that a watcher reads them without slowing the writer down.
class ExportProgress
{
public:
    explicit ExportProgress(qint64 total = 0) : m_total(total) {}

    qint64 total() const { return m_total; }
    // Points published so far; after a finished export, all of them.
    qint64 done() const { return m_done.load(std::memory_order_relaxed); }

    // Asks the writer to stop at its next batch; the export is then discarded. Any thread.
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    // Called by the writer once per point; false once the export was cancelled: the writer stops.
    bool advance()
    {
        if (++m_pending < kBatch)
            return true;
        return publish();
    }
    // Publishes the points counted since the last batch; false once the export was cancelled.
    bool publish();

    // Runs on the writing thread after each published batch, before the cancel request is looked at.
    // Set before the export starts.
    void setBatchHook(std::function<void(qint64 done)> hook) { m_hook = std::move(hook); }

private:
    static constexpr int kBatch = 1024;

    const qint64 m_total;
    std::atomic<qint64> m_done{0};
    std::atomic<bool> m_cancelled{false};
    int m_pending = 0;
    std::function<void(qint64)> m_hook;
};
