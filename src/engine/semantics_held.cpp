#include "engine/semantics_run.h"

namespace lorvane::semantics {

HeldNodes::Hold HeldNodes::hold(std::initializer_list<int*> refs) {
    const std::size_t mark = count_;
    for (int* ref : refs) {
        if (count_ >= kInPlace && count_ - kInPlace == spilled_.size()) spilled_.push_back(ref);
        else at(count_) = ref;
        ++count_;
    }
    return Hold(*this, mark);
}

void HeldNodes::renumber(const AttributeTree& tree) {
    for (std::size_t i = 0; i < count_; ++i) {
        int*& ref = at(i);
        *ref = tree.renumbered(*ref);
    }
}

int HeldNodes::moveUnder(AttributeTree& tree, int node, int newParent) {
    const int moved = tree.moveToLastChild(node, newParent);
    renumber(tree);
    return moved;
}

void HeldNodes::removeInto(AttributeTree& tree, int node, int heir) {
    for (std::size_t i = 0; i < count_; ++i)
        if (*at(i) == node) *at(i) = heir;
    tree.remove(node);
    renumber(tree);
}

}  // namespace lorvane::semantics
