#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/format1x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::treeText;

using Tweak = std::function<void(GlobalSettings&)>;

Result build(AttributeTree& tree, std::string& name, const Tweak& tweak = {}, Result r = {}) {
    GlobalSettings s;
    if (tweak) tweak(s);
    Build1x(name, tree, r, MakeDateOptions(s), MakeBuild1xOptions(s));
    return r;
}

struct BuildCase {
    const char* label;
    const char* tree;
    Status status;
    const char* message;
    int nodeIndex;
    int position;
    int length;
    const char* name;       // assembled also on Fail
    const char* afterTree;  // the tree with its normalised texts
    Tweak tweak = {};
    std::function<void(AttributeTree&)> edit = {};  // texts the compact form cannot hold
};

class Build1xCases : public ::testing::TestWithParam<BuildCase> {};

TEST_P(Build1xCases, FindingNameAndNormalisedTree) {
    const auto& c = GetParam();
    AttributeTree t;
    buildTree(t, c.tree);
    if (c.edit) c.edit(t);
    std::string name = "stale";
    Result r = build(t, name, c.tweak);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.nodeIndex, c.nodeIndex);
    EXPECT_EQ(r.position, c.position);
    EXPECT_EQ(r.length, c.length);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(treeText(t), c.afterTree);
    if (c.nodeIndex) {
        EXPECT_EQ(statusOfImage(t[c.nodeIndex].image), c.status) << "the reported node shows it";
    }
}

constexpr const char* kFull = "Filename(Date(2005-07-14),Serial(7),Topic(Beach party),Extension(jpg))";
constexpr Status G = Status::Good, W = Status::Warn, F = Status::Fail;

