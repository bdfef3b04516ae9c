// A Qt item model over the engine's attribute tree. The tree stays the one truth:
// the model only reads it, and the Editor resets the model after every change
// (node Indexes are renumbered by removals, so item identities cannot be kept).
// A label edited in the view is not written by the model; it is handed to the
// Editor, which applies it by its own rules.
#pragma once

#include <QAbstractItemModel>

#include "engine/tree.h"

namespace lorvane {

class AttributeTreeModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit AttributeTreeModel(AttributeTree& tree, QObject* parent = nullptr);

    // The tree changed in any way: views are told to forget everything they hold.
    void reload();
    // Node Index <-> model index (0 and the invalid index stand for "no node").
    QModelIndex indexOfNode(int node) const;
    static int nodeOf(const QModelIndex& index);
    // The picture of a node changed (its expansion state).
    void nodeChanged(int node);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user finished editing a label (emitted later, from the event loop, so that
    // the Editor can rebuild the tree once the view has closed its editor).
    void labelEdited(int node, const QString& text);

private:
    int rowOf(int node) const;
    int childAt(int parent, int row) const;

    AttributeTree& tree_;
};

}  // namespace lorvane
