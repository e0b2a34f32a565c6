#include "ui/optiontablecolours.h"

#include "options/optiontablemodel.h"

#include <QColor>

OptionTableColours::OptionTableColours(OptionTableModel* table, QObject* parent) : QIdentityProxyModel(parent)
{
    setSourceModel(table);
}

QVariant OptionTableColours::data(const QModelIndex& index, int role) const
{
    if (role != Qt::BackgroundRole || !index.isValid()) {
        return QIdentityProxyModel::data(index, role);
    }
    const bool empty =
        index.column() == OptionTableModel::DescriptionColumn &&
        QIdentityProxyModel::data(index.siblingAtColumn(OptionTableModel::HexColumn)).toString().isEmpty();
    return QColor(empty ? Qt::yellow : Qt::white);
}
