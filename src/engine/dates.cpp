#include "engine/dates.h"

#include <charconv>

#include "engine/digits.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

using namespace std::chrono;

// The text as characters, one per lead byte (the way utf8::length counts), so that
// positions here are the character positions the user sees.
std::u32string decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i + 1;
        while (j < text.size() && !utf8::isLead(static_cast<unsigned char>(text[j]))) ++j;
        out.push_back(utf8::firstCodePoint(text.substr(i, j - i)));
        i = j;
    }
    return out;
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string quoted(char32_t c) {
    std::string s = "\"";
    utf8::append(s, c);
    s += '"';
    return s;
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The tokenizer over the text's characters; `p` is 1-based, the character at p is
// s[p - 1]. Chars is the decoded text, or the text itself when it is all ASCII (most
// values are), which saves decoding it. Without successMessages a token that reads
// well leaves its message empty, for callers that only report errors.
template <typename Chars>
class Tokenizer {
public:
    Tokenizer(Chars s, const DateDelimiters& d, int minimumYear, int maximumYear, bool successMessages = true)
        : s_(s), d_(d), min_(minimumYear), max_(maximumYear), successMessages_(successMessages) {}

    void next(int& p, DateToken& t) const {
        t.values[0] = t.values[1] = t.values[2] = -1;
        t.message.clear();
        while (at(p) == U' ') ++p;
        t.start = p;
        if (past(p)) {
            t.kind = DateTokenKind::End;
            succeeded(t, "Successfully reached end of value");
            return;
        }
        const char32_t c = at(p);
        if ((d_.date && c == d_.date) || (!d_.date && isDigit(c))) return date(p, t);
        if ((d_.time && c == d_.time) || (!d_.time && isDigit(c))) return time(p, t);
        ++p;
        if (d_.range && c == d_.range) {
            t.kind = DateTokenKind::Range;
            t.values[0] = static_cast<std::int32_t>(c);
            succeeded(t, "Successfully parsed Range");
        } else if (d_.dateComponent && c == d_.dateComponent) {
            fail(t, "Invalid use of Date Separator " + quoted(c));
        } else if (d_.timeComponent && c == d_.timeComponent) {
            fail(t, "Invalid use of Time Separator " + quoted(c));
        } else {
            fail(t, "Invalid character");
        }
    }

private:
    bool past(int p) const { return p < 1 || static_cast<std::size_t>(p) > s_.size(); }
    char32_t at(int p) const { return past(p) ? U'\0' : static_cast<char32_t>(s_[static_cast<std::size_t>(p - 1)]); }
    bool digits2(int p) const { return isDigit(at(p)) && isDigit(at(p + 1)); }
    int value2(int p) const { return static_cast<int>(at(p) - U'0') * 10 + static_cast<int>(at(p + 1) - U'0'); }

    static void fail(DateToken& t, std::string message) {
        t.kind = DateTokenKind::Error;
        t.message = std::move(message);
    }
    void succeeded(DateToken& t, std::string_view message) const {
        if (successMessages_) t.message.assign(message);
    }

    // A component after a separator: two characters if both are digits, else one
    // (none at the end of the text). -1 when the taken characters are not a number.
    int component(int& p) const {
        if (digits2(p)) {
            const int v = value2(p);
            p += 2;
            return v;
        }
        if (past(p)) return -1;
        const char32_t c = at(p++);
        return isDigit(c) ? static_cast<int>(c - U'0') : -1;
    }

    void date(int& p, DateToken& t) const {
        if (d_.date && at(p) == d_.date) t.start = ++p;
        // The year is the next four characters, whatever they are; only four digits count.
        int year = 0;
        bool fourDigits = true;
        for (int i = 0; i < 4; ++i, ++p) {
            if (past(p)) {
                fourDigits = false;
                break;
            }
            const char32_t c = at(p);
            if (isDigit(c)) year = year * 10 + static_cast<int>(c - U'0');
            else fourDigits = false;
        }
        if (!fourDigits || year < min_ || year > max_) {
            return fail(t, "Should be 4-digit Year between " + std::to_string(min_) + " and " + std::to_string(max_));
        }
        t.values[0] = year;
        t.start = p;
        t.kind = DateTokenKind::Date;
        succeeded(t, "Successfully parsed Date");
        if (!d_.dateComponent) {
            // Compact form: digits that do not make a month or day are left for the next token.
            if (digits2(p) && value2(p) >= 1 && value2(p) <= 12) {
                t.values[1] = value2(p);
                p += 2;
                if (digits2(p) && value2(p) >= 1 && value2(p) <= LastDayOfMonth(year, t.values[1])) {
                    t.values[2] = value2(p);
                    p += 2;
                }
            }
            return;
        }
        if (at(p) != d_.dateComponent) return;
        t.start = ++p;
        const int month = component(p);
        if (month < 1 || month > 12) return fail(t, "Should be Month between 1 and 12");
        t.values[1] = month;
        t.start = p;
        if (at(p) != d_.dateComponent) return;
        t.start = ++p;
        const int last = LastDayOfMonth(year, month);
        const int day = component(p);
        if (day < 1 || day > last) return fail(t, "Should be Day between 1 and " + std::to_string(last));
        t.values[2] = day;
    }

    void time(int& p, DateToken& t) const {
        if (d_.time && at(p) == d_.time) t.start = ++p;
        const int hour = component(p);
        if (hour < 0 || hour > 23) return fail(t, "Should be Hour between 0 and 23");
        t.values[0] = hour;
        t.start = p;
        t.kind = DateTokenKind::Time;
        succeeded(t, "Successfully parsed Time");
        if (!d_.timeComponent) {
            if (digits2(p) && value2(p) <= 59) {
                t.values[1] = value2(p);
                p += 2;
                // A leap second is expressible only here.
                if (digits2(p) && value2(p) <= 60) {
                    t.values[2] = value2(p);
                    p += 2;
                }
            }
            return;
        }
        if (at(p) != d_.timeComponent) return;
        t.start = ++p;
        const int minute = component(p);
        if (minute < 0 || minute > 59) return fail(t, "Should be Minute between 0 and 59");
        t.values[1] = minute;
        t.start = p;
        if (at(p) != d_.timeComponent) return;
        t.start = ++p;
        const int second = component(p);
        if (second < 0 || second > 59) return fail(t, "Should be Second between 0 and 59");
        t.values[2] = second;
    }

    Chars s_;
    DateDelimiters d_;
    int min_, max_;
    bool successMessages_;
};

char32_t code(std::int32_t v) { return v > 0 ? static_cast<char32_t>(v) : 0; }

// Missing ends of a component open the span as far as it goes.
void fillMissing(std::int32_t& earliest, std::int32_t& latest, std::int32_t low, std::int32_t high) {
    if (earliest == -1) earliest = low;
    if (latest == -1) latest = high;
}

void completeTimes(DateParts& e, DateParts& l) {
    if (e.hour == -1 && l.hour == -1) {
        e.hour = e.minute = e.second = 0;
        l.hour = 23;
        l.minute = l.second = 59;
        return;
    }
    // A missing hour copies the other end's time, widening what that end leaves open.
    auto copyFrom = [](DateParts& from, DateParts& to, bool fromIsEarliest) {
        to.hour = from.hour;
        DateParts& early = fromIsEarliest ? from : to;
        DateParts& late = fromIsEarliest ? to : from;
        if (from.minute == -1) {
            early.minute = 0;
            late.minute = 59;
        } else {
            to.minute = from.minute;
        }
        if (from.second == -1) {
            early.second = 0;
            late.second = 59;
        } else {
            to.second = from.second;
        }
    };
    if (l.hour == -1) return copyFrom(e, l, true);
    if (e.hour == -1) return copyFrom(l, e, false);
    if (e.hour != l.hour) {
        fillMissing(e.minute, l.minute, 0, 59);
        fillMissing(e.second, l.second, 0, 59);
        return;
    }
    if (e.minute == -1 && l.minute == -1) {
        e.minute = e.second = 0;
        l.minute = l.second = 59;
        return;
    }
    if (e.minute == -1 || l.minute == -1) {
        DateParts& supplier = e.minute == -1 ? l : e;
        DateParts& taker = e.minute == -1 ? e : l;
        taker.minute = supplier.minute;
        if (supplier.second == -1) {
            e.second = 0;
            l.second = 59;
        } else {
            taker.second = supplier.second;
        }
        return;
    }
    if (e.minute == l.minute) {
        if (e.second == -1 && l.second == -1) {
            e.second = 0;
            l.second = 59;
        } else if (e.second == -1) {
            e.second = l.second;
        } else if (l.second == -1) {
            l.second = e.second;
        }
        return;
    }
    fillMissing(e.second, l.second, 0, 59);
}

void completeDates(DateParts& e, DateParts& l) {
    auto lastDay = [&] { return LastDayOfMonth(l.year, l.month); };
    if (l.year == -1) {
        l.year = e.year;
        if (e.month == -1) {
            e.month = 1;
            l.month = 12;
        } else {
            l.month = e.month;
        }
        if (e.day == -1) {
            e.day = 1;
            l.day = lastDay();
        } else {
            l.day = e.day;
        }
        return;
    }
    if (e.year != l.year) {
        if (e.month == -1) e.month = 1;
        if (e.day == -1) e.day = 1;
        if (l.month == -1) l.month = 12;
        if (l.day == -1) l.day = lastDay();
        return;
    }
    if (e.month == -1 && l.month == -1) {
        e.month = e.day = 1;
        l.month = 12;
        l.day = 31;
        return;
    }
    if (l.month == -1 || e.month == -1) {
        DateParts& supplier = l.month == -1 ? e : l;
        DateParts& taker = l.month == -1 ? l : e;
        taker.month = supplier.month;
        if (supplier.day == -1) {
            e.day = 1;
            l.day = lastDay();
        } else {
            taker.day = supplier.day;
        }
        return;
    }
    if (e.month == l.month) {
        if (e.day == -1 && l.day == -1) {
            e.day = 1;
            l.day = lastDay();
        } else if (e.day == -1) {
            e.day = l.day;
        } else if (l.day == -1) {
            l.day = e.day;
        }
        return;
    }
    if (e.day == -1) e.day = 1;
    if (l.day == -1) l.day = lastDay();
}

void appendDelimiter(std::string& out, char32_t c) {
    if (c) utf8::append(out, c);
}

void writeDate(std::string& out, const DateParts& p, const DateDelimiters& d) {
    appendDelimiter(out, d.date);
    AppendZeroPadded(out, p.year, 4);
    if (p.month != -1) {
        appendDelimiter(out, d.dateComponent);
        AppendZeroPadded(out, p.month, 2);
    }
    if (p.day != -1) {
        appendDelimiter(out, d.dateComponent);
        AppendZeroPadded(out, p.day, 2);
    }
}

void writeTime(std::string& out, const DateParts& p, const DateDelimiters& d) {
    appendDelimiter(out, d.time);
    AppendZeroPadded(out, p.hour, 2);
    if (p.minute != -1) {
        appendDelimiter(out, d.timeComponent);
        AppendZeroPadded(out, p.minute, 2);
    }
    if (p.second != -1) {
        appendDelimiter(out, d.timeComponent);
        AppendZeroPadded(out, p.second, 2);
    }
}

void writeEnd(std::string& out, const DateParts& p, const DateDelimiters& d, bool spaceBetween) {
    if (p.year != -1) writeDate(out, p, d);
    if (p.year != -1 && p.hour != -1 && spaceBetween) out += ' ';
    if (p.hour != -1) writeTime(out, p, d);
}

}  // namespace

