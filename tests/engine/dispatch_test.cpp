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

}  // namespace
}  // namespace lorvane
