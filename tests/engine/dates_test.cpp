#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "engine/dates.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using namespace date_opt;
using testing::findingText;

// Delimiter styles, set alike on the parse and the build side: "DateComponent= Range=→".
// Keys that already name a side ("ParseDateMinimumYear=2000") are taken as they are.
DateOptions options(std::string_view style) {
    std::string full;
    for (std::string_view item : testing::words(style))
        full += item.starts_with("Parse") || item.starts_with("Build")
                    ? std::string(item) + " "
                    : "ParseDateDelimiter" + std::string(item) + " BuildDateDelimiter" + std::string(item) + " ";
    return MakeDateOptions(testing::settingsWith(full));
}
constexpr const char *U = "", *CD = "DateComponent=", *CT = "TimeComponent=", *DD = "Date=#",
                     *NT = "Date=# Time=",  // a bare digit would start a date, so a date delimiter too
                         *UNI = "Date=§ DateComponent=· Range=→";  // several bytes: positions count characters

// "2005-07-14 10:30" and the like; what is left out is zero.
DateTime at(const char* text) {
    DateParts p{0, 1, 1, 0, 0, 0};
    std::sscanf(text, "%d-%d-%d %d:%d:%d", &p.year, &p.month, &p.day, &p.hour, &p.minute, &p.second);
    return *MakeDateTime(p);
}

// A span as "earliest ~ latest"; a refusal as its finding, with both ends emptied.
std::string readText(std::string_view text, const DateOptions& o) {
    DateTime e = at("2000"), l = at("2000");
    Finding f;
    ValidateDateValue(text, e, l, f, o);
    if (f.status == Status::Fail) {
        EXPECT_TRUE(e == kNoDate && l == kNoDate) << text;
        return findingText(f);
    }
    const std::string span = FormatDateTime(e) + " ~ " + FormatDateTime(l);
    return findingText(f) == "Good @0+0 Valid date value" ? span : findingText(f) + " " + span;
}

using ReadRows = std::vector<std::tuple<const char*, const char*, const char*>>;  // text, style, span or finding
void checkReads(const ReadRows& rows) {
    for (const auto& [text, style, expect] : rows) EXPECT_EQ(readText(text, options(style)), expect) << text;
}

