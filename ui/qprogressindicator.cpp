#include "ui/qprogressindicator.h"

#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

namespace {
constexpr int kSpokes = 12;
constexpr int kStepDegrees = 30;
} // namespace

QProgressIndicator::SpokeGeometry QProgressIndicator::spokeGeometry(int side)
{
    SpokeGeometry g;
    g.outerRadius = int((side - 1) * 0.5);
    g.innerRadius = int((side - 1) * 0.5 * 0.38);
    g.length = g.outerRadius - g.innerRadius;
    g.width = side > 32 ? int(g.length * 0.23) : int(g.length * 0.35);
    g.cornerRadius = g.width / 2;
    return g;
}

QProgressIndicator::QProgressIndicator(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize QProgressIndicator::sizeHint() const
{
    return QSize(20, 20);
}

int QProgressIndicator::heightForWidth(int width) const
{
    return width;
}

void QProgressIndicator::startAnimation()
{
    m_angle = 0;
    if (m_timerId == -1) {
        m_timerId = startTimer(m_delay);
    }
}

void QProgressIndicator::stopAnimation()
{
    if (m_timerId != -1) {
        killTimer(m_timerId);
    }
    m_timerId = -1;
    update();
}

void QProgressIndicator::setAnimationDelay(int delay)
{
    if (m_timerId != -1) {
        killTimer(m_timerId);
    }
    m_delay = delay;
    if (m_timerId != -1) {
        m_timerId = startTimer(m_delay);
    }
}

void QProgressIndicator::setDisplayedWhenStopped(bool state)
{
    m_displayedWhenStopped = state;
    update();
}

void QProgressIndicator::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void QProgressIndicator::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QWidget::timerEvent(event);
        return;
    }
    m_angle = (m_angle + kStepDegrees) % 360;
    update();
}

void QProgressIndicator::paintEvent(QPaintEvent*)
{
    if (!m_displayedWhenStopped && !isAnimated()) {
        return;
    }
    const int side = std::min(width(), height());
    const SpokeGeometry g = spokeGeometry(side);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kSpokes; ++i) {
        QColor spoke = m_color;
        spoke.setAlphaF(1.0 - double(i) / kSpokes);
        painter.setBrush(spoke);
        painter.save();
        painter.translate(rect().center());
        painter.rotate(m_angle - kStepDegrees * i);
        painter.drawRoundedRect(QRectF(-g.width * 0.5, -g.outerRadius, g.width, g.length), g.cornerRadius,
                                g.cornerRadius);
        painter.restore();
    }
}
