#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/dates.h"

namespace lorvane {
namespace {

using namespace date_opt;

// Delimiter styles of the tests; Usual is the settings' default.
enum class Style { Usual, CompactDate, CompactTime, DateDelimiter, NoTimeDelimiter, Unicode };

DateOptions optionsFor(Style style) {
    GlobalSettings s;
    auto both = [&](std::string GlobalSettings::*parse, std::string GlobalSettings::*build, const char* v) {
        s.*parse = v;
        s.*build = v;
    };
    switch (style) {
        case Style::Usual: break;
        case Style::CompactDate:
            both(&GlobalSettings::ParseDateDelimiterDateComponent, &GlobalSettings::BuildDateDelimiterDateComponent,
                 "");
            break;
        case Style::CompactTime:
            both(&GlobalSettings::ParseDateDelimiterTimeComponent, &GlobalSettings::BuildDateDelimiterTimeComponent,
                 "");
            break;
        case Style::DateDelimiter:
            both(&GlobalSettings::ParseDateDelimiterDate, &GlobalSettings::BuildDateDelimiterDate, "#");
            break;
        case Style::NoTimeDelimiter:  // needs a date delimiter: a bare digit would start a date
            both(&GlobalSettings::ParseDateDelimiterDate, &GlobalSettings::BuildDateDelimiterDate, "#");
            both(&GlobalSettings::ParseDateDelimiterTime, &GlobalSettings::BuildDateDelimiterTime, "");
            break;
        case Style::Unicode:  // several-byte delimiters, so positions must count characters
            both(&GlobalSettings::ParseDateDelimiterDate, &GlobalSettings::BuildDateDelimiterDate, "\xC2\xA7");
            both(&GlobalSettings::ParseDateDelimiterDateComponent, &GlobalSettings::BuildDateDelimiterDateComponent,
                 "\xC2\xB7");
            both(&GlobalSettings::ParseDateDelimiterRange, &GlobalSettings::BuildDateDelimiterRange,
                 "\xE2\x86\x92");
            break;
    }
    return MakeDateOptions(s);
}

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *MakeDateTime(DateParts{y, mo, d, h, mi, s});
}

// ---------------------------------------------------------------- reading

struct ReadCase {
    const char* text;
    Style style;
    const char* earliest;
    const char* latest;
    Status status = Status::Good;
};

class ReadDate : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadDate, CompletesTheSpan) {
    const auto& c = GetParam();
    DateTime e, l;
    Finding f;
    ValidateDateValue(c.text, e, l, f, optionsFor(c.style));
    EXPECT_EQ(f.status, c.status) << f.message;
    EXPECT_EQ(FormatDateTime(e), c.earliest);
    EXPECT_EQ(FormatDateTime(l), c.latest);
    if (c.status == Status::Good) {
        EXPECT_EQ(f.message, "Valid date value");
        EXPECT_EQ(f.position, 0);
        EXPECT_EQ(f.length, 0);
    } else {
        EXPECT_EQ(f.message, "Latest Date/Time earlier than Earliest Date/Time");
        EXPECT_EQ(f.position, 1);
        EXPECT_EQ(f.length, static_cast<int>(std::string(c.text).size()));
    }
}

constexpr auto U = Style::Usual;
INSTANTIATE_TEST_SUITE_P(
    Precisions, ReadDate,
    ::testing::Values(
        // Every precision of a single end.
        ReadCase{"2005", U, "2005-01-01 00:00:00", "2005-12-31 23:59:59"},
        ReadCase{"2005-07", U, "2005-07-01 00:00:00", "2005-07-31 23:59:59"},
        ReadCase{"2005-07-14", U, "2005-07-14 00:00:00", "2005-07-14 23:59:59"},
        ReadCase{"2005-07-14@10", U, "2005-07-14 10:00:00", "2005-07-14 10:59:59"},
        ReadCase{"2005-07-14@10-30", U, "2005-07-14 10:30:00", "2005-07-14 10:30:59"},
        ReadCase{"2005-07-14@10-30-15", U, "2005-07-14 10:30:15", "2005-07-14 10:30:15"},
        ReadCase{"2005@10", U, "2005-01-01 10:00:00", "2005-12-31 10:59:59"},
        // Month lengths and leap years.
        ReadCase{"2004-02", U, "2004-02-01 00:00:00", "2004-02-29 23:59:59"},
        ReadCase{"2005-02", U, "2005-02-01 00:00:00", "2005-02-28 23:59:59"},
        ReadCase{"1900-02", U, "1900-02-01 00:00:00", "1900-02-28 23:59:59"},
        ReadCase{"2000-02", U, "2000-02-01 00:00:00", "2000-02-29 23:59:59"},
        ReadCase{"2004-02-29", U, "2004-02-29 00:00:00", "2004-02-29 23:59:59"},
        ReadCase{"2005-04", U, "2005-04-01 00:00:00", "2005-04-30 23:59:59"},
        ReadCase{"2005-7-4", U, "2005-07-04 00:00:00", "2005-07-04 23:59:59"},
        ReadCase{"2005-07-14@9-5-7", U, "2005-07-14 09:05:07", "2005-07-14 09:05:07"},
        ReadCase{"  2005  ", U, "2005-01-01 00:00:00", "2005-12-31 23:59:59"},
        ReadCase{"1900", U, "1900-01-01 00:00:00", "1900-12-31 23:59:59"},
        ReadCase{"2100", U, "2100-01-01 00:00:00", "2100-12-31 23:59:59"}));

