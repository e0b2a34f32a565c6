#include "ui/qjsonmodel.h"

#include <QJsonArray>
#include <QJsonObject>

QJsonModel::QJsonModel(QObject* parent) : QAbstractItemModel(parent), m_root(std::make_unique<Item>()) {}

QJsonModel::~QJsonModel() = default;

void QJsonModel::loadDocument(const QJsonDocument& document)
{
    beginResetModel();
    m_root = std::make_unique<Item>();
    if (document.isObject()) {
        fill(m_root.get(), document.object());
    } else if (document.isArray()) {
        fill(m_root.get(), document.array());
    }
    endResetModel();
}

void QJsonModel::fill(Item* item, const QJsonValue& value)
{
    const auto addChild = [item](const QString& key, const QJsonValue& childValue) {
        auto child = std::make_unique<Item>();
        child->key = key;
        child->parent = item;
        child->row = int(item->children.size());
        fill(child.get(), childValue);
        item->children.push_back(std::move(child));
    };
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            addChild(it.key(), it.value());
        }
    } else if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i) {
            addChild(QString::number(i), array.at(i));
        }
    } else if (value.isBool()) {
        item->value = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    } else if (value.isDouble()) {
        item->value = QString::number(value.toDouble(), 'g', 15);
    } else if (value.isString()) {
        item->value = value.toString();
    } else if (value.isNull()) {
        item->value = QStringLiteral("null");
    }
}

const QJsonModel::Item* QJsonModel::itemAt(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<const Item*>(index.internalPointer()) : m_root.get();
}

QModelIndex QJsonModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent)) {
        return QModelIndex();
    }
    const Item* item = itemAt(parent);
    return createIndex(row, column, item->children.at(size_t(row)).get());
}

QModelIndex QJsonModel::parent(const QModelIndex& child) const
{
    if (!child.isValid()) {
        return QModelIndex();
    }
    const Item* parentItem = itemAt(child)->parent;
    if (!parentItem || parentItem == m_root.get()) {
        return QModelIndex();
    }
    return createIndex(parentItem->row, 0, const_cast<Item*>(parentItem));
}

int QJsonModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0) {
        return 0;
    }
    return int(itemAt(parent)->children.size());
}

int QJsonModel::columnCount(const QModelIndex&) const
{
    return 2;
}

QVariant QJsonModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return QVariant();
    }
    const Item* item = itemAt(index);
    return index.column() == 0 ? item->key : item->value;
}

QVariant QJsonModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QVariant();
    }
    switch (section) {
    case 0:
        return tr("key");
    case 1:
        return tr("value");
    default:
        return QVariant();
    }
}
