// The nine node commands of the Editor on the attribute tree alone, so that their
// rules are testable without a window and batch operations can reuse them. The
// Editor turns the outcome into a beep, a selection, a re-evaluation and perhaps
// a label edit.
#pragma once

#include "engine/tree.h"

namespace lorvane {

enum class NodeCommand { Edit, Delete, InsertBefore, InsertAfter, InsertChild, MoveUp, MoveDown, Promote, Demote };

struct NodeCommandSettings {
    int showTreeLevels = 4;  // ParseShowTreeLevels, for a tree created by an insertion
    int moveMode = 1;        // EditMoveNodeUpDownMode: 0 stays among siblings, else moves on to cousins
    bool autoEdit = true;    // EditAddNodeAutoEdit is 1
};

struct NodeCommandOutcome {
    bool refused = false;    // beep, nothing changed
    bool treeChanged = false;
    int finishOn = 0;        // node to select before the re-evaluation; 0 keeps the selection
    bool editLabel = false;  // start label editing on finishOn (or on the selection for Edit)
};

// Works on the tree's selected node.
NodeCommandOutcome RunNodeCommand(AttributeTree& tree, NodeCommand command, const NodeCommandSettings& settings);

// Index that `node` has once `removed` and its descendants are gone (0 when it is one of them).
int IndexAfterRemoval(const AttributeTree& tree, int removed, int node);

}  // namespace lorvane
