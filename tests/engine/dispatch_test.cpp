#include <gtest/gtest.h>

#include <string>

#include "engine/dispatch.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

struct Engine {
    GlobalSettings settings;
    DateOptions date = MakeDateOptions(settings);
    SemanticOptions semantic = MakeSemanticOptions(settings, false);
    EngineContext ctx() const { return {settings, date, semantic, nullptr}; }

    Result parse(std::string_view name, AttributeTree& tree) {
        Result r;
        ParseFilename(name, tree, ctx(), code, formatName, r);
        return r;
    }
    Result parseAs(const char* mode, std::string_view name, AttributeTree& tree) {
        settings.ParseMode = mode;
        return parse(name, tree);
    }
    Result build(AttributeTree& tree, std::string_view source) {
        Result r;
        BuildFilename(built, tree, source, ctx(), formatName, r);
        return r;
    }
    std::string_view code, formatName;
    std::string built;
};

TEST(ParseFilename, InvalidModeEmptiesTreeAndSelectsTheName) {
    for (const char* mode : {"", "auto", "2.X", "(auto)", "Batch "}) {
        Engine e;
        e.settings.ParseMode = mode;
        AttributeTree tree;
        testing::buildTree(tree, "Filename(A(b))");
        Result r = e.parse("{A=b}.j\xC3\xA9g", tree);
        EXPECT_EQ(r.status, Status::Fail) << mode;
        EXPECT_EQ(r.message, "Invalid parse mode");
        EXPECT_EQ(r.position, 1);
        EXPECT_EQ(r.length, 9);  // characters, not the 10 bytes
        EXPECT_TRUE(tree.empty());
        EXPECT_TRUE(e.code.empty() && e.formatName.empty());
    }
}

TEST(ParseFilename, ModesReportTheirFormat) {
    Engine e;
    AttributeTree tree;
    for (const char* mode : {"(Auto)", "2.x"}) {
        e.settings.ParseMode = mode;
        ASSERT_EQ(e.parse("{A=b}.jpg", tree).status, Status::Good);
        EXPECT_EQ(e.code, "2.x");
        EXPECT_EQ(e.formatName, "Lorvane Data 2.x");
    }
    e.settings.ParseMode = "2.x";
    Result r = e.parse("plain.jpg", tree);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(e.code, "");
    EXPECT_TRUE(tree.empty());
}

TEST(ParseFilename, FlagsCountOnlyWhenExactlyOne) {
    Engine e;
    e.settings.ParseMode = "2.x";
    AttributeTree tree;
    e.settings.ParseAllowIllegal = 2;
    EXPECT_EQ(e.parse("{A=b:c}", tree).message, "Filename contains an illegal character");
    e.settings.ParseAllowIllegal = 1;
    EXPECT_EQ(e.parse("{A=b:c}", tree).status, Status::Good);
    e.settings.Parse2xAllowLabelDelimiters = 2;
    EXPECT_EQ(e.parse("{A==b}", tree).message, "Label delimiter in attribute value");
}

TEST(ParseFilename, InvalidUtf8FailsClearly) {
    Engine e;
    AttributeTree tree;
    testing::buildTree(tree, "Filename(A(b))");
    // "{A=" then a lone continuation byte: the fourth character is the bad one.
    Result r = e.parse(std::string("{A=\x80}.jpg"), tree);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Filename is not valid UTF-8 text");
    EXPECT_EQ(r.position, 4);
    EXPECT_EQ(r.length, 1);
    EXPECT_TRUE(tree.empty());
    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF5\x80\x80\x80", "ab\xE2\x82"})
        EXPECT_EQ(e.parse(bad, tree).status, Status::Fail) << bad;
}

TEST(BuildFilename, InvalidModeLeavesTheTree) {
    Engine e;
    e.settings.BuildMode = "Batch";  // a parse-only format
    AttributeTree tree;
    ASSERT_EQ(e.parse("{A=b}.jpg", tree).status, Status::Good);
    e.built = "stale";
    Result r = e.build(tree, "2.x");
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Invalid build mode");
    EXPECT_EQ(r.nodeIndex + r.position + r.length, 0);
    EXPECT_EQ(e.built, "");
    EXPECT_EQ(e.formatName, "");
    EXPECT_EQ(testing::treeText(tree), "Filename(A(b),Extension(JPG))");
}

TEST(BuildFilename, WarnKeepsTheNameFailDropsIt) {
    Engine e;
    AttributeTree tree;
    for (const char* source : {"2.x", "Batch", ""}) {
        testing::buildTree(tree, "Filename(A)");
        Result r = e.build(tree, source);
        EXPECT_EQ(r.status, Status::Warn) << source;
        EXPECT_EQ(e.built, "{A}");
        EXPECT_EQ(e.formatName, "Lorvane Data 2.x");
    }
    testing::buildTree(tree, "Filename(A(b}))");
    Result r = e.build(tree, "2.x");
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(e.built, "");
    EXPECT_EQ(e.formatName, "");
    EXPECT_FALSE(tree.empty()) << "a failed build never empties the tree";
}

