#include "options/optiontablemodel.h"

#include <QColor>
#include <QtEndian>

#include <cstring>

namespace {
// "Value int" and "Value float" need four bytes; a shorter value shows an empty cell rather than bytes
// that were never sent.
bool hasWord(const QByteArray& value)
{
    return value.size() >= 4;
}
} // namespace

OptionTableModel::OptionTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void OptionTableModel::setOptionName(quint32 id, const QString& name)
{
    m_names.insert(id, name);
    const int row = m_ids.indexOf(id);
    if (row >= 0) {
        emit dataChanged(index(row, DescriptionColumn), index(row, DescriptionColumn));
    }
}

void OptionTableModel::setOptionValue(quint32 id, const QByteArray& value)
{
    const int row = m_ids.indexOf(id);
    if (row >= 0 && value.isEmpty()) {
        beginRemoveRows(QModelIndex(), row, row);
        m_ids.removeAt(row);
        m_values.insert(id, value);
        endRemoveRows();
    } else if (row >= 0) {
        m_values.insert(id, value);
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    } else if (!value.isEmpty()) {
        beginInsertRows(QModelIndex(), m_ids.size(), m_ids.size());
        m_ids.append(id);
        m_values.insert(id, value);
        endInsertRows();
    }
}

void OptionTableModel::clear()
{
    beginResetModel();
    m_ids.clear();
    m_values.clear();
    m_names.clear();
    endResetModel();
}

int OptionTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_ids.size();
}

int OptionTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OptionTableModel::cell(quint32 id, int column) const
{
    const QByteArray value = m_values.value(id);
    switch (column) {
    case IdColumn:
        return id;
    case DescriptionColumn:
        return m_names.value(id).isEmpty() ? QStringLiteral("undefined") : m_names.value(id);
    case HexColumn:
        return QString::fromLatin1(value.toHex());
    case IntColumn:
        return hasWord(value) ? QVariant(qFromLittleEndian<qint32>(value.constData())) : QVariant();
    case FloatColumn: {
        if (!hasWord(value)) {
            return QVariant();
        }
        const quint32 bits = qFromLittleEndian<quint32>(value.constData());
        float single = 0;
        std::memcpy(&single, &bits, sizeof single);
        return single;
    }
    case StringColumn:
        // The whole value, NUL bytes included (the QByteArray overload stops at the first NUL).
        return QString::fromLatin1(value.constData(), value.size());
    default:
        return QVariant();
    }
}

QVariant OptionTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size() || index.column() >= ColumnCount) {
        return QVariant();
    }
    const quint32 id = m_ids.at(index.row());
    if (role == Qt::BackgroundRole) {
        const bool empty = m_values.value(id).isEmpty();
        return QColor(index.column() == DescriptionColumn && empty ? Qt::yellow : Qt::white);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return QVariant();
    }
    return cell(id, index.column());
}

QVariant OptionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return QStringLiteral("%1").arg(section + 1);
    }
    static const char* const headers[ColumnCount] = {"ID",        "Description", "Value Hex",
                                                     "Value int", "Value float", "Value string"};
    return section >= 0 && section < ColumnCount ? tr(headers[section]) : QString();
}