INSTANTIATE_TEST_SUITE_P(
    Ranges, ReadDate,
    ::testing::Values(
        // Dates: different years, same year, same month.
        ReadCase{"2005~2007", U, "2005-01-01 00:00:00", "2007-12-31 23:59:59"},
        ReadCase{"2005-03~2007", U, "2005-03-01 00:00:00", "2007-12-31 23:59:59"},
        ReadCase{"2005~2008-02", U, "2005-01-01 00:00:00", "2008-02-29 23:59:59"},
        ReadCase{"2005~2005", U, "2005-01-01 00:00:00", "2005-12-31 23:59:59"},
        ReadCase{"2005-03~2005", U, "2005-03-01 00:00:00", "2005-03-31 23:59:59"},
        ReadCase{"2005-03-10~2005", U, "2005-03-10 00:00:00", "2005-03-10 23:59:59"},
        ReadCase{"2005~2005-06", U, "2005-06-01 00:00:00", "2005-06-30 23:59:59"},
        ReadCase{"2005~2005-06-20", U, "2005-06-20 00:00:00", "2005-06-20 23:59:59"},
        ReadCase{"2005-03~2005-03", U, "2005-03-01 00:00:00", "2005-03-31 23:59:59"},
        ReadCase{"2005-03-05~2005-03", U, "2005-03-05 00:00:00", "2005-03-05 23:59:59"},
        ReadCase{"2005-03~2005-03-09", U, "2005-03-09 00:00:00", "2005-03-09 23:59:59"},
        ReadCase{"2005-03~2005-06", U, "2005-03-01 00:00:00", "2005-06-30 23:59:59"},
        ReadCase{"2005-03-05~2005-06", U, "2005-03-05 00:00:00", "2005-06-30 23:59:59"},
        ReadCase{"2005-03~2005-06-07", U, "2005-03-01 00:00:00", "2005-06-07 23:59:59"},
        ReadCase{"2004-01~2004-02", U, "2004-01-01 00:00:00", "2004-02-29 23:59:59"},
        ReadCase{"2005~", U, "2005-01-01 00:00:00", "2005-12-31 23:59:59"},
        // Times.
        ReadCase{"2005-07-14@10~2005-07-15", U, "2005-07-14 10:00:00", "2005-07-15 10:59:59"},
        ReadCase{"2005-07-14@10-30~2005-07-15", U, "2005-07-14 10:30:00", "2005-07-15 10:30:59"},
        ReadCase{"2005-07-14@10-30-05~2005-07-15", U, "2005-07-14 10:30:05", "2005-07-15 10:30:05"},
        ReadCase{"2005-07-14~2005-07-15@18", U, "2005-07-14 18:00:00", "2005-07-15 18:59:59"},
        ReadCase{"2005-07-14~2005-07-15@18-20-30", U, "2005-07-14 18:20:30", "2005-07-15 18:20:30"},
        ReadCase{"2005-07-14~@18", U, "2005-07-14 18:00:00", "2005-07-14 18:59:59"},
        ReadCase{"2005-07-14@10~@18", U, "2005-07-14 10:00:00", "2005-07-14 18:59:59"},
        ReadCase{"2005-07-14 @10 ~ @18", U, "2005-07-14 10:00:00", "2005-07-14 18:59:59"},
        ReadCase{"2005-07-14@10-15~@18-45-30", U, "2005-07-14 10:15:00", "2005-07-14 18:45:30"},
        ReadCase{"2005-07-14@10~@10", U, "2005-07-14 10:00:00", "2005-07-14 10:59:59"},
        ReadCase{"2005-07-14@10~@10-20", U, "2005-07-14 10:20:00", "2005-07-14 10:20:59"},
        ReadCase{"2005-07-14@10~@10-20-30", U, "2005-07-14 10:20:30", "2005-07-14 10:20:30"},
        ReadCase{"2005-07-14@10-20~@10", U, "2005-07-14 10:20:00", "2005-07-14 10:20:59"},
        ReadCase{"2005-07-14@10-20-30~@10", U, "2005-07-14 10:20:30", "2005-07-14 10:20:30"},
        ReadCase{"2005-07-14@10-20~@10-20", U, "2005-07-14 10:20:00", "2005-07-14 10:20:59"},
        ReadCase{"2005-07-14@10-20-10~@10-20", U, "2005-07-14 10:20:10", "2005-07-14 10:20:10"},
        ReadCase{"2005-07-14@10-20~@10-20-40", U, "2005-07-14 10:20:40", "2005-07-14 10:20:40"},
        ReadCase{"2005-07-14@10-20~@10-40", U, "2005-07-14 10:20:00", "2005-07-14 10:40:59"},
        ReadCase{"2005-07-14@10-20-05~@10-40", U, "2005-07-14 10:20:05", "2005-07-14 10:40:59"},
        // Earlier latest: a warning, the span still given.
        ReadCase{"2005~2003", U, "2005-01-01 00:00:00", "2003-12-31 23:59:59", Status::Warn},
        ReadCase{"2005-07-14@18~@10", U, "2005-07-14 18:00:00", "2005-07-14 10:59:59", Status::Warn},
        ReadCase{"2005-07-14@10-30-15~@10-30-14", U, "2005-07-14 10:30:15", "2005-07-14 10:30:14",
                 Status::Warn}));

