#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/semantics.h"
#include "engine/semantics_run.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

struct ValueCase {
    const char* attribute;
    const char* value;
    int validate, reformat;
    const char* text;  // the value afterwards
    Status status;
    const char* message;  // of the result: empty when Good
    int position, length;
};

class ValueFormats : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueFormats, CheckAndStandardForm) {
    const auto& c = GetParam();
    GlobalSettings settings;
    settings.BuildDateDelimiterDateComponent = ".";
    settings.SemanticsValueValidateFormat = c.validate;
    settings.SemanticsValueReformat = c.reformat;
    AttributeTree tree;
    InitializeTree(tree, 0);
    tree.addChild(1, "Captured Date", image::AttributeGood);
    tree.addChild(2, "2005", image::ValueGood);
    const int a = tree.addChild(1, c.attribute, image::AttributeGood);
    tree[a].tag = c.attribute;
    const int v = tree.addChild(a, c.value, image::ValueGood);
    tree[v].image = image::ValueWarn;  // a check's Good clears it
    Result r;
    ApplySemantics(tree, r, MakeSemanticOptions(settings, false), MakeDateOptions(settings));
    const int value = tree[tree.lastSibling(2)].child;
    EXPECT_EQ(tree[value].text, c.text);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    if (c.status != Status::Good) {
        EXPECT_EQ(r.nodeIndex, value);
        EXPECT_EQ(r.position, c.position);
        EXPECT_EQ(r.length, c.length);
        EXPECT_EQ(statusOfImage(tree[value].image), c.status);
    } else if (c.validate > 0) {
        EXPECT_EQ(tree[value].image, image::ValueGood);
    }
}

constexpr auto G = Status::Good, W = Status::Warn, F = Status::Fail;
constexpr const char* kPercent = "Percent value must be a number between 0 and 100";
constexpr const char* kInteger = "Integer value must be a number between 0 and 2,147,483,647";
constexpr const char* kReversed = "Latest Date/Time earlier than Earliest Date/Time";
constexpr const char* kRewritten = "2005.07.14 ~ 2005.07.01";

INSTANTIATE_TEST_SUITE_P(
    EachFormat, ValueFormats,
    ::testing::Values(
        ValueCase{"Quality", "50", 1, 1, "050", G, "", 0, 0},
        ValueCase{"Interest", "100", 1, 1, "100", G, "", 0, 0},
        ValueCase{"Quality", "0", 1, 1, "000", G, "", 0, 0},
        ValueCase{"Quality", "150", 1, 1, "150", W, kPercent, 1, 3},
        ValueCase{"Quality", "150", 2, 1, "150", F, kPercent, 1, 3},
        ValueCase{"Quality", "50", 1, 0, "50", G, "", 0, 0},
        ValueCase{"Sequence Number", "5", 1, 1, "005", G, "", 0, 0},
        ValueCase{"Seq#", " 7 ", 1, 1, "007", G, "", 0, 0},
        ValueCase{"Version Number", "1234", 1, 1, "1234", G, "", 0, 0},
        ValueCase{"Component Number", "x5", 1, 1, "x5", W, kInteger, 1, 2},
        ValueCase{"Title", "  Harbour  ", 1, 1, "Harbour", G, "", 0, 0},
        ValueCase{"Title", "  Harbour  ", 1, 0, "  Harbour  ", G, "", 0, 0},
        ValueCase{"Title", " Old town", 1, 1, "Old town", G, "", 0, 0},
        ValueCase{"Subject", "Ann ", 1, 1, "Ann", G, "", 0, 0},
        ValueCase{"Subject", "   ", 1, 1, "   ", G, "", 0, 0},  // nothing to write back: kept
        ValueCase{"Extension", " jpg", 1, 1, "JPG", G, "", 0, 0},
        ValueCase{"EX", "j.pg", 2, 1, "j.pg", F, "Extension value may not contain a period", 2, 1},
        ValueCase{"Version Date", "2005-07-14", 1, 1, "2005.07.14", G, "", 0, 0},
        ValueCase{"Version Date", "2005-07-14", 1, 0, "2005-07-14", G, "", 0, 0},
        // Format checks off: neither validated nor rewritten, whatever the reformat switch says.
        ValueCase{"Version Date", "2005-07-14", 0, 1, "2005-07-14", G, "", 0, 0},
        ValueCase{"Quality", "150", 0, 1, "150", G, "", 0, 0},
        // The date reader marks four year places, and the result says so even in a shorter text.
        ValueCase{"Version Date", "x", 1, 1, "x", W, "Date value should begin with 4-digit year between 1900 and 2100", 1, 4},
        ValueCase{"Version Date", "ab", 1, 1, "ab", W, "Date value should begin with 4-digit year between 1900 and 2100", 1, 4},
        ValueCase{"Component Number", " x5 ", 1, 1, " x5 ", W, kInteger, 1, 4},
        // A rewritten value: the range is the check's, counted in the text it checked.
        ValueCase{"Version Date", "2005-7-14~2005-7-1", 1, 1, kRewritten, W, kReversed, 1, 18},
        ValueCase{"Version Date", "2005-07-14~2005-07-01", 1, 1, kRewritten, W, kReversed, 1, 21},
        ValueCase{"Version Date", "  2005-07-14~2005-07-01  ", 1, 1, kRewritten, W, kReversed, 1, 25},
        ValueCase{"Version Date", "  2005-07-14~2005-07-01  ", 2, 1, kRewritten, F, kReversed, 1, 25},
        ValueCase{"Version Date", "  2005-07-14~2005-07-01  ", 1, 0, "  2005-07-14~2005-07-01  ", W, kReversed, 1, 25}));

