// Date values: a span of time written with as much precision as is known.
// Reading uses the parse-side delimiters of DateOptions, writing the build-side ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "engine/result.h"
#include "engine/settings.h"

namespace lorvane {

// A calendar date-time in whole seconds (no time zone: the names carry local time).
using DateTime = std::chrono::sys_seconds;
// What the earliest and latest date-times hold after a failed validation.
inline constexpr DateTime kNoDate{std::chrono::seconds{std::numeric_limits<std::int64_t>::min()}};

enum class DateTokenKind { Date, Time, Range, End, Error };

struct DateToken {
    DateTokenKind kind = DateTokenKind::End;
    int start = 0;                      // 1-based token start, as the tokenizer leaves it
    std::string message;
    std::int32_t values[3] = {-1, -1, -1};  // year/month/day, hour/minute/second, or the range character
};

// Delimiters as code points; 0 is "none".
struct DateDelimiters {
    char32_t date = 0, dateComponent = 0, time = 0, timeComponent = 0, range = 0;
};
// The parse-side (entries 0-4) and build-side (entries 5-9) delimiters of DateOptions.
DateDelimiters ParseDelimiters(const DateOptions& options);
DateDelimiters BuildDelimiters(const DateOptions& options);

// The six components of one end of a span, -1 where absent.
struct DateParts {
    std::int32_t year = -1, month = -1, day = -1, hour = -1, minute = -1, second = -1;
    bool operator==(const DateParts&) const = default;
};

// Days in the month (February has 29 in leap years); 0 for a month outside 1-12.
int LastDayOfMonth(int year, int month);

// Fills the missing components of a span read from a date text (the earliest year
// must be present): a missing month or day widens the span to the whole year or
// month, a missing latest time copies the earliest time, and so on.
void CompleteDateSpan(DateParts& earliest, DateParts& latest);

// The date-time of complete components; nothing when one is outside its calendar
// range. Second 60 (accepted only in the compact time form) falls on the next minute.
std::optional<DateTime> MakeDateTime(const DateParts& parts);
// The components of a date-time; nothing when its year cannot be written in four
// digits (0-9999), kNoDate included.
std::optional<DateParts> SplitDateTime(DateTime t);

// Reads one token starting at the 1-based character position `position` and leaves it after the token.
void ParseDateText(std::string_view text, int& position, DateToken& token, const DateDelimiters& delimiters,
                   int minimumYear, int maximumYear);

// Reads a whole date text with the parse-side delimiters and year limits. On "Fail" both
// date-times are kNoDate; "Warn" when the latest is earlier than the earliest.
void ValidateDateValue(std::string_view text, DateTime& earliest, DateTime& latest, Finding& finding,
                       const DateOptions& options);

// Writes a span with the build-side delimiters and the seven omit and space switches.
// Empty when either date-time cannot be written (see SplitDateTime).
std::string BuildDateText(DateTime earliest, DateTime latest, const DateOptions& options);
// The same into out (its content replaced), reusing the caller's buffer.
void BuildDateText(DateTime earliest, DateTime latest, const DateOptions& options, std::string& out);

// Helpers for callers that show or compare dates.
std::string FormatDateTime(DateTime t);  // "YYYY-MM-DD hh:mm:ss"; empty when SplitDateTime gives nothing

// ---- Arithmetic on whole date-times (Change Dates)

// Amounts to move each component of a date-time by.
struct DateShift {
    std::int64_t years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
};
// The units a span is rounded out to.
enum class DatePrecision { Year = 0, Month = 1, Day = 2, Hour = 3, Minute = 4, Second = 5 };

// Components moved past their ranges carry over (month 13, day 0, hour 24,
// second -1); nothing when the result leaves the years 0 to 9999.
std::optional<DateTime> ComposeDateTime(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                        std::int64_t minute, std::int64_t second);
// The span widened to whole units of the precision.
void RoundDateSpan(DatePrecision precision, DateTime& earliest, DateTime& latest);
// Each component moved by its amount, then composed as above.
std::optional<DateTime> ShiftDateTime(DateTime t, const DateShift& shift);

// ---- The texts of the Change Dates fields

// "yyyy/mm/dd hh:nn:ss"; reading also takes "yyyy-mm-dd hh:mm:ss" and
// "yyyy-mm-ddThh:mm:ss". Nothing for any other text or an impossible date.
std::string FormatDialogDateTime(DateTime t);
std::optional<DateTime> ReadDialogDateTime(std::string_view text);
// A shift field: a whole number (a sign and blanks around allowed), nothing for any
// other text; a number too large for 64 bits reads as the largest of its sign.
// Written "+0;-0".
std::optional<std::int64_t> ReadShiftField(std::string_view text);
std::string FormatShiftField(std::int64_t n);

}  // namespace lorvane
