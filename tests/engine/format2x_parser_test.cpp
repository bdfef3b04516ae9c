#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/format2x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

constexpr Delimiters2x kUsual{"{", "}", "=", ";"}, kDoubled{"[[", "]]", "==", ";;"};
constexpr int P = Permissive, T = Tolerant, S = Strict;

struct ParseRow {
    std::string name;
    int mode;
    std::string expect;  // the attributes of a Good parse, else the finding
    bool allowLabel = true, allowIllegal = false;
    int maximum = 200;
    Delimiters2x delimiters = kUsual;
};

// A failed parse leaves no root; a good one gives fresh Good marks and Tag = Text.
// One tree serves every row, so a parse that keeps anything of the last one shows.
void check(const std::vector<ParseRow>& rows) {
    AttributeTree tree;
    for (const ParseRow& c : rows) {
        Result r;
        Parse2x(c.name, tree, r, c.delimiters, c.allowIllegal, c.allowLabel, c.mode, c.maximum, 4);
        EXPECT_EQ(testing::parsedText(tree, r) + testing::notGood(tree), c.expect) << c.name;
        EXPECT_EQ(r.good(), !tree.empty()) << c.name;
        for (int i = 2; i <= tree.count(); ++i)
            if (tree[i].isAttribute()) EXPECT_TRUE(tree[i].tag == tree[i].text && tree[i].expandedImage == 5) << c.name;
    }
}

TEST(Parse2x, ReadsTheGrammarOrFindsWhereItFails) {
    check({
        {"{A=b}.jpg", S, "A(b),Extension(JPG)"},
        {"{A=x{B=y};z}.jpg", S, "A(x(B(y)),z),Extension(JPG)"},
        {"{Subject=Ann;Ben{Role=Sister}}{Place=Harbour}.jpg", S,
         "Subject(Ann,Ben(Role(Sister))),Place(Harbour),Extension(JPG)"},
        {"{ A = b c }.x", S, "A(b c),Extension(X)"},
        {"{A=b}.", T, "A(b),Extension"},
        {"{A==b}.jpg", T, "A(=b),Extension(JPG)"},
        {"{A=b:c}", T, "A(b:c)", true, true},
        {"{A=bcd}", T, "A(bcd)", true, false, 7},
        {"{A=\xC3\xA9\xC3\xA9}", T, "A(\xC3\xA9\xC3\xA9)", true, false, 6},  // characters, not bytes
        // Delimiters of two characters; a single bracket is then ordinary text.
        {"[[A==b;;c[[B==x]]]][[D==e]].png", S, "A(b,c(B(x))),D(e),Extension(PNG)", true, false, 200, kDoubled},
        {"[[A==b]c]]", S, "A(b]c)", true, false, 200, kDoubled},
        // The relaxed modes skip what strict refuses.
        {" {A=b}.jpg", T, "A(b),Extension(JPG)"},
        {"}{A=b}=;{C=d}", T, "A(b),C(d)"},
        {"{Abc.jpg", T, "Abc,Extension(JPG)"},
        {"Abc.jpg", P, "Abc,Extension(JPG)"},
        {"{A}", T, "A"},
        {"{A=}", T, "A()"},
        {"{A=b", T, "A(b)"},
        {"{A;b}", T, "A(b)"},
        // Findings at their position.
        {"", T, "Fail @1+0 Filename is empty"},
        {"{A=bcd}", T, "Fail @1+7 Filename is too long (Length=7, Maximum=6)", true, false, 6},
        {"{A=b:c}", T, "Fail @5+1 Filename contains an illegal character"},
        {"..jpg", T, "Fail @1+0 Filename may not begin with a period"},
        {"}", T, "Fail @1+0 Filename must contain at least one attribute"},
        {".jpg", T, "Fail @1+0 Filename must contain at least one non-Extension attribute"},
        {"}{A=b}", S, "Fail @1+1 Extraneous end delimiter"},
        {"{A=b}=", S, "Fail @6+1 Extraneous label delimiter"},
        {" {A=b}.jpg", S, "Fail @1+1 Extraneous space"},
        {"Abc.jpg", S, "Fail @1+0 Missing start delimiter \"{\""},
        {"{A{B=c}}", S, "Fail @3+1 Start delimiter in attribute name"},
        {"{A}", S, "Fail @3+0 Missing label delimiter \"=\""},
        {"{=b}", S, "Fail @2+0 Missing attribute name"},
        {"{A==b}.jpg", S, "Fail @4+1 Label delimiter in attribute value", false},
        {"{\xC3\x84=\xC3\xB6=x}", S, "Fail @5+1 Label delimiter in attribute value", false},  // characters
        {"{A=}", S, "Fail @4+0 Missing attribute value"},
        {"{A=b", S, "Fail @5+0 Missing end delimiter \"}\""},
        // An empty delimiter would match everywhere and never advance.
        {"{A=b}.jpg", P, "Fail @1+0 Attribute start delimiter may not be empty", true, false, 200, {"", "}", "=", ";"}},
        {"{A=b}.jpg", S, "Fail @1+0 Attribute value delimiter may not be empty", true, false, 200, {"{", "}", "=", ""}},
    });
}

TEST(Parse2x, ExpandsNodesAboveTheShowLevel) {
    // Index order: root, A, x, B, y, Extension, JPG; depths 0 1 2 3 4 1 2.
    const char* expanded[] = {"0000000", "1000000", "1100010", "1110011", "1111011", "1111111", "1111111"};
    for (int levels = 0; levels <= 6; ++levels) {
        AttributeTree tree;
        Result r;
        Parse2x("{A=x{B=y}}.jpg", tree, r, kUsual, false, true, Strict, 200, levels);
        std::string flags;
        for (int i = 1; i <= tree.count(); ++i) flags += tree[i].expanded ? '1' : '0';
        EXPECT_EQ(flags, expanded[levels]) << "levels " << levels;
    }
}

}  // namespace
}  // namespace lorvane