INSTANTIATE_TEST_SUITE_P(
    Styles, ReadDate,
    ::testing::Values(
        ReadCase{"20050714", Style::CompactDate, "2005-07-14 00:00:00", "2005-07-14 23:59:59"},
        ReadCase{"200507", Style::CompactDate, "2005-07-01 00:00:00", "2005-07-31 23:59:59"},
        ReadCase{"20040229@10", Style::CompactDate, "2004-02-29 10:00:00", "2004-02-29 10:59:59"},
        // A day the month lacks is left over (and read as a year, which fails) rather than taken.
        ReadCase{"2005-07-14@103015", Style::CompactTime, "2005-07-14 10:30:15", "2005-07-14 10:30:15"},
        ReadCase{"2005-07-14@1030", Style::CompactTime, "2005-07-14 10:30:00", "2005-07-14 10:30:59"},
        ReadCase{"2005-07-14@103060", Style::CompactTime, "2005-07-14 10:31:00", "2005-07-14 10:31:00"},
        ReadCase{"2005-07-14@235960", Style::CompactTime, "2005-07-15 00:00:00", "2005-07-15 00:00:00"},
        ReadCase{"#2005-07~#2006", Style::DateDelimiter, "2005-07-01 00:00:00", "2006-12-31 23:59:59"},
        ReadCase{"#2005-07-14 10~18", Style::NoTimeDelimiter, "2005-07-14 10:00:00", "2005-07-14 18:59:59"},
        ReadCase{"\xC2\xA7" "2005\xC2\xB7" "07\xE2\x86\x92\xC2\xA7" "2006", Style::Unicode, "2005-07-01 00:00:00",
                 "2006-12-31 23:59:59"}));

struct FailCase {
    const char* text;
    Style style;
    const char* message;
    int position, length;
};

class RefuseDate : public ::testing::TestWithParam<FailCase> {};

TEST_P(RefuseDate, MessageAndSpan) {
    const auto& c = GetParam();
    DateTime e = at(2000, 1, 1), l = at(2000, 1, 1);
    Finding f;
    ValidateDateValue(c.text, e, l, f, optionsFor(c.style));
    EXPECT_EQ(f.status, Status::Fail);
    EXPECT_EQ(f.message, c.message);
    EXPECT_EQ(f.position, c.position);
    EXPECT_EQ(f.length, c.length);
    EXPECT_EQ(e, kNoDate);
    EXPECT_EQ(l, kNoDate);
}

constexpr const char* kYear = "Should be 4-digit Year between 1900 and 2100";
INSTANTIATE_TEST_SUITE_P(
    Tokenizer, RefuseDate,
    ::testing::Values(
        FailCase{"", U, "Date value may not be empty", 1, 0},
        FailCase{"   ", U, "Date value may not be empty", 1, 3},
        FailCase{"Abc", U, "Date value should begin with 4-digit year between 1900 and 2100", 1, 4},
        FailCase{"x2005", Style::DateDelimiter, "Date value should begin with Date Delimiter \"#\"", 1, 1},
        FailCase{"2005x", U, "Invalid character", 5, 1},
        FailCase{" x", U, "Invalid character", 2, 1},
        FailCase{"-2005", U, "Invalid use of Date Separator \"-\"", 1, 1},
        FailCase{"2005-07-14@10~-", U, "Invalid use of Date Separator \"-\"", 15, 1},
        FailCase{"\xC2\xA7" "2005:", Style::Unicode, "Invalid character", 6, 1},
        FailCase{"2005", Style::Unicode, "Date value should begin with Date Delimiter \"\xC2\xA7\"", 1, 1},
        FailCase{"1899", U, kYear, 1, 4},
        FailCase{"2101", U, kYear, 1, 4},
        FailCase{"20a5", U, kYear, 1, 4},
        FailCase{"200", U, kYear, 1, 3},
        FailCase{"2005~19", U, kYear, 6, 2},
        FailCase{"#20x5", Style::DateDelimiter, kYear, 2, 4},
        FailCase{"#", Style::DateDelimiter, kYear, 2, 0},
        FailCase{"200513", Style::CompactDate, kYear, 5, 2},
        FailCase{"2005-13", U, "Should be Month between 1 and 12", 6, 2},
        FailCase{"2005-0", U, "Should be Month between 1 and 12", 6, 1},
        FailCase{"2005-x", U, "Should be Month between 1 and 12", 6, 1},
        FailCase{"2005-", U, "Should be Month between 1 and 12", 6, 0},
        FailCase{"2005-02-30", U, "Should be Day between 1 and 28", 9, 2},
        FailCase{"2004-02-30", U, "Should be Day between 1 and 29", 9, 2},
        FailCase{"2005-04-31", U, "Should be Day between 1 and 30", 9, 2},
        FailCase{"2005-04-0", U, "Should be Day between 1 and 30", 9, 1},
        FailCase{"\xC2\xA7" "2005\xC2\xB7" "02\xC2\xB7" "29", Style::Unicode, "Should be Day between 1 and 28", 10,
                 2},
        FailCase{"2005@24", U, "Should be Hour between 0 and 23", 6, 2},
        FailCase{"2005@", U, "Should be Hour between 0 and 23", 6, 0},
        FailCase{"2005@x", U, "Should be Hour between 0 and 23", 6, 1},
        FailCase{"2005@10-60", U, "Should be Minute between 0 and 59", 9, 2},
        FailCase{"2005@10-", U, "Should be Minute between 0 and 59", 9, 0},
        FailCase{"2005@10-30-60", U, "Should be Second between 0 and 59", 12, 2},
        FailCase{"2005@10-30-x", U, "Should be Second between 0 and 59", 12, 1},
        FailCase{"#2005 25", Style::NoTimeDelimiter, "Should be Hour between 0 and 23", 7, 2},
        FailCase{"#2005-07-14 10:3", Style::NoTimeDelimiter, "Invalid character", 15, 1},
        FailCase{"2005", Style::NoTimeDelimiter, "Earliest Time not preceded by Earliest Date", 3, 0},
        FailCase{"2005@10~@10-30-", U, "Should be Second between 0 and 59", 16, 0}));

