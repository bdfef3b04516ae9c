#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/format1x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {


constexpr const char* kFull = "Date(2005-07-14),Serial(7),Topic(Beach party),Extension(jpg)";

// The finding (which its node shows) and the name, assembled also on Fail. A tree of
// nullptr is an empty tree.
std::string build1x(const char* attributes, const GlobalSettings& s = {}) {
    AttributeTree t;
    if (attributes) testing::buildAttributes(t, attributes);
    std::string name = "stale";
    Result r;
    Build1x(name, t, r, MakeDateOptions(s), MakeBuild1xOptions(s));
    return testing::shownFinding(t, r) + " | " + name;
}

TEST(Build1x, FindingAndName) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // attributes, finding | name, overrides
        {kFull, "Good | 2005-07-14 #007 Beach party.jpg", ""},
        {"Date(2005-7-4@9),Extension(png)", "Good | 2005-07-04 @09.png", ""},
        {"Date(2005),Serial(999),Extension(jpg)", "Good | 2005 #999.jpg", ""},
        {"DT(2005),SN(3),co(Beach),EX(jpg)", "Good | 2005 #003 Beach.jpg", ""},
        {kFull, "Good | 2005-07-14#007Beach party.jpg",
         "Build1xSpaceBeforeSerial=0 Build1xSpaceBeforeTopic=2"},  // only 1 is on
        {kFull, "Good | 2005-07-14 No007 _Beach party_jpg",
         "Build1xDelimiterSerial=No Build1xDelimiterTopic=_ Build1xDelimiterExtension=_"},
        {"Date(2005),Topic(zebra),Extension(jpg)", "Good | 2005 zebra.jpg", "Build1xTopicLengthMaximum=5"},
        {"Date(2005),Topic(Be:ach),Extension(jpg)", "Good | 2005 Be:ach.jpg", "BuildAllowIllegal=1"},
        {"Date(2005)", "Good | 2005", "BuildExtensionLengthMinimum=0"},
        {"Serial(1),Topic(Beach),Extension(jpg)", "Good |  #001 Beach.jpg", ""},
        {kFull, "Good | 2005-07-14 #007 Beach party.jpg", "BuildLengthMaximum=31"},
        {kFull, "Fail n1 @0+0 Filename is too long (Length=31, Maximum=30) | 2005-07-14 #007 Beach party.jpg",
         "BuildLengthMaximum=30"},
        {nullptr, "Fail @0+0 Tree is empty | ", ""},
        {"Extension(jpg)", "Fail n1 @0+0 There must be at least one non-Extension attribute | .jpg", ""},
        {"Date(2005),Serial(1000),Extension(jpg)",
         "Fail n5 @0+0 Serial must be a number between 1 and 999 | 2005 #1000.jpg", ""},
        {"Date(2005),Serial(0),Extension(jpg)",
         "Fail n5 @0+0 Serial must be a number between 1 and 999 | 2005 #000.jpg", ""},
        // The integer finding stands; the range finding after it does not replace it.
        {"Date(2005),Serial(abc),Extension(jpg)",
         "Fail n5 @1+3 Integer value must be a number between 0 and 2,147,483,647 | 2005 #abc.jpg", ""},
        {"Date(2005),Topic(7 up),Extension(jpg)",
         "Fail n5 @1+1 Topic must begin with a letter when Topic Delimiter is blank | 2005 7 up.jpg", ""},
        {"Date(2005),Topic(Beach party),Extension(jpg)",
         "Fail n5 @0+0 Topic (Length=11) too long (Maximum=5) | 2005 Beach party.jpg", "Build1xTopicLengthMaximum=5"},
        {"Date(2005),Extension(tar.gz)", "Fail n5 @4+1 Extension value contains a period | 2005.tar.gz", ""},
        {"Date(2005),Extension(j)", "Warn n5 @1+1 Extension value is less than 2 characters long | 2005.j", ""},
        {"Date(2005),Extension(jpeg)", "Warn n5 @1+4 Extension value is more than 3 characters long | 2005.jpeg", ""},
        {"Date(2005),Topic(Sea)", "Warn n1 @0+0 There should be an Extension attribute | 2005 Sea", ""},
        // About the attribute, and the name is still made from the others.
        {"Date(2005),Subject(Ann),Extension(jpg)",
         "Fail n4 @0+0 Only Date, Serial, Topic and Extension attributes may be included | 2005.jpg", ""},
        {"Date(2005),Serial,Extension(jpg)", "Fail n4 @0+0 Serial attribute must have a value | 2005.jpg", ""},
        // The date records no value, so the name lacks a non-extension part too.
        {"Date(2005,2006),Extension(jpg)", "Fail n2 @0+0 Date attribute may only have one value | .jpg", ""},
        {"Date(2005),Topic(Be:ach),Extension(jpg)",
         "Fail n5 @3+1 Topic value contains an illegal character | 2005 Be:ach.jpg", ""},
        {"Date(2005),Serial(1),Topic( ),Extension(jpg)", "Fail n7 @1+0 Topic value is empty | 2005 #001 .jpg", ""},
        // The date finding carries its own span; the text is left for the user to correct.
        {"Date(2005-02-30),Extension(jpg)", "Fail n3 @9+2 Should be Day between 1 and 28 | 2005-02-30.jpg", ""},
        // The four year places the date reader marks stop at the end of a shorter value.
        {"Date(ab),Extension(jpg)",
         "Fail n3 @1+2 Date value should begin with 4-digit year between 1900 and 2100 | ab.jpg", ""},
        // An unknown role name translates to empty text, like every name the dictionary lacks.
        {"Date(2005),Whatever(Sea),Subject(Ann),Extension(jpg)",
         "Fail n6 @0+0 Only Date, Serial, Thema and Extension attributes may be included | 2005 Sea.jpg",
         "Parse1xAttributeTopic=Thema"},
    };
    for (const auto& [attributes, expect, overrides] : rows)
        EXPECT_EQ(build1x(attributes, testing::settingsWith(overrides)), expect) << attributes << " " << overrides;
}

}  // namespace
}  // namespace lorvane