DateDelimiters ParseDelimiters(const DateOptions& o) {
    using namespace date_opt;
    return {code(o[ParseDate]), code(o[ParseDateComponent]), code(o[ParseTime]), code(o[ParseTimeComponent]),
            code(o[ParseRange])};
}

DateDelimiters BuildDelimiters(const DateOptions& o) {
    using namespace date_opt;
    return {code(o[BuildDate]), code(o[BuildDateComponent]), code(o[BuildTime]), code(o[BuildTimeComponent]),
            code(o[BuildRange])};
}

int LastDayOfMonth(int y, int m) {
    if (m < 1 || m > 12) return 0;
    const year_month_day_last last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

void CompleteDateSpan(DateParts& earliest, DateParts& latest) {
    completeDates(earliest, latest);
    // The times do not look at the dates: a missing latest time copies the earliest
    // one even when the latest date differs.
    completeTimes(earliest, latest);
}

std::optional<DateTime> MakeDateTime(const DateParts& p) {
    if (p.year < 0 || p.year > 9999 || p.month < 1 || p.month > 12) return std::nullopt;
    if (p.day < 1 || p.day > LastDayOfMonth(p.year, p.month)) return std::nullopt;
    if (p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 60)
        return std::nullopt;
    const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)}, day{static_cast<unsigned>(p.day)}};
    return DateTime{sys_days{ymd}} + hours{p.hour} + minutes{p.minute} + seconds{p.second};
}

