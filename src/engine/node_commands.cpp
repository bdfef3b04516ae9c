#include "engine/node_commands.h"

namespace lorvane {

namespace {

bool isFirst(const AttributeTree& t, int n) { return t[n].isRoot() || t.firstSibling(n) == n; }
bool isLast(const AttributeTree& t, int n) { return t[n].isRoot() || t.lastSibling(n) == n; }

bool inSubtree(const AttributeTree& t, int top, int node) {
    for (int p = node; p; p = t[p].parent)
        if (p == top) return true;
    return false;
}

NodeCommandOutcome refused() { return {true, false, 0, false}; }
NodeCommandOutcome changed(int finishOn, bool editLabel = false) { return {false, true, finishOn, editLabel}; }

// Moves are a copy followed by the removal of the original; the copy was appended,
// so its Index shifts down by the size of the removed subtree.
NodeCommandOutcome moveTo(AttributeTree& t, int node, int relative, Relation relation) {
    const int copy = CopySubtree(t, node, relative, relation);
    const int finish = IndexAfterRemoval(t, node, copy);
    t.remove(node);
    return changed(finish);
}

// The empty tree's answer to every insertion: a root and nothing more.
NodeCommandOutcome initialize(AttributeTree& t, const NodeCommandSettings& s) {
    InitializeTree(t, s.showTreeLevels);
    return changed(0);
}

NodeCommandOutcome insertSibling(AttributeTree& t, int n, Relation relation, const NodeCommandSettings& s) {
    if (t.empty()) return initialize(t, s);
    if (t[n].isRoot()) return refused();
    const int img = t[n].isAttribute() ? image::AttributeGood : image::ValueGood;
    return changed(t.add(n, relation, "", img), s.autoEdit);
}

NodeCommandOutcome insertChild(AttributeTree& t, int n, const NodeCommandSettings& s) {
    if (t.empty()) return initialize(t, s);
    const int img = t[n].isAttribute() ? image::ValueGood : image::AttributeGood;
    return changed(t.add(n, Relation::Child, "", img), s.autoEdit);
}

NodeCommandOutcome moveUp(AttributeTree& t, int n, const NodeCommandSettings& s) {
    if (t[n].isRoot()) return refused();
    if (!isFirst(t, n)) return moveTo(t, n, t[n].previous, Relation::Previous);
    const int parent = t[n].parent;
    if (s.moveMode == 0 || isFirst(t, parent)) return refused();
    const int p = t[parent].previous;
    return t[p].child ? moveTo(t, n, t[p].lastChild, Relation::Next) : moveTo(t, n, p, Relation::Child);
}

NodeCommandOutcome moveDown(AttributeTree& t, int n, const NodeCommandSettings& s) {
    if (t[n].isRoot()) return refused();
    if (!isLast(t, n)) return moveTo(t, n, t[n].next, Relation::Next);
    const int parent = t[n].parent;
    if (s.moveMode == 0 || isLast(t, parent)) return refused();
    const int q = t[parent].next;
    return t[q].child ? moveTo(t, n, t[q].child, Relation::Previous) : moveTo(t, n, q, Relation::Child);
}

NodeCommandOutcome promote(AttributeTree& t, int n) {
    if (t[n].isRoot()) return refused();
    const int parent = t[n].parent;
    if (t[parent].isRoot()) return refused();
    const int grandparent = t[parent].parent;
    if (t[grandparent].isRoot()) return refused();
    return moveTo(t, n, grandparent, Relation::Previous);
}

NodeCommandOutcome demote(AttributeTree& t, int n) {
    if (t[n].isRoot() || isLast(t, n)) return refused();
    const int next = t[n].next;
    if (!t[next].child) return refused();
    const int c = t[next].child;
    return t[c].child ? moveTo(t, n, t[c].child, Relation::Previous) : moveTo(t, n, c, Relation::Child);
}

}  // namespace

int IndexAfterRemoval(const AttributeTree& tree, int removed, int node) {
    if (inSubtree(tree, removed, node)) return 0;
    int before = 0;
    for (int i = 1; i < node; ++i)
        if (inSubtree(tree, removed, i)) ++before;
    return node - before;
}

NodeCommandOutcome RunNodeCommand(AttributeTree& tree, NodeCommand command, const NodeCommandSettings& settings) {
    const int n = tree.selected();
    const bool insertion = command == NodeCommand::InsertBefore || command == NodeCommand::InsertAfter ||
                           command == NodeCommand::InsertChild;
    if (tree.empty()) {
        if (insertion) return initialize(tree, settings);
        return refused();
    }
    // Nothing selected in a non-empty tree: there is nothing to act on.
    if (n < 1 || n > tree.count()) return refused();

    switch (command) {
        case NodeCommand::Edit: return {false, false, n, true};
        case NodeCommand::Delete: {
            // The selection moves to a neighbour, as the user expects of a deleted row.
            int neighbour = tree[n].next ? tree[n].next : tree[n].previous ? tree[n].previous : tree[n].parent;
            neighbour = neighbour ? IndexAfterRemoval(tree, n, neighbour) : 0;
            tree.remove(n);
            tree.select(neighbour);
            return changed(neighbour);
        }
        case NodeCommand::InsertBefore: return insertSibling(tree, n, Relation::Previous, settings);
        case NodeCommand::InsertAfter: return insertSibling(tree, n, Relation::Next, settings);
        case NodeCommand::InsertChild: return insertChild(tree, n, settings);
        case NodeCommand::MoveUp: return moveUp(tree, n, settings);
        case NodeCommand::MoveDown: return moveDown(tree, n, settings);
        case NodeCommand::Promote: return promote(tree, n);
        case NodeCommand::Demote: return demote(tree, n);
    }
    return refused();
}

}  // namespace lorvane
