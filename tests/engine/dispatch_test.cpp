#include <gtest/gtest.h>

#include <string>

#include "engine/dispatch.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::attributesText;
using testing::buildAttributes;
using testing::findingText;

struct Engine {
    GlobalSettings settings;
    std::string_view code, formatName;
    std::string built;
    DateOptions date;
    SemanticOptions semantic;

    EngineContext ctx() {
        date = MakeDateOptions(settings);
        semantic = MakeSemanticOptions(settings, false);
        return {settings, date, semantic, nullptr};
    }
    // "2.x Lorvane Data 2.x: A(b),Extension(JPG)" for a good parse, else the finding;
    // a failed parse names no format and leaves no tree.
    std::string parse(std::string_view name, AttributeTree& tree, const char* mode = nullptr) {
        if (mode) settings.ParseMode = mode;
        Result r;
        ParseFilename(name, tree, ctx(), code, formatName, r);
        if (r.status == Status::Fail) {
            EXPECT_TRUE(tree.empty() && code.empty() && formatName.empty()) << name;
            return findingText(r);
        }
        return std::string(code) + " " + std::string(formatName) + ": " + attributesText(tree);
    }
    // "Lorvane Data 2.x: {A=b}.jpg" with the finding of a Warn; a failed build
    // names no format, writes nothing, and keeps the tree.
    std::string build(AttributeTree& tree, std::string_view source) {
        built = "stale";
        Result r;
        BuildFilename(built, tree, source, ctx(), formatName, r);
        if (r.status == Status::Fail) {
            EXPECT_TRUE(built.empty() && formatName.empty() && !tree.empty()) << source;
            return findingText(r);
        }
        return (r.status == Status::Good ? "" : findingText(r) + " ") + std::string(formatName) + ": " + built;
    }
};

TEST(ParseFilename, ModesAndFlags) {
    struct Row {
        const char *mode, *name, *expect, *overrides = "";
    } rows[] = {
        {"(Auto)", "{A=b}.jpg", "2.x Lorvane Data 2.x: A(b),Extension(JPG)"},
        {"2.x", "plain.jpg", "Fail @1+0 Missing start delimiter \"{\""},
        {"Batch", "ABC01.pdf", "Batch Serialized Batch Output File: Batch(ABC),Volume(01),Extension(PDF)"},
        // Both fit: automatic prefers 2.x.
        {"(Auto)", "2005 Beach.jpg", "2.x Lorvane Data 2.x: 2005 Beach,Extension(JPG)", "Parse2xStrictMode=0"},
        {"1.x", "2005 Beach.jpg", "1.x Lorvane Data 1.x: Date(2005),Topic(Beach),Extension(JPG)",
         "Parse2xStrictMode=0"},
        {"(Auto)", "2005-07-14 #7 Beach.jpg",
         "1.x Lorvane Data 1.x: Date(2005-07-14),Serial(7),Topic(Beach),Extension(JPG)"},
        // A switch counts only when it is exactly 1.
        {"2.x", "{A=b:c}", "Fail @5+1 Filename contains an illegal character", "ParseAllowIllegal=2"},
        {"2.x", "{A=b:c}", "2.x Lorvane Data 2.x: A(b:c)", "ParseAllowIllegal=1"},
        // An unknown mode selects the whole name, counted in characters.
        {"2.X", "{A=b}.j\xC3\xA9g", "Fail @1+9 Invalid parse mode"},
        // Not UTF-8: "{A=" then a lone continuation byte, the fourth character.
        {"(Auto)", "{A=\x80}.jpg", "Fail @4+1 Filename is not valid UTF-8 text"},
    };
    for (const auto& c : rows) {
        Engine e;
        e.settings = testing::settingsWith(c.overrides);
        AttributeTree tree;
        buildAttributes(tree, "A(b)");
        EXPECT_EQ(e.parse(c.name, tree, c.mode), c.expect) << c.mode << " " << c.name;
    }
}

// Nothing fits, or only the batch format (never tried automatically): the 2.x finding stands.
TEST(ParseFilename, AutomaticReportsTheTwoXFindingWhenNothingFits) {
    for (const char* name : {"Beach party.jpg", "ABC01.pdf", "2005 #0.jpg"}) {
        Engine e;
        AttributeTree tree;
        const std::string twoX = e.parse(name, tree, "2.x"), oneX = e.parse(name, tree, "1.x");
        ASSERT_TRUE(oneX.starts_with("Fail") && oneX != twoX) << name;
        buildAttributes(tree, "A(b)");
        EXPECT_EQ(e.parse(name, tree, "(Auto)"), twoX);
    }
}

// Automatic parsing does not ask 1.x about a name 2.x refused before reading it, which
// holds only while every format refuses such names with the same finding, marked with
// its code; a finding made while reading has none.
TEST(ParseFilename, NamesEveryFormatRefusesBeforeReading) {
    const std::pair<std::string, ResultCode> rows[] = {
        {"", ResultCode::FilenameEmpty},
        {"{DT=2005}{Subject=" + std::string(200, 'x') + "}.jpg", ResultCode::FilenameTooLong},
        {"2005 #1 a:b.jpg", ResultCode::IllegalCharacter},
        {"x{.jpg", ResultCode::None},
    };
    for (const auto& [name, code] : rows) {
        Engine e;
        AttributeTree tree;
        const std::string twoX = e.parse(name, tree, "2.x");
        for (const char* mode : {"2.x", "1.x", "Batch"}) {
            Result r;
            e.settings.ParseMode = mode;
            ParseFilename(name, tree, e.ctx(), e.code, e.formatName, r);
            EXPECT_EQ(r.code, code) << mode << " " << name;
            if (code != ResultCode::None && mode != std::string_view("Batch")) EXPECT_EQ(findingText(r), twoX);
        }
        EXPECT_EQ(e.parse(name, tree, "(Auto)"), twoX);
    }
}

