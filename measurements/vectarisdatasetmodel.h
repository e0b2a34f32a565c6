#pragma once

#include "core/baselogger.h"
#include "measurements/vectarisdataset.h"

#include <QAbstractTableModel>
#include <QList>

// Read-only table of the control unit's measurement series, one row per series: title, date (or the
// title for an undated series; the date-time itself under Qt::UserRole) and the points (as a
// "VectarisDataPoints" variant). Holds its list by value; GUI thread only.
class VectarisDatasetModel : public QAbstractTableModel, public BaseLogger
{
    Q_OBJECT

public:
    enum Column
    {
        TitleColumn,
        DateColumn,
        PointsColumn,
        ColumnCount
    };

    explicit VectarisDatasetModel(QObject* parent = nullptr);
    ~VectarisDatasetModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    // Replaces the list. Views see a layout change (rows may come and go) and every cell as changed.
    void setDatasets(const QList<VectarisDataset>& datasets);
    // A copy of the series in index's row; a default series when the row does not exist.
    VectarisDataset dataset(const QModelIndex& index) const;

private:
    QList<VectarisDataset> m_datasets;
};
