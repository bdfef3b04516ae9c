#include <algorithm>

#include "engine/semantics_run.h"

namespace lorvane::semantics {

namespace {

void preorder(const AttributeTree& tree, int node, std::vector<int>& out) {
    out.push_back(node);
    for (int c = tree[node].child; c; c = tree[c].next) preorder(tree, c, out);
}

}  // namespace

HeldNodes::Hold HeldNodes::hold(std::initializer_list<int*> refs) {
    const std::size_t mark = refs_.size();
    refs_.insert(refs_.end(), refs.begin(), refs.end());
    return Hold(*this, mark);
}

int HeldNodes::moveUnder(AttributeTree& tree, int node, int newParent) {
    int copy = CopySubtree(tree, node, newParent, Relation::Child);
    // The copy has the source's shape, so the two preorders pair node for node.
    std::vector<int> gone, heirs;
    preorder(tree, node, gone);
    preorder(tree, copy, heirs);
    auto hc = hold({&copy});
    removeMapped(tree, node, gone, heirs);
    return copy;
}

void HeldNodes::removeInto(AttributeTree& tree, int node, int heir) {
    removeMapped(tree, node, {node}, {heir});
}

void HeldNodes::removeMapped(AttributeTree& tree, int node, const std::vector<int>& gone,
                             const std::vector<int>& heirs) {
    sorted_.assign(gone.begin(), gone.end());
    std::sort(sorted_.begin(), sorted_.end());
    for (int* ref : refs_) {
        if (*ref == 0) continue;
        if (std::binary_search(sorted_.begin(), sorted_.end(), *ref)) {
            const auto at = std::find(gone.begin(), gone.end(), *ref) - gone.begin();
            *ref = heirs[static_cast<std::size_t>(at)];
        }
        *ref -= static_cast<int>(std::lower_bound(sorted_.begin(), sorted_.end(), *ref) - sorted_.begin());
    }
    tree.remove(node);
}

}  // namespace lorvane::semantics
