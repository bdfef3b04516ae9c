#include "editor/attribute_tree_model.h"

#include "editor/node_pictures.h"

namespace lorvane {

AttributeTreeModel::AttributeTreeModel(AttributeTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {}

void AttributeTreeModel::reload() {
    beginResetModel();
    endResetModel();
}

int AttributeTreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<int>(index.internalId()) : 0;
}

int AttributeTreeModel::rowOf(int node) const {
    int row = 0;
    for (int p = tree_[node].previous; p; p = tree_[p].previous) ++row;
    return row;
}

int AttributeTreeModel::childAt(int parent, int row) const {
    int c = parent ? tree_[parent].child : tree_.root();
    for (; c && row > 0; --row) c = tree_[c].next;
    return c;
}

QModelIndex AttributeTreeModel::indexOfNode(int node) const {
    if (node < 1 || node > tree_.count()) return {};
    return createIndex(rowOf(node), 0, static_cast<quintptr>(node));
}

void AttributeTreeModel::nodeChanged(int node) {
    const QModelIndex i = indexOfNode(node);
    if (i.isValid()) emit dataChanged(i, i, {Qt::DecorationRole});
}

QModelIndex AttributeTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const int p = nodeOf(parent);
    if (parent.isValid() && (p < 1 || p > tree_.count())) return {};
    const int c = childAt(p, row);
    return c ? createIndex(row, 0, static_cast<quintptr>(c)) : QModelIndex();
}

QModelIndex AttributeTreeModel::parent(const QModelIndex& child) const {
    const int n = nodeOf(child);
    if (n < 1 || n > tree_.count()) return {};
    return indexOfNode(tree_[n].parent);
}

int AttributeTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const int p = nodeOf(parent);
    if (!parent.isValid()) {
        int n = 0;
        for (int c = tree_.root(); c; c = tree_[c].next) ++n;
        return n;
    }
    return p >= 1 && p <= tree_.count() ? tree_[p].children : 0;
}

int AttributeTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant AttributeTreeModel::data(const QModelIndex& index, int role) const {
    const int n = nodeOf(index);
    if (n < 1 || n > tree_.count()) return {};
    const Node& node = tree_[n];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return QString::fromStdString(node.text);
        case Qt::DecorationRole:
            return NodePicture(node.expanded && node.expandedImage ? node.expandedImage : node.image);
        case Qt::ToolTipRole:
            if (node.isAttribute() && !node.tag.empty() && node.tag != node.text)
                return QString::fromStdString(node.tag);
            return {};
        default: return {};
    }
}

bool AttributeTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int n = nodeOf(index);
    if (role != Qt::EditRole || n < 1 || n > tree_.count()) return false;
    const QString text = value.toString();
    QMetaObject::invokeMethod(this, [this, n, text] { emit labelEdited(n, text); }, Qt::QueuedConnection);
    return false;
}

Qt::ItemFlags AttributeTreeModel::flags(const QModelIndex& index) const {
    const int n = nodeOf(index);
    if (n < 1 || n > tree_.count()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The root's label is fixed.
    if (!tree_[n].isRoot()) f |= Qt::ItemIsEditable;
    return f;
}

}  // namespace lorvane
