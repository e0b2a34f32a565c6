#include "ui/trackpicturewidget.h"

#include <QEvent>
#include <QGeoCoordinate>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <vector>

namespace {

// Ground length of one degree of latitude on a sphere of the Earth's mean radius.
constexpr double kMetresPerDegree = 6371008.8 * M_PI / 180.0;
// A track shorter than this (or a single point) is shown at this extent, not blown up to a pixel soup.
constexpr double kMinimumExtentMetres = 20.0;
constexpr int kMargin = 12;
constexpr int kLegendWidth = 86;
constexpr int kDotSize = 6;
// Dots closer than this share a cell and only the first is drawn: enough for the eye, bounded work.
constexpr int kDotCell = 3;
constexpr int kHoverReach = 10;

} // namespace

TrackPictureWidget::TrackPictureWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("trackPictureWidget"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TrackPictureWidget::~TrackPictureWidget() = default;

QSize TrackPictureWidget::sizeHint() const
{
    return QSize(480, 260);
}

QSize TrackPictureWidget::minimumSizeHint() const
{
    return QSize(240, 160);
}

QString TrackPictureWidget::valueName(int value)
{
    switch (value) {
    case MaxCoil:
        return tr("MaxCoil [dB]");
    case MinCoil:
        return tr("MinCoil [dB]");
    case Depth:
        return tr("Depth [m]");
    case Amperage:
        return tr("Amperage [A]");
    case Frequency:
        return tr("Frequency [Hz]");
    case ModeLevel:
        return tr("ModeLevel");
    case Azimuth:
        return tr("Azimuth [°]");
    case Zenit:
        return tr("Zenit [°]");
    case HazeLevel:
        return tr("HazeLevel");
    case SisValue:
        return tr("SisValue");
    default:
        return QString();
    }
}

float TrackPictureWidget::valueOf(const VectarisDataPoint& point, int value)
{
    switch (value) {
    case MaxCoil:
        return point.maxCoil;
    case MinCoil:
        return point.minCoil;
    case Depth:
        return point.depth;
    case Amperage:
        return point.amperage;
    case Frequency:
        return float(point.frequency);
    case ModeLevel:
        return point.modeLevel;
    case Azimuth:
        return point.azimuth;
    case Zenit:
        return point.zenit;
    case HazeLevel:
        return point.hazeLevel;
    case SisValue:
        return point.sisValue;
    default:
        return 0;
    }
}

void TrackPictureWidget::setDataPoints(const VectarisDataPoints& points)
{
    m_points = points;
    m_indexes.clear();
    m_projected.clear();
    m_hover = -1;
    // One pass over the positions (each coordinate() is a copy): degrees first, projected below.
    m_indexes.reserve(m_points.size());
    m_projected.reserve(m_points.size());
    double minLatitude = 90, maxLatitude = -90;
    for (int i = 0; i < m_points.size(); ++i) {
        const QGeoCoordinate coordinate = m_points.at(i).position.coordinate();
        if (!coordinate.isValid())
            continue;
        const double latitude = coordinate.latitude();
        m_indexes.append(i);
        m_projected.append(QPointF(coordinate.longitude(), latitude));
        minLatitude = std::min(minLatitude, latitude);
        maxLatitude = std::max(maxLatitude, latitude);
    }
    // Equirectangular about the middle latitude: east distances shrink with its cosine, so a metre is
    // as long across as up and down.
    const double eastFactor = std::cos((minLatitude + maxLatitude) / 2 * M_PI / 180.0);
    double left = 0, right = 0, bottom = 0, top = 0;
    for (int i = 0; i < m_projected.size(); ++i) {
        QPointF& p = m_projected[i];
        p.setX(p.x() * eastFactor);
        if (i == 0) {
            left = right = p.x();
            bottom = top = p.y();
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    }
    m_bounds = m_projected.isEmpty() ? QRectF() : QRectF(QPointF(left, bottom), QPointF(right, top));
    setColourValue(m_value);
}

void TrackPictureWidget::clear()
{
    setDataPoints(VectarisDataPoints());
}

void TrackPictureWidget::setColourValue(int value)
{
    m_value = value >= 0 && value < ValueCount ? value : Depth;
    m_minValue = m_maxValue = 0;
    bool first = true;
    for (int index : qAsConst(m_indexes)) {
        const float v = valueOf(m_points.at(index), m_value);
        if (!std::isfinite(v))
            continue;
        if (first || v < m_minValue)
            m_minValue = v;
        if (first || v > m_maxValue)
            m_maxValue = v;
        first = false;
    }
    m_layoutValid = false;
    update();
}

QRectF TrackPictureWidget::plotRect() const
{
    return QRectF(kMargin, kMargin, std::max(1, width() - 2 * kMargin - kLegendWidth),
                  std::max(1, height() - 2 * kMargin));
}

QColor TrackPictureWidget::bucketColour(int bucket)
{
    // Blue for the smallest values through green to red for the largest.
    const double t = double(bucket) / (kBuckets - 1);
    return QColor::fromHsvF((1.0 - t) * 240.0 / 360.0, 0.85, 0.9);
}

void TrackPictureWidget::ensureLayout() const
{
    if (m_layoutValid && m_layoutSize == size())
        return;
    m_layoutValid = true;
    m_layoutSize = size();
    m_screen.clear();
    m_line.clear();
    m_dots = QVector<QVector<QPointF>>(kBuckets);
    m_scale = 0;
    if (m_projected.isEmpty())
        return;

    const QRectF plot = plotRect().adjusted(kDotSize, kDotSize, -kDotSize, -kDotSize);
    const double minimumExtent = kMinimumExtentMetres / kMetresPerDegree;
    const double extentX = std::max(m_bounds.width(), minimumExtent);
    const double extentY = std::max(m_bounds.height(), minimumExtent);
    m_scale = std::max(1e-9, std::min(plot.width() / extentX, plot.height() / extentY));
    const QPointF centre = m_bounds.center();
    const QPointF screenCentre = plot.center();

    m_screen.resize(m_projected.size());
    for (int i = 0; i < m_projected.size(); ++i) {
        const QPointF& p = m_projected.at(i);
        // North up: screen y grows downwards.
        m_screen[i] = QPointF(screenCentre.x() + (p.x() - centre.x()) * m_scale,
                              screenCentre.y() - (p.y() - centre.y()) * m_scale);
    }

    const int columns = width() / kDotCell + 1;
    const int rows = height() / kDotCell + 1;
    std::vector<bool> taken(size_t(columns) * size_t(rows), false);
    const float span = m_maxValue - m_minValue;
    QPointF last;
    for (int i = 0; i < m_screen.size(); ++i) {
        const QPointF& p = m_screen.at(i);
        if (i == 0 || std::abs(p.x() - last.x()) + std::abs(p.y() - last.y()) >= 1.0 ||
            i == m_screen.size() - 1) {
            m_line.append(p);
            last = p;
        }
        const int column = std::clamp(int(p.x()) / kDotCell, 0, columns - 1);
        const int row = std::clamp(int(p.y()) / kDotCell, 0, rows - 1);
        const size_t cell = size_t(row) * size_t(columns) + size_t(column);
        if (taken[cell])
            continue;
        taken[cell] = true;
        const float v = valueOf(m_points.at(m_indexes.at(i)), m_value);
        int bucket = 0;
        if (span > 0 && std::isfinite(v))
            bucket = std::clamp(int((v - m_minValue) / span * (kBuckets - 1) + 0.5f), 0, kBuckets - 1);
        m_dots[bucket].append(p);
    }
}

double TrackPictureWidget::metresPerPixel() const
{
    ensureLayout();
    return m_scale > 0 ? kMetresPerDegree / m_scale : 0;
}

double TrackPictureWidget::scaleBarMetres() const
{
    const double perPixel = metresPerPixel();
    if (perPixel <= 0)
        return 0;
    // The longest 1, 2 or 5 times a power of ten that fits into a quarter of the plot.
    const double wanted = perPixel * plotRect().width() / 4;
    const double power = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double step : {5.0, 2.0, 1.0}) {
        if (step * power <= wanted)
            return step * power;
    }
    return power;
}

int TrackPictureWidget::pointAt(const QPoint& pos) const
{
    ensureLayout();
    int best = -1;
    double bestDistance = double(kHoverReach) * kHoverReach;
    for (int i = 0; i < m_screen.size(); ++i) {
        const double dx = m_screen.at(i).x() - pos.x();
        const double dy = m_screen.at(i).y() - pos.y();
        const double distance = dx * dx + dy * dy;
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best < 0 ? -1 : m_indexes.at(best);
}

QPointF TrackPictureWidget::positionOf(int index) const
{
    ensureLayout();
    const auto it = std::lower_bound(m_indexes.cbegin(), m_indexes.cend(), index);
    if (it == m_indexes.cend() || *it != index)
        return QPointF();
    return m_screen.at(int(it - m_indexes.cbegin()));
}

QString TrackPictureWidget::pointText(int index) const
{
    if (index < 0 || index >= m_points.size())
        return QString();
    const VectarisDataPoint& point = m_points.at(index);
    QString text = QStringLiteral("<b>%1</b>").arg(tr("Point %1").arg(index + 1));
    const QGeoCoordinate coordinate = point.position.coordinate();
    if (coordinate.isValid()) {
        text += QStringLiteral("<br/>%1").arg(
            coordinate.toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere).toHtmlEscaped());
        text += QStringLiteral("<br/>%1").arg(
            QLocale().toString(point.position.timestamp(), QLocale::ShortFormat));
    }
    text += QStringLiteral("<table>");
    for (int value = 0; value < ValueCount; ++value) {
        const QString shown = value == Frequency ? QString::number(point.frequency)
                                                 : QLocale().toString(double(valueOf(point, value)), 'g', 6);
        text += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>")
                    .arg(valueName(value).toHtmlEscaped(), shown);
    }
    text += QStringLiteral("</table>");
    return text;
}

bool TrackPictureWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = pointAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), pointText(index), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TrackPictureWidget::resizeEvent(QResizeEvent* event)
{
    m_layoutValid = false;
    QWidget::resizeEvent(event);
}

