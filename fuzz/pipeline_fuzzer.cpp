// The whole calling order (parse, semantics, build) under random settings.
#include "invariants.h"

using namespace lorvane;

namespace {
class QuietSink : public MessageSink {
public:
    void showError(std::string_view, std::string_view) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    GlobalSettings s;
    const std::uint8_t a = in.byte(), b = in.byte(), c = in.byte();
    s.Parse2xDelimiterStart = s.Build2xDelimiterStart = in.delimiter();
    s.Parse2xDelimiterEnd = s.Build2xDelimiterEnd = in.delimiter();
    s.Parse2xDelimiterLabel = s.Build2xDelimiterLabel = in.delimiter();
    s.Parse2xDelimiterValue = s.Build2xDelimiterValue = in.delimiter();
    s.Parse2xStrictMode = a % 3;
    static const char* parseModes[] = {"(Auto)", "1.x", "2.x", "Batch"};
    static const char* buildModes[] = {"(Auto)", "1.x", "2.x"};
    s.ParseMode = parseModes[(a >> 2) % 4];
    s.BuildMode = buildModes[(a >> 4) % 3];
    s.SemanticsAttributeReorder = b % 3;
    s.SemanticsAttributeTranslateParse = (b >> 2) % 4;
    s.SemanticsAttributeTranslateBuild = (b >> 4) % 4;
    s.SemanticsValueReorder = (b >> 6) & 1;
    const bool editMode = (b >> 7) & 1;
    const std::string_view name = in.rest();
    QuietSink sink;
    NamePipeline p(s, editMode, &sink);
    if (!fuzz::parsed(p, name)) return 0;
    if (c & 1) {
        // Texts as the Editor may leave them: blanks before or after, which the parser
        // never leaves, so that duplicates differ in their untrimmed texts.
        AttributeTree& tree = p.tree();
        for (int i = 2; i <= tree.count(); ++i) {
            const unsigned k = ((static_cast<unsigned>(c) >> 1) * 2654435761u) ^ static_cast<unsigned>(i * 40503);
            if (k % 5 == 0) tree[i].text.insert(0, " ");
            else if (k % 5 == 1) tree[i].text += ' ';
        }
    }
    fuzz::built(p);
    return 0;
}
