#include <gtest/gtest.h>

#include <tuple>
#include <string>
#include <vector>

#include "engine/semantics.h"
#include "engine/semantics_run.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::findingOn;
using testing::treeText;

// Semantic settings as "AttributeReorder=1 ValueReorder=1"; Quiet switches every check
// off, so that a row sees only what it switches on.
GlobalSettings semanticsWith(std::string_view overrides) {
    std::string full;
    for (const std::string_view item : testing::words(overrides))
        full += item == "Quiet" ? "SemanticsAttributeValidateName=0 SemanticsAttributeValidateContext=0 "
                                  "SemanticsAttributeValidateStructure=0 SemanticsValueValidateFormat=0 "
                                : "Semantics" + std::string(item) + " ";
    return testing::settingsWith(full);
}

// The root's attributes before and after (nullptr: not a concern of the row), the finding
// on its node (likewise), semantic settings without "Semantics" in their keys, the
// top-level Tags afterwards where the row is about them, and edit mode.
struct Row {
    std::string in;
    const char *out, *finding, *overrides = "", *tags = nullptr;
    bool editMode = false;
};

// Applies the layer to each row's tree; a row states what it is about: the tree
// afterwards, the finding (on its node, which shows it), the top-level Tags.
void check(const std::vector<Row>& rows) {
    for (const Row& c : rows) {
        SCOPED_TRACE(c.in);
        const GlobalSettings s = semanticsWith(c.overrides);
        AttributeTree tree;
        if (!c.in.empty()) testing::buildAttributes(tree, c.in);
        Result r;
        ApplySemantics(tree, r, MakeSemanticOptions(s, c.editMode), MakeDateOptions(s));
        if (c.out) EXPECT_EQ(testing::attributesText(tree), c.out);
        EXPECT_TRUE(tree.empty() || tree.wellShaped());
        if (c.finding) EXPECT_EQ(findingOn(tree, r), c.finding);
        if (r.nodeIndex) EXPECT_EQ(statusOfImage(tree[r.nodeIndex].image), r.status) << "the node shows it";
        EXPECT_EQ(r.good() ? testing::notGood(tree) : "", "");
        if (c.tags) {
            std::string tags;
            for (int a = tree[tree.root()].child; a; a = tree[a].next) tags += (tags.empty() ? "" : " ") + tree[a].tag;
            EXPECT_EQ(tags, c.tags);
        }
    }
}

