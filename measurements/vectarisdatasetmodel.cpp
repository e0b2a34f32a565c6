#include "measurements/vectarisdatasetmodel.h"

#include "measurements/xmlsafetext.h"

#include <QLocale>

VectarisDatasetModel::VectarisDatasetModel(QObject* parent)
    : QAbstractTableModel(parent), BaseLogger(QStringLiteral("VectarisDatasetModel"))
{
}

VectarisDatasetModel::~VectarisDatasetModel() = default;

int VectarisDatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_datasets.size();
}

int VectarisDatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant VectarisDatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_datasets.size())
        return QVariant();
    const VectarisDataset& dataset = m_datasets.at(index.row());
    switch (index.column()) {
    case TitleColumn:
        if (role == Qt::DisplayRole)
            return xmlSafeText(dataset.title);
        break;
    case DateColumn:
        if (role == Qt::DisplayRole)
            return dataset.date.isNull() ? xmlSafeText(dataset.title)
                                         : QLocale().toString(dataset.date, QLocale::ShortFormat);
        if (role == Qt::UserRole)
            return dataset.date;
        break;
    case PointsColumn:
        if (role == Qt::DisplayRole)
            return QVariant::fromValue(dataset.points);
        break;
    default:
        break;
    }
    return QVariant();
}

QVariant VectarisDatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case TitleColumn:
        return tr("Title");
    case DateColumn:
        return tr("Date");
    case PointsColumn:
        return tr("Points");
    default:
        return QString();
    }
}

void VectarisDatasetModel::clear()
{
    beginResetModel();
    m_datasets.clear();
    endResetModel();
}

void VectarisDatasetModel::setDatasets(const QList<VectarisDataset>& datasets)
{
    // The number of series may change: a layout change lets attached views re-read the row count, and
    // persistent indexes into rows that are gone become invalid.
    emit layoutAboutToBeChanged();
    if (!m_datasets.isSharedWith(datasets))
        m_datasets = datasets;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.row() < m_datasets.size() ? createIndex(index.row(), index.column())
                                                     : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged();
    if (!m_datasets.isEmpty())
        emit dataChanged(index(0, 0), index(m_datasets.size() - 1, ColumnCount - 1));
    logger()->debug("{} series", m_datasets.size());
}

VectarisDataset VectarisDatasetModel::dataset(const QModelIndex& index) const
{
    return m_datasets.value(index.row());
}
