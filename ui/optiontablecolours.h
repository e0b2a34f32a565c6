#pragma once

#include <QIdentityProxyModel>

class OptionTableModel;

// The colours of the develop page's option table, kept with the view so that the table itself needs no
// Qt Gui: every cell on white, the description of an id whose value is empty on yellow. Everything else
// passes through unchanged.
class OptionTableColours : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit OptionTableColours(OptionTableModel* table, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
