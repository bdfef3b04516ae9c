#include "invariants.h"

using namespace lorvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    GlobalSettings s;
    s.ParseMode = "Batch";
    s.ParseAllowIllegal = in.byte() & 1;
    const std::string_view name = in.rest();
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    static AttributeTree tree;
    std::string_view code, formatName;
    Result r;
    ParseFilename(name, tree, {s, d, so, nullptr}, code, formatName, r);
    fuzz::checkParse(name, tree, r);
    return 0;
}
