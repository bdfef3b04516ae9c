// Date values: a span of time written with as much precision as is known.
// Reading uses the parse-side delimiters of DateOptions, writing the build-side ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
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

// Reads one token starting at the 1-based character position `position` and leaves it after the token.
void ParseDateText(std::string_view text, int& position, DateToken& token, const DateDelimiters& delimiters,
                   int minimumYear, int maximumYear);

void ValidateDateValue(std::string_view text, DateTime& earliest, DateTime& latest, Finding& finding,
                       const DateOptions& options);

std::string BuildDateText(DateTime earliest, DateTime latest, const DateOptions& options);

// Helpers for callers that show or compare dates.
std::string FormatDateTime(DateTime t);  // "YYYY-MM-DD hh:mm:ss"

}  // namespace lorvane
