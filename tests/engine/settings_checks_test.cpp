#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/settings_checks.h"

namespace lorvane {
namespace {

const char* const kWholeNumber = "Please enter a whole number between 0 and 2,147,483,647.";

struct IntegerCase {
    const char* text;
    std::int32_t accepted;  // -1: refused
};

class IntegerFieldTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerFieldTest, RoundsHalvesToEvenAndRefusesWhatIsNoWholeNumberInRange) {
    const IntegerCase& c = GetParam();
    std::int32_t value = -7;
    const SettingCheck p = CheckIntegerField(c.text, &value);
    if (c.accepted < 0) {
        ASSERT_TRUE(p) << c.text;
        EXPECT_EQ(p->message, kWholeNumber);
        EXPECT_EQ(p->title, "Update Integer Value");
        EXPECT_EQ(value, -7);  // nothing to write back
    } else {
        EXPECT_FALSE(p) << c.text << ": " << p->message;
        EXPECT_EQ(value, c.accepted) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(SettingChecks, IntegerFieldTest,
                         ::testing::Values(IntegerCase{"12.5", 12}, IntegerCase{"13.5", 14}, IntegerCase{"12.51", 13},
                                           IntegerCase{"12.49", 12}, IntegerCase{" 255 ", 255}, IntegerCase{"+8", 8},
                                           IntegerCase{"0999", 999}, IntegerCase{".5", 0}, IntegerCase{"-0.4", 0},
                                           IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483647.5", -1},
                                           IntegerCase{"2147483648", -1}, IntegerCase{"99999999999999999999999", -1},
                                           IntegerCase{"-1", -1}, IntegerCase{"twelve", -1}, IntegerCase{"", -1},
                                           IntegerCase{".", -1}, IntegerCase{"1e3", -1}, IntegerCase{"1.2.3", -1}));

struct YearCase {
    const char* label;
    bool minimumField;
    std::int32_t leaving, other;
    const char* message;  // nullptr: accepted
};

class YearFieldTest : public ::testing::TestWithParam<YearCase> {};

TEST_P(YearFieldTest, RangeFirstThenTheOrderOfTheTwo) {
    const YearCase& c = GetParam();
    const SettingCheck p = c.minimumField ? CheckMinimumYear(c.leaving, c.other) : CheckMaximumYear(c.leaving, c.other);
    if (!c.message) {
        EXPECT_FALSE(p) << p->message;
        return;
    }
    ASSERT_TRUE(p);
    EXPECT_EQ(p->message, c.message);
    EXPECT_EQ(p->title, "Update Year");
}

INSTANTIATE_TEST_SUITE_P(
    SettingChecks, YearFieldTest,
    ::testing::Values(
        YearCase{"MinimumAccepted", true, 1900, 2100, nullptr},
        YearCase{"MinimumEqualToMaximum", true, 2000, 2000, nullptr},
        // 0999 passes the integer check as 999, then fails here.
        YearCase{"MinimumOfThreeDigits", true, 999, 2100, "Minimum Year must be between 1000 and 9999"},
        YearCase{"MinimumOfFiveDigits", true, 10000, 2100, "Minimum Year must be between 1000 and 9999"},
        // Outside the range wins over the order.
        YearCase{"MinimumOutsideAndAbove", true, 99999, 2100, "Minimum Year must be between 1000 and 9999"},
        YearCase{"MinimumAboveMaximum", true, 2200, 2100, "Minimum Year may not be larger than Maximum Year"},
        YearCase{"MaximumAccepted", false, 9999, 1000, nullptr},
        YearCase{"MaximumOfFiveDigits", false, 10000, 1900, "Maximum Year must be between 1000 and 9999"},
        YearCase{"MaximumBelowMinimum", false, 1899, 1900, "Maximum Year may not be smaller than Minimum Year"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SettingChecks, AttributeNamesAreLegalOneToTwentyCharactersAndAllDifferent) {
    const std::string twenty(20, 'a'), twentyOne(21, 'a');
    auto check = [](std::array<std::string_view, 4> names, std::size_t leaving) {
        const SettingCheck p = Check1xAttributeNames(names, leaving);
        if (p) {
            EXPECT_EQ(p->title, "Validate 1.x Attributes");
        }
        return p ? p->message : std::string();
    };
    EXPECT_EQ(check({"Date", "Serial", "Topic", "Extension"}, 0), "");
    EXPECT_EQ(check({"Date", "date", "Topic", "Extension"}, 1), "");  // case counts
    EXPECT_EQ(check({twenty, "Serial", "Topic", "Extension"}, 0), "");
    EXPECT_EQ(check({twentyOne, "Serial", "Topic", "Extension"}, 0),
              "Please enter an attribute name between 1 and 20 characters in length.");
    EXPECT_EQ(check({"Date", "", "Topic", "Extension"}, 1),
              "Please enter an attribute name between 1 and 20 characters in length.");
    // Twenty characters, not twenty bytes.
    EXPECT_EQ(check({"Date", "ééééééééééééééééééé\xc3\xa9", "Topic", "Extension"}, 1), "");
    EXPECT_EQ(check({"Da:te", "Serial", "Topic", "Extension"}, 0),
              "Attribute names may not contain illegal characters.");
    // Illegal characters are reported before the length.
    EXPECT_EQ(check({"Date", "Serial", std::string(25, '?'), "Extension"}, 2),
              "Attribute names may not contain illegal characters.");
    EXPECT_EQ(check({"Date", "Serial", "Date", "Extension"}, 3),
              "Date, Serial, Topic, and Extension attribute names must all be different.");
    // Only the field being left is checked for its own form.
    EXPECT_EQ(check({twentyOne, "Serial", "Topic", "Extension"}, 1), "");
}

TEST(SettingChecks, DelimiterGroupsMayHoldNoIllegalCharacter) {
    const std::string_view fine[] = {"#", "", " ", "."};
    EXPECT_FALSE(CheckDelimitersLegal(fine));
    const std::string_view colon[] = {"-", "", ":", "~"};  // a colon typed into a date delimiter
    const SettingCheck p = CheckDelimitersLegal(colon);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->message, "Delimiters may not contain illegal filename characters.");
    EXPECT_EQ(p->title, "Validate Delimiters");
}

struct OverlapCase {
    const char* label;
    Delimiters2x d;
    const char* message;  // nullptr: accepted
};

class Overlap2xTest : public ::testing::TestWithParam<OverlapCase> {};

TEST_P(Overlap2xTest, FirstOverlappingPairInOrder) {
    const OverlapCase& c = GetParam();
    const SettingCheck p = Check2xDelimiters(c.d);
    if (!c.message) {
        EXPECT_FALSE(p) << p->message;
        return;
    }
    ASSERT_TRUE(p);
    EXPECT_EQ(p->message, c.message);
    EXPECT_EQ(p->title, "Validate Delimiters");
}

constexpr Delimiters2x kDefaults{"{", "}", "=", ";", "{", "}", "=", ";"};

Delimiters2x with(Delimiters2x d, std::string_view Delimiters2x::*member, std::string_view value) {
    d.*member = value;
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    SettingChecks, Overlap2xTest,
    ::testing::Values(OverlapCase{"Defaults", kDefaults, nullptr},
                      OverlapCase{"EndIsStartDoubled", with(kDefaults, &Delimiters2x::parseEnd, "{{"),
                                  "Parse Start and Parse End delimiters may not overlap."},
                      // An empty delimiter is found in every other one.
                      OverlapCase{"EmptyParseLabel", with(kDefaults, &Delimiters2x::parseLabel, ""),
                                  "Parse Start and Parse Label delimiters may not overlap."},
                      OverlapCase{"EmptyBuildValue", with(kDefaults, &Delimiters2x::buildValue, ""),
                                  "Build Start and Build Value delimiters may not overlap."},
                      OverlapCase{"AllEmpty", Delimiters2x{}, nullptr},
                      OverlapCase{"LabelInsideValue", with(kDefaults, &Delimiters2x::parseValue, "=;"),
                                  "Parse Label and Parse Value delimiters may not overlap."},
                      OverlapCase{"BuildEndInsideLabel", with(kDefaults, &Delimiters2x::buildLabel, "}="),
                                  "Build End and Build Label delimiters may not overlap."},
                      // The two sides are not compared with each other.
                      OverlapCase{"SidesApart", Delimiters2x{"[", "]", "=", ";", "{", "}", "[", "]"}, nullptr},
                      OverlapCase{"IllegalFirst",
                                  with(with(kDefaults, &Delimiters2x::buildStart, "<"), &Delimiters2x::parseEnd, "{"),
                                  "Delimiters may not contain illegal filename characters."}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SettingChecks, EachOfTheTwelvePairsHasItsMessage) {
    // Distinct delimiters; then the second of one pair made to hold the first.
    constexpr Delimiters2x kApart{"[", "]", "=", ";", "(", ")", "-", "~"};
    std::string_view Delimiters2x::* const members[] = {
        &Delimiters2x::parseStart, &Delimiters2x::parseEnd, &Delimiters2x::parseLabel, &Delimiters2x::parseValue,
        &Delimiters2x::buildStart, &Delimiters2x::buildEnd, &Delimiters2x::buildLabel, &Delimiters2x::buildValue};
    const char* const messages[] = {
        "Parse Start and Parse End delimiters may not overlap.",   "Parse Start and Parse Label delimiters may not overlap.",
        "Parse Start and Parse Value delimiters may not overlap.", "Parse End and Parse Label delimiters may not overlap.",
        "Parse End and Parse Value delimiters may not overlap.",   "Parse Label and Parse Value delimiters may not overlap.",
        "Build Start and Build End delimiters may not overlap.",   "Build Start and Build Label delimiters may not overlap.",
        "Build Start and Build Value delimiters may not overlap.", "Build End and Build Label delimiters may not overlap.",
        "Build End and Build Value delimiters may not overlap.",   "Build Label and Build Value delimiters may not overlap."};
    std::vector<std::string> held;  // texts the string_views of each case point into
    held.reserve(12);
    std::size_t n = 0;
    for (std::size_t side = 0; side < 8; side += 4)
        for (std::size_t i = side; i < side + 4; ++i)
            for (std::size_t j = i + 1; j < side + 4; ++j, ++n) {
                Delimiters2x d = kApart;
                held.push_back(std::string(d.*members[i]) + "x");
                d.*members[j] = held.back();
                const SettingCheck p = Check2xDelimiters(d);
                ASSERT_TRUE(p) << messages[n];
                EXPECT_EQ(p->message, messages[n]);
            }
    EXPECT_EQ(n, 12u);
}

TEST(SettingChecks, TogetherTheDefaultsPassAndTheFirstProblemIsReported) {
    GlobalSettings s;
    EXPECT_FALSE(CheckSettingsTogether(s));
    s.Build2xDelimiterLabel = "";
    s.ParseDateMinimumYear = 2200;  // years come first
    ASSERT_TRUE(CheckSettingsTogether(s));
    EXPECT_EQ(CheckSettingsTogether(s)->message, "Minimum Year may not be larger than Maximum Year");
    s.ParseDateMinimumYear = 1900;
    EXPECT_EQ(CheckSettingsTogether(s)->message, "Build Start and Build Label delimiters may not overlap.");
    s.Build2xDelimiterLabel = "=";
    s.Parse1xAttributeTopic = s.Parse1xAttributeDate;
    EXPECT_EQ(CheckSettingsTogether(s)->message,
              "Date, Serial, Topic, and Extension attribute names must all be different.");
}

struct ChangedCase {
    const char* label;
    std::function<void(GlobalSettings&)> odd;  // what the record holds
    std::vector<std::string_view> changed;
    const char* message;  // nullptr: accepted
};

TEST(SettingChecks, OnlyTheChecksAChangedSettingTakesPartInRun) {
    const std::vector<ChangedCase> cases = {
        {"NothingOdd", [](GlobalSettings&) {}, {"ParseMode"}, nullptr},
        {"YearsOddButUntouched", [](GlobalSettings& s) { s.ParseDateMinimumYear = 2200; }, {"ParseMode"}, nullptr},
        {"MinimumChanged", [](GlobalSettings& s) { s.ParseDateMinimumYear = 2200; }, {"ParseDateMinimumYear"},
         "Minimum Year may not be larger than Maximum Year"},
        {"MaximumChanged", [](GlobalSettings& s) { s.ParseDateMinimumYear = 2200; }, {"ParseDateMaximumYear"},
         "Maximum Year may not be smaller than Minimum Year"},
        // An odd value that comes first in the order does not hide the changed one's problem.
        {"OddYearsDoNotHideAnOverlap",
         [](GlobalSettings& s) {
             s.ParseDateMinimumYear = 2200;
             s.Parse2xDelimiterEnd = "{{";
         },
         {"Parse2xDelimiterEnd"}, "Parse Start and Parse End delimiters may not overlap."},
        {"OddOverlapIgnoredWhenMendingYears",
         [](GlobalSettings& s) { s.Build2xDelimiterValue = "=="; }, {"ParseDateMaximumYear"}, nullptr},
        // Of the 2.x pairs only those with a changed member.
        {"OtherPairOfTheSameSide", [](GlobalSettings& s) { s.Build2xDelimiterValue = "=="; },
         {"Build2xDelimiterStart"}, nullptr},
        {"PairWithTheChangedMember", [](GlobalSettings& s) { s.Build2xDelimiterValue = "=="; },
         {"Build2xDelimiterLabel"}, "Build Label and Build Value delimiters may not overlap."},
        // The four names differ whichever of them changed.
        {"NamesDifferAnyOfThem", [](GlobalSettings& s) { s.Parse1xAttributeTopic = "Serial"; },
         {"Parse1xAttributeExtension"}, "Date, Serial, Topic, and Extension attribute names must all be different."},
        {"NamesUntouched", [](GlobalSettings& s) { s.Parse1xAttributeTopic = "Serial"; }, {"Parse1xDelimiterTopic"},
         nullptr},
        // A name's own form is its own.
        {"OtherNamesForm", [](GlobalSettings& s) { s.Parse1xAttributeDate = std::string(21, 'd'); },
         {"Parse1xAttributeSerial"}, nullptr},
        {"DateGroupByAnyMember", [](GlobalSettings& s) { s.BuildDateDelimiterTime = ":"; },
         {"ParseDateDelimiterRange"}, "Delimiters may not contain illegal filename characters."},
        {"DateGroupUntouched", [](GlobalSettings& s) { s.BuildDateDelimiterTime = ":"; }, {"Build1xDelimiterTopic"},
         nullptr},
        {"OneXGroupByAnyMember", [](GlobalSettings& s) { s.Parse1xDelimiterSerial = "|"; },
         {"Build1xDelimiterExtension"}, "Delimiters may not contain illegal filename characters."},
    };
    std::vector<std::string_view> everyKey;
    for (const SettingDef& d : GlobalSettingTable()) everyKey.push_back(d.key);
    for (const ChangedCase& c : cases) {
        SCOPED_TRACE(c.label);
        GlobalSettings s;
        c.odd(s);
        const SettingCheck p = CheckSettingsTogether(s, c.changed);
        if (c.message) {
            ASSERT_TRUE(p);
            EXPECT_EQ(p->message, c.message);
        } else {
            EXPECT_FALSE(p) << p->message;
        }
        // Every key changed runs every check.
        EXPECT_EQ(CheckSettingsTogether(s, everyKey), CheckSettingsTogether(s));
    }
}

}  // namespace
}  // namespace lorvane
