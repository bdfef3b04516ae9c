#include "engine/settings_checks.h"

#include <algorithm>
#include <functional>

#include "engine/tree.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

constexpr std::int32_t kYearLowest = 1000, kYearHighest = 9999;

SettingProblem problem(std::string_view message, std::string_view title) {
    return {std::string(message), std::string(title)};
}

// The number in text rounded to the nearest whole number, halves to even, or
// nullopt when it is no number or does not fit 64 bits.
std::optional<std::int64_t> roundedNumber(std::string_view text) {
    text = utf8::trimSpaces(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(whole) || !digits(fraction)) return std::nullopt;
    std::int64_t value = 0;
    for (char c : whole) {
        if (value > (INT64_MAX - 9) / 10) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    // The first digit after the point decides, unless it is a 5 with nothing after it.
    if (!fraction.empty()) {
        const bool rest = fraction.find_first_not_of('0', 1) != std::string_view::npos;
        const char first = fraction.front();
        if (first > '5' || (first == '5' && (rest || value % 2 == 1))) ++value;
    }
    return negative ? -value : value;
}

// The usual substring test, in which an empty text is found in any non-empty one.
bool overlap(std::string_view a, std::string_view b) {
    if (a.empty() && b.empty()) return false;
    return a.find(b) != std::string_view::npos || b.find(a) != std::string_view::npos;
}

const SettingProblem& illegalDelimiters() {
    static const SettingProblem p{"Delimiters may not contain illegal filename characters.", "Validate Delimiters"};
    return p;
}

// The eight 2.x delimiters (parse start, end, label, value, then build): legal as
// a group, then the twelve pairs of a side in order. Only the pairs with a
// changed member are tested, and the group only when one is changed.
SettingCheck overlaps2x(const std::array<std::string_view, 8>& all, const std::array<bool, 8>& changed) {
    if (std::find(changed.begin(), changed.end(), true) == changed.end()) return std::nullopt;
    if (auto p = CheckDelimitersLegal(all)) return p;
    static constexpr std::string_view kNames[] = {"Start", "End", "Label", "Value"};
    for (std::size_t side = 0; side < 8; side += 4) {
        const std::string sideName = side == 0 ? "Parse" : "Build";
        for (std::size_t i = side; i < side + 4; ++i)
            for (std::size_t j = i + 1; j < side + 4; ++j)
                if ((changed[i] || changed[j]) && overlap(all[i], all[j]))
                    return problem(sideName + " " + std::string(kNames[i - side]) + " and " + sideName + " " +
                                       std::string(kNames[j - side]) + " delimiters may not overlap.",
                                   "Validate Delimiters");
    }
    return std::nullopt;
}

// A setting a check reads: its key (the member's name, as in the settings table)
// and its text. The macro keeps the two from drifting apart.
struct Field {
    std::string_view key, value;
};
#define LV_FIELD(member) Field{#member, s.member}
#define LV_KEY(member) ((void)&GlobalSettings::member, std::string_view(#member))

bool anyChanged(std::span<const Field> fields, const std::function<bool(std::string_view)>& changed) {
    return std::any_of(fields.begin(), fields.end(), [&](const Field& f) { return changed(f.key); });
}

template <std::size_t N>
std::array<std::string_view, N> valuesOf(const Field (&fields)[N]) {
    std::array<std::string_view, N> v;
    for (std::size_t i = 0; i < N; ++i) v[i] = fields[i].value;
    return v;
}

// Every check across settings in a fixed order, each one only when changed()
// holds for a setting it reads; the checks a dialog field runs as it is left are
// the ones that field's setting takes part in.
SettingCheck together(const GlobalSettings& s, const std::function<bool(std::string_view)>& changed) {
    if (changed(LV_KEY(ParseDateMinimumYear)))
        if (auto p = CheckMinimumYear(s.ParseDateMinimumYear, s.ParseDateMaximumYear)) return p;
    if (changed(LV_KEY(ParseDateMaximumYear)))
        if (auto p = CheckMaximumYear(s.ParseDateMaximumYear, s.ParseDateMinimumYear)) return p;

    const Field names[] = {LV_FIELD(Parse1xAttributeDate), LV_FIELD(Parse1xAttributeSerial),
                           LV_FIELD(Parse1xAttributeTopic), LV_FIELD(Parse1xAttributeExtension)};
    for (std::size_t i = 0; i < std::size(names); ++i)
        if (changed(names[i].key))
            if (auto p = Check1xAttributeNames(valuesOf(names), i)) return p;

    const Field oneX[] = {LV_FIELD(Parse1xDelimiterSerial), LV_FIELD(Parse1xDelimiterTopic),
                          LV_FIELD(Parse1xDelimiterExtension), LV_FIELD(Build1xDelimiterSerial),
                          LV_FIELD(Build1xDelimiterTopic), LV_FIELD(Build1xDelimiterExtension)};
    if (anyChanged(oneX, changed))
        if (auto p = CheckDelimitersLegal(valuesOf(oneX))) return p;

    const Field dates[] = {LV_FIELD(ParseDateDelimiterDate),          LV_FIELD(ParseDateDelimiterDateComponent),
                           LV_FIELD(ParseDateDelimiterTime),          LV_FIELD(ParseDateDelimiterTimeComponent),
                           LV_FIELD(ParseDateDelimiterRange),         LV_FIELD(BuildDateDelimiterDate),
                           LV_FIELD(BuildDateDelimiterDateComponent), LV_FIELD(BuildDateDelimiterTime),
                           LV_FIELD(BuildDateDelimiterTimeComponent), LV_FIELD(BuildDateDelimiterRange)};
    if (anyChanged(dates, changed))
        if (auto p = CheckDelimitersLegal(valuesOf(dates))) return p;

    const Field twoX[] = {LV_FIELD(Parse2xDelimiterStart), LV_FIELD(Parse2xDelimiterEnd),
                          LV_FIELD(Parse2xDelimiterLabel), LV_FIELD(Parse2xDelimiterValue),
                          LV_FIELD(Build2xDelimiterStart), LV_FIELD(Build2xDelimiterEnd),
                          LV_FIELD(Build2xDelimiterLabel), LV_FIELD(Build2xDelimiterValue)};
    std::array<bool, 8> twoXChanged{};
    for (std::size_t i = 0; i < std::size(twoX); ++i) twoXChanged[i] = changed(twoX[i].key);
    return overlaps2x(valuesOf(twoX), twoXChanged);
}

#undef LV_FIELD
#undef LV_KEY

}  // namespace