TEST(ReadDate, CompletesTheSpanOrRefuses) {
    checkReads({
        {"2005", U, "2005-01-01 00:00:00 ~ 2005-12-31 23:59:59"},
        {"2004-02", U, "2004-02-01 00:00:00 ~ 2004-02-29 23:59:59"},
        {"1900-02", U, "1900-02-01 00:00:00 ~ 1900-02-28 23:59:59"},
        {"2005-7-4", U, "2005-07-04 00:00:00 ~ 2005-07-04 23:59:59"},
        {"  2005  ", U, "2005-01-01 00:00:00 ~ 2005-12-31 23:59:59"},
        {"1900~2100", U, "1900-01-01 00:00:00 ~ 2100-12-31 23:59:59"},
        // Ranges of dates: different years, same year, same month.
        {"2005-03~2008-02", U, "2005-03-01 00:00:00 ~ 2008-02-29 23:59:59"},
        {"2005-03-10~2005", U, "2005-03-10 00:00:00 ~ 2005-03-10 23:59:59"},
        {"2005~2005-06", U, "2005-06-01 00:00:00 ~ 2005-06-30 23:59:59"},
        {"2005-03~2005-03", U, "2005-03-01 00:00:00 ~ 2005-03-31 23:59:59"},
        {"2005-03-05~2005-03", U, "2005-03-05 00:00:00 ~ 2005-03-05 23:59:59"},
        {"2005-03~2005-03-09", U, "2005-03-09 00:00:00 ~ 2005-03-09 23:59:59"},
        {"2005-03~2005-06-07", U, "2005-03-01 00:00:00 ~ 2005-06-07 23:59:59"},
        // Ranges with times; a missing latest time copies the earliest even on another day.
        {"2005-07-14@10~2005-07-15", U, "2005-07-14 10:00:00 ~ 2005-07-15 10:59:59"},
        {"2005-07-14@10-30-05~2005-07-15", U, "2005-07-14 10:30:05 ~ 2005-07-15 10:30:05"},
        {"2005-07-14~2005-07-15@18", U, "2005-07-14 18:00:00 ~ 2005-07-15 18:59:59"},
        {"2005-07-14 @10 ~ @18", U, "2005-07-14 10:00:00 ~ 2005-07-14 18:59:59"},
        {"2005-07-14@10~@10", U, "2005-07-14 10:00:00 ~ 2005-07-14 10:59:59"},
        {"2005-07-14@10~@10-20", U, "2005-07-14 10:20:00 ~ 2005-07-14 10:20:59"},
        {"2005-07-14@10-20-30~@10", U, "2005-07-14 10:20:30 ~ 2005-07-14 10:20:30"},
        {"2005-07-14@10-20-10~@10-20", U, "2005-07-14 10:20:10 ~ 2005-07-14 10:20:10"},
        {"2005-07-14@10-20~@10-20-40", U, "2005-07-14 10:20:40 ~ 2005-07-14 10:20:40"},
        {"2005-07-14@10-20-05~@10-40", U, "2005-07-14 10:20:05 ~ 2005-07-14 10:40:59"},
        // An earlier latest: a warning, the span still given.
        {"2005-07-14@10-30-15~@10-30-14", U,
         "Warn @1+29 Latest Date/Time earlier than Earliest Date/Time 2005-07-14 10:30:15 ~ 2005-07-14 10:30:14"},
        // Other delimiters.
        {"2005-07-14@235960", CT, "2005-07-15 00:00:00 ~ 2005-07-15 00:00:00"},
        {"§2005·07→§2006", UNI, "2005-07-01 00:00:00 ~ 2006-12-31 23:59:59"},
        // Year limits come from the options; the parse side alone is read.
        {"1999", "ParseDateMinimumYear=2000 ParseDateMaximumYear=2010",
         "Fail @1+4 Should be 4-digit Year between 2000 and 2010"},
        {"0000~9999", "ParseDateMinimumYear=0 ParseDateMaximumYear=9999", "0000-01-01 00:00:00 ~ 9999-12-31 23:59:59"},
        {"2005.07", "BuildDateDelimiterDateComponent=.", "Fail @5+1 Invalid character"},
        // Refusals: the message and its span.
        {"", U, "Fail @1+0 Date value may not be empty"},
        {"Abc", U, "Fail @1+4 Date value should begin with 4-digit year between 1900 and 2100"},
        {"x2005", DD, "Fail @1+1 Date value should begin with Date Delimiter \"#\""},
        {"2005x", U, "Fail @5+1 Invalid character"},
        {"-2005", U, "Fail @1+1 Invalid use of Date Separator \"-\""},
        {"1899", U, "Fail @1+4 Should be 4-digit Year between 1900 and 2100"},
        {"2101", U, "Fail @1+4 Should be 4-digit Year between 1900 and 2100"},
        // A leap second on the year's last minute would leave the year limits.
        {"2100-12-31@235960", CT, "Fail @1+17 Should be 4-digit Year between 1900 and 2100"},
        {"2005-13", U, "Fail @6+2 Should be Month between 1 and 12"},
        {"2005-02-30", U, "Fail @9+2 Should be Day between 1 and 28"},
        {"2004-02-30", U, "Fail @9+2 Should be Day between 1 and 29"},
        {"2005@24", U, "Fail @6+2 Should be Hour between 0 and 23"},
        {"2005@10-30-60", U, "Fail @12+2 Should be Second between 0 and 59"},
        {"2005", NT, "Fail @3+0 Earliest Time not preceded by Earliest Date"},
        // Out of order: the span is what the tokenizer left after moving its start (the
        // range delimiter; a day or second after a separator).
        {"2005 2006", U, "Fail @10+0 Second Date not preceded by Range Delimiter"},
        {"2005~2006~", U, "Fail @10+1 More than one Range Delimiter"},
        {"2005~2006 2007-01-02", U, "Fail @19+2 More than one Latest Date"},
        {"~2005", U, "Fail @1+1 Range Delimiter not preceded by Earliest Date"},
    });
}

// One token at a time: where it starts and ends, its first value and its message.
TEST(ReadDate, OneTokenAtATime) {
    const DateDelimiters d = ParseDelimiters(options(U));
    DateToken t;
    std::string seen;
    for (int p = 1, n = 0; n < 4; ++n) {
        ParseDateText("2005-07-14 @10 ~x", p, t, d, 1900, 2100);
        seen += std::to_string(t.start) + ">" + std::to_string(p) + " " + std::to_string(t.values[0]) + " " +
                t.message + "|";
    }
    EXPECT_EQ(seen,
              "9>11 2005 Successfully parsed Date|15>15 10 Successfully parsed Time|"
              "16>17 126 Successfully parsed Range|17>18 -1 Invalid character|");
}