TEST(ApplySemantics, TranslatesOrdersMergesAndReports) {
    std::string keywords = "DT(2005),Keywords(k";
    for (int i = 0; i < 9999; ++i) keywords += ",k";
    keywords += ")";
    check({
        // Names are translated for display (Text) and for writing (Tag), and each level ordered.
        {"Comment(x),DT(2005),Subject(y)", "Captured Date(2005),Subject(y),Comment(x)", "Good", "", "DT SU CO"},
        {"seq#(5)", "seq#(005)", nullptr, "AttributeTranslateParse=0 AttributeTranslateBuild=0", "seq#"},
        {"seq#(5)", "SN(005)", nullptr, "AttributeTranslateParse=1 AttributeTranslateBuild=3", "Sequence Number"},
        {"captured date(2005)", "Date(2005)", nullptr, "AttributeTranslateParse=2 AttributeTranslateBuild=1", "DT"},
        {"Zeta(1),Extension(JPG),DT(2005),alpha(2)", "Zeta(1),Extension(JPG),Captured Date(2005),alpha(2)", nullptr,
         "AttributeReorder=0"},
        // Alphabetical by displayed name in upper case, compared byte by byte: a prefix first, accents after Z.
        {"Zeta(1),\xC3\xA9t\xC3\xA9(4),Extension(JPG),DT(2005),Alpha(2),alph(3)",
         "alph(3),Alpha(2),Captured Date(2005),Extension(JPG),Zeta(1),\xC3\xA9t\xC3\xA9(4)", nullptr,
         "AttributeReorder=1"},
        // Preferred: dictionary order, then unrecognised names by name, then the extension; at every level.
        {"Extension(JPG),Photographer(Ann),Comment(x),Abc(q),DT(2005),Place(p)",
         "Captured Date(2005),Place(p),Comment(x),Abc(q),Photographer(Ann),Extension(JPG)", nullptr},
        {"DT(2005),Subject(Cid,ann,Ben)", "Captured Date(2005),Subject(ann,Ben,Cid)", "Good", "ValueReorder=1"},
        // Consolidation: duplicates join the first of their name, values after their values.
        {"DT(2005),Subject(Beach),Subject(Sea)", "Captured Date(2005),Subject(Beach,Sea)", "Good"},
        // In preferred order a name is compared as shown after its place in the order,
        // so a blank before it counts and one after it does not.
        {"DT(2005),Zed(a), Zed(b),Zed (c)", "Captured Date(2005), Zed(b),Zed(a,c)", nullptr, "Quiet"},
        {"DT(2005),Subject(a),SU(b),SUBJECT(c)", "DT(2005),SU(b),Subject(a,c)", nullptr,
         "Quiet AttributeTranslateParse=0"},
        {"DT(2005),Subject(Beach),Subject(Sea)", "Captured Date(2005),Subject(Beach),Subject(Sea)", nullptr,
         "AttributeConsolidate=0"},
        {"DT(2005),Subject(Ann(Position(left)),Ben,ann (Activity(run)),ANN)",
         "Captured Date(2005),Subject(Ann(Position(left),Activity(run)),Ben)", "Good"},
        {"DT(2005),Subject(Ann,ann)", "Captured Date(2005),Subject(Ann,ann)", "Good", "ValueConsolidate=0"},
        {"DT(2005),Device(Cam(Flash(on)),Cam(Flash(off)))", "Captured Date(2005),Device(Cam(Flash(on,off)))",
         "Warn Flash @0+0 Flash attribute should not have more than 1 value"},
        // Heirs that come after their duplicates in Index order: sorted values, and values merged in.
        {"DT(2005),Subject(b ,a,b(Posn(x)),c)", "Captured Date(2005),Subject(a,b(Position(x)),c)", nullptr,
         "Quiet ValueReorder=1"},
        // Names with blanks are not recognised; values are compared trimmed, sorted as they stand.
        {"DT(1994),keyw(Autumn light ,Sister,Autumn light( Posn(Canon))),Keyw(ben),Keyw (kids),"
         "Comm(Harbour, Harbour,ann),Crtr(kids(Posn(Grandma)),Ben)",
         "Captured Date(1994),Creator(Ben,kids(Position(Grandma))),Keywords(Autumn light( Posn(Canon)),ben,Sister),"
         "Comment( Harbour,ann),Keyw (kids)",
         nullptr, "Quiet ValueReorder=1"},
        // Each finding on its node; the first of the worst severity fills the result.
        {"DT(2005),Photographer(Ann)", nullptr, "Warn Photographer @1+12 Unrecognized attribute name"},
        {"DT(2005),Gr\xC3\xB6\xC3\x9Fx(1)", nullptr, "Fail Gr\xC3\xB6\xC3\x9Fx @1+5 Unrecognized attribute name",
         "AttributeValidateName=2"},
        {"DT(2005),Zed(a(Comment(c)))", nullptr, "Fail Comment @0+0 Invalid attribute context",
         "AttributeValidateName=0 AttributeValidateContext=2"},
        {"DT(2005),Title(a,b)", nullptr, "Fail Title @0+0 Title attribute may not have more than 1 value",
         "AttributeValidateStructure=2"},
        {"DT(2005),Subject", nullptr, "Fail Subject @0+0 Subject attribute must have at least 1 value",
         "AttributeValidateStructure=2"},
        {keywords, nullptr, "Warn Keywords @0+0 Keywords attribute should not have more than 9999 values",
         "ValueConsolidate=0 ValueValidateFormat=0"},
        {"Caption(c(DT(2005)))", nullptr, "Warn Filename @0+0 There should be a top-level Captured Date attribute"},
        {"DT(2005),Date(2006),dt(2007)", nullptr,
         "Warn Filename @0+0 There should only be one top-level Captured Date attribute", "AttributeConsolidate=0"},
        {"Subject(a),Captured Date(2005)", nullptr, "Good", "AttributeReorder=0"},
        {"DT(2005),Photographer(Ann),Title(a,b)", nullptr,
         "Fail Title @0+0 Title attribute may not have more than 1 value", "AttributeValidateStructure=2"},
        // Merging renumbers the tree: the finding follows its node, and a merged name's passes to its heir.
        {"Subject(y),DT(2005),SU(x),Zed(q)", nullptr, "Warn Zed @1+3 Unrecognized attribute name"},
        {"DT(2005),Zed (a),Zed(b)", "Captured Date(2005),Zed(b,a)", "Warn Zed @1+3 Unrecognized attribute name"},
        // Allowed contexts, and switches that are off, give no finding and only Good marks.
        {"DT(2005),Subject(Ann(Position(left),Activity(run))),Caption(c(Creator(me),DT(2006)))", nullptr, "Good"},
        {"DT(2005),Photographer(Ann)", nullptr, "Good", "AttributeValidateName=0"},
        {"DT(2005),Position(left)", nullptr, "Good", "AttributeValidateContext=0"},
        {"DT(2005),Title(a,b),Subject", nullptr, "Good", "AttributeValidateStructure=0"},
        {"DT(2005),Quality(150)", nullptr, "Good", "ValueValidateFormat=0"},
        // Edit mode: names still translated and values checked and rewritten, but nothing moves or merges.
        {"Comment(x),SU(b,a,b),Subject(c),Photographer(p),DT(2005),Quality(50)",
         "Comment(x),Subject(b,a,b),Subject(c),Photographer(p),Captured Date(2005),Quality(050)",
         "Warn Photographer @1+12 Unrecognized attribute name", "ValueReorder=1", "CO SU SU Photographer DT QU", true},
        {"Photographer(p),Quality(150),Subject(a),Subject(a)", "Photographer(p),Quality(150),Subject(a),Subject(a)",
         "Good", "AttributeEnable=0 ValueEnable=0"},
        {"Quality(50),DT(2005),Subject(a,a),Title(a,b),Zed(5)", "Quality(050),DT(2005),Subject(a),Title(a,b),Zed(5)",
         "Good", "AttributeEnable=0", "Quality DT Subject Title Zed"},
        {"", "", "Good"},
    });
}

