// Parse2x through the dispatch in every strictness, then the round trip:
// a Good parse built and parsed again gives the same tree.
#include "invariants.h"

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    GlobalSettings s;
    s.ParseMode = "2.x";
    s.BuildMode = "2.x";
    s.Parse2xStrictMode = flags % 3;
    s.Parse2xAllowLabelDelimiters = s.Build2xAllowLabelDelimiters = (flags >> 2) & 1;
    s.ParseAllowIllegal = s.BuildAllowIllegal = (flags >> 3) & 1;
    s.ParseLengthMaximum = s.BuildLengthMaximum = 100000;
    const std::string_view name = in.rest();
    NamePipeline p(s);
    p.SetSemantics(false);
    if (!fuzz::parsed(p, name)) return 0;
    const std::string before = fuzz::roundTripShape(p.tree());
    if (!fuzz::built(p) || before.empty()) return 0;
    // A parse sets Tag = Text, so the rebuilt name must read back to the same tree.
    s.Parse2xStrictMode = 1;
    const std::string built = p.builtName();
    p.Parse(built);
    fuzz::require(p.parseResult().good(), "a built name parses", built);
    fuzz::require(fuzz::shape(p.tree()) == before, "build then parse gives the same tree", built);
    return 0;
}
