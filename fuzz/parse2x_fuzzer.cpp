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
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    const EngineContext ctx{s, d, so, nullptr};

    static AttributeTree tree, again;
    std::string_view code, formatName;
    Result r;
    ParseFilename(name, tree, ctx, code, formatName, r);
    fuzz::checkParse(name, tree, r);
    if (!r.good()) return 0;

    const std::string before = fuzz::roundTripShape(tree);
    std::string built;
    Result br;
    BuildFilename(built, tree, code, ctx, formatName, br);
    fuzz::checkBuild(tree, br, built);
    if (br.failed() || before.empty()) return 0;
    // A parse sets Tag = Text, so the rebuilt name must read back to the same tree.
    s.Parse2xStrictMode = 1;
    Result r2;
    ParseFilename(built, again, ctx, code, formatName, r2);
    fuzz::require(r2.good(), "a built name parses", built);
    fuzz::require(fuzz::shape(again) == before, "build then parse gives the same tree", built);
    return 0;
}
