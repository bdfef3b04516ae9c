// Merging duplicate siblings: attributes of one name, values of one text.
#include "engine/semantics_run.h"
#include "engine/utf8.h"

namespace lorvane::semantics {

namespace {

std::string_view trimTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Texts equal once upper-cased.
bool sameUpperText(std::string_view a, std::string_view b) {
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

}  // namespace

bool sameDuplicateKey(std::string_view a, std::string_view b) {
    return sameUpperText(utf8::trimSpaces(a), utf8::trimSpaces(b));
}

void mergeDuplicateSiblings(Run& run, int first, const std::vector<std::int16_t>* ranks) {
    AttributeTree& tree = run.tree;
    auto same = [&](int a, int b) {
        if (!ranks) return sameDuplicateKey(tree[a].text, tree[b].text);
        return (*ranks)[static_cast<std::size_t>(a)] == (*ranks)[static_cast<std::size_t>(b)] &&
               sameUpperText(trimTrailingSpaces(tree[a].text), trimTrailingSpaces(tree[b].text));
    };
    for (int a = first; a; a = tree[a].next) {
        for (int b = tree[a].next; b;) {
            const int after = tree[b].next;
            // The duplicate's children go, in their order, after the node's own.
            if (same(a, b)) run.deferMerge(b, a);
            b = after;
        }
    }
}

void consolidatePass(Run& run, int parent) {
    if (run.opt(sem_opt::AttributeConsolidate) != 1) return;
    // In preferred order names merge exactly when their displayed forms agree, the
    // place in the order included.
    const bool preferred = run.opt(sem_opt::AttributeReorder) == 2;
    mergeDuplicateSiblings(run, run.tree[parent].child, preferred ? &run.rank() : nullptr);
}

}  // namespace lorvane::semantics
