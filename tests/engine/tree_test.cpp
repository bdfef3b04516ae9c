#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// A batch of deferred merges numbers the tree as the same merges one by one: the same
// node at every index, and every earlier index leads to its node (renumbered) or to its heir.
TEST(AttributeTree, DeferredMergesNumberLikeMergingOneByOne) {
    using Merges = std::vector<std::pair<const char*, const char*>>;  // node into heir, in turn
    const auto at = [](const AttributeTree& t, std::string_view text) {
        for (int i = 1; i <= t.count(); ++i)
            if (t[i].text == text) return i;
        return 0;
    };
    for (const auto& [shape, merges] : std::vector<std::pair<const char*, Merges>>{
             {"Filename(A(a1,a2),B(b1),A2(c1),B2(d1))", {{"A2", "A"}, {"B2", "B"}}},
             {"Filename(S(s1(P(p1),Q(q1)),s2(R(r1))),T(t1(U(u1))))", {{"T", "S"}, {"s2", "s1"}, {"R", "P"}}},
             {"Filename(A(x(X(x1)),y),B(z(Z(z1))),C(w))", {{"B", "A"}, {"C", "A"}, {"z", "x"}, {"Z", "X"}}},
             {"Filename(A(a),B(b))", {}}}) {  // no merges: every node keeps its place
        AttributeTree batch, stepwise, before;
        for (AttributeTree* t : {&batch, &stepwise, &before}) buildTree(*t, shape);
        batch.startMerges();
        for (const auto& [node, heir] : merges) batch.deferMerge(at(before, node), at(before, heir));
        batch.finishMerges();
        for (const auto& [node, heir] : merges) stepwise.mergeInto(at(stepwise, node), at(stepwise, heir));
        ASSERT_EQ(batch.count(), stepwise.count()) << shape;
        for (int i = 1; i <= batch.count(); ++i) EXPECT_EQ(batch[i].text, stepwise[i].text) << shape << " @" << i;
        for (int i = 1; i <= before.count(); ++i) {
            std::string text = before[i].text;
            for (const auto& [node, heir] : merges)
                if (text == node) text = heir;
            EXPECT_EQ(batch[batch.survivor(i)].text, text) << shape << " " << before[i].text;
            EXPECT_EQ(batch.renumbered(i) == 0, text != before[i].text) << shape << " " << before[i].text;
        }
    }
}

}  // namespace
}  // namespace lorvane
