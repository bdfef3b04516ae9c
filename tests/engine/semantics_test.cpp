#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "engine/dispatch.h"
#include "engine/semantics.h"
#include "engine/semantics_run.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::treeText;

// One run of the layer over a tree written in the compact form.
struct Semantics {
    GlobalSettings settings;
    bool editMode = false;
    AttributeTree tree;
    Result result;

    Result& apply(std::string_view shape) {
        buildTree(tree, shape);
        return applyAgain();
    }
    Result& applyAgain() {
        result.reset();
        ApplySemantics(tree, result, MakeSemanticOptions(settings, editMode), MakeDateOptions(settings));
        return result;
    }
    // Tags of the root's children, space separated.
    std::string topTags() const {
        std::string out;
        for (int a = tree[tree.root()].child; a; a = tree[a].next) out += (out.empty() ? "" : " ") + tree[a].tag;
        return out;
    }
    int find(std::string_view text) const {
        for (int i = 1; i <= tree.count(); ++i)
            if (tree[i].text == text) return i;
        return 0;
    }
};

void quiet(GlobalSettings& s) {  // no checks, so a case sees only what it switches on
    s.SemanticsAttributeValidateName = s.SemanticsAttributeValidateContext = 0;
    s.SemanticsAttributeValidateStructure = s.SemanticsValueValidateFormat = 0;
}

TEST(ApplySemantics, DefaultsTranslateAndOrderTheTopLevel) {
    Semantics s;
    Result& r = s.apply("Filename(Comment(x),DT(2005),Subject(y))");
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005),Subject(y),Comment(x))");
    EXPECT_EQ(s.topTags(), "DT SU CO");
    EXPECT_EQ(r.status, Status::Good) << r.message;
}

TEST(ApplySemantics, TranslatesIntoEachFormForDisplayAndForWriting) {
    struct Case { int parse, build; const char* text; const char* tag; };
    const Case cases[] = {
        {0, 0, "seq#", "seq#"},
        {1, 3, "SN", "Sequence Number"},
        {2, 1, "Seq#", "SN"},
        {3, 2, "Sequence Number", "Seq#"},
    };
    for (const auto& c : cases) {
        Semantics s;
        s.settings.SemanticsAttributeReorder = 0;
        s.settings.SemanticsAttributeTranslateParse = c.parse;
        s.settings.SemanticsAttributeTranslateBuild = c.build;
        s.apply("Filename(seq#(5))");
        EXPECT_EQ(s.tree[2].text, c.text) << c.parse << c.build;
        EXPECT_EQ(s.tree[2].tag, c.tag) << c.parse << c.build;
    }
}

TEST(ApplySemantics, TranslationFromEveryFormAndBack) {
    // Whatever form a name arrives in, each display form reads back as the same attribute.
    for (const char* form : {"captured date", "DATE", "dt", "Dt"}) {
        for (int to = 1; to <= 3; ++to) {
            Semantics s;
            s.settings.SemanticsAttributeTranslateParse = to;
            s.apply(std::string("Filename(") + form + "(2005))");
            const char* expected = to == 1 ? "DT" : to == 2 ? "Date" : "Captured Date";
            EXPECT_EQ(s.tree[2].text, expected) << form;
            s.settings.SemanticsAttributeTranslateParse = 3;
            s.applyAgain();
            EXPECT_EQ(s.tree[2].text, "Captured Date") << form;
        }
    }
}

TEST(ApplySemantics, OrdersEachLevel) {
    struct Case { int reorder; const char* in; const char* out; };
    const Case cases[] = {
        {0, "Filename(Zeta(1),Extension(JPG),DT(2005),alpha(2))",
         "Filename(Zeta(1),Extension(JPG),Captured Date(2005),alpha(2))"},
        // Alphabetical by displayed name, letter case ignored.
        {1, "Filename(Zeta(1),Extension(JPG),DT(2005),alpha(2))",
         "Filename(alpha(2),Captured Date(2005),Extension(JPG),Zeta(1))"},
        // Preferred: dictionary order, then unrecognised names by name, then the extension.
        {2, "Filename(Extension(JPG),Photographer(Ann),Comment(x),Abc(q),DT(2005),Place(p))",
         "Filename(Captured Date(2005),Place(p),Comment(x),Abc(q),Photographer(Ann),Extension(JPG))"},
        // Lower levels too.
        {2, "Filename(DT(2005),Subject(Ann(Comment(c),Activity(a),Position(p))))",
         "Filename(Captured Date(2005),Subject(Ann(Position(p),Activity(a),Comment(c))))"},
    };
    for (const auto& c : cases) {
        Semantics s;
        quiet(s.settings);
        s.settings.SemanticsAttributeReorder = c.reorder;
        s.apply(c.in);
        EXPECT_EQ(treeText(s.tree), c.out) << c.reorder;
    }
}