TEST(ValueFormats, UnrecognisedAttributesKeepTheirValues) {
    GlobalSettings settings;
    settings.SemanticsAttributeValidateName = 0;
    settings.SemanticsValueValidateFormat = 2;
    AttributeTree tree;
    testing::buildTree(tree, "Filename(DT(2005),Zed( 5 ,x.y))");
    Result r;
    ApplySemantics(tree, r, MakeSemanticOptions(settings, false), MakeDateOptions(settings));
    EXPECT_EQ(testing::treeText(tree), "Filename(Captured Date(2005),Zed( 5 ,x.y))");
    EXPECT_TRUE(r.good()) << r.message;
}

// The rest of the date messages belong to the date reader; here only that they arrive as configured.
TEST(ValueFormats, DateFindingsTakeTheSwitchSeverity) {
    for (int validate : {1, 2}) {
        GlobalSettings settings;
        settings.SemanticsValueValidateFormat = validate;
        AttributeTree tree;
        testing::buildTree(tree, "Filename(DT(2005-13-01),VDat(2005-07-14~2005-07-01))");
        Result r;
        ApplySemantics(tree, r, MakeSemanticOptions(settings, false), MakeDateOptions(settings));
        EXPECT_EQ(r.status, validate == 1 ? Status::Warn : Status::Fail);
        EXPECT_EQ(r.nodeIndex, 3);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(tree[3].text, "2005-13-01");                                 // failed: kept
        EXPECT_EQ(statusOfImage(tree[5].image), validate == 1 ? Status::Warn : Status::Fail);  // a reversed span
    }
}

struct Recorder final : MessageSink {
    std::vector<std::pair<std::string, std::string>> shown;
    void showError(std::string_view text, std::string_view caption) override {
        shown.emplace_back(text, caption);
    }
};

TEST(ValueFormats, UnknownFormatShowsTheBoxAndReportsNothing) {
    GlobalSettings settings;
    const SemanticOptions options = MakeSemanticOptions(settings, false);
    const DateOptions dates = MakeDateOptions(settings);
    AttributeTree tree;
    testing::buildTree(tree, "Filename(Setting(x))");
    tree[3].image = image::ValueFail;
    Result r;
    int counter = 0;
    Recorder recorder;
    Finding finding;
    std::string standard;
    semantics::Run run{tree, r, options, dates, &recorder, counter, {}, finding, standard};
    semantics::checkValue(run, 3, "");
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].first, "Unable to determine value format.");
    EXPECT_EQ(recorder.shown[0].second, "ProcessSemantics");
    EXPECT_EQ(tree[3].image, image::ValueFail);
    EXPECT_EQ(tree[3].text, "x");
    EXPECT_TRUE(r.good());

    run.sink = nullptr;  // no window: nothing shown, processing goes on
    semantics::checkValue(run, 3, "Colour");
    EXPECT_TRUE(r.good());
}

TEST(ProcessSemantics, OneLevelAndBelow) {
    GlobalSettings settings;
    AttributeTree tree;
    testing::buildTree(tree, "Filename(Subject(Ann(Comment(c),DT(2005),Posn(left(Zed(z))))),Photographer(p))");
    Result r;
    int counter = 0;
    ProcessSemantics(tree, 3, r, counter, MakeSemanticOptions(settings, false), MakeDateOptions(settings));
    EXPECT_EQ(testing::treeText(tree),
              "Filename(Subject(Ann(Captured Date(2005),Position(left(Zed(z))),Comment(c))),Photographer(p))");
    EXPECT_EQ(counter, 0);  // not at the top level
    EXPECT_EQ(r.message, "Invalid attribute context");
    EXPECT_EQ(tree[r.nodeIndex].text, "Captured Date");
    ASSERT_EQ(tree[10].text, "Zed");
    EXPECT_EQ(statusOfImage(tree[10].image), Status::Warn);  // one level further down
    EXPECT_EQ(tree[2].text, "Subject");                      // the levels above are untouched
    EXPECT_EQ(tree[12].image, image::AttributeGood);
}

}  // namespace
}  // namespace lorvane
