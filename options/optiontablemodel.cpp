#include "options/optiontablemodel.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

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
    // Every read names its rows again; only a new name is worth a repaint.
    const auto known = m_names.constFind(id);
    if (known != m_names.constEnd() && *known == name) {
        return;
    }
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
        if (m_values.value(id) == value) {
            return; // a read that brought the same bytes changes nothing shown
        }
        m_values.insert(id, value);
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    } else if (!value.isEmpty()) {
        const int at = insertionRow(id);
        beginInsertRows(QModelIndex(), at, at);
        m_ids.insert(at, id);
        m_values.insert(id, value);
        endInsertRows();
    }
}

void OptionTableModel::setOrder(const QList<quint32>& order)
{
    m_rank.clear();
    for (int i = 0; i < order.size(); ++i) {
        m_rank.insert(order.at(i), i);
    }
    if (m_ids.isEmpty()) {
        return;
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<quint32> beforeIds;
    for (const QModelIndex& index : before) {
        beforeIds.append(m_ids.value(index.row()));
    }
    // Stable: ids outside the order keep their arrival order behind the ordered ones.
    std::stable_sort(m_ids.begin(), m_ids.end(),
                     [this](quint32 a, quint32 b) { return rankOf(a) < rankOf(b); });
    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i) {
        after.append(index(m_ids.indexOf(beforeIds.at(i)), before.at(i).column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int OptionTableModel::rankOf(quint32 id) const
{
    return m_rank.value(id, std::numeric_limits<int>::max());
}

int OptionTableModel::insertionRow(quint32 id) const
{
    const auto at = std::upper_bound(m_ids.cbegin(), m_ids.cend(), rankOf(id),
                                     [this](int rank, quint32 shown) { return rank < rankOf(shown); });
    return int(at - m_ids.cbegin());
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
        return QStringLiteral("0x%1").arg(id, 8, 16, QLatin1Char('0'));
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
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return QVariant();
    }
    return cell(m_ids.at(index.row()), index.column());
}

QVariant OptionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return QStringLiteral("%1").arg(section + 1);
    }
    static const char* const headers[ColumnCount] = {QT_TR_NOOP("ID"),          QT_TR_NOOP("Description"),
                                                     QT_TR_NOOP("Value Hex"),   QT_TR_NOOP("Value int"),
                                                     QT_TR_NOOP("Value float"), QT_TR_NOOP("Value string")};
    return section >= 0 && section < ColumnCount ? tr(headers[section]) : QString();
}