// The layer adds to the result it is given and clears only the marks of what it
// finds Good; an earlier finding on a duplicate passes to the attribute it joins.
TEST(ApplySemantics, FoldsIntoTheResultAndTheMarksItIsGiven) {
    const std::tuple<const char*, int, Status, const char*, const char*, const char*> rows[] = {
        {"DT(2005),Quality(50),Zed(q)", 2, Status::Fail, "Captured Date(2005),Quality(050),Zed(q)", "3 4 10 4 10 8 12",
         "Fail Captured Date @1+1 earlier"},
        {"DT(2005),Subject(a),Place(p),Subject(b)", 8, Status::Warn, "Captured Date(2005),Subject(a,b),Place(p)",
         "1 4 10 4 10 4 10 10", "Warn Subject @1+1 earlier"},
    };
    for (const auto& [in, earlierNode, earlier, out, marks, finding] : rows) {
        const GlobalSettings s;
        AttributeTree tree;
        testing::buildAttributes(tree, in);
        Result r;
        if (earlier == Status::Fail)
            for (int i = 1; i <= tree.count(); ++i) ReportNodeStatus(Status::Fail, "stale", tree, i, 0, 0, r);
        r.reset();
        ReportNodeStatus(earlier, "earlier", tree, earlierNode, 1, 1, r);
        ApplySemantics(tree, r, MakeSemanticOptions(s, false), MakeDateOptions(s));
        EXPECT_EQ(testing::attributesText(tree) + " " + testing::treeMarks(tree) + " " + findingOn(tree, r),
                  std::string(out) + " " + marks + " " + finding);
    }
}

TEST(SameDuplicateKey, TrimmedAndUpperCasedTextsAgree) {
    // "a|b|same": blanks around and case do not count; a letter anywhere, or one more, does.
    for (const char* row : {"Ann|ANN|1", " ann  |Ann|1", "Ann|Anx|0", "Bnn|Ann|0", "Ann|Anna|0", "|  |1", "|a|0",
                            "\xC3\xA9|\xC3\x89|1", "a\xC3\xA9|a\xC3\xA8|0", "Gr\xC3\xB6\xC3\x9Fx|GR\xC3\x96\xC3\x9FX|1",
                            "x\xC4\xB1|XI|1",  // dotless i upper-cases to I: byte lengths differ
                            "\xC3" "A|\xC3" "A|1"}) {  // broken text: the same bytes still agree
        const auto w = std::string_view(row);
        const auto bar = w.find('|'), last = w.rfind('|');
        const auto a = w.substr(0, bar), b = w.substr(bar + 1, last - bar - 1);
        EXPECT_EQ(semantics::sameDuplicateKey(a, b), w.back() == '1') << row;
        EXPECT_EQ(semantics::sameDuplicateKey(b, a), w.back() == '1') << row;
    }
}

}  // namespace
}  // namespace lorvane
