#include "ui/linuxframe.h"

#include "ui/framehittest.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
Qt::Edges edgesFor(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left:
        return Qt::LeftEdge;
    case FrameHit::Right:
        return Qt::RightEdge;
    case FrameHit::Top:
        return Qt::TopEdge;
    case FrameHit::Bottom:
        return Qt::BottomEdge;
    case FrameHit::TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case FrameHit::TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case FrameHit::BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FrameHit::BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return Qt::Edges();
    }
}

Qt::CursorShape cursorFor(FrameHit hit)
{
    switch (hit) {
    case FrameHit::Left:
    case FrameHit::Right:
        return Qt::SizeHorCursor;
    case FrameHit::Top:
    case FrameHit::Bottom:
        return Qt::SizeVerCursor;
    case FrameHit::TopLeft:
    case FrameHit::BottomRight:
        return Qt::SizeFDiagCursor;
    case FrameHit::TopRight:
    case FrameHit::BottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

bool isResizeHit(int hit)
{
    return hit != int(FrameHit::None) && hit != int(FrameHit::Caption);
}
} // namespace

LinuxFrame::LinuxFrame(QWidget* window, std::function<bool(const QPoint&)> inTitleArea)
    : QObject(window), BaseLogger(QStringLiteral("LinuxFrame")), m_window(window),
      m_inTitleArea(std::move(inTitleArea))
{
    m_window->setWindowFlag(Qt::FramelessWindowHint, true);
    m_window->winId(); // creates the QWindow, which receives every mouse event first
    m_window->windowHandle()->installEventFilter(this);
}

int LinuxFrame::hitAt(const QPoint& windowPos, const QPoint& globalPos) const
{
    const Qt::WindowStates states = m_window->windowState();
    const bool fixedGeometry = states & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
    FrameHitTestInput in;
    in.left = 0;
    in.top = 0;
    in.right = m_window->width();
    in.bottom = m_window->height();
    in.x = windowPos.x();
    in.y = windowPos.y();
    in.horizontallyResizable = !fixedGeometry && m_window->minimumWidth() != m_window->maximumWidth();
    in.verticallyResizable = !fixedGeometry && m_window->minimumHeight() != m_window->maximumHeight();
    in.inTitleArea = m_inTitleArea && m_inTitleArea(globalPos);
    in.band = kBorderBand;
    return int(frameHitTest(in));
}

void LinuxFrame::updateCursor(int hit)
{
    if (isResizeHit(hit)) {
        m_window->setCursor(cursorFor(FrameHit(hit)));
        m_cursorOverridden = true;
    } else if (m_cursorOverridden) {
        m_window->unsetCursor();
        m_cursorOverridden = false;
    }
}

bool LinuxFrame::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return false;
    }
    const int hit = hitAt(event->pos(), event->globalPos());
    if (hit == int(FrameHit::None)) {
        return false;
    }
    QWindow* window = m_window->windowHandle();
    const bool handedOver = hit == int(FrameHit::Caption)
                                ? window->startSystemMove()
                                : window->startSystemResize(edgesFor(FrameHit(hit)));
    if (!handedOver) {
        m_dragHit = hit;
        m_dragStartGlobal = event->globalPos();
        m_dragStartGeometry = m_window->geometry();
    }
    return true;
}

bool LinuxFrame::mouseMove(QMouseEvent* event)
{
    if (m_dragHit != int(FrameHit::None) && (event->buttons() & Qt::LeftButton)) {
        const QPoint delta = event->globalPos() - m_dragStartGlobal;
        if (m_dragHit == int(FrameHit::Caption)) {
            m_window->move(m_dragStartGeometry.topLeft() + delta);
            return true;
        }
        QRect g = m_dragStartGeometry;
        const Qt::Edges edges = edgesFor(FrameHit(m_dragHit));
        const QSize min = m_window->minimumSize();
        if (edges & Qt::LeftEdge) {
            g.setLeft(std::min(g.left() + delta.x(), g.right() - min.width() + 1));
        }
        if (edges & Qt::RightEdge) {
            g.setRight(std::max(g.right() + delta.x(), g.left() + min.width() - 1));
        }
        if (edges & Qt::TopEdge) {
            g.setTop(std::min(g.top() + delta.y(), g.bottom() - min.height() + 1));
        }
        if (edges & Qt::BottomEdge) {
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() + min.height() - 1));
        }
        m_window->setGeometry(g);
        return true;
    }
    m_dragHit = int(FrameHit::None);
    if (event->buttons() == Qt::NoButton) {
        updateCursor(hitAt(event->pos(), event->globalPos()));
    }
    return false;
}

void LinuxFrame::keepWithinWorkArea()
{
    if (!(m_window->windowState() & Qt::WindowMaximized)) {
        return;
    }
    const QScreen* screen = m_window->screen();
    if (!screen) {
        return;
    }
    const QRect work = screen->availableGeometry();
    if (!work.contains(m_window->frameGeometry())) {
        logger()->debug("Maximised window exceeds the work area, fitting it in");
        m_window->setGeometry(work);
    }
}

bool LinuxFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window->windowHandle()) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return mouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        if (m_dragHit != int(FrameHit::None)) {
            m_dragHit = int(FrameHit::None);
            return true;
        }
        return false;
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            hitAt(mouse->pos(), mouse->globalPos()) == int(FrameHit::Caption)) {
            // Like a system title bar: a double click toggles maximised and normal.
            if (m_window->isMaximized()) {
                m_window->showNormal();
            } else {
                m_window->showMaximized();
            }
            return true;
        }
        return false;
    }
    case QEvent::WindowStateChange:
    case QEvent::Resize:
    case QEvent::Move:
        // Let the window manager finish its own placement first.
        QTimer::singleShot(0, this, &LinuxFrame::keepWithinWorkArea);
        return false;
    default:
        return QObject::eventFilter(watched, event);
    }
}
