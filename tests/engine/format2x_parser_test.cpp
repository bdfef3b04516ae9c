#include <gtest/gtest.h>

#include <string>

#include "engine/format2x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::treeText;

constexpr Delimiters2x kUsual{"{", "}", "=", ";"};

struct ParseCase {
    const char* name;
    int mode;
    bool allowLabel;
    bool allowIllegal;
    const char* expectedTree = nullptr;  // for Good
    const char* message = nullptr;       // for Fail
    int position = 0;
    int length = 0;
};

Result parse(const std::string& name, AttributeTree& tree, int mode, bool allowLabel = true, bool allowIllegal = false,
             const Delimiters2x& d = kUsual, int maximum = 200, int levels = 4) {
    Result r;
    Parse2x(name, tree, r, d, allowIllegal, allowLabel, mode, maximum, levels);
    return r;
}

class Parse2xCases : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse2xCases, TreeOrExactFinding) {
    const auto& c = GetParam();
    AttributeTree tree;
    Result r = parse(c.name, tree, c.mode, c.allowLabel, c.allowIllegal);
    if (c.expectedTree) {
        EXPECT_EQ(r.status, Status::Good) << r.message;
        EXPECT_EQ(treeText(tree), c.expectedTree);
        EXPECT_TRUE(tree.wellShaped());
        for (int i = 1; i <= tree.count(); ++i) {
            if (tree[i].isAttribute()) {
                EXPECT_EQ(tree[i].tag, tree[i].text);
            }
        }
    } else {
        EXPECT_EQ(r.status, Status::Fail);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.position, c.position);
        EXPECT_EQ(r.length, c.length);
        EXPECT_TRUE(tree.empty()) << "a failed parse leaves no root";
    }
}

constexpr int P = Permissive, T = Tolerant, S = Strict;