TEST(Dispatch, ExampleRoundTrip) {
    Engine e;
    AttributeTree tree;
    const std::string name = "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg";
    ASSERT_EQ(e.parse(name, tree).status, Status::Good);
    EXPECT_EQ(testing::treeText(tree), "Filename(Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG))");
    std::string code(e.code);
    Result r = e.build(tree, code);
    EXPECT_EQ(r.status, Status::Good);
    EXPECT_EQ(e.built, name);
}

TEST(ParseFilename, AutomaticPrefersTwoXWhenBothFit) {
    Engine e;
    e.settings.Parse2xStrictMode = 0;  // permissive: a bare name is a 2.x attribute
    AttributeTree tree;
    ASSERT_EQ(e.parse("2005 Beach.jpg", tree).status, Status::Good);
    EXPECT_EQ(e.code, "2.x");
    EXPECT_EQ(e.formatName, "Lorvane Data 2.x");
    e.settings.ParseMode = "1.x";
    ASSERT_EQ(e.parse("2005 Beach.jpg", tree).status, Status::Good) << "the name is 1.x too";
    EXPECT_EQ(e.code, "1.x");
}

TEST(ParseFilename, AutomaticFallsBackToOneX) {
    Engine e;
    AttributeTree tree;
    Result r = e.parse("2005-07-14 #7 Beach.jpg", tree);
    ASSERT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(e.code, "1.x");
    EXPECT_EQ(e.formatName, "Lorvane Data 1.x");
    EXPECT_EQ(testing::treeText(tree), "Filename(Date(2005-07-14),Serial(7),Topic(Beach),Extension(JPG))");
}

// Neither fits, or only the batch format (never tried automatically) fits: the 2.x finding stands.
// A failed parse with the finding another one gave.
void expectFailsAs(const Result& r, const Result& expected, std::string_view name) {
    EXPECT_EQ(r.status, Status::Fail) << name;
    EXPECT_EQ(r.message, expected.message) << name;
    EXPECT_EQ(r.position, expected.position) << name;
    EXPECT_EQ(r.length, expected.length) << name;
}

TEST(ParseFilename, AutomaticReportsTheTwoXFindingWhenNothingFits) {
    for (const char* name : {"Beach party.jpg", "ABC01.pdf", "2005 #0.jpg"}) {
        Engine e;
        AttributeTree tree;
        const Result expected = e.parseAs("2.x", name, tree);
        const Result oneX = e.parseAs("1.x", name, tree);
        ASSERT_EQ(oneX.status, Status::Fail) << name;
        ASSERT_NE(oneX.message, expected.message) << name;
        testing::buildTree(tree, "Filename(A(b))");
        expectFailsAs(e.parseAs("(Auto)", name, tree), expected, name);
        EXPECT_TRUE(tree.empty());
        EXPECT_TRUE(e.code.empty() && e.formatName.empty());
    }
    Engine e;
    e.settings.ParseMode = "Batch";
    AttributeTree tree;
    EXPECT_EQ(e.parse("ABC01.pdf", tree).status, Status::Good);
    EXPECT_EQ(e.code, "Batch");
    EXPECT_EQ(e.formatName, "Serialized Batch Output File");
}

// Automatic parsing does not ask 1.x about a name 2.x refused before reading it, which
// holds only while both refuse such names with the same finding. Every parser marks
// such a refusal with its code; a finding made while reading has none.
TEST(ParseFilename, NamesBothFormatsRefuseBeforeReading) {
    struct Case {
        std::string name;
        ResultCode code;
    } cases[] = {
        {"", ResultCode::FilenameEmpty},
        {"{DT=2005}{Subject=" + std::string(200, 'x') + "}.jpg", ResultCode::FilenameTooLong},
        {"2005 #1 a:b.jpg", ResultCode::IllegalCharacter},
        {"x{.jpg", ResultCode::None},
    };
    for (const auto& c : cases) {
        Engine e;
        AttributeTree tree;
        const Result twoX = e.parseAs("2.x", c.name, tree);
        EXPECT_EQ(twoX.code, c.code) << c.name;
        if (c.code != ResultCode::None) expectFailsAs(e.parseAs("1.x", c.name, tree), twoX, c.name);
        EXPECT_EQ(e.parseAs("1.x", c.name, tree).code, c.code) << c.name;
        EXPECT_EQ(e.parseAs("Batch", c.name, tree).code, c.code) << c.name;
        expectFailsAs(e.parseAs("(Auto)", c.name, tree), twoX, c.name);
        EXPECT_TRUE(tree.empty());
    }
}

