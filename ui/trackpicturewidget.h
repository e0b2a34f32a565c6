#pragma once

#include "measurements/vectarisdatapoint.h"

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QSize>
#include <QVector>
#include <QWidget>

// A picture of one series' track, painted from its GPS fixes without any map: an equirectangular plot
// scaled to the series, north up, with a scale bar in metres. Each point is coloured by one chosen
// measured value (a blue-to-red scale, shown in a legend); hovering a point shows its values. Points
// without a fix are not drawn.
//
// Smooth for tens of thousands of points: the points are projected once per series, and the screen
// positions, the line and the coloured dots (at most one per small cell) once per size and value, so a
// paint only draws what is cached.
class TrackPictureWidget : public QWidget
{
    Q_OBJECT

public:
    // The values a track can be coloured by, in the order of the point table's columns.
    enum Value
    {
        MaxCoil,
        MinCoil,
        Depth,
        Amperage,
        Frequency,
        ModeLevel,
        Azimuth,
        Zenit,
        HazeLevel,
        SisValue,
        ValueCount
    };

    explicit TrackPictureWidget(QWidget* parent = nullptr);
    ~TrackPictureWidget() override;

    void setDataPoints(const VectarisDataPoints& points);
    void clear();
    int pointCount() const { return m_points.size(); }
    // Points that are drawn: those with a GPS fix.
    int fixCount() const { return m_indexes.size(); }

    void setColourValue(int value);
    int colourValue() const { return m_value; }
    static QString valueName(int value);
    static float valueOf(const VectarisDataPoint& point, int value);

    // The point (index into the list) drawn nearest to `pos`, if one is within reach; -1 otherwise.
    int pointAt(const QPoint& pos) const;
    // Where point `index` is drawn; a null point for a point without a fix.
    QPointF positionOf(int index) const;
    // Ground metres per screen pixel at the current size; 0 without fixes.
    double metresPerPixel() const;
    // The scale bar's length in metres (1, 2 or 5 times a power of ten); 0 without fixes.
    double scaleBarMetres() const;
    // The values of point `index` as rich text, as the hover shows them.
    QString pointText(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static constexpr int kBuckets = 32;

    void ensureLayout() const;
    QRectF plotRect() const;
    static QColor bucketColour(int bucket);

    VectarisDataPoints m_points;
    int m_value = Depth;
    // Per point with a fix: its index in m_points and its projected position (east, north in degrees of
    // latitude).
    QVector<int> m_indexes;
    QVector<QPointF> m_projected;
    QRectF m_bounds;
    float m_minValue = 0;
    float m_maxValue = 0;
    int m_hover = -1;

    // Screen layout, rebuilt when the size or the colouring changes.
    mutable bool m_layoutValid = false;
    mutable QSize m_layoutSize;
    mutable double m_scale = 0; // pixels per projected degree
    mutable QVector<QPointF> m_screen;
    mutable QPolygonF m_line;
    mutable QVector<QVector<QPointF>> m_dots;
};