// The seven switches as "1111111": omit unknown date, unknown time, redundant date,
// redundant time; a space between date and time, before and after the range delimiter.
DateOptions withSwitches(const char* style, std::string_view switches) {
    DateOptions o = options(style);
    for (std::size_t i = 0; i < switches.size(); ++i) o[OmitUnknownDate + i] = switches[i] - '0';
    return o;
}

TEST(BuildDate, WritesTheSpan) {
    const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
        {"2005-07-14", "2005-07-14 23:59:59", U, "1111111", "2005-07-14"},
        {"2005-07-14", "2005-07-14 23:59:59", U, "0000000", "2005-07-14@00-00-00~2005-07-14@23-59-59"},
        {"2005-07-14", "2005-07-14 23:59:59", U, "2222222", "2005-07-14@00-00-00~2005-07-14@23-59-59"},  // only 1 is on
        {"2005-07-14 10", "2005-07-14 18:59:59", U, "1111111", "2005-07-14 @10 ~ @18"},
        // One switch at a time.
        {"2005", "2005-12-31 23:59:59", U, "1000000", "2005@00-00-00~2005@23-59-59"},
        {"2004-02", "2004-02-28 23:59:59", U, "1000000", "2004-02-01@00-00-00~2004-02-28@23-59-59"},
        {"2005-01-05", "2005-12-31 23:59:59", U, "1000000", "2005-01-05@00-00-00~2005-12-31@23-59-59"},
        {"2005-07-14", "2005-07-14 23:59:59", U, "0100000", "2005-07-14~2005-07-14"},
        {"2005-07-14 10", "2005-07-14 10:59:59", U, "0100000", "2005-07-14@10~2005-07-14@10"},
        {"2005-07-14 10", "2005-07-14 18", U, "0010000", "2005-07-14@10-00-00~@18-00-00"},
        {"2005-07-14 10", "2005-07-15 10", U, "0001000", "2005-07-14@10-00-00~2005-07-15"},
        {"2005-07-14 10", "2005-07-15 18", U, "0000100", "2005-07-14 @10-00-00~2005-07-15 @18-00-00"},
        {"2005-07-14 10", "2005-07-15 18", U, "0000001", "2005-07-14@10-00-00~ 2005-07-15@18-00-00"},
        {"2005", "2003-12-31 23:59:59", U, "1111111", "2005 ~ 2003"},  // as it stands
        // Without a range delimiter one space is written when any is asked for.
        {"2005", "2006-12-31 23:59:59", "Range=", "1111101", "2005 2006"},
        {"2005", "2006-12-31 23:59:59", "Range=", "1111100", "20052006"},
        // Other delimiters; the build side alone is written.
        {"2005-07-14 10:30:15", "2005-07-14 10:30:15", CD, "1111111", "20050714 @10-30-15"},
        {"2005-07", "2006-12-31 23:59:59", UNI, "1111111", "§2005·07 → §2006·12"},
    };
    for (const auto& [earliest, latest, style, switches, text] : rows) {
        const DateOptions o = withSwitches(style, switches);
        std::string out = "old text that was there";  // replaced, not added to
        BuildDateText(at(earliest), at(latest), o, out);
        EXPECT_EQ(out, text) << earliest << " " << switches;
        EXPECT_EQ(BuildDateText(at(earliest), at(latest), o), text);
    }
}

TEST(Calendar, UnwritableDateTimesGiveNoTextAndNoParts) {
    const DateOptions o = options(U);
    const DateTime day = at("2005-07-14"), beyond{std::chrono::sys_days{std::chrono::year{10000} / 1 / 1}};
    EXPECT_EQ(BuildDateText(kNoDate, day, o) + BuildDateText(day, kNoDate, o) + FormatDateTime(kNoDate), "");
    std::string out = "2005";
    BuildDateText(day, beyond, o, out);
    EXPECT_EQ(out, "");  // emptied, so a stale text is never taken for the date
    // Far outside the calendar type's own range: refused, not wrapped into some year.
    EXPECT_FALSE(SplitDateTime(DateTime{std::chrono::seconds{std::int64_t{1} << 50}}));
    EXPECT_FALSE(SplitDateTime(DateTime{std::chrono::seconds{-(std::int64_t{1} << 50)}}));
    // Month lengths, and the parts no date-time has.
    EXPECT_EQ(LastDayOfMonth(2005, 13), 0);
    EXPECT_EQ(LastDayOfMonth(2005, 12), 31);
    for (const DateParts& p :
         {DateParts{2005, 2, 29, 0, 0, 0}, DateParts{2005, 1, 1, 24, 0, 0}, DateParts{2005, 1, 1, 0, 0, -1},
          DateParts{2005, 1, 1, 0, 60, 0}, DateParts{10000, 1, 1, 0, 0, 0}, DateParts{-1, 12, 31, 0, 0, 0}})
        EXPECT_FALSE(MakeDateTime(p)) << p.year << " " << p.month << " " << p.hour;
    EXPECT_EQ(FormatDateTime(*MakeDateTime({2005, 12, 31, 23, 59, 60})), "2006-01-01 00:00:00");
    EXPECT_EQ(SplitDateTime(at("2004-02-29 13:14:15")), (DateParts{2004, 2, 29, 13, 14, 15}));
}