std::optional<DateParts> SplitDateTime(DateTime t) {
    // Checked before any calendar conversion, which would wrap outside std::chrono::year's range.
    static constexpr DateTime first{sys_days{year{0} / January / 1}};
    static constexpr DateTime last{sys_days{year{9999} / December / 31} + hours{23} + minutes{59} + seconds{59}};
    if (t < first || t > last) return std::nullopt;
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss hms{t - day};
    return DateParts{static_cast<int>(ymd.year()),
                     static_cast<int>(static_cast<unsigned>(ymd.month())),
                     static_cast<int>(static_cast<unsigned>(ymd.day())),
                     static_cast<int>(hms.hours().count()),
                     static_cast<int>(hms.minutes().count()),
                     static_cast<int>(hms.seconds().count())};
}

void ParseDateText(std::string_view text, int& position, DateToken& token, const DateDelimiters& delimiters,
                   int minimumYear, int maximumYear) {
    const std::u32string chars = decode(text);
    if (position < 1) position = 1;
    Tokenizer<std::u32string_view>(chars, delimiters, minimumYear, maximumYear).next(position, token);
}

namespace {

// The whole of ValidateDateValue after the empty check, over the text's characters.
template <typename Chars>
void readDateSpan(Chars chars, DateTime& earliest, DateTime& latest, Finding& finding, const DateOptions& options) {
    const DateDelimiters d = ParseDelimiters(options);
    const int minYear = options[date_opt::MinimumYear], maxYear = options[date_opt::MaximumYear];
    const int length = static_cast<int>(chars.size());
    const Tokenizer<Chars> tokenizer(chars, d, minYear, maxYear, false);

    DateParts e, l;
    bool range = false;
    int p = 1;
    DateToken t;
    for (;;) {
        tokenizer.next(p, t);
        if (t.kind == DateTokenKind::End || t.kind == DateTokenKind::Error) break;
        const char* error = nullptr;
        switch (t.kind) {
            case DateTokenKind::Date:
                if (!range && e.year != -1) error = "Second Date not preceded by Range Delimiter";
                else if (range && l.year != -1) error = "More than one Latest Date";
                else if (range && l.hour != -1) error = "Latest Date preceded by Latest Time";
                else {
                    DateParts& target = range ? l : e;
                    target.year = t.values[0];
                    target.month = t.values[1];
                    target.day = t.values[2];
                }
                break;
            case DateTokenKind::Time:
                if (!range && e.year == -1) error = "Earliest Time not preceded by Earliest Date";
                else if (!range && e.hour != -1) error = "Second Time not preceded by Range Delimiter";
                else if (range && l.hour != -1) error = "More than one Latest Time";
                else {
                    DateParts& target = range ? l : e;
                    target.hour = t.values[0];
                    target.minute = t.values[1];
                    target.second = t.values[2];
                }
                break;
            case DateTokenKind::Range:
                if (range) error = "More than one Range Delimiter";
                else if (e.year == -1) error = "Range Delimiter not preceded by Earliest Date";
                else range = true;
                break;
            default: break;
        }
        if (error) {
            t.kind = DateTokenKind::Error;
            t.message = error;
            break;
        }
    }

    if (t.kind == DateTokenKind::Error) {
        if (t.message == "Invalid character" && t.start == 1) {
            if (d.date)
                finding.set(Status::Fail, "Date value should begin with Date Delimiter " + quoted(d.date), 1, 1);
            else
                finding.set(Status::Fail,
                            "Date value should begin with 4-digit year between " + std::to_string(minYear) +
                                " and " + std::to_string(maxYear),
                            1, 4);
        } else {
            finding.set(Status::Fail, t.message, t.start, p - t.start);
        }
        return;
    }
    if (e.year == -1) {
        // Only blanks: as empty as an empty text, selected whole.
        finding.set(Status::Fail, "Date value may not be empty", 1, length);
        return;
    }

    CompleteDateSpan(e, l);
    const auto first = MakeDateTime(e), last = MakeDateTime(l);
    // A leap second on the last minute of the maximum year would roll past the year
    // limits; refuse it rather than hand on a date that cannot be read back. Every year
    // read is within the limits, so only a leap second can carry a date-time out of them.
    const auto inYears = [&](const std::optional<DateTime>& t, const DateParts& parts) {
        if (!t) return false;
        if (parts.second != 60) return true;
        const auto split = SplitDateTime(*t);
        return split && split->year >= minYear && split->year <= maxYear;
    };
    if (!inYears(first, e) || !inYears(last, l)) {
        finding.set(Status::Fail,
                    "Should be 4-digit Year between " + std::to_string(minYear) + " and " + std::to_string(maxYear), 1,
                    length);
        return;
    }
    earliest = *first;
    latest = *last;
    if (latest < earliest)
        finding.set(Status::Warn, "Latest Date/Time earlier than Earliest Date/Time", 1, length);
}

}  // namespace