TEST(BuildFilename, AutomaticKeepsAOneXNameInOneX) {
    Engine e;
    AttributeTree tree;
    ASSERT_EQ(e.parse("2005-07-14 #7 Beach.jpg", tree).status, Status::Good);
    Result r = e.build(tree, "1.x");
    EXPECT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(e.built, "2005-07-14 #007 Beach.jpg");
    EXPECT_EQ(e.formatName, "Lorvane Data 1.x");

    // A warning still keeps the format.
    ASSERT_EQ(e.parse("2005 Beach", tree).status, Status::Good);
    r = e.build(tree, "1.x");
    EXPECT_EQ(r.status, Status::Warn);
    EXPECT_EQ(r.message, "There should be an Extension attribute");
    EXPECT_EQ(e.built, "2005 Beach");
    EXPECT_EQ(e.formatName, "Lorvane Data 1.x");
}

TEST(BuildFilename, AutomaticFallsBackToTwoXWithAFreshResult) {
    Engine e;
    AttributeTree tree;
    ASSERT_EQ(e.parse("2005-07-14 #7 Beach.jpg", tree).status, Status::Good);
    const int subject = tree.addChild(tree.root(), "Subject", image::AttributeGood);  // no 1.x role
    tree[subject].tag = "Subject";
    tree.addChild(subject, "Ann", image::ValueGood);
    Result r = e.build(tree, "1.x");
    EXPECT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.nodeIndex + r.position + r.length, 0);
    // The 1.x normalisation stays in the tree (007), the semantic layer has run on it
    // (short names, dictionary order), and the 1.x Fail mark on Subject is gone.
    EXPECT_EQ(e.built, "{DT=2005-07-14}{SN=007}{SU=Ann}{CO=Beach}.jpg");
    EXPECT_EQ(e.formatName, "Lorvane Data 2.x");
    for (int i = 1; i <= tree.count(); ++i) EXPECT_EQ(statusOfImage(tree[i].image), Status::Good) << i;

    // When 2.x cannot write it either, the 2.x finding is the one reported.
    int ann = 0;
    for (int i = 1; i <= tree.count(); ++i)
        if (tree[i].text == "Ann") ann = i;
    ASSERT_NE(ann, 0);
    tree[ann].text = "A{nn";
    r = e.build(tree, "1.x");
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Start delimiter in attribute value");
    EXPECT_EQ(r.nodeIndex, ann);
    EXPECT_EQ(e.built, "");
    EXPECT_EQ(e.formatName, "");
}

TEST(BuildFilename, OnlyAOneXSourceIsBuiltAsOneX) {
    for (const char* source : {"2.x", "Batch", ""}) {
        Engine e;
        AttributeTree tree;
        testing::buildTree(tree, "Filename(Date(2005),Topic(Beach),Extension(jpg))");
        EXPECT_EQ(e.build(tree, source).status, Status::Good);
        EXPECT_EQ(e.built, "{Date=2005}{Topic=Beach}.jpg") << source;
        EXPECT_EQ(e.formatName, "Lorvane Data 2.x");
    }
}

TEST(BuildFilename, OneXModeDoesNotFallBack) {
    Engine e;
    e.settings.BuildMode = "1.x";
    AttributeTree tree;
    ASSERT_EQ(e.parse("{Subject=Ann}{Date=2005}.jpg", tree).status, Status::Good);
    Result r = e.build(tree, "2.x");
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Only Date, Serial, Topic and Extension attributes may be included");
    EXPECT_EQ(r.nodeIndex, 2);
    EXPECT_EQ(e.built, "");
    EXPECT_EQ(e.formatName, "");

    testing::buildTree(tree, "Filename(Date(2005),Topic(Be:ach),Extension(jpg))");
    e.settings.BuildAllowIllegal = 2;  // counts as off
    EXPECT_EQ(e.build(tree, "").message, "Topic value contains an illegal character");
    e.settings.BuildAllowIllegal = 1;
    EXPECT_EQ(e.build(tree, "").status, Status::Good);
    EXPECT_EQ(e.built, "2005 Be:ach.jpg");
    EXPECT_EQ(e.formatName, "Lorvane Data 1.x");
}

TEST(Dispatch, OneXRoundTrip) {
    Engine e;
    AttributeTree tree;
    const std::string name = "2005-07-14 @10 ~ @18 #012 Harbour seals.jpg";
    ASSERT_EQ(e.parse(name, tree).status, Status::Good);
    std::string code(e.code);
    EXPECT_EQ(code, "1.x");
    Result r = e.build(tree, code);
    EXPECT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(e.built, name);
}

}  // namespace
}  // namespace lorvane