// An order error spans what the tokenizer left after moving its start: the range
// delimiter; the day or second after a separator; the compact month and day; else nothing.
INSTANTIATE_TEST_SUITE_P(
    Order, RefuseDate,
    ::testing::Values(
        FailCase{"2005 2006", U, "Second Date not preceded by Range Delimiter", 10, 0},
        FailCase{"2005 2006-03", U, "Second Date not preceded by Range Delimiter", 13, 0},
        FailCase{"2005 2006-03-04", U, "Second Date not preceded by Range Delimiter", 14, 2},
        FailCase{"2005 20060304", Style::CompactDate, "Second Date not preceded by Range Delimiter", 10, 4},
        FailCase{"2005~2006~", U, "More than one Range Delimiter", 10, 1},
        FailCase{"2005~2006 2007-01-02", U, "More than one Latest Date", 19, 2},
        FailCase{"2005~@10 2006", U, "Latest Date preceded by Latest Time", 14, 0},
        FailCase{"@10", U, "Earliest Time not preceded by Earliest Date", 4, 0},
        FailCase{"@10-20-30", U, "Earliest Time not preceded by Earliest Date", 8, 2},
        FailCase{"2005@10@11-12", U, "Second Time not preceded by Range Delimiter", 14, 0},
        FailCase{"2005@10@11-12-13", U, "Second Time not preceded by Range Delimiter", 15, 2},
        FailCase{"2005@10@1112", Style::CompactTime, "Second Time not preceded by Range Delimiter", 11, 2},
        FailCase{"2005~@10@11", U, "More than one Latest Time", 12, 0},
        FailCase{"~2005", U, "Range Delimiter not preceded by Earliest Date", 1, 1},
        FailCase{"  ~", U, "Range Delimiter not preceded by Earliest Date", 3, 1},
        FailCase{"\xE2\x86\x92", Style::Unicode, "Range Delimiter not preceded by Earliest Date", 1, 1},
        // A leap second on the year's last minute would leave the year limits.
        FailCase{"2100-12-31@235960", Style::CompactTime, kYear, 1, 17}));

TEST(ReadDate, YearLimitsComeFromTheOptions) {
    DateOptions o = optionsFor(Style::Usual);
    o[MinimumYear] = 2000;
    o[MaximumYear] = 2010;
    DateTime e, l;
    Finding f;
    ValidateDateValue("1999", e, l, f, o);
    EXPECT_EQ(f.message, "Should be 4-digit Year between 2000 and 2010");
    ValidateDateValue("x", e, l, f, o);
    EXPECT_EQ(f.message, "Date value should begin with 4-digit year between 2000 and 2010");
    o[MinimumYear] = 0;
    o[MaximumYear] = 9999;
    ValidateDateValue("0000~9999", e, l, f, o);
    EXPECT_EQ(f.status, Status::Good) << f.message;
    EXPECT_EQ(FormatDateTime(e), "0000-01-01 00:00:00");
    EXPECT_EQ(FormatDateTime(l), "9999-12-31 23:59:59");
}

TEST(ReadDate, ReadsWithTheParseSideOnly) {
    GlobalSettings s;
    s.BuildDateDelimiterDateComponent = ".";
    s.BuildDateDelimiterRange = "/";
    const DateOptions o = MakeDateOptions(s);
    DateTime e, l;
    Finding f;
    ValidateDateValue("2005-07~2006", e, l, f, o);
    EXPECT_EQ(f.status, Status::Good) << f.message;
    ValidateDateValue("2005.07", e, l, f, o);
    EXPECT_EQ(f.status, Status::Fail);
}

// ---------------------------------------------------------------- tokens

struct TokenStep {
    DateTokenKind kind;
    int start, end;  // token start as left, reading position after the token
    int v0, v1, v2;
    const char* message;
};

struct TokenCase {
    const char* text;
    Style style;
    std::vector<TokenStep> steps;
};

class Tokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(Tokens, OneTokenAtATime) {
    const auto& c = GetParam();
    const DateOptions o = optionsFor(c.style);
    int p = 1;
    for (const auto& s : c.steps) {
        DateToken t;
        t.values[0] = t.values[1] = t.values[2] = 77;
        ParseDateText(c.text, p, t, ParseDelimiters(o), 1900, 2100);
        EXPECT_EQ(t.kind, s.kind) << c.text << " at " << s.start;
        EXPECT_EQ(t.start, s.start) << c.text;
        EXPECT_EQ(p, s.end) << c.text;
        EXPECT_EQ(t.values[0], s.v0) << c.text;
        EXPECT_EQ(t.values[1], s.v1) << c.text;
        EXPECT_EQ(t.values[2], s.v2) << c.text;
        EXPECT_EQ(t.message, s.message) << c.text;
    }
}