void ValidateDateValue(std::string_view text, DateTime& earliest, DateTime& latest, Finding& finding,
                       const DateOptions& options) {
    earliest = latest = kNoDate;
    finding.reset();
    finding.set(Status::Good, "Valid date value", 0, 0);
    if (text.empty()) {
        finding.set(Status::Fail, "Date value may not be empty", 1, 0);
        return;
    }
    if (isAscii(text)) return readDateSpan(text, earliest, latest, finding, options);
    const std::u32string chars = decode(text);
    readDateSpan(std::u32string_view(chars), earliest, latest, finding, options);
}

std::string BuildDateText(DateTime earliest, DateTime latest, const DateOptions& options) {
    std::string out;
    BuildDateText(earliest, latest, options, out);
    return out;
}

void BuildDateText(DateTime earliestTime, DateTime latestTime, const DateOptions& o, std::string& out) {
    using namespace date_opt;
    out.clear();
    const DateDelimiters d = BuildDelimiters(o);
    const auto es = SplitDateTime(earliestTime), ls = SplitDateTime(latestTime);
    if (!es || !ls) return;
    DateParts e = *es, l = *ls;

    if (isOn(o[OmitUnknownDate])) {
        if (e.day == 1 && l.day == LastDayOfMonth(l.year, l.month)) e.day = l.day = -1;
        if (e.month == 1 && l.month == 12 && e.day == -1 && l.day == -1) e.month = l.month = -1;
    }
    if (isOn(o[OmitUnknownTime])) {
        if (e.second == 0 && l.second == 59) e.second = l.second = -1;
        if (e.minute == 0 && l.minute == 59 && e.second == -1 && l.second == -1) e.minute = l.minute = -1;
        if (e.hour == 0 && l.hour == 23 && e.minute == -1 && l.minute == -1) e.hour = l.hour = -1;
    }
    if (isOn(o[OmitRedundantDate]) && l.year == e.year && l.month == e.month && l.day == e.day)
        l.year = l.month = l.day = -1;
    if (isOn(o[OmitRedundantTime]) && l.hour == e.hour && l.minute == e.minute && l.second == e.second)
        l.hour = l.minute = l.second = -1;

    const bool between = isOn(o[InsertSpaceBetween]);
    const bool before = isOn(o[InsertSpaceBefore]);
    const bool after = isOn(o[InsertSpaceAfter]);
    writeEnd(out, e, d, between);
    if (!out.empty() && (l.year != -1 || l.hour != -1)) {
        if (d.range) {
            if (before) out += ' ';
            utf8::append(out, d.range);
            if (after) out += ' ';
        } else if (before || after) {
            out += ' ';
        }
    }
    writeEnd(out, l, d, between);
}

