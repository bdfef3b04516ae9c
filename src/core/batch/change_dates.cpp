#include "core/batch/change_dates.h"

#include <charconv>
#include <chrono>

#include "core/picture_dates.h"
#include "engine/dictionary.h"
#include "engine/digits.h"
#include "engine/utf8.h"

namespace lorvane {

using namespace std::chrono;

namespace {

constexpr std::string_view kCapturedDate = "Captured Date";

// Past this a component cannot stand for a date of years 0 to 9999 whatever
// the others carry, and the arithmetic below stays far from overflow.
constexpr std::int64_t kComponentLimit = std::int64_t{1} << 40;

struct Parts {
    std::int64_t year, month, day, hour, minute, second;
};

Parts split(DateTime t) {
    const sys_days d = floor<days>(t);
    const year_month_day ymd{d};
    const hh_mm_ss<seconds> time{t - d};
    return {static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
            time.hours().count(), time.minutes().count(), time.seconds().count()};
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

UsableCapturedDate FindUsableCapturedDate(const AttributeTree& tree, const DateOptions& options) {
    UsableCapturedDate found;
    if (tree.empty() || !tree.root()) return found;
    Finding finding;
    for (int n = tree[tree.root()].child; n; n = tree[n].next) {
        const Node& attribute = tree[n];
        if (attribute.children == 0 || TranslateAttributeName(attribute.text) != kCapturedDate) continue;
        DateTime earliest{}, latest{};
        ValidateDateValue(utf8::trimSpaces(tree[attribute.child].text), earliest, latest, finding, options);
        found.lastFailed = finding.failed();
        if (!found.lastFailed && !found.valueNode) {
            found.valueNode = attribute.child;
            found.earliest = earliest;
            found.latest = latest;
        }
    }
    return found;
}

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
    constexpr DateTime kFirst{sys_days{std::chrono::year(0) / 1 / 1}.time_since_epoch()};
    constexpr DateTime kLast{sys_days{std::chrono::year(9999) / 12 / 31}.time_since_epoch() + std::chrono::seconds(86399)};
    if (t < kFirst || t > kLast) return std::nullopt;
    return t;
}

void RoundDateSpan(DatePrecision precision, DateTime& earliest, DateTime& latest) {
    const Parts e = split(earliest), l = split(latest);
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
    // Within a year that could be read, every rounded end can be written.
    if (E) earliest = *E;
    if (L) latest = *L;
}

std::optional<DateTime> ShiftDateTime(DateTime t, const DateShift& s) {
    const Parts p = split(t);
    return ComposeDateTime(p.year + s.years, p.month + s.months, p.day + s.days, p.hour + s.hours,
                           p.minute + s.minutes, p.second + s.seconds);
}

StepAnswer ChangeDatesInTree(const ChangeDatesRequest& request, AttributeTree& tree, const DateOptions& options,
                             const std::function<bool(FileDates&)>& fileDates) {
    const UsableCapturedDate usable = FindUsableCapturedDate(tree, options);
    if (request.mode == DateChange::Generate) {
        if (usable.valueNode) return StepAnswer::NotApplicable;
        FileDates dates;
        // A file that cannot be read keeps its tree; the name is still rebuilt.
        if (!fileDates || !fileDates(dates)) return StepAnswer::Changed;
        std::optional<DateTime> t;
        switch (request.source) {
            case DateSource::Created: t = dates.created; break;
            case DateSource::Modified: t = dates.modified; break;
            case DateSource::Earlier:
                t = dates.created;
                if (dates.modified && (!t || *dates.modified < *t)) t = dates.modified;
                break;
            case DateSource::Taken: t = dates.taken; break;
        }
        if (!t) return StepAnswer::NotApplicable;  // a picture without a recorded date
        const int attribute = tree.addChild(tree.root(), kCapturedDate, image::AttributeGood);
        tree[attribute].tag = kCapturedDate;
        tree[attribute].expandedImage = image::AttributeGood + 1;
        tree.addChild(attribute, BuildDateText(*t, *t, options), image::ValueGood);
        return StepAnswer::Changed;
    }

    if (!usable.valueNode || usable.lastFailed) return StepAnswer::NotApplicable;
    DateTime E = usable.earliest, L = usable.latest;
    switch (request.mode) {
        case DateChange::Round: RoundDateSpan(request.precision, E, L); break;
        case DateChange::Replace:
            E = request.earliest;
            L = request.latest;
            break;
        case DateChange::Shift: {
            const auto e = ShiftDateTime(E, request.shift), l = ShiftDateTime(L, request.shift);
            if (!e || !l) return StepAnswer::Failed;
            E = *e;
            L = *l;
            break;
        }
        case DateChange::Generate: break;
    }
    // A date the settings do not allow would not read back: no name is built.
    const auto inYears = [&](DateTime t) {
        const int y = static_cast<int>(year_month_day{floor<days>(t)}.year());
        return y >= options[date_opt::MinimumYear] && y <= options[date_opt::MaximumYear];
    };
    if (!inYears(E) || !inYears(L)) return StepAnswer::Failed;
    tree[usable.valueNode].text = BuildDateText(E, L, options);
    return StepAnswer::Changed;
}

StepAnswer ChangeDatesStep::ChangeTree(AttributeTree& tree, const BrowserRow& row) {
    return ChangeDatesInTree(request_, tree, options_, [&](FileDates& dates) {
        if (request_.source == DateSource::Taken) {
            dates.taken = ReadDateTaken(row.Key);
            return true;
        }
        if (files_.GetFile(row.Key, file_).failed()) return false;
        dates.created = file_.DateCreated;
        dates.modified = file_.DateLastModified;
        return true;
    });
}

std::string FormatDialogDateTime(DateTime t) {
    const Parts p = split(t);
    std::string out;
    AppendZeroPadded(out, p.year, 4);
    out += '/';
    AppendZeroPadded(out, p.month, 2);
    out += '/';
    AppendZeroPadded(out, p.day, 2);
    out += ' ';
    AppendZeroPadded(out, p.hour, 2);
    out += ':';
    AppendZeroPadded(out, p.minute, 2);
    out += ':';
    AppendZeroPadded(out, p.second, 2);
    return out;
}

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
    const year_month_day ymd{std::chrono::year(v[0]), std::chrono::month(static_cast<unsigned>(v[1])),
                             std::chrono::day(static_cast<unsigned>(v[2]))};
    if (!ymd.ok() || v[3] > 23 || v[4] > 59 || v[5] > 59) return std::nullopt;
    return DateTime{sys_days(ymd).time_since_epoch()} + hours(v[3]) + minutes(v[4]) + seconds(v[5]);
}

std::int64_t ReadShiftField(std::string_view text) {
    text = utf8::trimSpaces(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n > kComponentLimit || n < -kComponentLimit) return 0;
    return n;
}

std::string FormatShiftField(std::int64_t n) { return (n < 0 ? "-" : "+") + std::to_string(n < 0 ? -n : n); }

}  // namespace lorvane
