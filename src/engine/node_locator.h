// Finds "the same node" again after a re-evaluation, which may renumber, move or
// rename nodes: by Index when that node still looks the same, else by its kind
// and the texts on its path from the root, else by Index when the kind matches.
#pragma once

#include <string>
#include <vector>

#include "engine/tree.h"

namespace lorvane {

class NodeLocator {
public:
    NodeLocator() = default;
    NodeLocator(const AttributeTree& tree, int node);

    // The node's Index in the tree as it is now, or 0 when it is gone.
    int find(const AttributeTree& tree) const;

private:
    bool samePath(const AttributeTree& tree, int node) const;

    int index_ = 0;
    NodeKind kind_ = NodeKind::Root;
    std::vector<std::string> path_;  // texts from the node up to the root
};

}  // namespace lorvane
