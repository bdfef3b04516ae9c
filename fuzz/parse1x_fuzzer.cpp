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
    NamePipeline p(s);
    p.SetSemantics(false);
    if (!fuzz::parsed(p, name) || !fuzz::built(p)) return 0;
    // The built name is in normal form: parsing and building it changes nothing.
    const std::string first = p.builtName();
    p.Evaluate(first);
    fuzz::require(p.parseResult().good(), "a built 1.x name parses", first);
    fuzz::require(p.builtName() == first, "building is idempotent", first + " -> " + p.builtName());
    return 0;
}
