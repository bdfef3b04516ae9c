#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/settings_checks.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

constexpr const char* kLength = "Please enter an attribute name between 1 and 20 characters in length.";
constexpr const char* kIllegalName = "Attribute names may not contain illegal characters.";
constexpr const char* kDiffer = "Date, Serial, Topic, and Extension attribute names must all be different.";
constexpr const char* kIllegalDelimiter = "Delimiters may not contain illegal filename characters.";

// "title: message", or empty when the check passes.
std::string said(const SettingCheck& p) { return p ? p->title + ": " + p->message : ""; }

TEST(SettingChecks, IntegerFieldRoundsHalvesToEvenAndRefusesWhatIsNoWholeNumberInRange) {
    const std::pair<const char*, std::int32_t> rows[] = {  // -1: refused
        {"12.5", 12}, {"13.5", 14}, {"12.51", 13}, {"12.49", 12}, {"12.6", 13}, {" 255 ", 255}, {"+8", 8},
        {"0999", 999},
        {".5", 0}, {"-0.4", 0}, {"7.", 7}, {"2147483647", 2147483647}, {"2147483647.5", -1}, {"2147483648", -1},
        {"99999999999999999999999", -1}, {"-1", -1}, {"twelve", -1}, {"", -1}, {".", -1}, {"1e3", -1}, {"1.2.3", -1}};
    for (const auto& [text, accepted] : rows) {
        std::int32_t value = -1;
        EXPECT_EQ(said(CheckIntegerField(text, &value)),
                  accepted < 0 ? "Update Integer Value: Please enter a whole number between 0 and 2,147,483,647." : "")
            << text;
        EXPECT_EQ(value, accepted) << text;  // refused: nothing to write back
    }
}

// The field being left (the minimum or the maximum), its value and the other year's: the range first, then the order.
TEST(SettingChecks, Years) {
    const std::tuple<bool, std::int32_t, std::int32_t, const char*> rows[] = {
        {true, 1000, 2100, ""}, {true, 9999, 9999, ""}, {false, 1000, 1000, ""},
        {true, 999, 2100, "Update Year: Minimum Year must be between 1000 and 9999"},
        {true, 10000, 2100, "Update Year: Minimum Year must be between 1000 and 9999"},
        {true, 2200, 2100, "Update Year: Minimum Year may not be larger than Maximum Year"},
        {false, 999, 900, "Update Year: Maximum Year must be between 1000 and 9999"},
        {false, 1899, 1900, "Update Year: Maximum Year may not be smaller than Minimum Year"},
    };
    for (const auto& [minimum, leaving, other, problem] : rows)
        EXPECT_EQ(said(minimum ? CheckMinimumYear(leaving, other) : CheckMaximumYear(leaving, other)), problem);
}

// The name being left is legal and 1 to 20 characters long; the four all differ.
TEST(SettingChecks, AttributeNames) {
    const std::string twenty(20, 'a'), twentyOne(21, 'a');
    std::string wide;
    for (int i = 0; i < 20; ++i) wide += "\xC3\xA9";
    const std::tuple<std::array<std::string_view, 4>, std::size_t, const char*> rows[] = {  // names, the one left
        {{twenty, "Serial", "Topic", "Extension"}, 0, ""},
        {{"Date", wide, "Topic", "Extension"}, 1, ""},  // twenty characters, not twenty bytes
        {{twentyOne, "Serial", "Topic", "Extension"}, 1, ""},  // only the field being left
        {{twentyOne, "Serial", "Topic", "Extension"}, 0, kLength},
        {{"Date", "", "Topic", "Extension"}, 1, kLength},
        {{"Da:te", "Serial", "Topic", "Extension"}, 0, kIllegalName},
        // Illegal characters are reported before the length.
        {{"Date", "Serial", "?????????????????????????", "Extension"}, 2, kIllegalName},
        {{"Date", "Serial", "Date", "Extension"}, 3, kDiffer},
    };
    for (const auto& [names, leaving, problem] : rows) {
        const SettingCheck p = Check1xAttributeNames(names, leaving);
        EXPECT_EQ(said(p), *problem ? std::string("Validate 1.x Attributes: ") + problem : "") << names[leaving];
    }
}

constexpr Delimiters2x kDefaults{"{", "}", "=", ";", "{", "}", "=", ";"};

Delimiters2x with(Delimiters2x d, std::string_view Delimiters2x::*member, std::string_view value) {
    d.*member = value;
    return d;
}