void TrackPictureWidget::mouseMoveEvent(QMouseEvent* event)
{
    const int index = pointAt(event->pos());
    if (index != m_hover) {
        m_hover = index;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void TrackPictureWidget::leaveEvent(QEvent* event)
{
    if (m_hover >= 0) {
        m_hover = -1;
        update();
    }
    QWidget::leaveEvent(event);
}

void TrackPictureWidget::paintEvent(QPaintEvent* /*event*/)
{
    ensureLayout();
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRectF plot = plotRect();
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawRect(plot.adjusted(0.5, 0.5, -0.5, -0.5));

    if (m_indexes.isEmpty()) {
        painter.setPen(palette().text().color());
        painter.drawText(plot, Qt::AlignCenter,
                         m_points.isEmpty() ? QString() : tr("No point of this series has a GPS fix."));
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    // A cosmetic one-pixel line: the rasteriser's fast path, no stroking of thousands of joins.
    painter.setPen(QPen(QColor(128, 128, 128, 180), 0));
    painter.drawPolyline(m_line);
    for (int bucket = 0; bucket < kBuckets; ++bucket) {
        if (m_dots.at(bucket).isEmpty())
            continue;
        painter.setPen(QPen(bucketColour(bucket), kDotSize, Qt::SolidLine, Qt::RoundCap));
        painter.drawPoints(m_dots.at(bucket).constData(), m_dots.at(bucket).size());
    }
    if (m_hover >= 0) {
        painter.setPen(QPen(palette().text().color(), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(positionOf(m_hover), kDotSize, kDotSize);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    // North arrow in the top left corner of the plot.
    const QPointF north(plot.left() + 18, plot.top() + 12);
    QPolygonF arrow;
    arrow << north << north + QPointF(-6, 16) << north + QPointF(0, 12) << north + QPointF(6, 16);
    painter.setPen(palette().text().color());
    painter.setBrush(palette().text());
    painter.drawPolygon(arrow);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QRectF(north.x() - 10, north.y() + 16, 20, 16), Qt::AlignCenter, tr("N"));

    // Scale bar in the bottom left corner.
    const double metres = scaleBarMetres();
    const double length = metres / metresPerPixel();
    const QPointF start(plot.left() + 12, plot.bottom() - 12);
    painter.setPen(QPen(palette().text().color(), 2));
    painter.drawLine(start, start + QPointF(length, 0));
    painter.drawLine(start + QPointF(0, -5), start + QPointF(0, 0));
    painter.drawLine(start + QPointF(length, -5), start + QPointF(length, 0));
    painter.drawText(QRectF(start.x(), start.y() - 22, std::max(length, 80.0), 16),
                     Qt::AlignLeft | Qt::AlignBottom, tr("%1 m").arg(metres, 0, 'g', 6));

    // Legend: the value's name, and a bar from its largest (top) to its smallest value.
    const QRectF legend(plot.right() + 10, plot.top(), kLegendWidth - 10, plot.height());
    const QFontMetrics metrics(font());
    painter.setPen(palette().text().color());
    painter.drawText(QRectF(legend.left(), legend.top(), legend.width(), metrics.height() * 2),
                     Qt::AlignLeft | Qt::TextWordWrap, valueName(m_value));
    const QRectF bar(legend.left(), legend.top() + metrics.height() * 2 + 4, 14,
                     std::max(20.0, legend.height() - metrics.height() * 2 - 4));
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    for (int bucket = 0; bucket < kBuckets; ++bucket)
        gradient.setColorAt(1.0 - double(bucket) / (kBuckets - 1), bucketColour(bucket));
    painter.fillRect(bar, gradient);
    painter.drawRect(bar);
    const QString top = QLocale().toString(double(m_maxValue), 'g', 4);
    const QString bottom = QLocale().toString(double(m_minValue), 'g', 4);
    painter.drawText(QRectF(bar.right() + 4, bar.top(), legend.width() - 18, metrics.height()), Qt::AlignLeft,
                     top);
    painter.drawText(
        QRectF(bar.right() + 4, bar.bottom() - metrics.height(), legend.width() - 18, metrics.height()),
        Qt::AlignLeft, bottom);
}
