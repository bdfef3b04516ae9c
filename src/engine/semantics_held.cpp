#include <algorithm>

#include "engine/semantics_run.h"

namespace lorvane::semantics {

void HeldNodes::renumber(const AttributeTree& tree) {
    // One variable may be held twice (a pass and the one it calls both hold the node they
    // work on), and must move once: moved ones are marked negative until all are done.
    for (std::size_t i = 0; i < count_; ++i) {
        int& ref = *at(i);
        if (ref >= 0) ref = -1 - tree.survivor(ref);
    }
    for (std::size_t i = 0; i < count_; ++i) {
        int& ref = *at(i);
        if (ref < 0) ref = -1 - ref;
    }
}

void EntryCache::renumber(const AttributeTree& tree, int oldCount) {
    scratch_.assign(slots_.size(), nullptr);
    const auto known = std::min(static_cast<std::size_t>(oldCount) + 1, slots_.size());
    for (std::size_t i = 1; i < known; ++i)
        if (const int now = tree.renumbered(static_cast<int>(i))) scratch_[static_cast<std::size_t>(now)] = slots_[i];
    slots_.swap(scratch_);
}

}  // namespace lorvane::semantics
