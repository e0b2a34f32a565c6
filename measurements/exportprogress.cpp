#include "measurements/exportprogress.h"

bool ExportProgress::publish()
{
    const qint64 done = m_done.load(std::memory_order_relaxed) + m_pending;
    m_done.store(done, std::memory_order_relaxed);
    m_pending = 0;
    if (m_hook)
        m_hook(done);
    return !isCancelled();
}