using K = DateTokenKind;
constexpr const char* kDate = "Successfully parsed Date";
constexpr const char* kTime = "Successfully parsed Time";
constexpr const char* kRange = "Successfully parsed Range";
constexpr const char* kEnd = "Successfully reached end of value";
INSTANTIATE_TEST_SUITE_P(
    Sequences, Tokens,
    ::testing::Values(
        TokenCase{"2005-07-14 @10-30 ~ @18",
                  U,
                  {{K::Date, 9, 11, 2005, 7, 14, kDate},
                   {K::Time, 18, 18, 10, 30, -1, kTime},
                   {K::Range, 19, 20, '~', -1, -1, kRange},
                   {K::Time, 24, 24, 18, -1, -1, kTime},
                   {K::End, 24, 24, -1, -1, -1, kEnd},
                   {K::End, 24, 24, -1, -1, -1, kEnd}}},
        TokenCase{"2005-7~2006",
                  U,
                  {{K::Date, 7, 7, 2005, 7, -1, kDate},
                   {K::Range, 7, 8, '~', -1, -1, kRange},
                   {K::Date, 12, 12, 2006, -1, -1, kDate},
                   {K::End, 12, 12, -1, -1, -1, kEnd}}},
        TokenCase{"20050714@10", Style::CompactDate,
                  {{K::Date, 5, 9, 2005, 7, 14, kDate}, {K::Time, 12, 12, 10, -1, -1, kTime}}},
        TokenCase{"2005@103015", Style::CompactTime, {{K::Date, 5, 5, 2005, -1, -1, kDate},
                                                      {K::Time, 8, 12, 10, 30, 15, kTime}}},
        TokenCase{"20051399", Style::CompactDate, {{K::Date, 5, 5, 2005, -1, -1, kDate}}},
        TokenCase{"20050231", Style::CompactDate, {{K::Date, 5, 7, 2005, 2, -1, kDate}}},
        TokenCase{"@1075", Style::CompactTime, {{K::Time, 4, 4, 10, -1, -1, kTime}}},
        TokenCase{"@7", U, {{K::Time, 3, 3, 7, -1, -1, kTime}}},
        TokenCase{"#2005-01-02", Style::DateDelimiter, {{K::Date, 10, 12, 2005, 1, 2, kDate}}},
        TokenCase{"#2005 10-05", Style::NoTimeDelimiter,
                  {{K::Date, 6, 6, 2005, -1, -1, kDate}, {K::Time, 12, 12, 10, 5, -1, kTime}}},
        TokenCase{"2005 10-05", U, {{K::Date, 5, 5, 2005, -1, -1, kDate}, {K::Error, 6, 10, -1, -1, -1, kYear}}},
        TokenCase{"-@", U, {{K::Error, 1, 2, -1, -1, -1, "Invalid use of Date Separator \"-\""},
                            {K::Error, 3, 3, -1, -1, -1, "Should be Hour between 0 and 23"}}},
        TokenCase{"x\xC3\xA9y", U,
                  {{K::Error, 1, 2, -1, -1, -1, "Invalid character"},
                   {K::Error, 2, 3, -1, -1, -1, "Invalid character"},
                   {K::Error, 3, 4, -1, -1, -1, "Invalid character"}}}));

TEST(Tokens, TimeSeparatorTestedAfterDateSeparator) {
    DateDelimiters d{0, '-', '@', ':', '~'};
    int p = 1;
    DateToken t;
    ParseDateText(":", p, t, d, 1900, 2100);
    EXPECT_EQ(t.message, "Invalid use of Time Separator \":\"");
    d.timeComponent = '-';
    p = 1;
    ParseDateText("-", p, t, d, 1900, 2100);
    EXPECT_EQ(t.message, "Invalid use of Date Separator \"-\"");
}

// ---------------------------------------------------------------- writing

struct Switches {
    bool unknownDate, unknownTime, redundantDate, redundantTime, between, before, after;
};

DateOptions withSwitches(Style style, const Switches& s) {
    DateOptions o = optionsFor(style);
    o[OmitUnknownDate] = s.unknownDate;
    o[OmitUnknownTime] = s.unknownTime;
    o[OmitRedundantDate] = s.redundantDate;
    o[OmitRedundantTime] = s.redundantTime;
    o[InsertSpaceBetween] = s.between;
    o[InsertSpaceBefore] = s.before;
    o[InsertSpaceAfter] = s.after;
    return o;
}

constexpr Switches kAllOn{1, 1, 1, 1, 1, 1, 1};
constexpr Switches kAllOff{0, 0, 0, 0, 0, 0, 0};

struct BuildCase {
    DateTime earliest, latest;
    Style style;
    Switches switches;
    const char* text;
};

class BuildDate : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildDate, WritesTheSpan) {
    const auto& c = GetParam();
    EXPECT_EQ(BuildDateText(c.earliest, c.latest, withSwitches(c.style, c.switches)), c.text);
    // Into a buffer: the old content is replaced, not added to.
    std::string out = "old text that was there";
    BuildDateText(c.earliest, c.latest, withSwitches(c.style, c.switches), out);
    EXPECT_EQ(out, c.text);
}

