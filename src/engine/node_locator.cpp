#include "engine/node_locator.h"

namespace lorvane {

NodeLocator::NodeLocator(const AttributeTree& tree, int node) : index_(node) {
    if (node < 1 || node > tree.count()) {
        index_ = 0;
        return;
    }
    kind_ = tree[node].kind();
    for (int n = node; n; n = tree[n].parent) path_.push_back(tree[n].text);
}

bool NodeLocator::samePath(const AttributeTree& tree, int node) const {
    std::size_t i = 0;
    for (int n = node; n; n = tree[n].parent, ++i)
        if (i == path_.size() || tree[n].text != path_[i]) return false;
    return i == path_.size();
}

int NodeLocator::find(const AttributeTree& tree) const {
    if (index_ == 0) return 0;
    const bool indexValid = index_ <= tree.count() && tree[index_].kind() == kind_;
    if (indexValid && samePath(tree, index_)) return index_;
    for (int n = 1; n <= tree.count(); ++n)
        if (tree[n].kind() == kind_ && samePath(tree, n)) return n;
    return indexValid ? index_ : 0;
}

}  // namespace lorvane