std::string dialogText(std::optional<DateTime> t) { return t ? FormatDialogDateTime(*t) : "none"; }
DateTime typed(std::string_view text) { return ReadDialogDateTime(text).value_or(kNoDate); }

TEST(ShiftDate, CarriesComponentByComponent) {
    const std::tuple<const char*, DateShift, const char*> rows[] = {
        {"2004/01/31 10:00:00", {0, 1, 0, 0, 0, 0}, "2004/03/02 10:00:00"},  // 31 February carries into March
        {"2004/12/31 23:30:00", {0, 0, 0, 0, 45, 0}, "2005/01/01 00:15:00"},
        {"2004/03/01 00:00:00", {0, 0, -1, 0, 0, 0}, "2004/02/29 00:00:00"},
        {"2004/05/01 00:00:00", {0, 0, 0, 0, 0, -1}, "2004/04/30 23:59:59"},
        {"2004/02/29 00:00:00", {1, 0, 0, 0, 0, 0}, "2005/03/01 00:00:00"},
        {"9999/12/31 23:59:59", {0, 0, 0, 0, 0, 1}, "none"},
        {"2004/01/01 00:00:00", {std::int64_t{1} << 50, 0, 0, 0, 0, 0}, "none"},
    };
    for (const auto& [from, shift, to] : rows) EXPECT_EQ(dialogText(ShiftDateTime(typed(from), shift)), to) << from;
}

TEST(RoundDate, WidensToWholeUnits) {
    const char* rows[] = {"2004/01/01 00:00:00 ~ 2004/12/31 23:59:59", "2004/02/01 00:00:00 ~ 2004/02/29 23:59:59",
                          "2004/02/10 00:00:00 ~ 2004/02/12 23:59:59", "2004/02/10 09:00:00 ~ 2004/02/12 18:59:59",
                          "2004/02/10 09:15:00 ~ 2004/02/12 18:00:59", "2004/02/10 09:15:07 ~ 2004/02/12 18:00:00"};
    for (int precision = 0; precision < 6; ++precision) {
        DateTime e = typed("2004/02/10 09:15:07"), l = typed("2004/02/12 18:00:00");
        RoundDateSpan(static_cast<DatePrecision>(precision), e, l);
        EXPECT_EQ(FormatDialogDateTime(e) + " ~ " + FormatDialogDateTime(l), rows[precision]);
    }
}

TEST(DialogFields, TextsReadAndWrite) {
    const std::pair<const char*, const char*> dates[] = {
        {"2004/02/29 13:14:15", "2004/02/29 13:14:15"}, {"2004-02-29 13:14:15", "2004/02/29 13:14:15"},
        {" 2004-02-29T13:14:15 ", "2004/02/29 13:14:15"}, {"", "none"}, {"2004/02/30 00:00:00", "none"},
        {"2004/02/29T13:14:15", "none"}, {"2004-02/29 13:14:15", "none"}, {"2004/02/29 24:00:00", "none"},
        {"2004/02/29 23:60:00", "none"}, {"2004/02/29 23:59:60", "none"}, {"2004/02/29", "none"},
        {"yesterday", "none"}, {"2004/2/29 13:14:15", "none"}};
    for (const auto& [in, shown] : dates) EXPECT_EQ(dialogText(ReadDialogDateTime(in)), shown) << in;
    const std::pair<const char*, const char*> shifts[] = {
        {"7", "+7"}, {"+5", "+5"}, {"-3", "-3"}, {"0", "+0"}, {" 12 ", "+12"}, {"abc", "none"}, {"", "none"},
        {"1.5", "none"}, {"+", "none"}, {"99999999999999999999", "+9223372036854775807"},
        {"-99999999999999999999", "-9223372036854775808"}};
    for (const auto& [in, shown] : shifts) {
        const auto n = ReadShiftField(in);
        EXPECT_EQ(n ? FormatShiftField(*n) : "none", shown) << in;
    }
}

}  // namespace
}  // namespace lorvane