const DateTime kDayStart = at(2005, 7, 14), kDayEnd = at(2005, 7, 14, 23, 59, 59);
INSTANTIATE_TEST_SUITE_P(
    EachSwitch, BuildDate,
    ::testing::Values(
        BuildCase{kDayStart, kDayEnd, U, kAllOn, "2005-07-14"},
        BuildCase{kDayStart, kDayEnd, U, {0, 0, 0, 0, 1, 1, 1}, "2005-07-14 @00-00-00 ~ 2005-07-14 @23-59-59"},
        BuildCase{kDayStart, kDayEnd, U, kAllOff, "2005-07-14@00-00-00~2005-07-14@23-59-59"},
        BuildCase{at(2005, 1, 1), at(2005, 12, 31, 23, 59, 59), U, kAllOn, "2005"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 18, 59, 59), U, kAllOn, "2005-07-14 @10 ~ @18"},
        // One switch at a time, starting from all off.
        BuildCase{at(2005, 1, 1), at(2005, 12, 31, 23, 59, 59), U, {1, 0, 0, 0, 0, 0, 0},
                  "2005@00-00-00~2005@23-59-59"},
        BuildCase{at(2004, 2, 1), at(2004, 2, 29, 23, 59, 59), U, {1, 0, 0, 0, 0, 0, 0},
                  "2004-02@00-00-00~2004-02@23-59-59"},
        BuildCase{at(2004, 2, 1), at(2004, 2, 28, 23, 59, 59), U, {1, 0, 0, 0, 0, 0, 0},
                  "2004-02-01@00-00-00~2004-02-28@23-59-59"},
        BuildCase{kDayStart, kDayEnd, U, {0, 1, 0, 0, 0, 0, 0}, "2005-07-14~2005-07-14"},
        BuildCase{at(2005, 7, 14, 10, 30), at(2005, 7, 14, 10, 30, 59), U, {0, 1, 0, 0, 0, 0, 0},
                  "2005-07-14@10-30~2005-07-14@10-30"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 10, 59, 59), U, {0, 1, 0, 0, 0, 0, 0},
                  "2005-07-14@10~2005-07-14@10"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 10, 58, 59), U, {0, 1, 0, 0, 0, 0, 0},
                  "2005-07-14@10-00~2005-07-14@10-58"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 15, 18), U, {0, 0, 1, 0, 0, 0, 0},
                  "2005-07-14@10-00-00~2005-07-15@18-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 18), U, {0, 0, 1, 0, 0, 0, 0},
                  "2005-07-14@10-00-00~@18-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 15, 10), U, {0, 0, 0, 1, 0, 0, 0},
                  "2005-07-14@10-00-00~2005-07-15"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 10), U, {0, 0, 1, 1, 0, 0, 0}, "2005-07-14@10-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 15, 18), U, {0, 0, 0, 0, 1, 0, 0},
                  "2005-07-14 @10-00-00~2005-07-15 @18-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 18), U, {0, 0, 1, 0, 1, 0, 0},
                  "2005-07-14 @10-00-00~@18-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 15, 18), U, {0, 0, 0, 0, 0, 1, 0},
                  "2005-07-14@10-00-00 ~2005-07-15@18-00-00"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 15, 18), U, {0, 0, 0, 0, 0, 0, 1},
                  "2005-07-14@10-00-00~ 2005-07-15@18-00-00"},
        // Earlier latest is written as it stands.
        BuildCase{at(2005, 1, 1), at(2003, 12, 31, 23, 59, 59), U, kAllOn, "2005 ~ 2003"}));

INSTANTIATE_TEST_SUITE_P(
    Styles, BuildDate,
    ::testing::Values(
        BuildCase{at(2005, 7, 14, 10, 30, 15), at(2005, 7, 14, 10, 30, 15), Style::CompactDate, kAllOn,
                  "20050714 @10-30-15"},
        BuildCase{at(2005, 7, 1), at(2005, 7, 31, 23, 59, 59), Style::CompactDate, kAllOn, "200507"},
        BuildCase{at(2005, 7, 14, 10, 30), at(2005, 7, 14, 12, 45, 59), Style::CompactTime, kAllOn,
                  "2005-07-14 @1030 ~ @1245"},
        BuildCase{at(2005, 7, 1), at(2006, 12, 31, 23, 59, 59), Style::DateDelimiter, kAllOn, "#2005-07 ~ #2006-12"},
        BuildCase{at(2005, 7, 14, 10), at(2005, 7, 14, 18, 59, 59), Style::NoTimeDelimiter, {1, 1, 1, 1, 0, 0, 0},
                  "#2005-07-1410~18"},
        BuildCase{at(5, 3, 1), at(5, 3, 31, 23, 59, 59), U, kAllOn, "0005-03"},
        BuildCase{at(2005, 7, 1), at(2006, 12, 31, 23, 59, 59), Style::Unicode, kAllOn,
                  "\xC2\xA7" "2005\xC2\xB7" "07 \xE2\x86\x92 \xC2\xA7" "2006\xC2\xB7" "12"}));

TEST(BuildDate, RangeDelimiterNoneWritesOneSpaceWhenAsked) {
    GlobalSettings s;
    s.BuildDateDelimiterRange = "";
    DateOptions o = MakeDateOptions(s);
    const DateTime e = at(2005, 1, 1), l = at(2006, 12, 31, 23, 59, 59);
    EXPECT_EQ(BuildDateText(e, l, o), "2005 2006");
    o[InsertSpaceBefore] = 0;
    EXPECT_EQ(BuildDateText(e, l, o), "2005 2006");
    o[InsertSpaceAfter] = 0;
    EXPECT_EQ(BuildDateText(e, l, o), "20052006");
}

