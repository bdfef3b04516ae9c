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

void HeldNodes::mergeInto(AttributeTree& tree, int node, int heir) {
    tree.mergeInto(node, heir);
    for (std::size_t i = 0; i < count_; ++i) {
        int& ref = *at(i);
        ref = tree.renumbered(ref == node ? heir : ref);
    }
}

}  // namespace lorvane::semantics
