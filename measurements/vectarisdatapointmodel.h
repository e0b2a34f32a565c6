#pragma once

#include "core/baselogger.h"
#include "measurements/vectarisdatapoint.h"

#include <QAbstractTableModel>
#include <QMap>
#include <QString>

// Read-only table of the points of one series: the ten measured values and the position (degrees,
// minutes and seconds; empty for a point without a GPS fix). Display role only. Holds its list by
// value; GUI thread only.
class VectarisDataPointModel : public QAbstractTableModel, public BaseLogger
{
    Q_OBJECT

public:
    enum Column
    {
        MaxCoilColumn,
        MinCoilColumn,
        DepthColumn,
        AmperageColumn,
        FrequencyColumn,
        ModeLevelColumn,
        AzimuthColumn,
        ZenitColumn,
        HazeLevelColumn,
        SisValueColumn,
        PositionColumn
    };

    explicit VectarisDataPointModel(QObject* parent = nullptr);
    ~VectarisDataPointModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    // Replaces the list. Views see a layout change (rows may come and go) and every cell as changed.
    void setDataPoints(const VectarisDataPoints& points);

private:
    VectarisDataPoints m_points;
    QMap<int, QString> m_headers;
};
