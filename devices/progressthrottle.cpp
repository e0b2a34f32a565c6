#include "devices/progressthrottle.h"

#include <QElapsedTimer>

#include <memory>
#include <utility>

ProgressThrottle::ProgressThrottle(Forward forward, Clock clock)
    : m_forward(std::move(forward)), m_clock(std::move(clock))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
}

void ProgressThrottle::report(int value, int maximum, const QString& message)
{
    const bool news = !m_passedAny || message != m_passedMessage || maximum != m_passedMaximum;
    if (news) {
        flush(); // the old text's last step first, so that no step seems skipped
    }
    if (news || (maximum > 0 && value >= maximum) || m_clock() - m_passedAt >= kIntervalMs) {
        m_holding = false;
        pass(value, maximum, message);
        return;
    }
    m_holding = true;
    m_heldValue = value;
    m_heldMaximum = maximum;
    m_heldMessage = message;
}

void ProgressThrottle::flush()
{
    if (m_holding) {
        m_holding = false;
        pass(m_heldValue, m_heldMaximum, m_heldMessage);
    }
}

void ProgressThrottle::pass(int value, int maximum, const QString& message)
{
    m_passedAny = true;
    m_passedAt = m_clock();
    m_passedMaximum = maximum;
    m_passedMessage = message;
    m_forward(value, maximum, message);
}
