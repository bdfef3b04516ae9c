// Parse1x through the dispatch; a Good parse built twice gives the same name.
#include "invariants.h"

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t flags = in.byte();
    GlobalSettings s;
    s.ParseMode = "1.x";
    s.BuildMode = "1.x";
    s.ParseAllowIllegal = s.BuildAllowIllegal = flags & 1;
    s.Build1xSpaceBeforeSerial = (flags >> 1) & 1;
    s.Build1xSpaceBeforeTopic = (flags >> 2) & 1;
    if (flags & 8) s.Parse1xDelimiterTopic = s.Build1xDelimiterTopic = "_";
    const std::string_view name = in.rest();
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    const EngineContext ctx{s, d, so, nullptr};

    static AttributeTree tree;
    std::string_view code, formatName;
    Result r;
    ParseFilename(name, tree, ctx, code, formatName, r);
    fuzz::checkParse(name, tree, r);
    if (!r.good()) return 0;
    std::string first;
    Result br;
    BuildFilename(first, tree, code, ctx, formatName, br);
    fuzz::checkBuild(tree, br, first);
    if (br.failed()) return 0;
    // The built name is in normal form: parsing and building it changes nothing.
    ParseFilename(first, tree, ctx, code, formatName, r);
    fuzz::require(r.good(), "a built 1.x name parses", first);
    std::string second;
    Result br2;
    BuildFilename(second, tree, code, ctx, formatName, br2);
    fuzz::require(second == first, "building is idempotent", first + " -> " + second);
    return 0;
}
