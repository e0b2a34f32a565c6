#include "measurements/vectarisdatapointmodel.h"

#include <QGeoCoordinate>

VectarisDataPointModel::VectarisDataPointModel(QObject* parent)
    : QAbstractTableModel(parent), BaseLogger(QStringLiteral("VectarisDataPointModel"))
{
    m_headers = {{MaxCoilColumn, tr("MaxCoil [dB]")},     {MinCoilColumn, tr("MinCoil [dB]")},
                 {DepthColumn, tr("Depth [m]")},          {AmperageColumn, tr("Amperage [A]")},
                 {FrequencyColumn, tr("Frequency [Hz]")}, {ModeLevelColumn, tr("ModeLevel")},
                 {AzimuthColumn, tr("Azimuth [°]")},      {ZenitColumn, tr("Zenit [°]")},
                 {HazeLevelColumn, tr("HazeLevel")},      {SisValueColumn, tr("SisValue")},
                 {PositionColumn, tr("Position")}};
}

VectarisDataPointModel::~VectarisDataPointModel() = default;

int VectarisDataPointModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_points.size();
}

int VectarisDataPointModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QVariant VectarisDataPointModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0 || index.row() >= m_points.size())
        return QVariant();
    const VectarisDataPoint& point = m_points.at(index.row());
    switch (index.column()) {
    case MaxCoilColumn:
        return point.maxCoil;
    case MinCoilColumn:
        return point.minCoil;
    case DepthColumn:
        return point.depth;
    case AmperageColumn:
        return point.amperage;
    case FrequencyColumn:
        return point.frequency;
    case ModeLevelColumn:
        return point.modeLevel;
    case AzimuthColumn:
        return point.azimuth;
    case ZenitColumn:
        return point.zenit;
    case HazeLevelColumn:
        return point.hazeLevel;
    case SisValueColumn:
        return point.sisValue;
    case PositionColumn:
        if (!point.position.coordinate().isValid())
            return QString();
        return point.position.coordinate().toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere);
    default:
        return QVariant();
    }
}

QVariant VectarisDataPointModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    return m_headers.value(section);
}

void VectarisDataPointModel::clear()
{
    beginResetModel();
    m_points.clear();
    endResetModel();
}

void VectarisDataPointModel::setDataPoints(const VectarisDataPoints& points)
{
    // Cells may only be reported as changed once the layout change is over: a view that is told about
    // cells inside it would read them with the old row count (and proxies would map stale indexes).
    emit layoutAboutToBeChanged();
    if (!m_points.isSharedWith(points))
        m_points = points;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.row() < m_points.size() ? createIndex(index.row(), index.column())
                                                   : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged();
    if (!m_points.isEmpty())
        emit dataChanged(index(0, 0), index(m_points.size() - 1, m_headers.size() - 1));
}
