// Merging duplicate siblings: attributes of one name, values of one text.
#include "engine/semantics_run.h"
#include "engine/utf8.h"

namespace lorvane::semantics {

bool sameDuplicateKey(std::string_view a, std::string_view b) {
    a = utf8::trimSpaces(a);
    b = utf8::trimSpaces(b);
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    // Many pairs differ in their first letter: an ASCII first byte is a whole character,
    // so two of them decide before the walk. (The same look at the last letters, with
    // the care broken text needs there, costs more than it saves.)
    const auto fa = static_cast<unsigned char>(a.front()), fb = static_cast<unsigned char>(b.front());
    if (fa < 0x80 && fb < 0x80 && utf8::asciiUpper(fa) != utf8::asciiUpper(fb)) return false;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            // Plain ASCII, the common case, folds without decoding.
            if (ca != cb && utf8::asciiUpper(ca) != utf8::asciiUpper(cb)) return false;
            ++i;
            ++j;
            continue;
        }
        const std::size_t la = utf8::sequenceLength(ca), lb = utf8::sequenceLength(cb);
        if (a.compare(i, la, b, j, lb) != 0 &&
            utf8::toUpper(utf8::firstCodePoint(a.substr(i, la))) != utf8::toUpper(utf8::firstCodePoint(b.substr(j, lb))))
            return false;
        i += la;
        j += lb;
    }
    return i == a.size() && j == b.size();
}

void mergeDuplicatesInto(Run& run, int& node) {
    AttributeTree& tree = run.tree;
    auto hn = run.held.hold({&node});
    int b = tree[node].next;
    while (b) {
        if (!sameDuplicateKey(tree[node].text, tree[b].text)) {
            b = tree[b].next;
            continue;
        }
        int after = tree[b].next;
        auto ha = run.held.hold({&after});
        // The duplicate's children go, in their order, after the node's own.
        run.mergeInto(b, node);
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
