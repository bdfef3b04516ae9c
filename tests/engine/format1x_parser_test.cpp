#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/dates.h"
#include "engine/format1x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::treeText;

using Tweak = std::function<void(GlobalSettings&)>;

Result parse(std::string_view name, AttributeTree& tree, const Tweak& tweak = {}) {
    GlobalSettings s;
    if (tweak) tweak(s);
    Result r;
    r.set(Status::Warn, "stale", 9, 9);
    Parse1x(name, tree, r, MakeDateOptions(s), MakeParse1xOptions(s));
    return r;
}

// The span a date value text stands for, read back with the default settings.
std::string span(std::string_view dateText) {
    DateTime earliest, latest;
    Finding f;
    ValidateDateValue(dateText, earliest, latest, f, MakeDateOptions(GlobalSettings{}));
    return FormatDateTime(earliest) + " to " + FormatDateTime(latest);
}

struct GoodCase {
    const char* name;
    const char* tree;
    const char* span;  // earliest and latest date-times of the date value
    Tweak tweak = {};
};

class Parse1xGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(Parse1xGood, FillsTheTree) {
    const auto& c = GetParam();
    AttributeTree tree;
    Result r = parse(c.name, tree, c.tweak);
    ASSERT_EQ(r.status, Status::Good) << r.message << " at " << r.position;
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.position, 0);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(treeText(tree), c.tree);
    EXPECT_TRUE(tree.wellShaped());
    const int date = tree[tree.root()].child;
    ASSERT_NE(date, 0);
    EXPECT_EQ(span(tree[tree[date].child].text), c.span);
    for (int i = 1; i <= tree.count(); ++i) {
        if (tree[i].isAttribute()) {
            EXPECT_EQ(tree[i].tag, tree[i].text);
        }
        EXPECT_EQ(statusOfImage(tree[i].image), Status::Good);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, Parse1xGood,
    ::testing::Values(
        GoodCase{"2005-07-14~2005-07-15 #12 Beach party.jpg",
                 "Filename(Date(2005-07-14 ~ 2005-07-15),Serial(12),Topic(Beach party),Extension(JPG))",
                 "2005-07-14 00:00:00 to 2005-07-15 23:59:59"},
        // A latest time that is missing copies the earliest hour and minute.
        GoodCase{"2005-07-14@10-30~2005-07-15 #12 Beach party.jpg",
                 "Filename(Date(2005-07-14 @10-30 ~ 2005-07-15),Serial(12),Topic(Beach party),Extension(JPG))",
                 "2005-07-14 10:30:00 to 2005-07-15 10:30:59"},
        GoodCase{"2005.jpg", "Filename(Date(2005),Extension(JPG))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2004-02", "Filename(Date(2004-02))", "2004-02-01 00:00:00 to 2004-02-29 23:59:59"},
        GoodCase{"2005-07-14@10-30-15", "Filename(Date(2005-07-14 @10-30-15))",
                 "2005-07-14 10:30:15 to 2005-07-14 10:30:15"},
        // The text the builder writes reads back: spaces around every token are skipped.
        GoodCase{"2005-07-14 @10 ~ @18 #3 Sea.JpEg", "Filename(Date(2005-07-14 @10 ~ @18),Serial(3),Topic(Sea),Extension(JPEG))",
                 "2005-07-14 10:00:00 to 2005-07-14 18:59:59"},
        GoodCase{"2005~2005", "Filename(Date(2005))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2005 Beach #12 party", "Filename(Date(2005),Serial(12),Topic(Beach party))",
                 "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2005 Beach 2006", "Filename(Date(2005),Topic(Beach 2006))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2005 #007 a.b.jpg", "Filename(Date(2005),Serial(7),Topic(a.b),Extension(JPG))",
                 "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2005.", "Filename(Date(2005),Extension)", "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        GoodCase{"2005 Caf\xC3\xA9 au lait.png", "Filename(Date(2005),Topic(Caf\xC3\xA9 au lait),Extension(PNG))",
                 "2005-01-01 00:00:00 to 2005-12-31 23:59:59"},
        // Names from the settings.
        GoodCase{"2005 #1 Sea.jpg", "Filename(When(2005),No(1),What(Sea),Ext(JPG))",
                 "2005-01-01 00:00:00 to 2005-12-31 23:59:59",
                 [](GlobalSettings& s) {
                     s.Parse1xAttributeDate = "When";
                     s.Parse1xAttributeSerial = "No";
                     s.Parse1xAttributeTopic = "What";
                     s.Parse1xAttributeExtension = "Ext";
                 }},
        // Compact date and time forms.
        GoodCase{"20050714@1030 Sea", "Filename(Date(2005-07-14 @10-30),Topic(Sea))",
                 "2005-07-14 10:30:00 to 2005-07-14 10:30:59",
                 [](GlobalSettings& s) {
                     s.ParseDateDelimiterDateComponent = "";
                     s.ParseDateDelimiterTimeComponent = "";
                 }},
        // A month that does not qualify is left for the next token (here a serial without delimiter).
        GoodCase{"200513", "Filename(Date(2005),Serial(13))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59",
                 [](GlobalSettings& s) {
                     s.ParseDateDelimiterDateComponent = "";
                     s.Parse1xDelimiterSerial = "";
                 }},
        GoodCase{"2005-07-14 1030 Sea", "Filename(Date(2005-07-14 @10-30),Topic(Sea))",
                 "2005-07-14 10:30:00 to 2005-07-14 10:30:59",
                 [](GlobalSettings& s) {
                     s.ParseDateDelimiterTime = "";
                     s.ParseDateDelimiterTimeComponent = "";
                 }},
        GoodCase{"2005-07-14@235960", "Filename(Date(2005-07-15 @00-00-00))",
                 "2005-07-15 00:00:00 to 2005-07-15 00:00:00",
                 [](GlobalSettings& s) { s.ParseDateDelimiterTimeComponent = ""; }},
        // Delimited date, serial and topic.
        GoodCase{"$2005 #3 _12 angry men", "Filename(Date(2005),Serial(3),Topic(12 angry men))",
                 "2005-01-01 00:00:00 to 2005-12-31 23:59:59",
                 [](GlobalSettings& s) {
                     s.ParseDateDelimiterDate = "$";
                     s.Parse1xDelimiterTopic = "_";
                 }},
        GoodCase{"2005 12 Sea", "Filename(Date(2005),Serial(12),Topic(Sea))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59",
                 [](GlobalSettings& s) { s.Parse1xDelimiterSerial = ""; }},
        GoodCase{"2005 S:ea", "Filename(Date(2005),Topic(S:ea))", "2005-01-01 00:00:00 to 2005-12-31 23:59:59",
                 [](GlobalSettings& s) { s.ParseAllowIllegal = 1; }}),
    [](const auto& info) { return "Good" + std::to_string(info.index); });

