// The calling order over names nested thousands of levels deep, under a raised length
// limit: a unit of up to eight bytes repeated up to 2040 times, then the rest of the
// input (the end delimiters, say). Every layer must stop at the nesting limit, not
// at the end of the stack.
#include <vector>

#include "invariants.h"

using namespace lorvane;

namespace {

// The deepest node below the root, counted in tree levels. Parents are created before
// their children, so one pass in Index order gives every depth.
int deepest(const AttributeTree& tree) {
    static std::vector<int> depth;
    depth.assign(static_cast<std::size_t>(tree.count()) + 1, 0);
    int most = 0;
    for (int i = 1; i <= tree.count(); ++i) {
        const int p = tree[i].parent;
        depth[static_cast<std::size_t>(i)] = p ? depth[static_cast<std::size_t>(p)] + 1 : 0;
        if (depth[static_cast<std::size_t>(i)] > most) most = depth[static_cast<std::size_t>(i)];
    }
    return most;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t a = in.byte();
    const std::size_t unitLength = in.byte() % 8 + 1, repeat = in.byte() * 8u;
    GlobalSettings s;
    s.Parse2xStrictMode = a % 3;
    s.ParseMode = (a >> 2) & 1 ? "2.x" : "(Auto)";
    s.BuildMode = (a >> 3) & 1 ? "2.x" : "(Auto)";
    s.SemanticsAttributeReorder = (a >> 4) % 3;
    const bool editMode = (a >> 6) & 1;
    s.ParseLengthMaximum = s.BuildLengthMaximum = 10000000;
    const std::string_view unit = in.take(unitLength);
    static std::string name;
    name.clear();
    for (std::size_t i = 0; i < repeat; ++i) name += unit;
    name += in.rest();
    NamePipeline p(s, editMode);
    if (!fuzz::parsed(p, name)) return 0;
    fuzz::require(deepest(p.tree()) <= 2 * kAttributeLevelsMaximum, "a good parse stays within the nesting limit");
    if (!fuzz::built(p) || p.formatCode() != format::Code2x) return 0;
    s.ParseMode = "2.x";
    s.Parse2xStrictMode = 0;
    const std::string built = p.builtName();
    p.Parse(built);
    fuzz::require(p.parseResult().message != kNestedTooDeeply, "a built name is not nested too deeply", built);
    return 0;
}
