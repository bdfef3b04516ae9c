#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/format1x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using Rows = std::vector<std::tuple<const char*, const char*, const char*>>;  // name, attributes or finding, overrides

// One tree and one result serve every row: a parse overwrites both. A good parse gives
// Good marks and Tag = Text, and a failed one no tree.
void check(const Rows& rows) {
    AttributeTree tree;
    Result r;
    for (const auto& [name, expect, overrides] : rows) {
        const GlobalSettings s = testing::settingsWith(overrides);
        Parse1x(name, tree, r, MakeDateOptions(s), MakeParse1xOptions(s));
        EXPECT_EQ(testing::parsedText(tree, r), expect) << name;
        EXPECT_EQ(r.good() ? testing::findingText(r) + testing::notGood(tree) : "Good", "Good") << name;
        EXPECT_EQ(r.good(), !tree.empty()) << name;
        for (int i = 2; i <= tree.count(); ++i)
            if (tree[i].isAttribute()) EXPECT_EQ(tree[i].tag, tree[i].text) << name;
    }
}

TEST(Parse1x, FillsTheTreeOrFindsWhereItFails) {
    check({
        {"2005-07-14~2005-07-15 #12 Beach party.jpg",
         "Date(2005-07-14 ~ 2005-07-15),Serial(12),Topic(Beach party),Extension(JPG)", ""},
        {"2005.jpg", "Date(2005),Extension(JPG)", ""},
        // The text the builder writes reads back: spaces around every token are skipped.
        {"2005-07-14 @10 ~ @18 #3 Sea.JpEg", "Date(2005-07-14 @10 ~ @18),Serial(3),Topic(Sea),Extension(JPEG)", ""},
        {"2005 Ann #1 Zed", "Date(2005),Serial(1),Topic(Ann Zed)", ""},
        {"2005 abc #1 zz", "Date(2005),Serial(1),Topic(abc zz)", ""},
        {"2005 Beach 2006", "Date(2005),Topic(Beach 2006)", ""},
        {"2005 #007 a.b.jpg", "Date(2005),Serial(7),Topic(a.b),Extension(JPG)", ""},
        {"2005.", "Date(2005),Extension", ""},
        {"2005 #999", "Date(2005),Serial(999)", ""},
        {"2005-01-01 @00-00 Sea", "Date(2005-01-01 @00-00),Topic(Sea)", ""},  // each component at its lower edge
        {"2005 #1 Sea.jpg", "When(2005),No(1),What(Sea),Ext(JPG)",
         "Parse1xAttributeDate=When Parse1xAttributeSerial=No Parse1xAttributeTopic=What "
         "Parse1xAttributeExtension=Ext"},
        // Compact date and time forms; a month that does not qualify is left for the next token.
        {"20050714@1030 Sea", "Date(2005-07-14 @10-30),Topic(Sea)",
         "ParseDateDelimiterDateComponent= ParseDateDelimiterTimeComponent="},
        {"200513", "Date(2005),Serial(13)", "ParseDateDelimiterDateComponent= Parse1xDelimiterSerial="},
        {"$2005 #3 _12 angry men", "Date(2005),Serial(3),Topic(12 angry men)",
         "ParseDateDelimiterDate=$ Parse1xDelimiterTopic=_"},
        {"2005 12 Sea", "Date(2005),Serial(12),Topic(Sea)", "Parse1xDelimiterSerial="},
        {"2005 S:ea", "Date(2005),Topic(S:ea)", "ParseAllowIllegal=1"},
        // Topics as long as the maximum, alone, after a delimiter and joined.
        {"2005 Beach", "Date(2005),Topic(Beach)", "Parse1xTopicLengthMaximum=5"},
        {"2005 _Beach", "Date(2005),Topic(Beach)", "Parse1xDelimiterTopic=_ Parse1xTopicLengthMaximum=5"},
        {"2005 Bea #1 c", "Date(2005),Serial(1),Topic(Bea c)", "Parse1xTopicLengthMaximum=5"},
        {"2005 Beach party.jpg", "Date(2005),Topic(Beach party),Extension(JPG)", "ParseLengthMaximum=20"},
        // Findings and their spans.
        {"", "Fail @1+0 Filename is empty", ""},
        {"2005 Beach party.jpg", "Fail @1+20 Filename is too long (Length=20, Maximum=19)", "ParseLengthMaximum=19"},
        {"2005 Be:ach", "Fail @8+1 Filename contains an illegal character", ""},
        {"Beach", "Fail @1+5 Filename must contain a Year between 1900 and 2100", ""},
        {"2006~2005", "Fail @1+9 Latest Date/Time earlier than Earliest Date/Time", ""},
        // Tokens.
        {"-2005", "Fail @1+1 Invalid use of Date Separator", ""},
        {"1899 Beach", "Fail @1+1 Invalid character", ""},
        {"2005-13", "Fail @1+7 No valid 2-digit Month following Date Delimiter, Year, and Date Separator", ""},
        {"$20x5 Sea", "Fail @1+5 No valid 4-digit Year following Date Delimiter", "ParseDateDelimiterDate=$"},
        {"2005@24", "Fail @5+3 No valid 2-digit Hour following Time Delimiter", ""},
        {"2005 @", "Fail @6+1 No valid 2-digit Hour following Time Delimiter", ""},  // the span stops at the name's end
        {"2005@10-60", "Fail @5+6 No valid 2-digit Minute following Time Delimiter, Hour, and Time Separator", ""},
        {"2005 #", "Fail @6+1 No valid Serial Number following Serial Delimiter", ""},
        {"2005 #0", "Fail @6+2 Invalid Serial Number (smaller than Minimum Serial Number)", ""},
        {"2005 #1000", "Fail @6+5 Invalid Serial Number (larger than Maximum Serial Number)", ""},
        {"2005 #99999999999999", "Fail @6+15 Invalid Serial Number (larger than Maximum Serial Number)", ""},
        {"2005 Caf\xC3\xA9 #0", "Fail @11+2 Invalid Serial Number (smaller than Minimum Serial Number)", ""},
        {"2005 #0", "Fail @6+2 Invalid Serial Number (must be greater than zero)", "Parse1xSerialMinimum=0"},
        // The delimiter, the blank run and the period after it.
        {"2005 _  .jpg", "Fail @6+4 No valid Topic following Topic Delimiter", "Parse1xDelimiterTopic=_"},
        {"2005 _Beach party", "Fail @6+12 Topic too long (Maximum Topic Length = 5)",
         "Parse1xDelimiterTopic=_ Parse1xTopicLengthMaximum=5"},
        {"2005 Beach party", "Fail @6+11 Topic too long (Length=11, Maximum= 5)", "Parse1xTopicLengthMaximum=5"},
        // Each part fits; joined they are too long. The span is the token that tipped it.
        {"2005 Bea #1 ch", "Fail @13+2 Topic too long (Length=6, Maximum=5)", "Parse1xTopicLengthMaximum=5"},
        // Order of the tokens.
        {"2005 2006", "Fail @6+4 Second Date not preceded by Range Delimiter", ""},
        {"2005~2006 2007", "Fail @11+4 More than one Latest Date", ""},
        {"2005~2006~2007", "Fail @10+1 More than one Range Delimiter", ""},
        {"~2005", "Fail @1+1 Range Delimiter not preceded by Earliest Date", ""},
        {"2005 #12 #13", "Fail @10+3 More than one Serial Number", ""},
    });
}

}  // namespace
}  // namespace lorvane
