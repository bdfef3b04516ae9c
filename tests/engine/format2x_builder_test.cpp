#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/format2x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;

constexpr Delimiters2x kUsual{"{", "}", "=", ";"};

struct BuildOptions {
    bool allowIllegal = false;
    bool allowLabel = false;
    int maximum = 200;
    int extMin = 2;
    int extMax = 3;
};

struct BuildCase {
    const char* label;
    const char* tree;
    std::function<void(AttributeTree&)> edit;  // texts the compact form cannot hold
    BuildOptions options;
    Status status;
    const char* message;
    int nodeIndex;
    int position;
    int length;
    const char* name;  // the name produced, also on Fail
};

Result build(AttributeTree& t, std::string& name, const BuildOptions& o = {}) {
    Result r;
    Build2x(name, t, r, kUsual, o.allowIllegal, o.allowLabel, o.maximum, o.extMin, o.extMax);
    return r;
}

void setText(AttributeTree& t, int node, std::string text) {
    t[node].text = text;
    if (t[node].isAttribute()) t[node].tag = std::move(text);
}

class Build2xCases : public ::testing::TestWithParam<BuildCase> {};

TEST_P(Build2xCases, FindingOnItsNode) {
    const auto& c = GetParam();
    AttributeTree t;
    buildTree(t, c.tree);
    if (c.edit) c.edit(t);
    std::string name;
    Result r = build(t, name, c.options);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.nodeIndex, c.nodeIndex);
    EXPECT_EQ(r.position, c.position);
    EXPECT_EQ(r.length, c.length);
    EXPECT_EQ(name, c.name);
    if (c.nodeIndex) {
        EXPECT_EQ(statusOfImage(t[c.nodeIndex].image), c.status) << "the node carries the mark";
    }
}

const BuildOptions kDefault{};
const BuildOptions kAllowLabel{false, true};