namespace {

// "YYYY?MM?DD hh?mm?ss" with the given separators; empty when SplitDateTime gives nothing.
std::string formatDateTime(DateTime t, char dateSeparator, char timeSeparator) {
    const auto p = SplitDateTime(t);
    if (!p) return {};
    std::string out;
    AppendZeroPadded(out, p->year, 4);
    out += dateSeparator;
    AppendZeroPadded(out, p->month, 2);
    out += dateSeparator;
    AppendZeroPadded(out, p->day, 2);
    out += ' ';
    AppendZeroPadded(out, p->hour, 2);
    out += timeSeparator;
    AppendZeroPadded(out, p->minute, 2);
    out += timeSeparator;
    AppendZeroPadded(out, p->second, 2);
    return out;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Past this a component cannot stand for a date of years 0 to 9999 whatever
// the others carry, and the arithmetic below stays far from overflow.
constexpr std::int64_t kComponentLimit = std::int64_t{1} << 40;

}  // namespace

std::string FormatDateTime(DateTime t) { return formatDateTime(t, '-', ':'); }

std::optional<DateTime> ComposeDateTime(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                        std::int64_t minute, std::int64_t second) {
    for (const std::int64_t c : {year, month, day, hour, minute, second})
        if (c > kComponentLimit || c < -kComponentLimit) return std::nullopt;
    // Months carry into years first, then days and the time carry as a count of seconds.
    const std::int64_t months = year * 12 + (month - 1);
    const std::int64_t y = floorDiv(months, 12);
    if (y < -30000 || y > 30000) return std::nullopt;
    const auto m = static_cast<unsigned>(months - y * 12 + 1);
    const sys_days first = year_month_day{std::chrono::year(static_cast<int>(y)), std::chrono::month(m), 1d};
    const std::int64_t secs = (day - 1) * 86400 + hour * 3600 + minute * 60 + second;
    const DateTime t = DateTime{first.time_since_epoch()} + std::chrono::seconds(secs);
    // SplitDateTime's range: what can be written.
    if (!SplitDateTime(t)) return std::nullopt;
    return t;
}

void RoundDateSpan(DatePrecision precision, DateTime& earliest, DateTime& latest) {
    const auto es = SplitDateTime(earliest), ls = SplitDateTime(latest);
    if (!es || !ls) return;
    const DateParts e = *es, l = *ls;
    std::optional<DateTime> E, L;
    switch (precision) {
        case DatePrecision::Year:
            E = ComposeDateTime(e.year, 1, 1, 0, 0, 0);
            L = ComposeDateTime(l.year, 12, 31, 23, 59, 59);
            break;
        case DatePrecision::Month:
            E = ComposeDateTime(e.year, e.month, 1, 0, 0, 0);
            L = ComposeDateTime(l.year, l.month + 1, 0, 23, 59, 59);
            break;
        case DatePrecision::Day:
            E = ComposeDateTime(e.year, e.month, e.day, 0, 0, 0);
            L = ComposeDateTime(l.year, l.month, l.day, 23, 59, 59);
            break;
        case DatePrecision::Hour:
            E = ComposeDateTime(e.year, e.month, e.day, e.hour, 0, 0);
            L = ComposeDateTime(l.year, l.month, l.day, l.hour, 59, 59);
            break;
        case DatePrecision::Minute:
            E = ComposeDateTime(e.year, e.month, e.day, e.hour, e.minute, 0);
            L = ComposeDateTime(l.year, l.month, l.day, l.hour, l.minute, 59);
            break;
        case DatePrecision::Second: return;
    }
    // Within a year that could be written, every rounded end can be written.
    if (E) earliest = *E;
    if (L) latest = *L;
}

std::optional<DateTime> ShiftDateTime(DateTime t, const DateShift& s) {
    const auto p = SplitDateTime(t);
    if (!p) return std::nullopt;
    return ComposeDateTime(std::int64_t{p->year} + s.years, std::int64_t{p->month} + s.months,
                           std::int64_t{p->day} + s.days, std::int64_t{p->hour} + s.hours,
                           std::int64_t{p->minute} + s.minutes, std::int64_t{p->second} + s.seconds);
}

std::string FormatDialogDateTime(DateTime t) { return formatDateTime(t, '/', ':'); }

std::optional<DateTime> ReadDialogDateTime(std::string_view text) {
    text = utf8::trimSpaces(text);
    // yyyy?mm?dd?hh:mm:ss with the three spellings' separators.
    if (text.size() != 19) return std::nullopt;
    const char dateSep = text[4];
    if ((dateSep != '/' && dateSep != '-') || text[7] != dateSep) return std::nullopt;
    if (text[10] != ' ' && !(text[10] == 'T' && dateSep == '-')) return std::nullopt;
    if (text[13] != ':' || text[16] != ':') return std::nullopt;
    int v[6];
    const std::size_t at[6] = {0, 5, 8, 11, 14, 17}, width[6] = {4, 2, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        const char* b = text.data() + at[i];
        for (std::size_t k = 0; k < width[i]; ++k)
            if (b[k] < '0' || b[k] > '9') return std::nullopt;
        std::from_chars(b, b + width[i], v[i]);
    }
    // MakeDateTime takes a leap second; a typed date-time does not.
    if (v[5] > 59) return std::nullopt;
    return MakeDateTime(DateParts{v[0], v[1], v[2], v[3], v[4], v[5]});
}

std::optional<std::int64_t> ReadShiftField(std::string_view text) {
    text = utf8::trimSpaces(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (end != text.data() + text.size() || text.empty()) return std::nullopt;
    // Still a number, just a huge one: the caller's limit refuses it rather than read 0.
    if (ec == std::errc::result_out_of_range)
        return text.front() == '-' ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    if (ec != std::errc()) return std::nullopt;
    return n;
}

std::string FormatShiftField(std::int64_t n) {
    // Unsigned, so that the most negative number has a magnitude too.
    const auto magnitude = n < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    return (n < 0 ? "-" : "+") + std::to_string(magnitude);
}

}  // namespace lorvane
