#include "sim/simtouchdetector.h"

#include "sim/simprotocol.h"

SimTouchDetector::SimTouchDetector(int risingPoint, int fallingPoint)
    : m_rising(risingPoint), m_falling(fallingPoint)
{
}

void SimTouchDetector::setSwitchingPoints(int risingPoint, int fallingPoint)
{
    m_rising = risingPoint;
    m_falling = fallingPoint;
    postRawThreshold(m_raw);
}

void SimTouchDetector::postRawThreshold(uint32_t raw)
{
    m_raw = raw;
    const int sensitivity = int(raw / SimProtocol::CdcRawPerStep);
    if (m_touched && sensitivity >= m_rising) {
        m_touched = false;
    } else if (!m_touched && sensitivity <= m_falling) {
        m_touched = true;
    }
}

bool SimTouchDetector::touched() const
{
    return m_override.value_or(m_touched);
}