TEST(BuildFilename, FormatBySourceAndMode) {
    struct Row {
        const char *tree, *source, *expect, *overrides = "";
    } rows[] = {
        {"A", "2.x", "Warn n1 @0+0 There should be an Extension attribute Lorvane Data 2.x: {A}"},
        {"A(b)", "2.x", "Fail @0+0 Invalid build mode", "BuildMode=Batch"},  // a parse-only format
        // Only a 1.x source is built as 1.x.
        {"Date(2005),Topic(Beach),Extension(jpg)", "2.x", "Lorvane Data 2.x: {Date=2005}{Topic=Beach}.jpg"},
        {"Date(2005),Topic(Beach)", "1.x",
         "Warn n1 @0+0 There should be an Extension attribute Lorvane Data 1.x: 2005 Beach"},
        // 1.x mode does not fall back to 2.x.
        {"Subject(Ann),Date(2005),Extension(jpg)", "2.x",
         "Fail n2 @0+0 Only Date, Serial, Topic and Extension attributes may be included", "BuildMode=1.x"},
        {"Date(2005),Topic(Be:ach),Extension(jpg)", "", "Fail n5 @3+1 Topic value contains an illegal character",
         "BuildMode=1.x BuildAllowIllegal=2"},
    };
    for (const auto& c : rows) {
        Engine e;
        e.settings = testing::settingsWith(c.overrides);
        AttributeTree tree;
        buildAttributes(tree, c.tree);
        EXPECT_EQ(e.build(tree, c.source), c.expect) << c.tree << " from " << c.source;
    }
}

TEST(BuildFilename, OneXFallsBackToTwoXWithAFreshResult) {
    Engine e;
    AttributeTree tree;
    ASSERT_EQ(e.parse("2005-07-14 #7 Beach.jpg", tree).substr(0, 3), "1.x");
    const int subject = tree.addChild(tree.root(), "Subject", image::AttributeGood);  // no 1.x role
    tree[subject].tag = "Subject";
    tree.addChild(subject, "Ann", image::ValueGood);
    // The 1.x normalisation stays in the tree (007), the semantic layer has run on it
    // (short names, dictionary order), and the 1.x Fail mark on Subject is gone.
    EXPECT_EQ(e.build(tree, "1.x"), "Lorvane Data 2.x: {DT=2005-07-14}{SN=007}{SU=Ann}{CO=Beach}.jpg");
    EXPECT_EQ(testing::treeMarks(tree), "1 4 10 4 10 4 10 4 10 4 10");
    // When 2.x cannot write it either, the 2.x finding is the one reported.
    int moved = 0;
    for (int i = 1; i <= tree.count(); ++i)
        if (tree[i].text == "Ann") moved = i;
    ASSERT_NE(moved, 0);
    tree[moved].text = "A{nn";
    EXPECT_EQ(e.build(tree, "1.x"), "Fail n" + std::to_string(moved) + " @2+1 Start delimiter in attribute value");
}

// Parsed and built again in the format it came from, a name is the same; but the Extension
// attribute, known by any form of its name, is written last as the extension.
TEST(Dispatch, RoundTrips) {
    std::string deepest;  // as deep as names may nest, under a raised length limit
    for (int i = 0; i < kAttributeLevelsMaximum; ++i) deepest += "{a=b";
    deepest += std::string(kAttributeLevelsMaximum, '}') + ".jpg";
    const struct {
        std::string name;
        const char *rebuilt = nullptr, *overrides = "";
    } rows[] = {
        {"{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg"},
        {"2005-07-14 #007 Beach.jpg"},
        {"2005-07-14 @10 ~ @18 #012 Harbour seals.jpg"},
        {"2005-07-14 @23-59-59 Caf\xC3\xA9 au lait.jpeg",
         "Warn n7 @1+4 Extension value is more than 3 characters long "
         "Lorvane Data 1.x: 2005-07-14 @23-59-59 Caf\xC3\xA9 au lait.jpeg"},
        {"{EXTN=png}{A=b}", "Lorvane Data 2.x: {A=b}.png"},
        {"{}}A=}}}}{ex=t", "Warn n6 @1+1 Extension value is less than 2 characters long Lorvane Data 2.x: {}{A=}.t",
         "Parse2xStrictMode=0"},
        {deepest, nullptr, "ParseLengthMaximum=100000 BuildLengthMaximum=100000"},
    };
    for (const auto& c : rows) {
        Engine e;
        e.settings = testing::settingsWith(c.overrides);
        AttributeTree tree;
        ASSERT_FALSE(e.parse(c.name, tree).starts_with("Fail")) << c.name;
        const std::string code(e.code);
        EXPECT_EQ(e.build(tree, code), c.rebuilt ? c.rebuilt : "Lorvane Data " + code + ": " + c.name);
    }
}

}  // namespace
}  // namespace lorvane
