// The checks a typed setting value must pass, beyond each setting's own limits:
// the Options dialog runs them field by field as the user leaves a field, and
// --set runs the checks across settings that the values it was given take part
// in, so that both refuse the same values with the same messages.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/settings.h"

namespace lorvane {

struct SettingProblem {
    std::string message, title;
    bool operator==(const SettingProblem&) const = default;
};
using SettingCheck = std::optional<SettingProblem>;

// An integer field: blanks around the number allowed, a fraction rounded to the
// nearest whole number with halves to even. A text that does not convert, a
// value beyond 32 bits or a negative one is refused. On success *accepted holds
// the value, to be written back into the field as plain digits.
SettingCheck CheckIntegerField(std::string_view text, std::int32_t* accepted);

// The year fields, after the integer check: the field being left and the other
// year field's value.
SettingCheck CheckMinimumYear(std::int32_t minimum, std::int32_t maximum);
SettingCheck CheckMaximumYear(std::int32_t maximum, std::int32_t minimum);

// The four 1.x attribute names (Date, Serial, Topic, Extension): the one being
// left has no illegal character and 1 to 20 characters; the four all differ
// (exactly, case counts).
SettingCheck Check1xAttributeNames(const std::array<std::string_view, 4>& names, std::size_t leaving);

// A group of delimiters (the six of 1.x, the ten date delimiters): joined, no
// illegal filename character. Empty ones are allowed.
SettingCheck CheckDelimitersLegal(std::span<const std::string_view> delimiters);

// The eight 2.x delimiters: legal as a group, then no delimiter may occur inside
// another of its side (parse start, end, label, value; then the same for build),
// the pairs tested in a fixed order, the first overlap reported.
struct Delimiters2x {
    std::string_view parseStart, parseEnd, parseLabel, parseValue;
    std::string_view buildStart, buildEnd, buildLabel, buildValue;
};
SettingCheck Check2xDelimiters(const Delimiters2x& d);

// Every check across settings, on a whole settings record, the first problem
// first: the years, the 1.x attribute names, the 1.x, date and 2.x delimiters.
SettingCheck CheckSettingsTogether(const GlobalSettings& s);

// The same, but only the checks that read one of the changed settings (keys as
// in the settings table): a year's range and order, an attribute name's own form
// and the four names' difference, a delimiter group's characters, and the 2.x
// pairs with a changed member. So whoever changes some settings answers for
// what those settings take part in, not for an odd value elsewhere.
SettingCheck CheckSettingsTogether(const GlobalSettings& s, std::span<const std::string_view> changedKeys);

}  // namespace lorvane
