#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/semantics.h"
#include "engine/semantics_run.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingOn;

constexpr const char* kRewritten = "2005.07.14 ~ 2005.07.01";
constexpr const char* kReversed = "Latest Date/Time earlier than Earliest Date/Time";
constexpr const char* kInteger = "Integer value must be a number between 0 and 2,147,483,647";
constexpr const char* kYear = "Date value should begin with 4-digit year between 1900 and 2100";

// One value of one attribute beside a top-level date, checked by the attribute's value
// format; the value starts marked Warn, which a Good check clears.
TEST(ValueFormats, CheckAndStandardForm) {
    const struct {
        const char* attribute;
        const char* value;
        int validate, reformat;
        const char* text;  // the value afterwards
        std::string finding;
    } rows[] = {
        {"Quality", "50", 1, 1, "050", "Good"},
        {"Quality", "0", 1, 1, "000", "Good"},
        {"Quality", "150", 1, 1, "150", "Warn 150 @1+3 Percent value must be a number between 0 and 100"},
        {"Quality", "150", 2, 1, "150", "Fail 150 @1+3 Percent value must be a number between 0 and 100"},
        {"Quality", "50", 1, 0, "50", "Good"},
        {"Sequence Number", "5", 1, 1, "005", "Good"},
        {"Seq#", " 7 ", 1, 1, "007", "Good"},
        {"Version Number", "1234", 1, 1, "1234", "Good"},
        {"Component Number", " x5 ", 1, 1, " x5 ", std::string("Warn  x5  @1+4 ") + kInteger},
        {"Title", "  Harbour  ", 1, 1, "Harbour", "Good"},
        {"Title", "  Harbour  ", 1, 0, "  Harbour  ", "Good"},
        {"Subject", "   ", 1, 1, "   ", "Good"},  // nothing to write back: kept
        {"Extension", " jpg", 1, 1, "JPG", "Good"},
        {"EX", "j.pg", 2, 1, "j.pg", "Fail j.pg @2+1 Extension value may not contain a period"},
        {"Version Date", "2005-7-14", 1, 1, "2005.07.14", "Good"},
        // Format checks off: neither validated nor rewritten, whatever the reformat switch says.
        {"Version Date", "2005-7-14", 0, 1, "2005-7-14", "Good"},
        // An unrecognised attribute's values are neither checked nor rewritten.
        {"Zed", " x.y ", 2, 1, " x.y ", "Warn Zed @1+3 Unrecognized attribute name"},
        // The date reader marks four year places, and the result says so even in a shorter text.
        {"Version Date", "x", 1, 1, "x", std::string("Warn x @1+4 ") + kYear},
        {"Version Date", "2005-13-01", 2, 1, "2005-13-01", "Fail 2005-13-01 @6+2 Should be Month between 1 and 12"},
        // A rewritten value: the range is the check's, counted in the text it checked.
        {"Version Date", "2005-7-14~2005-7-1", 1, 1, kRewritten,
         std::string("Warn ") + kRewritten + " @1+18 " + kReversed},
        {"Version Date", "  2005-07-14~2005-07-01  ", 2, 1, kRewritten,
         std::string("Fail ") + kRewritten + " @1+25 " + kReversed},
        {"Version Date", "  2005-07-14~2005-07-01  ", 1, 0, "  2005-07-14~2005-07-01  ",
         std::string("Warn   2005-07-14~2005-07-01   @1+25 ") + kReversed},
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(std::string(c.attribute) + "=" + c.value);
        GlobalSettings s;
        s.BuildDateDelimiterDateComponent = ".";
        s.SemanticsValueValidateFormat = c.validate;
        s.SemanticsValueReformat = c.reformat;
        AttributeTree tree;
        testing::buildTree(tree, std::string("Filename(Captured Date(2005),") + c.attribute + "(" + c.value + "))");
        tree[5].image = image::ValueWarn;
        Result r;
        ApplySemantics(tree, r, MakeSemanticOptions(s, false), MakeDateOptions(s));
        const int value = tree[tree.lastSibling(2)].child;
        EXPECT_EQ(tree[value].text, c.text);
        EXPECT_EQ(findingOn(tree, r), c.finding);
        if (r.nodeIndex == value) {
            EXPECT_EQ(statusOfImage(tree[value].image), r.status);
        } else if (c.validate && r.good()) {
            EXPECT_EQ(tree[value].image, image::ValueGood);  // the check's Good cleared the Warn
        }
    }
}

struct Recorder final : MessageSink {
    std::vector<std::pair<std::string, std::string>> shown;
    void showError(std::string_view text, std::string_view caption) override { shown.emplace_back(text, caption); }
};

// An entry without a value format: the box, and nothing reported or rewritten.
TEST(ValueFormats, UnknownFormatShowsTheBoxAndReportsNothing) {
    const GlobalSettings settings;
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
    run.sink = nullptr;  // no window: nothing shown, processing goes on
    semantics::checkValue(run, 3, "Colour");
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].first + " / " + recorder.shown[0].second,
              "Unable to determine value format. / ProcessSemantics");
    EXPECT_EQ(testing::treeMarks(tree) + " " + tree[3].text, "1 4 12 x");
    EXPECT_TRUE(r.good());
}

// One level and, depth first, the levels below it; never the levels above.
TEST(ProcessSemantics, OneLevelAndBelow) {
    const GlobalSettings settings;
    AttributeTree tree;
    testing::buildTree(tree, "Filename(Subject(Ann(Comment(c),DT(2005),Posn(left(Zed(z))))),Photographer(p))");
    Result r;
    int counter = 0;
    ProcessSemantics(tree, 3, r, counter, MakeSemanticOptions(settings, false), MakeDateOptions(settings));
    EXPECT_EQ(testing::attributesText(tree),
              "Subject(Ann(Captured Date(2005),Position(left(Zed(z))),Comment(c))),Photographer(p)");
    EXPECT_EQ(counter, 0);  // not at the top level
    EXPECT_EQ(findingOn(tree, r), "Warn Captured Date @0+0 Invalid attribute context");
    // Zed is one level further down; Photographer, above, is left alone.
    EXPECT_EQ(testing::treeMarks(tree), "1 4 10 4 10 6 10 4 10 6 10 4 10");
}

}  // namespace
}  // namespace lorvane