TEST(SettingChecks, DelimitersAreLegalAndThe2xOnesOfASideApart) {
    const std::string_view fine[] = {"#", "", " ", "."}, colon[] = {"-", "", ":", "~"};
    EXPECT_EQ(said(CheckDelimitersLegal(fine)), "");
    EXPECT_EQ(said(CheckDelimitersLegal(colon)), std::string("Validate Delimiters: ") + kIllegalDelimiter);
    const std::pair<Delimiters2x, const char*> rows[] = {
        {kDefaults, ""},
        {Delimiters2x{}, ""},  // all empty
        {Delimiters2x{"[", "]", "=", ";", "{", "}", "[", "]"}, ""},  // the two sides are not compared with each other
        // An empty delimiter is found in every other one.
        {with(kDefaults, &Delimiters2x::parseLabel, ""), "Parse Start and Parse Label delimiters may not overlap."},
        {with(kDefaults, &Delimiters2x::buildValue, ""), "Build Start and Build Value delimiters may not overlap."},
        {with(with(kDefaults, &Delimiters2x::buildStart, "<"), &Delimiters2x::parseEnd, "{"),
         kIllegalDelimiter},
    };
    for (const auto& [d, problem] : rows) {
        const SettingCheck p = Check2xDelimiters(d);
        EXPECT_EQ(p ? p->message : "", problem);
    }
    // Each of the twelve pairs: distinct delimiters, then the second of the pair made to hold the first.
    constexpr Delimiters2x kApart{"[", "]", "=", ";", "(", ")", "-", "~"};
    std::string_view Delimiters2x::* const members[] = {
        &Delimiters2x::parseStart, &Delimiters2x::parseEnd, &Delimiters2x::parseLabel, &Delimiters2x::parseValue,
        &Delimiters2x::buildStart, &Delimiters2x::buildEnd, &Delimiters2x::buildLabel, &Delimiters2x::buildValue};
    const char* const names[] = {"Parse Start", "Parse End", "Parse Label", "Parse Value",
                                 "Build Start", "Build End", "Build Label", "Build Value"};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = i + 1; j < (i < 4 ? 4 : 8); ++j) {
            const std::string holder = std::string(kApart.*members[i]) + "x";
            EXPECT_EQ(said(Check2xDelimiters(with(kApart, members[j], holder))),
                      std::string("Validate Delimiters: ") + names[i] + " and " + names[j] +
                          " delimiters may not overlap.");
        }
}

// Each row: what the record holds besides the defaults, the keys changed, and the
// problem the checks those keys take part in find (the first, in a fixed order).
TEST(SettingChecks, TogetherOnlyTheChecksAChangedSettingTakesPartInRun) {
    const std::tuple<const char*, std::string_view, const char*> rows[] = {
        {"ParseDateMinimumYear=2200", "ParseMode", ""},
        {"ParseDateMinimumYear=2200", "ParseDateMinimumYear", "Minimum Year may not be larger than Maximum Year"},
        // An odd value that comes first in the order does not hide the changed one's problem.
        {"ParseDateMinimumYear=2200 Parse2xDelimiterEnd={{", "Parse2xDelimiterEnd",
         "Parse Start and Parse End delimiters may not overlap."},
        // Of the 2.x pairs only those with a changed member.
        {"Build2xDelimiterValue===", "Build2xDelimiterStart", ""},
        {"Build2xDelimiterValue===", "Build2xDelimiterLabel",
         "Build Label and Build Value delimiters may not overlap."},
        // The four names differ whichever of them changed; a name's own form is its own.
        {"Parse1xAttributeTopic=Serial", "Parse1xAttributeExtension", kDiffer},
        {"Parse1xAttributeDate=ddddddddddddddddddddd", "Parse1xAttributeSerial", ""},
        {"Parse1xAttributeDate=ddddddddddddddddddddd", "Parse1xAttributeDate", kLength},
        {"BuildDateDelimiterTime=:", "ParseDateDelimiterRange", kIllegalDelimiter},
    };
    std::vector<std::string_view> everyKey;
    for (const SettingDef& d : GlobalSettingTable()) everyKey.push_back(d.key);
    for (const auto& [overrides, changed, problem] : rows) {
        SCOPED_TRACE(changed);
        const GlobalSettings s = testing::settingsWith(overrides);
        const SettingCheck p = CheckSettingsTogether(s, {&changed, 1});
        EXPECT_EQ(p ? p->message : "", problem);
        EXPECT_EQ(CheckSettingsTogether(s, everyKey), CheckSettingsTogether(s));  // every key changed: every check
    }
}

}  // namespace
}  // namespace lorvane
