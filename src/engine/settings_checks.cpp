#include "engine/settings_checks.h"

#include <algorithm>

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
    const std::string_view all[] = {d.parseStart, d.parseEnd, d.parseLabel, d.parseValue,
                                    d.buildStart, d.buildEnd, d.buildLabel, d.buildValue};
    if (auto p = CheckDelimitersLegal(all)) return p;
    static constexpr std::string_view kNames[] = {"Start", "End", "Label", "Value"};
    for (const char* side : {"Parse", "Build"}) {
        const std::string_view* four = side[0] == 'P' ? &all[0] : &all[4];
        for (std::size_t i = 0; i < 4; ++i)
            for (std::size_t j = i + 1; j < 4; ++j)
                if (overlap(four[i], four[j]))
                    return problem(std::string(side) + " " + std::string(kNames[i]) + " and " + side + " " +
                                       std::string(kNames[j]) + " delimiters may not overlap.",
                                   "Validate Delimiters");
    }
    return std::nullopt;
}

SettingCheck CheckSettingsTogether(const GlobalSettings& s) {
    if (auto p = CheckMinimumYear(s.ParseDateMinimumYear, s.ParseDateMaximumYear)) return p;
    if (auto p = CheckMaximumYear(s.ParseDateMaximumYear, s.ParseDateMinimumYear)) return p;
    const std::array<std::string_view, 4> names = {s.Parse1xAttributeDate, s.Parse1xAttributeSerial,
                                                   s.Parse1xAttributeTopic, s.Parse1xAttributeExtension};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (auto p = Check1xAttributeNames(names, i)) return p;
    const std::string_view oneX[] = {s.Parse1xDelimiterSerial, s.Parse1xDelimiterTopic, s.Parse1xDelimiterExtension,
                                     s.Build1xDelimiterSerial, s.Build1xDelimiterTopic, s.Build1xDelimiterExtension};
    if (auto p = CheckDelimitersLegal(oneX)) return p;
    const std::string_view dates[] = {s.ParseDateDelimiterDate,          s.ParseDateDelimiterDateComponent,
                                      s.ParseDateDelimiterTime,          s.ParseDateDelimiterTimeComponent,
                                      s.ParseDateDelimiterRange,         s.BuildDateDelimiterDate,
                                      s.BuildDateDelimiterDateComponent, s.BuildDateDelimiterTime,
                                      s.BuildDateDelimiterTimeComponent, s.BuildDateDelimiterRange};
    if (auto p = CheckDelimitersLegal(dates)) return p;
    return Check2xDelimiters({s.Parse2xDelimiterStart, s.Parse2xDelimiterEnd, s.Parse2xDelimiterLabel,
                              s.Parse2xDelimiterValue, s.Build2xDelimiterStart, s.Build2xDelimiterEnd,
                              s.Build2xDelimiterLabel, s.Build2xDelimiterValue});
}

}  // namespace lorvane
