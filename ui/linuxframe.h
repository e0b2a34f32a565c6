#pragma once

#include "core/baselogger.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class QMouseEvent;
class QWidget;
class QWindow;

// Frame handling of a frameless top-level window where the window manager draws no frame for it
// (Linux): dragging the title area moves the window, an 8-pixel band along each resizable edge resizes
// it, and a maximised window is kept within the screen's work area. Moves and resizes are handed to
// the window manager (startSystemMove/startSystemResize); where the platform cannot do that, the
// window is moved or resized here. Watches the window's QWindow, so it sees every mouse event before
// the widgets do. GUI thread only; lives as a child of the window.
class LinuxFrame : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    static constexpr int kBorderBand = 8;

    // `inTitleArea` answers whether a global point lies in the title area.
    LinuxFrame(QWidget* window, std::function<bool(const QPoint&)> inTitleArea);

    // Re-checks a maximised window against the work area of its screen.
    void keepWithinWorkArea();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int hitAt(const QPoint& windowPos, const QPoint& globalPos) const;
    void updateCursor(int hit);
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);

    QWidget* m_window; // the watched top-level widget; owns this object
    std::function<bool(const QPoint&)> m_inTitleArea;
    bool m_cursorOverridden = false;
    // Fallback drag when the platform cannot move or resize the window itself.
    int m_dragHit = 0;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
};