INSTANTIATE_TEST_SUITE_P(
    Good, Build1xCases,
    ::testing::Values(
        BuildCase{"Full", kFull, G, "", 0, 0, 0, "2005-07-14 #007 Beach party.jpg",
                  "Filename(Date(2005-07-14),Serial(007),Topic(Beach party),Extension(JPG))"},
        BuildCase{"DateInBuildStyle", "Filename(Date(2005-7-4@9),Extension(png))", G, "", 0, 0, 0,
                  "2005-07-04 @09.png", "Filename(Date(2005-07-04 @09),Extension(PNG))"},
        BuildCase{"DateRange", "Filename(Date(2005-07-14@10~2005-07-14@18),Extension(jpg))", G, "", 0, 0, 0,
                  "2005-07-14 @10 ~ @18.jpg", "Filename(Date(2005-07-14 @10 ~ @18),Extension(JPG))"},
        BuildCase{"Trimmed", "Filename(Date(2005),Serial( 12 ),Topic(  Sea  ),Extension( Jpg ))", G, "", 0, 0, 0,
                  "2005 #012 Sea.jpg", "Filename(Date(2005),Serial(012),Topic(Sea),Extension(JPG))"},
        BuildCase{"FourDigitSerial", "Filename(Date(2005),Serial(1234),Extension(jpg))", G, "", 0, 0, 0,
                  "2005 #1234.jpg", "Filename(Date(2005),Serial(1234),Extension(JPG))",
                  [](GlobalSettings& s) { s.Build1xSerialMaximum = 9999; }},
        BuildCase{"DictionaryForms", "Filename(DT(2005),SN(3),co(Beach),EX(jpg))", G, "", 0, 0, 0, "2005 #003 Beach.jpg",
                  "Filename(DT(2005),SN(003),co(Beach),EX(JPG))"},
        BuildCase{"NoSpaces", kFull, G, "", 0, 0, 0, "2005-07-14#007Beach party.jpg",
                  "Filename(Date(2005-07-14),Serial(007),Topic(Beach party),Extension(JPG))",
                  [](GlobalSettings& s) {
                      s.Build1xSpaceBeforeSerial = 0;
                      s.Build1xSpaceBeforeTopic = 2;  // only 1 counts as on
                  }},
        BuildCase{"Delimiters", kFull, G, "", 0, 0, 0, "2005-07-14 No007 _Beach party_jpg",
                  "Filename(Date(2005-07-14),Serial(007),Topic(Beach party),Extension(JPG))",
                  [](GlobalSettings& s) {
                      s.Build1xDelimiterSerial = "No";
                      s.Build1xDelimiterTopic = "_";
                      s.Build1xDelimiterExtension = "_";
                  }},
        BuildCase{"DigitTopicWithDelimiter", "Filename(Date(2005),Topic(7 up),Extension(jpg))", G, "", 0, 0, 0,
                  "2005 _7 up.jpg", "Filename(Date(2005),Topic(7 up),Extension(JPG))",
                  [](GlobalSettings& s) { s.Build1xDelimiterTopic = "_"; }},
        BuildCase{"IllegalAllowed", "Filename(Date(2005),Topic(Be:ach),Extension(jpg))", G, "", 0, 0, 0,
                  "2005 Be:ach.jpg", "Filename(Date(2005),Topic(Be:ach),Extension(JPG))",
                  [](GlobalSettings& s) { s.BuildAllowIllegal = 1; }},
        BuildCase{"NoExtensionExpected", "Filename(Date(2005))", G, "", 0, 0, 0, "2005", "Filename(Date(2005))",
                  [](GlobalSettings& s) { s.BuildExtensionLengthMinimum = 0; }},
        // The space is written even with nothing before it.
        BuildCase{"NoDate", "Filename(Serial(1),Topic(Beach),Extension(jpg))", G, "", 0, 0, 0, " #001 Beach.jpg",
                  "Filename(Serial(001),Topic(Beach),Extension(JPG))"}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Findings, Build1xCases,
    ::testing::Values(
        BuildCase{"SerialOutOfRange", "Filename(Date(2005),Serial(1000),Extension(jpg))", F,
                  "Serial must be a number between 1 and 999", 5, 0, 0, "2005 #1000.jpg",
                  "Filename(Date(2005),Serial(1000),Extension(JPG))"},
        BuildCase{"SerialNotANumber", "Filename(Date(2005),Serial(abc),Extension(jpg))", F,
                  "Integer value must be a number between 0 and 2,147,483,647", 5, 1, 3, "2005 #abc.jpg",
                  "Filename(Date(2005),Serial(abc),Extension(JPG))"},
        BuildCase{"TopicStartsWithDigit", "Filename(Date(2005),Topic(7 up),Extension(jpg))", F,
                  "Topic must begin with a letter when Topic Delimiter is blank", 5, 1, 1, "2005 7 up.jpg",
                  "Filename(Date(2005),Topic(7 up),Extension(JPG))"},
        BuildCase{"TopicTooLong", "Filename(Date(2005),Topic(Beach party),Extension(jpg))", F,
                  "Topic (Length=11) too long (Maximum=5)", 5, 0, 0, "2005 Beach party.jpg",
                  "Filename(Date(2005),Topic(Beach party),Extension(JPG))",
                  [](GlobalSettings& s) { s.Build1xTopicLengthMaximum = 5; }},
        BuildCase{"ExtensionWithPeriod", "Filename(Date(2005),Extension(tar.gz))", F,
                  "Extension value contains a period", 5, 4, 1, "2005.tar.gz", "Filename(Date(2005),Extension(TAR.GZ))"},
        BuildCase{"ExtensionShort", "Filename(Date(2005),Extension(j))", W,
                  "Extension value is less than 2 characters long", 5, 1, 1, "2005.j", "Filename(Date(2005),Extension(J))"},
        BuildCase{"ExtensionLong", "Filename(Date(2005),Extension(jpeg))", W,
                  "Extension value is more than 3 characters long", 5, 1, 4, "2005.jpeg",
                  "Filename(Date(2005),Extension(JPEG))"},
        BuildCase{"NoExtension", "Filename(Date(2005),Topic(Sea))", W, "There should be an Extension attribute", 1, 0, 0,
                  "2005 Sea", "Filename(Date(2005),Topic(Sea))"},
        BuildCase{"OnlyExtension", "Filename(Extension(jpg))", F, "There must be at least one non-Extension attribute", 1,
                  0, 0, ".jpg", "Filename(Extension(JPG))"},
        // Reported about the attribute, and the name is still made from the others.
        BuildCase{"OtherAttribute", "Filename(Date(2005),Subject(Ann),Extension(jpg))", F,
                  "Only Date, Serial, Topic and Extension attributes may be included", 4, 0, 0, "2005.jpg",
                  "Filename(Date(2005),Subject(Ann),Extension(JPG))"},
        BuildCase{"SecondDate", "Filename(Date(2005),Date(2006),Extension(jpg))", F,
                  "There may only be one Date attribute", 4, 0, 0, "2005.jpg",
                  "Filename(Date(2005),Date(2006),Extension(JPG))"},
        BuildCase{"SecondSerial", "Filename(Date(2005),Serial(0042),Serial(1),Extension(jpg))", F,
                  "There may only be one Serial attribute", 6, 0, 0, "2005 #042.jpg",
                  "Filename(Date(2005),Serial(042),Serial(1),Extension(JPG))"},
        BuildCase{"SecondExtension", "Filename(Date(2005),Extension(jpg),Extension(png))", F,
                  "There may only be one Extension attribute", 6, 0, 0, "2005.jpg",
                  "Filename(Date(2005),Extension(JPG),Extension(png))"},
        BuildCase{"NoValue", "Filename(Date(2005),Serial,Extension(jpg))", F, "Serial attribute must have a value", 4, 0,
                  0, "2005.jpg", "Filename(Date(2005),Serial,Extension(JPG))"},
        // The date records no value, so the name lacks a non-extension part too.
        BuildCase{"TwoValues", "Filename(Date(2005,2006),Extension(jpg))", F, "Date attribute may only have one value", 2,
                  0, 0, ".jpg", "Filename(Date(2005,2006),Extension(JPG))"},
        BuildCase{"SubAttribute", "Filename(Date(2005),Topic(Sea(Place(Harbour))),Extension(jpg))", F,
                  "Topic value may not have sub-attributes", 6, 0, 0, "2005 Sea.jpg",
                  "Filename(Date(2005),Topic(Sea(Place(Harbour))),Extension(JPG))"},
        BuildCase{"Illegal", "Filename(Date(2005),Topic(Be:ach),Extension(jpg))", F,
                  "Topic value contains an illegal character", 5, 3, 1, "2005 Be:ach.jpg",
                  "Filename(Date(2005),Topic(Be:ach),Extension(JPG))"},
        BuildCase{"EmptyValue", "Filename(Date(2005),Serial(1),Topic( ),Extension(jpg))", F, "Topic value is empty", 7, 1,
                  0, "2005 #001 .jpg", "Filename(Date(2005),Serial(001),Topic(),Extension(JPG))"},
        // The date finding carries its own span; the text is left for the user to correct.
        BuildCase{"BadDate", "Filename(Date(2005-02-30),Extension(jpg))", F, "Should be Day between 1 and 28", 3, 9, 2,
                  "2005-02-30.jpg", "Filename(Date(2005-02-30),Extension(JPG))"},
        // The four year places the date reader marks stop at the end of a shorter value.
        BuildCase{"ShortDateMarksOnlyItsText", "Filename(Date(ab),Extension(jpg))", F,
                  "Date value should begin with 4-digit year between 1900 and 2100", 3, 1, 2, "ab.jpg",
                  "Filename(Date(ab),Extension(JPG))"},
        BuildCase{"BackwardsDate", "Filename(Date(2005~2003),Extension(jpg))", W,
                  "Latest Date/Time earlier than Earliest Date/Time", 3, 1, 9, "2005 ~ 2003.jpg",
                  "Filename(Date(2005 ~ 2003),Extension(JPG))"},
        BuildCase{"TooLong", kFull, F, "Filename is too long (Length=31, Maximum=30)", 1, 0, 0,
                  "2005-07-14 #007 Beach party.jpg",
                  "Filename(Date(2005-07-14),Serial(007),Topic(Beach party),Extension(JPG))",
                  [](GlobalSettings& s) { s.BuildLengthMaximum = 30; }},
        // An unknown role name translates to empty text, like every name the dictionary lacks.
        BuildCase{"UnknownRoleName", "Filename(Date(2005),Whatever(Sea),Subject(Ann),Extension(jpg))", F,
                  "Only Date, Serial, Thema and Extension attributes may be included", 6, 0, 0, "2005 Sea.jpg",
                  "Filename(Date(2005),Whatever(Sea),Subject(Ann),Extension(JPG))",
                  [](GlobalSettings& s) { s.Parse1xAttributeTopic = "Thema"; }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Build1x, EmptyTreeMarksNothingAndKeepsTheRest) {
    AttributeTree t;
    std::string name = "stale";
    Result in;
    in.nodeIndex = 3;
    in.position = 4;
    in.length = 5;
    Result r = build(t, name, {}, in);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Tree is empty");
    EXPECT_EQ(r.nodeIndex, 3);
    EXPECT_EQ(r.position, 4);
    EXPECT_EQ(r.length, 5);
    EXPECT_EQ(name, "");
}

TEST(Build1x, RootWithoutAttributes) {
    AttributeTree t;
    buildTree(t, "Filename");
    std::string name;
    Result r = build(t, name);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "There must be at least one non-Extension attribute");
    EXPECT_EQ(r.nodeIndex, 1);
    EXPECT_EQ(t[1].image, image::RootFail);
    EXPECT_EQ(name, "");
}

TEST(Build1x, MarksEveryNodeWithItsWorstFinding) {
    AttributeTree t;
    buildTree(t, "Filename(Date(2005),Serial(abc),Topic(Sea),Extension(j))");
    t[4].image = image::AttributeFail;  // an earlier mark is cleared by the attribute's own check
    t[4].expandedImage = image::AttributeFail + 1;
    std::string name;
    Result r = build(t, name);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(testing::treeMarks(t), "1 4 10 4 12 4 10 4 11");
    EXPECT_EQ(t[4].expandedImage, 5);
}

TEST(Build1x, FoldsIntoTheResultItIsGiven) {
    AttributeTree t;
    buildTree(t, "Filename(Date(2005),Serial(1000),Extension(j))");
    Result in;
    in.set(Status::Warn, "Earlier warning", 2, 1);
    in.nodeIndex = 2;
    std::string name;
    Result r = build(t, name, {}, in);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Serial must be a number between 1 and 999") << "a later Fail displaces the Warn";

    in.set(Status::Warn, "Earlier warning", 2, 1);
    buildTree(t, "Filename(Date(2005),Extension(j))");
    r = build(t, name, {}, in);
    EXPECT_EQ(r.status, Status::Warn);
    EXPECT_EQ(r.message, "Earlier warning") << "the first Warn stays";
}

// Names go through parse and build and come back as they were; the tree survives the trip.
TEST(Format1x, RoundTrip) {
    const char* names[] = {
        "2005-07-14 #007 Beach party.jpg",
        "2005-07-14 ~ 2005-07-15 #012 Beach party.jpg",
        "2005-07-14 @10-30 ~ 2005-07-15.jpg",
        "2005-07-14 @10 ~ @18 Harbour seals.png",
        "2004-02 Leap.jpg",
        "2005 #999.jpg",
        "2005-07-14 @23-59-59 Caf\xC3\xA9 au lait.jpeg",
    };
    GlobalSettings s;
    const DateOptions dates = MakeDateOptions(s);
    for (const char* name : names) {
        AttributeTree tree;
        Result r;
        Parse1x(name, tree, r, dates, MakeParse1xOptions(s));
        ASSERT_EQ(r.status, Status::Good) << name << ": " << r.message;
        const std::string parsed = treeText(tree);
        std::string built;
        Build1x(built, tree, r, dates, MakeBuild1xOptions(s));
        EXPECT_NE(r.status, Status::Fail) << name << ": " << r.message;
        EXPECT_EQ(built, name);
        AttributeTree again;
        Parse1x(built, again, r, dates, MakeParse1xOptions(s));
        ASSERT_EQ(r.status, Status::Good) << built;
        EXPECT_EQ(treeText(again), parsed) << built;
    }
}

// The date is read with the parse-side delimiters and written with the build-side ones.
TEST(Build1x, RewritesTheDateInTheBuildStyle) {
    AttributeTree tree;
    buildTree(tree, "Filename(Date(20050714~20050715),Serial(3),Topic(Sea),Extension(JPG))");
    std::string built;
    Result r = build(tree, built, [](GlobalSettings& s) {
        s.ParseDateDelimiterDateComponent = "";
        s.BuildDateDelimiterDateComponent = ".";
        s.BuildDateInsertSpaceBefore = 0;
        s.BuildDateInsertSpaceAfter = 0;
        s.Build1xDelimiterSerial = "No";
    });
    EXPECT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(built, "2005.07.14~2005.07.15 No003 Sea.jpg");
    EXPECT_EQ(tree[3].text, "2005.07.14~2005.07.15");
}

}  // namespace
}  // namespace lorvane