INSTANTIATE_TEST_SUITE_P(
    Findings, Build2xCases,
    ::testing::Values(
        BuildCase{"Example", "Filename(Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG))", nullptr,
                  kDefault, Status::Good, "", 0, 0, 0, "{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg"},
        BuildCase{"ThreeValues", "Filename(A(x,y,z),EX(png))", nullptr, kDefault, Status::Good, "", 0, 0, 0,
                  "{A=x;y;z}.png"},
        // Simple case mapping: the dotted capital I lowers to a plain i (and reads back as I).
        BuildCase{"ExtensionLowerCaseBeyondAscii", "Filename(A(b),Extension(JPG))",
                  [](auto& t) { setText(t, 5, "\xC3\x89\xC4\xB0\xD0\x96"); }, kDefault, Status::Good, "", 0, 0,
                  0, "{A=b}.\xC3\xA9i\xD0\xB6"},
        BuildCase{"OnlyExtension", "Filename(Extension(JPG))", nullptr, kDefault, Status::Fail,
                  "There must be at least one non-Extension attribute", 1, 0, 0, ".jpg"},
        BuildCase{"NoValues", "Filename(A,Extension(JPG))", nullptr, kDefault, Status::Warn, "Attribute has no values",
                  2, 0, 0, "{A}.jpg"},
        BuildCase{"LabelInValueWarns", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "x=y"); },
                  kDefault, Status::Warn, "Label delimiter in attribute value", 3, 2, 1, "{A=x=y}.jpg"},
        BuildCase{"LabelInValueAllowed", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "x=y"); },
                  kAllowLabel, Status::Good, "", 0, 0, 0, "{A=x=y}.jpg"},
        BuildCase{"ExtnForm", "Filename(A(b),extn(JPG))", nullptr, kDefault, Status::Good, "", 0, 0, 0, "{A=b}.jpg"},
        BuildCase{"ExForm", "Filename(EX(JPG),A(b))", nullptr, kDefault, Status::Good, "", 0, 0, 0, "{A=b}.jpg"},
        BuildCase{"ExtensionTooLong", "Filename(A(b),Extension(JPEG))", nullptr, kDefault, Status::Warn,
                  "Extension value is more than 3 characters long", 5, 1, 4, "{A=b}.jpeg"},
        BuildCase{"ExtensionTooShort", "Filename(A(b),Extension(J))", nullptr, kDefault, Status::Warn,
                  "Extension value is less than 2 characters long", 5, 1, 1, "{A=b}.j"},
        BuildCase{"NoExtensionWanted", "Filename(A(b))", nullptr, BuildOptions{false, false, 200, 0, 3}, Status::Good,
                  "", 0, 0, 0, "{A=b}"},
        BuildCase{"NoExtensionWarns", "Filename(A(b))", nullptr, kDefault, Status::Warn,
                  "There should be an Extension attribute", 1, 0, 0, "{A=b}"},
        BuildCase{"ExtensionWithoutValue", "Filename(A(b),Extension)", nullptr, kDefault, Status::Warn,
                  "Extension attribute should have a value", 4, 0, 0, "{A=b}."},
        BuildCase{"TwoExtensions", "Filename(A(b),Extension(JPG),EX(PNG))", nullptr, kDefault, Status::Fail,
                  "There may only be one Extension attribute", 6, 0, 0, "{A=b}"},
        BuildCase{"ExtensionNested", "Filename(A(b(Extension(JPG))))", nullptr, kDefault, Status::Fail,
                  "Extension may not be a sub-attribute", 4, 0, 0, "{A=b}.jpg"},
        BuildCase{"ExtensionPeriod", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 5, "tar.gz"); },
                  BuildOptions{false, false, 200, 2, 9}, Status::Fail, "Extension value contains a period", 5, 4, 1,
                  "{A=b}.tar.gz"},
        BuildCase{"ExtensionIllegal", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 5, "j*g"); },
                  kDefault, Status::Fail, "Extension value contains an illegal character", 5, 2, 1, "{A=b}.j*g"},
        BuildCase{"ExtensionSubAttribute", "Filename(A(b),Extension(JPG(C(d))))", nullptr, kDefault, Status::Fail,
                  "Extension value may not have sub-attributes", 6, 0, 0, "{A=b}.jpg"},
        BuildCase{"ExtensionTwoValues", "Filename(A(b),Extension(JPG,PNG))", nullptr, kDefault, Status::Fail,
                  "Extension may not have more than one value", 6, 0, 0, "{A=b}.jpg"},
        BuildCase{"NameEmpty", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "  "); }, kDefault,
                  Status::Warn, "Attribute name is empty", 2, 1, 0, "{=b}.jpg"},
        BuildCase{"NameIllegal", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "a?b"); }, kDefault,
                  Status::Fail, "Illegal character in attribute name", 2, 2, 1, "{a?b=b}.jpg"},
        BuildCase{"NameIllegalAllowed", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "a?b"); },
                  BuildOptions{true}, Status::Good, "", 0, 0, 0, "{a?b=b}.jpg"},
        BuildCase{"NameStart", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "  A{"); }, kDefault,
                  Status::Fail, "Start delimiter in attribute name", 2, 4, 1, "{A{=b}.jpg"},
        BuildCase{"NameEnd", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "A}"); }, kDefault,
                  Status::Fail, "End delimiter in attribute name", 2, 2, 1, "{A}=b}.jpg"},
        BuildCase{"NameLabel", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "A=B"); }, kDefault,
                  Status::Fail, "Label delimiter in attribute name", 2, 2, 1, "{A=B=b}.jpg"},
        BuildCase{"NameValue", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 2, "A;"); }, kDefault,
                  Status::Fail, "Value delimiter in attribute name", 2, 2, 1, "{A;=b}.jpg"},
        BuildCase{"ValueEmpty", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, " "); }, kDefault,
                  Status::Warn, "Attribute value is empty", 3, 1, 0, "{A=}.jpg"},
        BuildCase{"ValueIllegal", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "a/b"); }, kDefault,
                  Status::Fail, "Illegal character in attribute value", 3, 2, 1, "{A=a/b}.jpg"},
        BuildCase{"ValueStart", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "ab{"); }, kDefault,
                  Status::Fail, "Start delimiter in attribute value", 3, 3, 1, "{A=ab{}.jpg"},
        BuildCase{"ValueEnd", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "}"); }, kDefault,
                  Status::Fail, "End delimiter in attribute value", 3, 1, 1, "{A=}}.jpg"},
        BuildCase{"ValueValue", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "x;y"); }, kDefault,
                  Status::Fail, "Value delimiter in attribute value", 3, 2, 1, "{A=x;y}.jpg"},
        BuildCase{"TooLong", "Filename(A(b),Extension(JPG))", nullptr, BuildOptions{false, false, 8}, Status::Fail,
                  "Filename is too long (Length=9, Maximum=8)", 1, 0, 0, "{A=b}.jpg"},
        // Long texts are scanned eight bytes at a time: a delimiter at the end of a block,
        // in a later block and in the bytes after the last block.
        BuildCase{"EighthByte", "Filename(A(b),Extension(JPG))", [](auto& t) { setText(t, 3, "abcdefg;"); }, kDefault,
                  Status::Fail, "Value delimiter in attribute value", 3, 8, 1, "{A=abcdefg;}.jpg"},
        BuildCase{"SecondBlock", "Filename(A(b),Extension(JPG))",
                  [](auto& t) { setText(t, 3, "abcdefghijkl}nop"); }, kDefault, Status::Fail,
                  "End delimiter in attribute value", 3, 13, 1, "{A=abcdefghijkl}nop}.jpg"},
        BuildCase{"AfterBlocks", "Filename(A(b),Extension(JPG))",
                  [](auto& t) { setText(t, 2, "Attribute:"); }, kDefault, Status::Fail,
                  "Illegal character in attribute name", 2, 10, 1, "{Attribute:=b}.jpg"},
        // Positions and lengths count characters.
        BuildCase{"WidePosition", "Filename(A(b),Extension(JPG))",
                  [](auto& t) { setText(t, 3, "\xC3\xA9\xC3\xA9;"); }, kDefault, Status::Fail,
                  "Value delimiter in attribute value", 3, 3, 1, "{A=\xC3\xA9\xC3\xA9;}.jpg"}),
    [](const auto& info) { return info.param.label; });