struct FailCase {
    const char* name;
    const char* message;
    int position;
    int length;
    Tweak tweak = {};
};

class Parse1xFail : public ::testing::TestWithParam<FailCase> {};

TEST_P(Parse1xFail, MessageAndSpan) {
    const auto& c = GetParam();
    AttributeTree tree;
    testing::buildTree(tree, "Filename(A(b))");
    Result r = parse(c.name, tree, c.tweak);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.position, c.position);
    EXPECT_EQ(r.length, c.length);
    EXPECT_TRUE(tree.empty()) << "a failed parse leaves no root";
}

const Tweak kSerialFromZero = [](GlobalSettings& s) { s.Parse1xSerialMinimum = 0; };
const Tweak kTopicDelimiter = [](GlobalSettings& s) { s.Parse1xDelimiterTopic = "_"; };
const Tweak kTopicMaximum5 = [](GlobalSettings& s) { s.Parse1xTopicLengthMaximum = 5; };

INSTANTIATE_TEST_SUITE_P(
    Whole, Parse1xFail,
    ::testing::Values(
        FailCase{"", "Filename is empty", 1, 0},
        FailCase{"2005 Beach party.jpg", "Filename is too long (Length=20, Maximum=10)", 1, 20,
                 [](GlobalSettings& s) { s.ParseLengthMaximum = 10; }},
        FailCase{"2005 Be:ach", "Filename contains an illegal character", 8, 1},
        FailCase{"Beach", "Filename must contain a Year between 1900 and 2100", 1, 5},
        FailCase{".jpg", "Filename must contain a Year between 1900 and 2100", 1, 0},
        FailCase{"Beach", "Filename must contain a Year between 1950 and 2000", 1, 5,
                 [](GlobalSettings& s) {
                     s.ParseDateMinimumYear = 1950;
                     s.ParseDateMaximumYear = 2000;
                 }},
        FailCase{"2006~2005", "Latest Date/Time earlier than Earliest Date/Time", 1, 9},
        FailCase{"2005-07-14@11~@10.jpg", "Latest Date/Time earlier than Earliest Date/Time", 1, 21}),
    [](const auto& info) { return "Whole" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Tokens, Parse1xFail,
    ::testing::Values(
        FailCase{"-2005", "Invalid use of Date Separator", 1, 1},
        FailCase{"2005 '", "Invalid use of Time Separator", 6, 1,
                 [](GlobalSettings& s) { s.ParseDateDelimiterTimeComponent = "'"; }},
        FailCase{"1899 Beach", "Invalid character", 1, 1},
        FailCase{"2005 $", "Invalid character", 6, 1},
        FailCase{"2004-02-30", "No valid 2-digit Day following Date Delimiter, Year, Date Separator, Month, and Date Separator",
                 1, 10},
        FailCase{"2005-13", "No valid 2-digit Month following Date Delimiter, Year, and Date Separator", 1, 7},
        FailCase{"$20x5 Sea", "No valid 4-digit Year following Date Delimiter", 1, 5,
                 [](GlobalSettings& s) { s.ParseDateDelimiterDate = "$"; }},
        FailCase{"2005@24", "No valid 2-digit Hour following Time Delimiter", 5, 3},
        // The move past the end selects no further than the name.
        FailCase{"2005 @", "No valid 2-digit Hour following Time Delimiter", 6, 1},
        FailCase{"2005@10-60", "No valid 2-digit Minute following Time Delimiter, Hour, and Time Separator", 5, 6},
        FailCase{"2005@10-30-61",
                 "No valid 2-digit Second following Time Delimiter, Hour, Time Separator, Minute, and Time Separator", 5,
                 9},
        FailCase{"2005 #", "No valid Serial Number following Serial Delimiter", 6, 1},
        FailCase{"2005 #x", "No valid Serial Number following Serial Delimiter", 6, 1},
        FailCase{"2005 #0", "Invalid Serial Number (smaller than Minimum Serial Number)", 6, 2},
        FailCase{"2005 #1000", "Invalid Serial Number (larger than Maximum Serial Number)", 6, 5},
        FailCase{"2005 #99999999999999", "Invalid Serial Number (larger than Maximum Serial Number)", 6, 15},
        FailCase{"2005 Caf\xC3\xA9 #0", "Invalid Serial Number (smaller than Minimum Serial Number)", 11, 2},
        // The delimiter, the blank run and the period after it.
        FailCase{"2005 _  .jpg", "No valid Topic following Topic Delimiter", 6, 4, kTopicDelimiter},
        FailCase{"2005 _Beach party", "Topic too long (Maximum Topic Length = 5)", 6, 12,
                 [](GlobalSettings& s) {
                     s.Parse1xDelimiterTopic = "_";
                     s.Parse1xTopicLengthMaximum = 5;
                 }},
        FailCase{"2005 Beach party", "Topic too long (Length=11, Maximum= 5)", 6, 11, kTopicMaximum5}),
    [](const auto& info) { return "Token" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Order, Parse1xFail,
    ::testing::Values(
        FailCase{"2005 2006", "Second Date not preceded by Range Delimiter", 6, 4},
        FailCase{"2005~2006 2007", "More than one Latest Date", 11, 4},
        FailCase{"2005~@10 2006", "Latest Date preceded by Latest Time", 10, 4},
        FailCase{"@10 2005", "Earliest Time not preceded by Earliest Date", 1, 3},
        FailCase{"2005@10@11", "Second Time not preceded by Range Delimiter", 8, 3},
        FailCase{"2005~@10@11", "More than one Latest Time", 9, 3},
        FailCase{"2005~2006~2007", "More than one Range Delimiter", 10, 1},
        FailCase{"~2005", "Range Delimiter not preceded by Earliest Date", 1, 1},
        FailCase{"2005 #12 #13", "More than one Serial Number", 10, 3},
        FailCase{"2005 #0", "Invalid Serial Number (must be greater than zero)", 6, 2, kSerialFromZero},
        // Each part fits; joined they are too long. The span is the token that tipped it.
        FailCase{"2005 Bea #1 ch", "Topic too long (Length=6, Maximum=5)", 13, 2, kTopicMaximum5}),
    [](const auto& info) { return "Order" + std::to_string(info.index); });

TEST(Next1xToken, ReadsOneTokenAtATime) {
    GlobalSettings s;
    const Tokenizer1xSettings settings = MakeTokenizer1xSettings(MakeDateOptions(s), MakeParse1xOptions(s));
    const std::u32string body = U"2005-07-14@10 ~  #12 Beach 7 #";
    struct Expected {
        Token1xKind kind;
        int start, end;
        std::int32_t v1, v2, v3;
        const char* message;
        const char* topic = "";
    };
    const Expected expected[] = {
        {Token1xKind::Date, 1, 11, 2005, 7, 14, "Successfully parsed Date"},
        {Token1xKind::Time, 11, 14, 10, -1, -1, "Successfully parsed Time"},
        {Token1xKind::Range, 15, 16, U'~', -1, -1, "Successfully parsed Range"},
        {Token1xKind::Serial, 18, 21, 12, -1, -1, "Successfully parsed Serial"},
        {Token1xKind::Topic, 22, 30, -1, -1, -1, "Successfully parsed Topic", "Beach 7"},
        {Token1xKind::Error, 30, 31, -1, -1, -1, "No valid Serial Number following Serial Delimiter"},
        {Token1xKind::End, 31, 31, -1, -1, -1, "Successfully reached end of filename"},
    };
    int p = 1;
    Token1x t;
    for (const auto& e : expected) {
        Next1xToken(body, p, t, settings);
        EXPECT_EQ(t.kind, e.kind) << e.message;
        EXPECT_EQ(t.start, e.start) << e.message;
        EXPECT_EQ(p, e.end) << e.message;
        EXPECT_EQ(t.values[0], e.v1) << e.message;
        EXPECT_EQ(t.values[1], e.v2) << e.message;
        EXPECT_EQ(t.values[2], e.v3) << e.message;
        EXPECT_EQ(t.message, e.message);
        EXPECT_EQ(t.topic, e.topic);
    }
}

TEST(Parse1x, ExpandsByShowLevels) {
    for (int levels : {0, 1, 2, 3}) {
        AttributeTree tree;
        ASSERT_EQ(parse("2005 #1.jpg", tree, [&](GlobalSettings& s) { s.ParseShowTreeLevels = levels; }).status,
                  Status::Good);
        for (int i = 1; i <= tree.count(); ++i)
            EXPECT_EQ(tree[i].expanded, levels > tree.depth(i)) << "levels " << levels << " node " << i;
        EXPECT_EQ(tree[2].expandedImage, image::AttributeGood + 1);
    }
}

}  // namespace
}  // namespace lorvane