TEST(BuildDate, SwitchesCountOnlyWhenExactlyOne) {
    DateOptions o = optionsFor(U);
    for (std::size_t i = OmitUnknownDate; i <= InsertSpaceAfter; ++i) o[i] = 2;
    EXPECT_EQ(BuildDateText(kDayStart, kDayEnd, o), "2005-07-14@00-00-00~2005-07-14@23-59-59");
}

TEST(BuildDate, WritesWithTheBuildSideOnly) {
    GlobalSettings s;
    s.ParseDateDelimiterDateComponent = ".";
    s.BuildDateDelimiterRange = "/";
    EXPECT_EQ(BuildDateText(at(2005, 7, 1), at(2006, 12, 31, 23, 59, 59), MakeDateOptions(s)), "2005-07 / 2006-12");
}

TEST(BuildDate, UnwritableDateTimesGiveNoText) {
    const DateOptions o = optionsFor(U);
    EXPECT_EQ(BuildDateText(kNoDate, kDayEnd, o), "");
    EXPECT_EQ(BuildDateText(kDayStart, kNoDate, o), "");
    const DateTime beyond = DateTime{std::chrono::sys_days{std::chrono::year{10000} / 1 / 1}};
    EXPECT_EQ(BuildDateText(kDayStart, beyond, o), "");
    std::string out = "2005";
    BuildDateText(kDayStart, beyond, o, out);
    EXPECT_EQ(out, "");  // emptied, so a stale text is never taken for the date
    EXPECT_EQ(FormatDateTime(kNoDate), "");
    // Far outside the calendar type's own range: refused, not wrapped into some year.
    EXPECT_FALSE(SplitDateTime(DateTime{std::chrono::seconds{std::int64_t{1} << 50}}));
    EXPECT_FALSE(SplitDateTime(DateTime{std::chrono::seconds{-(std::int64_t{1} << 50)}}));
}

// ---------------------------------------------------------------- calendar helpers

