#include <gtest/gtest.h>

#include <string>
#include <tuple>
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
    // The attribute, its value, the validate and reformat switches, the value afterwards, the finding.
    const std::tuple<const char*, const char*, int, int, const char*, std::string> rows[] = {
        {"Quality", "50", 1, 1, "050", "Good"},
        {"Quality", "150", 1, 1, "150", "Warn 150 @1+3 Percent value must be a number between 0 and 100"},
        {"Quality", "50", 1, 0, "50", "Good"},
        {"Seq#", " 7 ", 1, 1, "007", "Good"},
        {"Component Number", " x5 ", 1, 1, " x5 ", std::string("Warn  x5  @1+4 ") + kInteger},
        {"Title", "  Harbour  ", 1, 1, "Harbour", "Good"},
        {"Subject", "   ", 1, 1, "   ", "Good"},  // nothing to write back: kept
        {"Extension", " jpg", 1, 1, "JPG", "Good"},
        {"EX", "j.pg", 2, 1, "j.pg", "Fail j.pg @2+1 Extension value may not contain a period"},
        {"EX", "  .jpg", 1, 1, "  .jpg", "Warn   .jpg @3+1 Extension value may not contain a period"},  // untrimmed
        {"Version Date", "2005-7-14", 1, 1, "2005.07.14", "Good"},
        // Format checks off: neither validated nor rewritten, whatever the reformat switch says.
        {"Version Date", "2005-7-14", 0, 1, "2005-7-14", "Good"},
        // An unrecognised attribute's values are neither checked nor rewritten.
        {"Zed", " x.y ", 2, 1, " x.y ", "Warn Zed @1+3 Unrecognized attribute name"},
        // The date reader marks four year places, and the result says so even in a shorter text.
        {"Version Date", "x", 1, 1, "x", std::string("Warn x @1+4 ") + kYear},
        // A rewritten value: the range is the check's, counted in the text it checked.
        {"Version Date", "2005-7-14~2005-7-1", 1, 1, kRewritten,
         std::string("Warn ") + kRewritten + " @1+18 " + kReversed},
        {"Version Date", "  2005-07-14~2005-07-01  ", 2, 1, kRewritten,
         std::string("Fail ") + kRewritten + " @1+25 " + kReversed},
        {"Version Date", "  2005-07-14~2005-07-01  ", 1, 0, "  2005-07-14~2005-07-01  ",
         std::string("Warn   2005-07-14~2005-07-01   @1+25 ") + kReversed},
    };
    for (const auto& [attribute, text, validate, reformat, after, finding] : rows) {
        SCOPED_TRACE(std::string(attribute) + "=" + text);
        GlobalSettings s;
        s.BuildDateDelimiterDateComponent = ".";
        s.SemanticsValueValidateFormat = validate;
        s.SemanticsValueReformat = reformat;
        AttributeTree tree;
        testing::buildTree(tree, std::string("Filename(Captured Date(2005),") + attribute + "(" + text + "))");
        tree[5].image = image::ValueWarn;
        Result r;
        ApplySemantics(tree, r, MakeSemanticOptions(s, false), MakeDateOptions(s));
        const int value = tree[tree.lastSibling(2)].child;
        EXPECT_EQ(tree[value].text, after);
        EXPECT_EQ(findingOn(tree, r), finding);
        if (r.nodeIndex == value) {
            EXPECT_EQ(statusOfImage(tree[value].image), r.status);
        } else if (validate && r.good()) {
            EXPECT_EQ(tree[value].image, image::ValueGood);  // the check's Good cleared the Warn
        }
    }
}

}  // namespace
}  // namespace lorvane
