#include "engine/semantics_run.h"

namespace lorvane::semantics {

void HeldNodes::mergeInto(AttributeTree& tree, int node, int heir) {
    tree.mergeInto(node, heir);
    for (std::size_t i = 0; i < count_; ++i) {
        int& ref = *at(i);
        ref = tree.renumbered(ref == node ? heir : ref);
    }
}

}  // namespace lorvane::semantics
