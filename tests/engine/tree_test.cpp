#include <gtest/gtest.h>

#include <algorithm>

#include "engine/tree.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::findingText;
using testing::treeMarks;

// A worse finding wins and the first of its severity stays; a Good one only clears the
// mark. Findings "Warn:w1 Fail:f" on node 2 at positions 1, 2, ...; the result, then the marks.
TEST(ReportNodeStatus, FoldsFindings) {
    const std::pair<const char*, const char*> rows[] = {
        {"Good:ok", "Good 1 4 10"},
        {"Warn:w1 Warn:w2", "Warn n2 @1+7 w1 1 6 10"},
        {"Warn:w Fail:f", "Fail n2 @2+7 f 1 8 10"},
        {"Fail:f Warn:w", "Fail n2 @1+7 f 1 8 10"},
        {"Fail:f Good:g", "Fail n2 @1+7 f 1 4 10"},
        {"fail:x Dupl:x", "Good 1 4 10"},  // not a status word: nothing happens
    };
    for (const auto& [findings, expect] : rows) {
        AttributeTree t;
        buildTree(t, "Filename(A(b))");
        Result r;
        int pos = 1;
        std::string_view list = findings;
        while (!list.empty()) {
            const std::size_t end = std::min(list.find(' '), list.size()), colon = list.find(':');
            ReportNodeStatus(std::string(list.substr(0, colon)), std::string(list.substr(colon + 1, end - colon - 1)),
                             t, 2, pos++, 7, r);
            list.remove_prefix(std::min(end + 1, list.size()));
        }
        EXPECT_EQ(findingText(r) + " " + treeMarks(t), expect) << findings;
        EXPECT_EQ(t[2].expandedImage, t[2].image + 1) << findings;
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

}  // namespace
}  // namespace lorvane
