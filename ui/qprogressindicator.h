#pragma once

#include <QColor>
#include <QWidget>

// A spinner of twelve spokes, 30 degrees apart, whose brightest spoke advances one position every
// `delay` milliseconds while animating. Draws nothing while stopped unless displayedWhenStopped.
class QProgressIndicator : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int delay READ animationDelay WRITE setAnimationDelay)
    Q_PROPERTY(bool displayedWhenStopped READ isDisplayedWhenStopped WRITE setDisplayedWhenStopped)
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    // Geometry of one spoke for a spinner of side `side` (the smaller of width and height).
    struct SpokeGeometry
    {
        int outerRadius = 0;
        int innerRadius = 0;
        int length = 0;
        int width = 0;
        int cornerRadius = 0;
    };
    static SpokeGeometry spokeGeometry(int side);

    explicit QProgressIndicator(QWidget* parent = nullptr);

    int animationDelay() const { return m_delay; }
    bool isAnimated() const { return m_timerId != -1; }
    bool isDisplayedWhenStopped() const { return m_displayedWhenStopped; }
    const QColor& color() const { return m_color; }
    int angle() const { return m_angle; }

    QSize sizeHint() const override;
    int heightForWidth(int width) const override;

public slots:
    void startAnimation();
    void stopAnimation();
    void setAnimationDelay(int delay);
    void setDisplayedWhenStopped(bool state);
    void setColor(const QColor& color);

protected:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_angle = 0;
    int m_timerId = -1;
    int m_delay = 40;
    bool m_displayedWhenStopped = false;
    QColor m_color = Qt::black;
};