SettingCheck CheckIntegerField(std::string_view text, std::int32_t* accepted) {
    const std::optional<std::int64_t> n = roundedNumber(text);
    if (!n || *n < 0 || *n > INT32_MAX)
        return problem("Please enter a whole number between 0 and 2,147,483,647.", "Update Integer Value");
    if (accepted) *accepted = static_cast<std::int32_t>(*n);
    return std::nullopt;
}

SettingCheck CheckMinimumYear(std::int32_t minimum, std::int32_t maximum) {
    if (minimum < kYearLowest || minimum > kYearHighest)
        return problem("Minimum Year must be between 1000 and 9999", "Update Year");
    if (minimum > maximum) return problem("Minimum Year may not be larger than Maximum Year", "Update Year");
    return std::nullopt;
}

SettingCheck CheckMaximumYear(std::int32_t maximum, std::int32_t minimum) {
    if (maximum < kYearLowest || maximum > kYearHighest)
        return problem("Maximum Year must be between 1000 and 9999", "Update Year");
    if (maximum < minimum) return problem("Maximum Year may not be smaller than Minimum Year", "Update Year");
    return std::nullopt;
}

SettingCheck Check1xAttributeNames(const std::array<std::string_view, 4>& names, std::size_t leaving) {
    constexpr std::string_view kTitle = "Validate 1.x Attributes";
    const std::string_view name = names.at(leaving);
    if (FindIllegalCharacter(name)) return problem("Attribute names may not contain illegal characters.", kTitle);
    const std::size_t length = utf8::length(name);
    if (length < 1 || length > 20)
        return problem("Please enter an attribute name between 1 and 20 characters in length.", kTitle);
    for (std::size_t i = 0; i < names.size(); ++i)
        for (std::size_t j = i + 1; j < names.size(); ++j)
            if (names[i] == names[j])
                return problem("Date, Serial, Topic, and Extension attribute names must all be different.", kTitle);
    return std::nullopt;
}

SettingCheck CheckDelimitersLegal(std::span<const std::string_view> delimiters) {
    std::string joined;
    for (std::string_view d : delimiters) joined += d;
    if (FindIllegalCharacter(joined)) return illegalDelimiters();
    return std::nullopt;
}

SettingCheck Check2xDelimiters(const Delimiters2x& d) {
    return overlaps2x({d.parseStart, d.parseEnd, d.parseLabel, d.parseValue, d.buildStart, d.buildEnd, d.buildLabel,
                       d.buildValue},
                      {true, true, true, true, true, true, true, true});
}

SettingCheck CheckSettingsTogether(const GlobalSettings& s) {
    return together(s, [](std::string_view) { return true; });
}

SettingCheck CheckSettingsTogether(const GlobalSettings& s, std::span<const std::string_view> changedKeys) {
    return together(s, [changedKeys](std::string_view key) {
        return std::find(changedKeys.begin(), changedKeys.end(), key) != changedKeys.end();
    });
}

}  // namespace lorvane