TEST(ApplySemantics, ValuesSortOnlyWhenAsked) {
    Semantics s;
    s.apply("Filename(DT(2005),Subject(Cid,ann,Ben))");
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005),Subject(Cid,ann,Ben))");
    s.settings.SemanticsValueReorder = 1;
    s.apply("Filename(DT(2005),Subject(Cid,ann,Ben))");
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005),Subject(ann,Ben,Cid))");
}

TEST(SameDuplicateKey, TrimmedAndUpperCasedTextsAgree) {
    struct Case { std::string_view a, b; bool same; };
    const Case cases[] = {
        {"Ann", "ANN", true},
        {" ann  ", "Ann", true},
        {"Ann", "Anx", false},          // differ at the end only
        {"Bnn", "Ann", false},          // differ at the start only
        {"Ann", "Anna", false},
        {"", "  ", true},
        {"", "a", false},
        {"0006Subject", "0006SUBJECT", true},
        {"0006Subject", "0008Place", false},
        {"fıx", "FIX", true},           // dotless i upper-cases to I: byte lengths differ
        {"xı", "XI", true},             // ... and at the end
        {"Größe", "GRÖßE", true},
        {"é", "É", true},
        {"aé", "aè", false},
        {"\xC3" "A", "\xC3" "A", true},  // broken text: the same bytes still agree
    };
    for (const auto& c : cases) {
        EXPECT_EQ(semantics::sameDuplicateKey(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(semantics::sameDuplicateKey(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

TEST(ApplySemantics, Consolidation) {
    struct Case { const char* label; std::function<void(GlobalSettings&)> set; const char* in; const char* out; };
    const Case cases[] = {
        {"duplicate attributes", {}, "Filename(DT(2005),Subject(Beach),Subject(Sea))",
         "Filename(Captured Date(2005),Subject(Beach,Sea))"},
        {"forms of one name, sub-attributes kept", {},
         "Filename(DT(2005),Subject(Ann(Position(left))),Place(Bay),SU(Ben(Activity(run))),subj(Cid))",
         "Filename(Captured Date(2005),Subject(Ann(Position(left)),Ben(Activity(run)),Cid),Place(Bay))"},
        {"unrecognised names by letter case", {}, "Filename(DT(2005),Zed(a),zed(b),ZED(c))",
         "Filename(Captured Date(2005),Zed(a,b,c))"},
        {"letter case beyond ASCII, blanks around", {}, "Filename(DT(2005),Größe(a),GRÖßE (b),Grösse(c))",
         "Filename(Captured Date(2005),Grösse(c),Größe(a,b))"},
        // In preferred order a name is compared as shown after its place in the order,
        // so a blank before it counts and one after it does not.
        {"preferred order: blank before a name", {}, "Filename(DT(2005),Zed(a), Zed(b),Zed (c))",
         "Filename(Captured Date(2005), Zed(b),Zed(a,c))"},
        {"alphabetical order: blanks around", [](GlobalSettings& g) { g.SemanticsAttributeReorder = 1; },
         "Filename(DT(2005),Zed(a), Zed(b),Zed (c))", "Filename( Zed(b,a,c),Captured Date(2005))"},
        {"untranslated forms stay apart", [](GlobalSettings& g) { g.SemanticsAttributeTranslateParse = 0; },
         "Filename(DT(2005),Subject(a),SU(b),SUBJECT(c))", "Filename(DT(2005),SU(b),Subject(a,c))"},
        {"no attribute consolidation", [](GlobalSettings& g) { g.SemanticsAttributeConsolidate = 0; },
         "Filename(DT(2005),Subject(Beach),Subject(Sea))",
         "Filename(Captured Date(2005),Subject(Beach),Subject(Sea))"},
        {"duplicate values with their sub-attributes", {},
         "Filename(DT(2005),Subject(Ann(Position(left)),Ben,ann (Activity(run)),ANN))",
         "Filename(Captured Date(2005),Subject(Ann(Position(left),Activity(run)),Ben))"},
        {"values merged after attributes", {}, "Filename(DT(2005),Subject(Ann),SU(Ann(Position(left))))",
         "Filename(Captured Date(2005),Subject(Ann(Position(left))))"},
        {"no value consolidation", [](GlobalSettings& g) { g.SemanticsValueConsolidate = 0; },
         "Filename(DT(2005),Subject(Ann,ann))", "Filename(Captured Date(2005),Subject(Ann,ann))"},
        {"merged sub-attributes merge in turn", {},
         "Filename(DT(2005),Device(Cam(Flash(on)),Cam(Flash(off))))",
         "Filename(Captured Date(2005),Device(Cam(Flash(on,off))))"},
    };
    for (const auto& c : cases) {
        Semantics s;
        quiet(s.settings);
        if (c.set) c.set(s.settings);
        s.apply(c.in);
        EXPECT_EQ(treeText(s.tree), c.out) << c.label;
        EXPECT_TRUE(s.tree.wellShaped()) << c.label;
    }
}

struct FindingCase {
    const char* label;
    std::function<void(GlobalSettings&)> set;
    const char* tree;
    Status status;
    const char* message;
    const char* node;  // Text of the node the finding concerns
    int position, length;
};

class Findings : public ::testing::TestWithParam<FindingCase> {};

TEST_P(Findings, OnTheirNode) {
    const auto& c = GetParam();
    Semantics s;
    if (c.set) c.set(s.settings);
    const Result& r = s.apply(c.tree);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    ASSERT_GE(r.nodeIndex, 1);
    EXPECT_EQ(s.tree[r.nodeIndex].text, c.node);
    EXPECT_EQ(r.position, c.position);
    EXPECT_EQ(r.length, c.length);
    EXPECT_EQ(statusOfImage(s.tree[r.nodeIndex].image), c.status);
}

void fail(std::int32_t GlobalSettings::*key, GlobalSettings& g) { g.*key = 2; }

INSTANTIATE_TEST_SUITE_P(
    EachMessage, Findings,
    ::testing::Values(
        FindingCase{"unrecognised name", {}, "Filename(DT(2005),Photographer(Ann))", Status::Warn,
                    "Unrecognized attribute name", "Photographer", 1, 12},
        FindingCase{"unrecognised name counts characters",
                    [](GlobalSettings& g) { fail(&GlobalSettings::SemanticsAttributeValidateName, g); },
                    "Filename(DT(2005),Größe(1))", Status::Fail, "Unrecognized attribute name", "Größe", 1, 5},
        FindingCase{"context at the top level", {}, "Filename(DT(2005),Position(left))", Status::Warn,
                    "Invalid attribute context", "Position", 0, 0},
        FindingCase{"context under an unrecognised parent",
                    [](GlobalSettings& g) {
                        g.SemanticsAttributeValidateName = 0;
                        fail(&GlobalSettings::SemanticsAttributeValidateContext, g);
                    },
                    "Filename(DT(2005),Zed(a(Comment(c))))", Status::Fail, "Invalid attribute context", "Comment", 0,
                    0},
        FindingCase{"context under the wrong parent", {}, "Filename(DT(2005),Device(Cam(Position(left))))",
                    Status::Warn, "Invalid attribute context", "Position", 0, 0},
        FindingCase{"too many values", {}, "Filename(DT(2005),Title(a,b))", Status::Warn,
                    "Title attribute should not have more than 1 value", "Title", 0, 0},
        FindingCase{"too many values, Fail",
                    [](GlobalSettings& g) { fail(&GlobalSettings::SemanticsAttributeValidateStructure, g); },
                    "Filename(DT(2005),Title(a,b))", Status::Fail, "Title attribute may not have more than 1 value",
                    "Title", 0, 0},
        FindingCase{"too few values", {}, "Filename(DT(2005),Subject)", Status::Warn,
                    "Subject attribute should have at least 1 value", "Subject", 0, 0},
        FindingCase{"too few values, Fail",
                    [](GlobalSettings& g) { fail(&GlobalSettings::SemanticsAttributeValidateStructure, g); },
                    "Filename(DT(2005),Subject)", Status::Fail, "Subject attribute must have at least 1 value",
                    "Subject", 0, 0},
        FindingCase{"merged duplicates exceed the maximum", {}, "Filename(DT(2005),Device(Cam(Flash(on),FL(off))))",
                    Status::Warn, "Flash attribute should not have more than 1 value", "Flash", 0, 0},
        FindingCase{"no top-level date", {}, "Filename(Caption(c(DT(2005))))", Status::Warn,
                    "There should be a top-level Captured Date attribute", "Filename", 0, 0},
        FindingCase{"two top-level dates",
                    [](GlobalSettings& g) { g.SemanticsAttributeConsolidate = 0; },
                    "Filename(DT(2005),Date(2006))", Status::Warn,
                    "There should only be one top-level Captured Date attribute", "Filename", 0, 0},
        FindingCase{"two dates merged into one attribute", {}, "Filename(DT(2005),Date(2006))", Status::Warn,
                    "Captured Date attribute should not have more than 1 value", "Captured Date", 0, 0},
        FindingCase{"a later Fail displaces the first Warn",
                    [](GlobalSettings& g) { fail(&GlobalSettings::SemanticsAttributeValidateStructure, g); },
                    "Filename(DT(2005),Photographer(Ann),Title(a,b))", Status::Fail,
                    "Title attribute may not have more than 1 value", "Title", 0, 0},
        FindingCase{"the first Warn stays", {}, "Filename(DT(2005),Photographer(Ann),Title(a,b))", Status::Warn,
                    "Unrecognized attribute name", "Photographer", 1, 12},
        FindingCase{"deeper findings come before later attributes", {},
                    "Filename(DT(2005),Interest(50,60),Subject(Ann(Zork(a))))", Status::Warn,
                    "Unrecognized attribute name", "Zork", 1, 4}),
    [](const auto& info) {
        std::string n;
        for (char ch : std::string(info.param.label)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return n;
    });

TEST(ApplySemantics, ContextsThatAreAllowed) {
    for (const char* shape : {"Filename(DT(2005),Subject(Ann(Position(left),Activity(run))))",
                             "Filename(DT(2005),Caption(c(DT(2006),Creator(me))))",
                             "Filename(DT(2005),Title(t(Comment(c))),Quality(050(Comment(c))))",
                             "Filename(DT(2005),Device(Cam(Lens(front),Flash(on),Speed(fast),Comp(jpeg))))"}) {
        Semantics s;
        EXPECT_EQ(s.apply(shape).status, Status::Good) << shape << ": " << s.result.message;
    }
}

TEST(ApplySemantics, SwitchesOffMeanNoFinding) {
    struct Case { std::int32_t GlobalSettings::*key; const char* tree; };
    const Case cases[] = {
        {&GlobalSettings::SemanticsAttributeValidateName, "Filename(DT(2005),Photographer(Ann))"},
        {&GlobalSettings::SemanticsAttributeValidateContext, "Filename(DT(2005),Position(left))"},
        {&GlobalSettings::SemanticsAttributeValidateStructure, "Filename(DT(2005),Title(a,b),Subject)"},
        {&GlobalSettings::SemanticsValueValidateFormat, "Filename(DT(2005),Quality(150))"},
    };
    for (const auto& c : cases) {
        Semantics s;
        s.settings.*c.key = 0;
        EXPECT_EQ(s.apply(c.tree).status, Status::Good) << c.tree << ": " << s.result.message;
        EXPECT_EQ(testing::treeMarks(s.tree).find_first_not_of("1 4 10"), std::string::npos) << c.tree;
    }
}

TEST(ApplySemantics, MoreThanTheMaximumCountsInPlural) {
    Semantics s;
    s.settings.SemanticsValueConsolidate = 0;
    s.settings.SemanticsValueValidateFormat = 0;
    std::string shape = "Filename(DT(2005),Keywords(k";
    for (int i = 0; i < 9999; ++i) shape += ",k";
    shape += "))";
    EXPECT_EQ(s.apply(shape).message, "Keywords attribute should not have more than 9999 values");
}

TEST(ApplySemantics, CapturedDateCounter) {
    struct Case { std::function<void(GlobalSettings&)> set; const char* tree; const char* message; };
    const Case cases[] = {
        {{}, "Filename(Subject(a))", "There should be a top-level Captured Date attribute"},
        {{}, "Filename(Subject(a),Caption(c(DT(2005))))", "There should be a top-level Captured Date attribute"},
        {{}, "Filename(Subject(a),Captured Date(2005))", ""},
        {[](GlobalSettings& g) { g.SemanticsAttributeConsolidate = 0; }, "Filename(DT(2005),Date(2006),dt(2007))",
         "There should only be one top-level Captured Date attribute"},
        {[](GlobalSettings& g) { g.SemanticsAttributeEnable = 0; }, "Filename(Subject(a))", ""},
    };
    for (const auto& c : cases) {
        Semantics s;
        if (c.set) c.set(s.settings);
        EXPECT_EQ(s.apply(c.tree).message, c.message) << c.tree;
    }
}

TEST(ApplySemantics, EditModeMovesAndMergesNothing) {
    Semantics s;
    s.editMode = true;
    s.settings.SemanticsValueReorder = 1;
    const Result& r = s.apply("Filename(Comment(x),SU(b,a,b),Subject(c),Photographer(p),DT(2005),Quality(50))");
    // Names are still translated and values still checked and reformatted.
    EXPECT_EQ(treeText(s.tree),
              "Filename(Comment(x),Subject(b,a,b),Subject(c),Photographer(p),Captured Date(2005),Quality(050))");
    EXPECT_EQ(s.topTags(), "CO SU SU Photographer DT QU");
    EXPECT_EQ(r.message, "Unrecognized attribute name");
}

TEST(ApplySemantics, DoesNothingWhenOffOrEmpty) {
    Semantics s;
    s.settings.SemanticsAttributeEnable = 0;
    s.settings.SemanticsValueEnable = 0;
    const char* shape = "Filename(Photographer(p),Quality(150),Subject(a),Subject(a))";
    EXPECT_EQ(s.apply(shape).status, Status::Good);
    EXPECT_EQ(treeText(s.tree), shape);

    AttributeTree empty;
    Result r;
    ApplySemantics(empty, r, MakeSemanticOptions(s.settings, false), MakeDateOptions(s.settings));
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(r.good());
}

TEST(ApplySemantics, ValuesAloneLeaveNamesAndOrderAlone) {
    Semantics s;
    s.settings.SemanticsAttributeEnable = 0;
    const Result& r = s.apply("Filename(Quality(50),DT(2005),Subject(a,a),Title(a,b),Zed(5))");
    EXPECT_EQ(treeText(s.tree), "Filename(Quality(050),DT(2005),Subject(a),Title(a,b),Zed(5))");
    EXPECT_EQ(s.topTags(), "Quality DT Subject Title Zed");
    EXPECT_TRUE(r.good()) << r.message;
}

TEST(ApplySemantics, AddsToTheResultItIsGiven) {
    Semantics s;
    buildTree(s.tree, "Filename(DT(2005),Photographer(p))");
    s.result.set(Status::Fail, "earlier", 3, 1);
    s.result.nodeIndex = 2;
    ApplySemantics(s.tree, s.result, MakeSemanticOptions(s.settings, false), MakeDateOptions(s.settings));
    EXPECT_EQ(s.result.message, "earlier");
    EXPECT_EQ(s.result.status, Status::Fail);
    EXPECT_EQ(s.tree[s.find("Photographer")].image, image::AttributeWarn);
}

TEST(ApplySemantics, RecognisedNamesAndGoodValuesClearTheirMarks) {
    Semantics s;
    buildTree(s.tree, "Filename(DT(2005),Quality(50))");
    for (int i = 2; i <= s.tree.count(); ++i)
        s.tree[i].image = static_cast<std::int16_t>(s.tree[i].isAttribute() ? image::AttributeFail : image::ValueFail);
    ApplySemantics(s.tree, s.result, MakeSemanticOptions(s.settings, false), MakeDateOptions(s.settings));
    EXPECT_EQ(testing::treeMarks(s.tree), "1 4 10 4 10");
    EXPECT_EQ(s.tree[2].expandedImage, image::AttributeGood + 1);
    EXPECT_TRUE(s.result.good());
}

TEST(ApplySemantics, ResultNodeFollowsItsNodeThroughMerges) {
    // Merging Subject and SU removes nodes created before Zed, so Zed's index drops.
    Semantics s;
    const Result& r = s.apply("Filename(Subject(y),DT(2005),SU(x),Zed(q))");
    EXPECT_EQ(r.message, "Unrecognized attribute name");
    EXPECT_EQ(s.tree[r.nodeIndex].text, "Zed");

    // A finding about a duplicate that is merged away passes to the attribute it joins.
    buildTree(s.tree, "Filename(DT(2005),Subject(a),Place(p),Subject(b))");
    s.result.reset();
    ReportNodeStatus(Status::Warn, "earlier", s.tree, 8, 1, 1, s.result);  // the second Subject
    ApplySemantics(s.tree, s.result, MakeSemanticOptions(s.settings, false), MakeDateOptions(s.settings));
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005),Subject(a,b),Place(p))");
    EXPECT_EQ(s.tree[s.result.nodeIndex].text, "Subject");
}

// More indices are held than fit in place: every one, spilled or not, must follow its
// node through a merge, also when the spilled places are used a second time.
TEST(HeldNodes, EveryHeldIndexFollowsItsNodeBeyondThoseKeptInPlace) {
    std::string shape = "Filename(A(a0),B(b0";
    for (int k = 0; k < 70; ++k) shape += ",x" + std::to_string(k);
    shape += "))";
    semantics::HeldNodes held;  // the second round reuses the places the first one spilled into
    for (int round = 0; round < 2; ++round) {
        AttributeTree tree;
        buildTree(tree, shape);
        std::vector<int> refs;
        for (int i = 4; i <= tree.count(); ++i) refs.push_back(i);  // B, b0, x0 ... x69
        std::vector<std::string> texts;
        for (int i : refs) texts.push_back(tree[i].text);
        std::function<void(std::size_t)> holdFrom = [&](std::size_t k) {
            if (k == refs.size()) {
                tree.mergeInto(2, 4);  // A's value joins B's, A goes: everything after A moves down
                held.renumber(tree);
                return;
            }
            auto h = held.hold({&refs[k]});
            holdFrom(k + 1);
        };
        holdFrom(0);
        ASSERT_EQ(treeText(tree).substr(0, 20), "Filename(B(b0,x0,x1,");
        for (std::size_t k = 0; k < refs.size(); ++k) EXPECT_EQ(tree[refs[k]].text, texts[k]) << round << " " << k;
    }
}

// The first finding can be on a name that is then merged into an earlier one that
// differs in its blanks: the finding passes to that one and marks no more than its text.
TEST(ApplySemantics, FindingOnAMergedNameStaysInsideItsHeir) {
    Semantics s;
    const Result& r = s.apply("Filename(DT(2005),Zed (a),Zed(b))");
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005),Zed(b,a))");
    EXPECT_EQ(r.message, "Unrecognized attribute name");
    EXPECT_EQ(s.tree[r.nodeIndex].text, "Zed");
    EXPECT_EQ(r.position, 1);
    EXPECT_EQ(r.length, 3);
}

// A pass holds the node it works on and the merge it calls holds it again; the node
// must still move once. It matters when the heir comes after the duplicate in Index
// order, as sorted values and values merged in from another attribute do.
TEST(HeldNodes, AVariableHeldTwiceMovesOnce) {
    AttributeTree tree;
    buildTree(tree, "Filename(A(a),B(b),C(c),D(d))");
    semantics::HeldNodes held;
    int c = 6, d = 8;
    auto outer = held.hold({&c, &d});
    auto inner = held.hold({&c});
    tree.mergeInto(2, 4);  // A goes: everything after it moves down
    held.renumber(tree);
    EXPECT_EQ(tree[c].text, "C");
    EXPECT_EQ(tree[d].text, "D");
}

TEST(ApplySemantics, HeirsAfterTheirDuplicatesInIndexOrder) {
    struct Case { const char* label; const char* in; const char* out; };
    const Case cases[] = {
        {"sorted values, a blank after the first", "Filename(DT(2005),Subject(b ,a,b(Posn(x)),c))",
         "Filename(Captured Date(2005),Subject(a,b(Position(x)),c))"},
        {"edited names and values",
         "Filename(DT(1994),keyw(Autumn light ,Sister,Autumn light( Posn(Canon))),Keyw(ben),Keyw (kids),"
         "Comm(Harbour, Harbour,ann),Crtr(kids(Posn(Grandma)),Ben))",
         // Names with blanks are not recognised; values are compared trimmed, sorted as they stand.
         "Filename(Captured Date(1994),Creator(Ben,kids(Position(Grandma))),Keywords(Autumn light( Posn(Canon)),"
         "ben,Sister),Comment( Harbour,ann),Keyw (kids))"},
    };
    for (const auto& c : cases) {
        Semantics s;
        quiet(s.settings);
        s.settings.SemanticsValueReorder = 1;
        s.apply(c.in);
        EXPECT_EQ(treeText(s.tree), c.out) << c.label;
        EXPECT_TRUE(s.tree.wellShaped()) << c.label;
    }
}

// The run remembers each attribute's entry; merges renumber the tree under it. Every
// finding and mark must be what looking each name up afresh gives.
TEST(ProcessSemantics, RememberedEntriesFollowTheirNodesThroughMerges) {
    const char* shapes[] = {
        "Filename(DT(2005),Subject(Ann(Position(x),Posn(y))),SU(Ben),Quality(50),Qual(abc),Place(Bay))",
        "Filename(Zed(a),SU(Ann(Activity(run),Activity(walk(Comment(c))))),Subj(Ann(Posn(z))),Flash(on),Qual(5))",
        "Filename(Comm(a),Comm(b),Creator(c),Crtr(d),DT(2005-13),DT(2006),Title(t),Interest(x),Intr(y),Device(d(Lens(l),Flash(f),Flash(g))))",
        "Filename(Subject(Ann(Device(d(Flash(on),Flash(off))),Device(e))),Subject(Ann(Qual(x))),Version Date(2001),VDat(abc))",
    };
    const GlobalSettings settings;
    const SemanticOptions options = MakeSemanticOptions(settings, false);
    const DateOptions dates = MakeDateOptions(settings);
    for (const char* shape : shapes) {
        AttributeTree cached, fresh;
        buildTree(cached, shape);
        buildTree(fresh, shape);
        Result cachedResult, freshResult;
        int cachedCounter = 0, freshCounter = 0;
        ProcessSemantics(cached, cached.root(), cachedResult, cachedCounter, options, dates);
        Finding finding;
        std::string standard;
        semantics::Run run{fresh, freshResult, options, dates, nullptr, freshCounter, {}, finding, standard};
        {
            auto held = run.held.hold({&freshResult.nodeIndex});
            semantics::processLevel(run, fresh.root());
        }
        ASSERT_EQ(treeText(cached), treeText(fresh)) << shape;
        for (int i = 1; i <= cached.count(); ++i) EXPECT_EQ(cached[i].image, fresh[i].image) << shape << " node " << i;
        EXPECT_EQ(cachedResult.message, freshResult.message) << shape;
        EXPECT_EQ(cachedResult.nodeIndex, freshResult.nodeIndex) << shape;
        EXPECT_EQ(cachedCounter, freshCounter) << shape;
    }
}

TEST(ApplySemantics, DeepNestingMergesAtEveryLevel) {
    // Sixteen levels of Subject values, each with a duplicate; the only finding is at the bottom.
    std::string inner = "Comm(x,x),Zed(q)", expected = "Comment(x),Zed(q)";
    for (int k = 0; k < 16; ++k) {
        const std::string v = "v" + std::to_string(k);
        inner = "Subj(" + v + "," + v + "(" + inner + "))";
        expected = "Subject(" + v + "(" + expected + "))";
    }
    Semantics s;
    quiet(s.settings);
    s.settings.SemanticsAttributeValidateName = 1;
    const Result& r = s.apply("Filename(DT(2005)," + inner + ")");
    EXPECT_EQ(treeText(s.tree), "Filename(Captured Date(2005)," + expected + ")");
    EXPECT_EQ(r.message, "Unrecognized attribute name");
    EXPECT_EQ(s.tree[r.nodeIndex].text, "Zed");
    EXPECT_TRUE(s.tree.wellShaped());
}

TEST(ApplySemantics, ThroughParseAndBuild) {
    GlobalSettings settings;
    const DateOptions dates = MakeDateOptions(settings);
    const SemanticOptions semantic = MakeSemanticOptions(settings, false);
    const EngineContext ctx{settings, dates, semantic, nullptr};
    AttributeTree tree;
    Result parse, build;
    std::string_view code, formatName;
    ParseFilename("{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{Subject=Sea}.jpg", tree, ctx, code, formatName,
                  parse);
    ASSERT_TRUE(parse.good()) << parse.message;
    ApplySemantics(tree, build, semantic, dates);
    std::string name;
    BuildFilename(name, tree, code, ctx, formatName, build);
    EXPECT_EQ(build.status, Status::Good) << build.message;
    EXPECT_EQ(name, "{DT=2005-07-14}{SU=Beach;Sea}{QU=050}{CO=x}.jpg");
}

}  // namespace
}  // namespace lorvane
