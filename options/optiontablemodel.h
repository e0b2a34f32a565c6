#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The raw option table of the develop page: one row per storage id that the device reported a non-empty
// value for, with the id (hexadecimal, as the option file and the snapshots write it), its key name and
// the value shown as hex, 32-bit integer, single and Latin-1 text. Rows stand in the order set with
// setOrder() (the catalogue's), ids outside it after them in the order their values first arrived. Rows come
// and go with insert/remove notifications and a changed value repaints its row only, so that a view keeps its
// selection and scroll position while a long table is still arriving.
class OptionTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        IdColumn,
        DescriptionColumn,
        HexColumn,
        IntColumn,
        FloatColumn,
        StringColumn,
        ColumnCount
    };

    explicit OptionTableModel(QObject* parent = nullptr);

    // Names are kept apart from the rows; a name stored later shows in an existing row.
    void setOptionName(quint32 id, const QString& name);
    // A non-empty value adds the id's row (or updates it); an empty one removes the row.
    void setOptionValue(quint32 id, const QByteArray& value);
    // The order rows are shown in; rows already shown are re-sorted.
    void setOrder(const QList<quint32>& order);
    // Drops every row, value and name (a new read starts); the order stays.
    void clear();

    QList<quint32> shownIds() const { return m_ids; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant cell(quint32 id, int column) const;
    int rankOf(quint32 id) const;
    int insertionRow(quint32 id) const;

    QList<quint32> m_ids;
    QHash<quint32, QByteArray> m_values;
    QHash<quint32, QString> m_names;
    QHash<quint32, int> m_rank;
};