TEST(Build2x, EmptyTreeFailsWithoutTouchingTheRest) {
    AttributeTree t;
    std::string name = "stale";
    Result r;
    r.position = 7;
    Build2x(name, t, r, kUsual, false, false, 200, 2, 3);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Tree is empty");
    EXPECT_EQ(r.position, 7);
    EXPECT_EQ(name, "");
}

TEST(Build2x, FirstFailFixesTheResultLaterOnesOnlyMark) {
    AttributeTree t;
    buildTree(t, "Filename(A(b),C(d),Extension(JPG))");
    setText(t, 3, "x}");  // Fail on node 3
    setText(t, 5, "y}");  // Fail on node 5
    setText(t, 4, " ");   // Warn on node 4 (visited between them)
    std::string name;
    Result r = build(t, name);
    EXPECT_EQ(r.message, "End delimiter in attribute value");
    EXPECT_EQ(r.nodeIndex, 3);
    EXPECT_EQ(t[4].image, image::AttributeWarn);
    EXPECT_EQ(t[5].image, image::ValueFail);
}

TEST(Build2x, EveryCheckOfANodeRunsAndTheWorstMarkStays) {
    AttributeTree t;
    buildTree(t, "Filename(A(b),Extension(JPG))");
    setText(t, 3, "=x}");  // Warn (label) and Fail (end): both reported, Fail wins
    std::string name;
    Result r = build(t, name);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "End delimiter in attribute value");
    EXPECT_EQ(t[3].image, image::ValueFail);
}

TEST(Build2x, GoodReportsClearStaleMarksOfTheExtension) {
    AttributeTree t;
    buildTree(t, "Filename(A(b),Extension(JPG))");
    Result stale;
    ReportNodeStatus(Status::Fail, "old", t, 4, 0, 0, stale);
    ReportNodeStatus(Status::Fail, "old", t, 5, 0, 0, stale);
    std::string name;
    Result r = build(t, name);
    EXPECT_EQ(r.status, Status::Good);
    EXPECT_EQ(t[4].image, image::AttributeGood);
    EXPECT_EQ(t[5].image, image::ValueGood);
}

TEST(Build2x, WritesTagNotTextTrimmed) {
    AttributeTree t;
    buildTree(t, "Filename(Subject(Ann),Extension(JPG))");
    t[2].text = "Subject";
    t[2].tag = " SU ";
    t[3].text = "  Ann ";
    std::string name;
    EXPECT_EQ(build(t, name).status, Status::Good);
    EXPECT_EQ(name, "{SU=Ann}.jpg");
}

TEST(Build2x, EmptyDelimiterRefused) {
    AttributeTree t;
    buildTree(t, "Filename(A(b),Extension(JPG))");
    std::string name;
    Result r;
    Build2x(name, t, r, Delimiters2x{"{", "}", "", ";"}, false, false, 200, 2, 3);
    EXPECT_EQ(r.status, Status::Fail);
    EXPECT_EQ(r.message, "Attribute label delimiter may not be empty");
    EXPECT_EQ(r.nodeIndex, 1);
}

}  // namespace
}  // namespace lorvane