TEST(Calendar, MonthLengthsAndDateTimes) {
    EXPECT_EQ(LastDayOfMonth(2004, 2), 29);
    EXPECT_EQ(LastDayOfMonth(1900, 2), 28);
    EXPECT_EQ(LastDayOfMonth(2000, 2), 29);
    EXPECT_EQ(LastDayOfMonth(2005, 12), 31);
    EXPECT_EQ(LastDayOfMonth(2005, 11), 30);
    EXPECT_EQ(LastDayOfMonth(2005, 13), 0);
    EXPECT_FALSE(MakeDateTime({2005, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(MakeDateTime({2005, 1, 1, 24, 0, 0}));
    EXPECT_FALSE(MakeDateTime({2005, 1, 1, 0, 0, -1}));
    EXPECT_EQ(FormatDateTime(*MakeDateTime({2005, 12, 31, 23, 59, 60})), "2006-01-01 00:00:00");
    EXPECT_EQ(SplitDateTime(at(2004, 2, 29, 13, 14, 15)), (DateParts{2004, 2, 29, 13, 14, 15}));
}

// ---------------------------------------------------------------- arithmetic and field texts

std::string dialogText(std::optional<DateTime> t) { return t ? FormatDialogDateTime(*t) : "none"; }
DateTime typed(std::string_view text) { return ReadDialogDateTime(text).value_or(kNoDate); }

TEST(ShiftDate, CarriesComponentByComponent) {
    struct Case {
        const char* from;
        DateShift shift;
        const char* to;
    } cases[] = {
        {"2004/01/31 10:00:00", {0, 1, 0, 0, 0, 0}, "2004/03/02 10:00:00"},  // 31 February carries into March
        {"2004/12/31 23:30:00", {0, 0, 0, 0, 45, 0}, "2005/01/01 00:15:00"},
        {"2004/03/01 00:00:00", {0, 0, -1, 0, 0, 0}, "2004/02/29 00:00:00"},
        {"2004/06/15 12:00:00", {0, 7, 0, 0, 0, 0}, "2005/01/15 12:00:00"},   // month 13
        {"2004/01/15 12:00:00", {0, -1, 0, 0, 0, 0}, "2003/12/15 12:00:00"},  // month 0
        {"2004/05/01 23:00:00", {0, 0, 0, 1, 0, 0}, "2004/05/02 00:00:00"},   // hour 24
        {"2004/05/01 00:00:00", {0, 0, 0, 0, 0, -1}, "2004/04/30 23:59:59"},  // second -1
        {"2004/02/29 00:00:00", {1, 0, 0, 0, 0, 0}, "2005/03/01 00:00:00"},
        {"2004/02/29 00:00:00", {0, 0, 0, 0, 0, 0}, "2004/02/29 00:00:00"},
        {"9999/12/31 23:59:59", {0, 0, 0, 0, 0, 1}, "none"},  // past year 9999
        {"2004/01/01 00:00:00", {std::int64_t{1} << 50, 0, 0, 0, 0, 0}, "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(dialogText(ShiftDateTime(typed(c.from), c.shift)), c.to) << c.from;
}

TEST(RoundDate, WidensToWholeUnits) {
    struct Case {
        DatePrecision precision;
        const char *earliest, *latest;
    } cases[] = {
        {DatePrecision::Year, "2004/01/01 00:00:00", "2004/12/31 23:59:59"},
        {DatePrecision::Month, "2004/02/01 00:00:00", "2004/02/29 23:59:59"},
        {DatePrecision::Day, "2004/02/10 00:00:00", "2004/02/12 23:59:59"},
        {DatePrecision::Hour, "2004/02/10 09:00:00", "2004/02/12 18:59:59"},
        {DatePrecision::Minute, "2004/02/10 09:15:00", "2004/02/12 18:00:59"},
        {DatePrecision::Second, "2004/02/10 09:15:07", "2004/02/12 18:00:00"},
    };
    for (const auto& c : cases) {
        DateTime e = typed("2004/02/10 09:15:07"), l = typed("2004/02/12 18:00:00");
        RoundDateSpan(c.precision, e, l);
        EXPECT_EQ(FormatDialogDateTime(e), c.earliest);
        EXPECT_EQ(FormatDialogDateTime(l), c.latest);
    }
}

TEST(DialogFields, DateTextsReadAndWrite) {
    struct Case {
        const char *typed, *shown;
    } cases[] = {
        {"2004/02/29 13:14:15", "2004/02/29 13:14:15"}, {"2004-02-29 13:14:15", "2004/02/29 13:14:15"},
        {" 2004-02-29T13:14:15 ", "2004/02/29 13:14:15"}, {"", "none"}, {"2004/02/30 00:00:00", "none"},
        {"2004/02/29T13:14:15", "none"}, {"2004-02/29 13:14:15", "none"}, {"2004/02/29 24:00:00", "none"},
        {"2004/02/29 23:60:00", "none"}, {"2004/02/29 23:59:60", "none"}, {"2004/02/29", "none"},
        {"yesterday", "none"}, {"2004/2/29 13:14:15", "none"},
    };
    for (const auto& c : cases) EXPECT_EQ(dialogText(ReadDialogDateTime(c.typed)), c.shown) << c.typed;
}

TEST(DialogFields, ShiftTextsReadAndWrite) {
    struct Case {
        const char *typed, *shown;  // shown: "none" when it is no number
    } cases[] = {{"7", "+7"},       {"+5", "+5"},     {"-3", "-3"},   {"0", "+0"},
                 {" 12 ", "+12"},   {"abc", "none"},  {"", "none"},   {"1.5", "none"},
                 {"+", "none"},     {"99999999999999999999", "+9223372036854775807"},
                 {"-99999999999999999999", "-9223372036854775808"}};
    for (const auto& c : cases) {
        const auto n = ReadShiftField(c.typed);
        EXPECT_EQ(n ? FormatShiftField(*n) : "none", c.shown) << c.typed;
    }
}

// ---------------------------------------------------------------- round trip

// Random spans at every precision, written under random switches and read back.
TEST(DateRoundTrip, BuildThenValidateGivesTheSameSpan) {
    std::mt19937 rng(20050714);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // An end of a span at precision 0 (year) to 5 (second): the rest at its extreme.
    auto end = [&](bool latest, int precision) {
        DateParts p{pick(1900, 2100), pick(1, 12), 1, pick(0, 23), pick(0, 59), pick(0, 59)};
        p.day = pick(1, LastDayOfMonth(p.year, p.month));
        if (precision < 1) p.month = latest ? 12 : 1;
        if (precision < 2) p.day = latest ? LastDayOfMonth(p.year, p.month) : 1;
        if (precision < 3) p.hour = latest ? 23 : 0;
        if (precision < 4) p.minute = latest ? 59 : 0;
        if (precision < 5) p.second = latest ? 59 : 0;
        return p;
    };
    const Style styles[] = {Style::Usual, Style::CompactDate, Style::DateDelimiter, Style::Unicode};
    int checked = 0;
    for (int i = 0; i < 4000; ++i) {
        DateParts e = end(false, pick(0, 5));
        DateParts l = end(true, pick(0, 5));
        // Also spans inside one year, month, day, hour and minute, where the omissions bite.
        const int shared = pick(0, 5);
        if (shared >= 1) l.year = e.year;
        if (shared >= 2) l.month = e.month;
        l.day = std::min(l.day, LastDayOfMonth(l.year, l.month));  // 29 February may have gone
        if (shared >= 3) l.day = e.day;
        if (shared >= 4) l.hour = e.hour;
        if (shared >= 5) l.minute = e.minute;
        const DateTime earliest = *MakeDateTime(e), latest = *MakeDateTime(l);
        const unsigned mask = static_cast<unsigned>(pick(0, 127));
        const Switches sw{(mask & 1) != 0,  (mask & 2) != 0,  (mask & 4) != 0, (mask & 8) != 0,
                          (mask & 16) != 0, (mask & 32) != 0, (mask & 64) != 0};
        const DateOptions o = withSwitches(styles[i % 4], sw);
        const std::string text = BuildDateText(earliest, latest, o);
        DateTime e2, l2;
        Finding f;
        ValidateDateValue(text, e2, l2, f, o);
        ASSERT_NE(f.status, Status::Fail) << text << ": " << f.message << " " << FormatDateTime(earliest) << " / " << FormatDateTime(latest) << " switches " << mask << " style " << i % 4;
        ASSERT_EQ(f.status == Status::Warn, latest < earliest) << text;
        ASSERT_EQ(FormatDateTime(e2), FormatDateTime(earliest)) << text << " switches " << mask;
        ASSERT_EQ(FormatDateTime(l2), FormatDateTime(latest)) << text << " switches " << mask;
        ++checked;
    }
    EXPECT_EQ(checked, 4000);
}

}  // namespace
}  // namespace lorvane
