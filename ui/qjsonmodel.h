#pragma once

#include <QAbstractItemModel>
#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

#include <memory>
#include <vector>

// A read-only key/value tree over a JSON document: objects and arrays are branches (array elements are
// keyed by their index), everything else a leaf that shows its value as text. Two columns, "key" and
// "value".
class QJsonModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit QJsonModel(QObject* parent = nullptr);
    ~QJsonModel() override;

    // Replaces the whole tree.
    void loadDocument(const QJsonDocument& document);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Item
    {
        QString key;
        QString value;
        Item* parent = nullptr;
        int row = 0;
        std::vector<std::unique_ptr<Item>> children;
    };
    static void fill(Item* item, const QJsonValue& value);
    const Item* itemAt(const QModelIndex& index) const;

    std::unique_ptr<Item> m_root;
};
