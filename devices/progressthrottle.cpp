#include "devices/progressthrottle.h"

#include <utility>

ProgressThrottle::ProgressThrottle(Forward forward, Clock clock)
    : m_forward(std::move(forward)), m_clock(std::move(clock))
{
    m_timer.start();
}

qint64 ProgressThrottle::now() const
{
    return m_clock ? m_clock() : m_timer.elapsed();
}

void ProgressThrottle::report(int value, int maximum, const QString& message)
{
    const bool news = !m_passedAny || message != m_passedMessage || maximum != m_passedMaximum;
    if (news) {
        flush(); // the old text's last step first, so that no step seems skipped
    }
    if (news || (maximum > 0 && value >= maximum) || now() - m_passedAt >= kIntervalMs) {
        m_holding = false;
        pass(value, maximum, message);
        return;
    }
    m_holding = true;
    m_heldValue = value;
}

void ProgressThrottle::flush()
{
    if (m_holding) {
        m_holding = false;
        pass(m_heldValue, m_passedMaximum, m_passedMessage);
    }
}

void ProgressThrottle::pass(int value, int maximum, const QString& message)
{
    m_passedAny = true;
    m_passedAt = now();
    m_passedMaximum = maximum;
    m_passedMessage = message;
    m_forward(value, maximum, message);
}
