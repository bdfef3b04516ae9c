#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "engine/tree.h"
#include "engine/utf8.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::findingText;
using testing::treeMarks;
using testing::treeText;

// A worse finding wins and the first of its severity stays; a Good one only clears the
// mark. Findings "Warn:w1 Fail:f" on node 2 at positions 1, 2, ...; the result, then the marks.
TEST(ReportNodeStatus, FoldsFindings) {
    struct Row {
        const char *findings, *expect;
    } rows[] = {
        {"Good:ok", "Good 1 4 10"},
        {"Warn:w1 Warn:w2", "Warn n2 @1+7 w1 1 6 10"},
        {"Warn:w Fail:f", "Fail n2 @2+7 f 1 8 10"},
        {"Fail:f Warn:w", "Fail n2 @1+7 f 1 8 10"},
        {"Fail:f Good:g", "Fail n2 @1+7 f 1 4 10"},
        {"fail:x Dupl:x", "Good 1 4 10"},  // not a status word: nothing happens
    };
    for (const auto& c : rows) {
        AttributeTree t;
        buildTree(t, "Filename(A(b))");
        Result r;
        int pos = 1;
        std::string_view list = c.findings;
        while (!list.empty()) {
            const std::size_t end = std::min(list.find(' '), list.size()), colon = list.find(':');
            ReportNodeStatus(std::string(list.substr(0, colon)), std::string(list.substr(colon + 1, end - colon - 1)),
                             t, 2, pos++, 7, r);
            list.remove_prefix(std::min(end + 1, list.size()));
        }
        EXPECT_EQ(findingText(r) + " " + treeMarks(t), c.expect) << c.findings;
        EXPECT_EQ(t[2].expandedImage, t[2].image + 1) << c.findings;
    }
    AttributeTree t;  // the result names the node of the winning finding; values and root are marked too
    buildTree(t, "Filename(A(b),C(d))");
    Result r;
    ReportNodeStatus(Status::Warn, "w", t, 3, 4, 5, r);
    ReportNodeStatus(Status::Fail, "f", t, 5, 2, 1, r);
    ReportNodeStatus("Fail", "x", t, 1, 1, 1, r);
    EXPECT_EQ(findingText(r) + " " + treeMarks(t), "Fail n5 @2+1 f 3 4 11 4 12");
    ResetTreeStatus(t);
    EXPECT_EQ(treeMarks(t), "1 4 10 4 10");
}

TEST(FindIllegalCharacter, FirstOfTheNine) {
    for (auto [text, at] : {std::pair{"a:b?c", 2}, {"abcde", 0}, {"", 0}, {"ab\"c", 3}, {"\xC3\xA9\xC3\xA9*", 3}})
        EXPECT_EQ(FindIllegalCharacter(text), at) << text;  // positions count characters
    // Past the first blocks of eight bytes, at every place, after a two-byte character.
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text = "\xC3\xA9" + std::string(20, 'x');
        text[2 + at] = '|';
        if (at + 1 < 20) text[2 + at + 1] = '<';  // only the first one counts
        EXPECT_EQ(FindIllegalCharacter(text), static_cast<int>(at) + 2) << at;
    }
    EXPECT_EQ(FindIllegalCharacter(std::string(64, 'y')), 0);
}

// The in-place comparison must order exactly as comparing utf8::upper copies does,
// Latin-1, Greek and stray bytes included, and keep equal texts in their order.
TEST(AttributeTree, SortChildrenOrdersAsUpperCaseCopiesWould) {
    std::vector<std::string> texts;
    for (std::string_view all =
             "b|\xC3\xA9t\xC3\xA9|A|\xC3\x89T\xC3\x89|a|Z|\xCE\xB1|\xCE\x91|\xB5|\xCE\x9C|ab|a b|AB||\xC3\xBF|"
             "\xC5\xB8|z\xC3\xA0|Z\xC3\x80|{|0006Subject|0006SUBJECT";
         !all.empty();) {
        const std::size_t bar = std::min(all.find('|'), all.size());
        texts.emplace_back(all.substr(0, bar));
        all.remove_prefix(std::min(bar + 1, all.size()));
    }
    AttributeTree t;
    InitializeTree(t, 0);
    for (const auto& text : texts) t.addChild(1, text, image::AttributeGood);
    t.sortChildren(1);
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return utf8::upper(texts[a]) < utf8::upper(texts[b]); });
    std::vector<std::string> expected, actual;
    for (std::size_t i : order) expected.push_back(texts[i]);
    for (int c = t[1].child; c; c = t[c].next) actual.push_back(t[c].text);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(t[1].children, static_cast<int>(texts.size()));
    EXPECT_EQ(t[t[1].lastChild].text, expected.back());
}

}  // namespace
}  // namespace lorvane