INSTANTIATE_TEST_SUITE_P(
    Grammar, Parse2xCases,
    ::testing::Values(
        ParseCase{"{A=b}.jpg", S, true, false, "Filename(A(b),Extension(JPG))"},
        ParseCase{"{A=x;y}.jpg", S, true, false, "Filename(A(x,y),Extension(JPG))"},
        ParseCase{"{A=x{B=y}}.jpg", S, true, false, "Filename(A(x(B(y))),Extension(JPG))"},
        ParseCase{"{A=x{B=y};z}.jpg", S, true, false, "Filename(A(x(B(y)),z),Extension(JPG))"},
        ParseCase{"{A=x{B=y}{C=z}}{D=w}", S, true, false, "Filename(A(x(B(y),C(z))),D(w))"},
        ParseCase{"{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg", S, true, false,
                  "Filename(Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG))"},
        ParseCase{"{ A = b c }.x", S, true, false, "Filename(A(b c),Extension(X))"},
        ParseCase{"{A=b}.JpEg", T, true, false, "Filename(A(b),Extension(JPEG))"},
        ParseCase{"{A=b}.", T, true, false, "Filename(A(b),Extension)"},
        ParseCase{"{A==b}.jpg", T, true, false, "Filename(A(=b),Extension(JPG))"},
        ParseCase{"{A=b:c}", T, true, true, "Filename(A(b:c))"},
        ParseCase{"{Date=2005.07.14}.jpg", T, true, false, "Filename(Date(2005.07.14),Extension(JPG))"},
        ParseCase{"{\xC3\x84=\xC3\xB6}.jpg", S, true, false, "Filename(\xC3\x84(\xC3\xB6),Extension(JPG))"}),
    [](const auto& info) { return "Good" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Relaxations, Parse2xCases,
    ::testing::Values(
        ParseCase{" {A=b}.jpg", T, true, false, "Filename(A(b),Extension(JPG))"},
        ParseCase{"}{A=b}=;{C=d}", T, true, false, "Filename(A(b),C(d))"},
        ParseCase{"{Abc.jpg", T, true, false, "Filename(Abc,Extension(JPG))"},
        ParseCase{"{Abc.jpg", P, true, false, "Filename(Abc,Extension(JPG))"},
        ParseCase{"Abc.jpg", P, true, false, "Filename(Abc,Extension(JPG))"},
        ParseCase{"DSC_0042.JPG", P, true, false, "Filename(DSC_0042,Extension(JPG))"},
        ParseCase{"{A}", T, true, false, "Filename(A)"},
        ParseCase{"{A=}", T, true, false, "Filename(A())"},
        ParseCase{"{A=b", T, true, false, "Filename(A(b))"},
        ParseCase{"{A{B=c}}", T, true, false, "Filename(A((B(c))))"},
        ParseCase{"{A;b}", T, true, false, "Filename(A(b))"}),
    [](const auto& info) { return "Relaxed" + std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Messages, Parse2xCases,
    ::testing::Values(
        ParseCase{"", T, true, false, nullptr, "Filename is empty", 1, 0},
        ParseCase{"{A=b:c}", T, true, false, nullptr, "Filename contains an illegal character", 5, 1},
        ParseCase{"{A=b}\"", T, true, false, nullptr, "Filename contains an illegal character", 6, 1},
        ParseCase{"..jpg", T, true, false, nullptr, "Filename may not begin with a period", 1, 0},
        ParseCase{"}", T, true, false, nullptr, "Filename must contain at least one attribute", 1, 0},
        ParseCase{".jpg", T, true, false, nullptr, "Filename must contain at least one non-Extension attribute", 1, 0},
        ParseCase{".jpg", S, true, false, nullptr, "Filename must contain at least one non-Extension attribute", 1, 0},
        ParseCase{"}{A=b}", S, true, false, nullptr, "Extraneous end delimiter", 1, 1},
        ParseCase{"{A=b}=", S, true, false, nullptr, "Extraneous label delimiter", 6, 1},
        ParseCase{"{A=b};", S, true, false, nullptr, "Extraneous value delimiter", 6, 1},
        ParseCase{" {A=b}.jpg", S, true, false, nullptr, "Extraneous space", 1, 1},
        ParseCase{"{A=b} {C=d}", S, true, false, nullptr, "Extraneous space", 6, 1},
        ParseCase{"Abc.jpg", S, true, false, nullptr, "Missing start delimiter \"{\"", 1, 0},
        ParseCase{"Abc.jpg", T, true, false, nullptr, "Missing start delimiter \"{\"", 1, 0},
        ParseCase{"{A=b}x", T, true, false, nullptr, "Missing start delimiter \"{\"", 6, 0},
        ParseCase{"{A{B=c}}", S, true, false, nullptr, "Start delimiter in attribute name", 3, 1},
        ParseCase{"{A;b}", S, true, false, nullptr, "Value delimiter in attribute name", 3, 1},
        ParseCase{"{A}", S, true, false, nullptr, "Missing label delimiter \"=\"", 3, 0},
        ParseCase{"{Abc.jpg", S, true, false, nullptr, "Missing label delimiter \"=\"", 5, 0},
        ParseCase{"{=b}", S, true, false, nullptr, "Missing attribute name", 2, 0},
        ParseCase{"{ =b}", S, true, false, nullptr, "Missing attribute name", 3, 0},
        ParseCase{"{A==b}.jpg", S, false, false, nullptr, "Label delimiter in attribute value", 4, 1},
        ParseCase{"{A==b}.jpg", T, false, false, nullptr, "Label delimiter in attribute value", 4, 1},
        ParseCase{"{A=b=c}", P, false, false, nullptr, "Label delimiter in attribute value", 5, 1},
        ParseCase{"{A=}", S, true, false, nullptr, "Missing attribute value", 4, 0},
        ParseCase{"{A=b;}", S, true, false, nullptr, "Missing attribute value", 6, 0},
        ParseCase{"{A=b", S, true, false, nullptr, "Missing end delimiter \"}\"", 5, 0},
        ParseCase{"{A=b{C=d}", S, true, false, nullptr, "Missing end delimiter \"}\"", 10, 0},
        // Positions count characters: two 2-byte letters before the stray delimiter.
        ParseCase{"{\xC3\x84=\xC3\xB6=x}", S, false, false, nullptr, "Label delimiter in attribute value", 5, 1}),
    [](const auto& info) { return "Fail" + std::to_string(info.index); });

TEST(Parse2x, TooLongNameReportsBothLengths) {
    AttributeTree tree;
    std::string name = "{A=" + std::string(192, 'x') + "}.jpg";  // 200 characters
    EXPECT_EQ(parse(name, tree, Tolerant).status, Status::Good);
    name.insert(3, "y");
    Result r = parse(name, tree, Tolerant);
    EXPECT_EQ(r.message, "Filename is too long (Length=201, Maximum=200)");
    EXPECT_EQ(r.position, 1);
    EXPECT_EQ(r.length, 201);
    // Characters, not bytes: 100 two-byte letters are 100 characters.
    std::string wide = "{A=";
    for (int i = 0; i < 100; ++i) wide += "\xC3\xA9";
    wide += "}";
    EXPECT_EQ(parse(wide, tree, Tolerant).status, Status::Good);
}

TEST(Parse2x, MultiCharacterDelimiters) {
    const Delimiters2x d{"[[", "]]", "==", ";;"};
    AttributeTree tree;
    Result r = parse("[[A==b;;c[[B==x]]]][[D==e]].png", tree, Strict, true, false, d);
    ASSERT_EQ(r.status, Status::Good) << r.message;
    EXPECT_EQ(treeText(tree), "Filename(A(b,c(B(x))),D(e),Extension(PNG))");
    r = parse("]][[A==b]]", tree, Strict, true, false, d);
    EXPECT_EQ(r.message, "Extraneous end delimiter");
    EXPECT_EQ(r.length, 2);
    r = parse("[[A]]", tree, Strict, true, false, d);
    EXPECT_EQ(r.message, "Missing label delimiter \"==\"");
    // A single bracket is ordinary text when the delimiter is doubled.
    r = parse("[[A==b]c]]", tree, Strict, true, false, d);
    EXPECT_EQ(treeText(tree), "Filename(A(b]c))");
}

// Texts are scanned sixteen bytes at a time where the machine can: every text length
// around a block, with a delimiter at each place in it, must split as byte by byte.
TEST(Parse2x, LongTextsSplitAtEveryDelimiter) {
    const Delimiters2x doubled{"[[", "]]", "==", ";;"}, wide{"\xC2\xAB", "\xC2\xBB", "=", "\xC2\xA7"};
    for (int n : {1, 14, 15, 16, 17, 31, 32, 33, 47}) {
        const std::string v(static_cast<std::size_t>(n), 'v'), w(static_cast<std::size_t>(n) + 3, 'w');
        AttributeTree tree;
        Result r = parse("{A" + v + "=" + v + ";" + w + "{B=" + v + "}}{C=" + w + "}.jpg", tree, Strict, true, false, kUsual, 1000);
        ASSERT_EQ(r.status, Status::Good) << n << " " << r.message;
        EXPECT_EQ(treeText(tree), "Filename(A" + v + "(" + v + "," + w + "(B(" + v + "))),C(" + w + "),Extension(JPG))")
            << n;
        r = parse("[[A==" + v + "]" + v + ";;" + w + "]]", tree, Strict, true, false, doubled);
        ASSERT_EQ(r.status, Status::Good) << n << " " << r.message;
        EXPECT_EQ(treeText(tree), "Filename(A(" + v + "]" + v + "," + w + "))") << n;
        r = parse("\xC2\xAB" "A=" + v + "\xC2\xA7" + w + "\xC2\xBB", tree, Strict, true, false, wide);
        ASSERT_EQ(r.status, Status::Good) << n << " " << r.message;
        EXPECT_EQ(treeText(tree), "Filename(A(" + v + "," + w + "))") << n;
        // A stray end delimiter deep in a long value is found where it is.
        r = parse("{A=" + v + "}" + w + "}", tree, Strict);
        EXPECT_EQ(r.message, "Missing start delimiter \"{\"") << n;
        EXPECT_EQ(r.position, n + 5) << n;
    }
}

TEST(Parse2x, EmptyDelimiterIsRefusedNotLooped) {
    AttributeTree tree;
    for (const Delimiters2x& d : {Delimiters2x{"", "}", "=", ";"}, Delimiters2x{"{", "", "=", ";"},
                                  Delimiters2x{"{", "}", "", ";"}, Delimiters2x{"{", "}", "=", ""}}) {
        for (int mode : {Permissive, Tolerant, Strict}) {
            Result r = parse("{A=b}.jpg", tree, mode, true, false, d);
            EXPECT_EQ(r.status, Status::Fail);
            EXPECT_NE(r.message.find("may not be empty"), std::string::npos) << r.message;
            EXPECT_TRUE(tree.empty());
        }
    }
}

TEST(Parse2x, ExpansionFollowsShowLevels) {
    // Index order: root, A, x, B, y, Extension, JPG; depths 0 1 2 3 4 1 2.
    const int depths[] = {0, 1, 2, 3, 4, 1, 2};
    for (int levels = 0; levels <= 6; ++levels) {
        AttributeTree tree;
        ASSERT_EQ(parse("{A=x{B=y}}.jpg", tree, Strict, true, false, kUsual, 200, levels).status, Status::Good);
        ASSERT_EQ(tree.count(), 7);
        for (int i = 1; i <= 7; ++i)
            EXPECT_EQ(tree[i].expanded, levels > depths[i - 1]) << "levels " << levels << " node " << i;
    }
}

TEST(Parse2x, FreshNodesCarryGoodMarks) {
    AttributeTree tree;
    ASSERT_EQ(parse("{A=x{B=y}}.jpg", tree, Strict).status, Status::Good);
    EXPECT_EQ(testing::treeMarks(tree), "1 4 10 4 10 4 10");
    EXPECT_EQ(tree[2].expandedImage, 5);
}

TEST(Parse2x, ReusedTreeStartsAfresh) {
    AttributeTree tree;
    parse("{A=x;y;z}{B=w}.jpg", tree, Strict);
    parse("{C=d}", tree, Strict);
    EXPECT_EQ(treeText(tree), "Filename(C(d))");
    EXPECT_EQ(tree.count(), 3);
}

}  // namespace
}  // namespace lorvane
