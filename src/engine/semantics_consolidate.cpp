// Merging duplicate siblings: attributes of one name, values of one text.
#include "engine/semantics_run.h"
#include "engine/utf8.h"

namespace lorvane::semantics {

std::string duplicateKey(std::string_view text) { return utf8::upper(utf8::trimSpaces(text)); }

void mergeDuplicatesInto(Run& run, int& node) {
    AttributeTree& tree = run.tree;
    auto hn = run.held.hold({&node});
    const std::string key = duplicateKey(tree[node].text);
    int b = tree[node].next;
    while (b) {
        if (duplicateKey(tree[b].text) != key) {
            b = tree[b].next;
            continue;
        }
        int after = tree[b].next;
        auto hb = run.held.hold({&b, &after});
        // The duplicate's children go, in their order, after the node's own.
        while (tree[b].child) run.held.moveUnder(tree, tree[b].child, node);
        run.held.removeInto(tree, b, node);
        b = after;
    }
}

void consolidatePass(Run& run, int parent) {
    AttributeTree& tree = run.tree;
    auto hp = run.held.hold({&parent});
    const bool merge = run.opt(sem_opt::AttributeConsolidate) == 1;
    const bool preferred = run.opt(sem_opt::AttributeReorder) == 2;
    for (int a = tree[parent].child; a; a = tree[a].next) {
        auto ha = run.held.hold({&a});
        // The order prefixes are still on, so names merge exactly when their displayed forms agree.
        if (merge) mergeDuplicatesInto(run, a);
        if (preferred) tree[a].text.erase(0, 4);
    }
}

}  // namespace lorvane::semantics
