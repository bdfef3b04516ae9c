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

int indexOf(const AttributeTree& t, std::string_view text) {
    for (int i = 1; i <= t.count(); ++i)
        if (t[i].text == text) return i;
    return 0;
}

// Every node's text and links in Index order, so two trees compare node for node.
std::string layout(const AttributeTree& t) {
    std::string out;
    for (int i = 1; i <= t.count(); ++i) {
        const Node& n = t[i];
        out += std::to_string(i) + ":" + n.text + " p" + std::to_string(n.parent) + " c" + std::to_string(n.child) +
               " l" + std::to_string(n.lastChild) + " n" + std::to_string(n.next) + " v" + std::to_string(n.previous) +
               " k" + std::to_string(n.children) + "\n";
    }
    return out + "top " + std::to_string(t.root());
}

TEST(AddTaggedAttribute, NameAsTextAndTagGoodMarksAndExpansionByDepth) {
    struct Row {
        bool underValue, withValue;  // a child attribute under the first value, else top-level
        int showLevels;
        const char* tree;
        bool attributeExpanded, valueExpanded;
    } rows[] = {
        {false, true, 0, "Filename(A(a),Place(Pier))", false, false},
        {false, true, 3, "Filename(A(a),Place(Pier))", true, true},
        {false, false, 3, "Filename(A(a),Place)", true, false},
        {true, true, 5, "Filename(A(a(Place(Pier))))", true, true},
    };
    for (const auto& c : rows) {
        AttributeTree t;
        buildTree(t, "Filename(A(a))");
        const int a =
            AddTaggedAttribute(t, c.underValue ? 3 : t.root(), "Place",
                               c.withValue ? std::optional<std::string_view>("Pier") : std::nullopt, c.showLevels);
        EXPECT_EQ(treeText(t) + " " + treeMarks(t), std::string(c.tree) + (c.withValue ? " 1 4 10 4 10" : " 1 4 10 4"));
        EXPECT_TRUE(t[a].tag == "Place" && t[a].expandedImage == image::AttributeGood + 1 && t.wellShaped());
        EXPECT_EQ(t[a].expanded, c.attributeExpanded) << c.tree << c.showLevels;
        EXPECT_EQ(c.withValue && t[t[a].child].expanded, c.valueExpanded) << c.tree << c.showLevels;
    }
}

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
    for (char c : std::string_view("\\/:*?<>|\"")) EXPECT_EQ(FindIllegalCharacter(std::string("x") + c), 2) << c;
    // Past the first blocks of eight bytes, at every place, after a two-byte character.
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text = "\xC3\xA9" + std::string(20, 'x');
        text[2 + at] = '|';
        if (at + 1 < 20) text[2 + at + 1] = '<';  // only the first one counts
        EXPECT_EQ(FindIllegalCharacter(text), static_cast<int>(at) + 2) << at;
    }
    EXPECT_EQ(FindIllegalCharacter(std::string(64, 'y')), 0);
}

TEST(CopySubtree, SameShapeMarksAndTagsInEveryPlacement) {
    AttributeTree t;
    buildTree(t, "Filename(A(x(B(y)),z(C(w))),D(v))");
    Result r;
    ReportNodeStatus(Status::Warn, "", t, 4, 0, 0, r);  // B
    t[2].tag = "tagA";
    const int copy = CopySubtree(t, 2, indexOf(t, "D"), Relation::Next);
    EXPECT_EQ(treeText(t), "Filename(A(x(B(y)),z(C(w))),D(v),A(x(B(y)),z(C(w))))");
    EXPECT_EQ(t.count(), 17);
    EXPECT_EQ(t[copy].tag + " " + t[copy + 2].tag + " " + std::to_string(t[copy + 2].image), "tagA B 6");

    const std::pair<Relation, const char*> rows[] = {{Relation::FirstSibling, "Filename(Q(r),A(a),B(b),C(c))"},
                                                     {Relation::LastSibling, "Filename(A(a),B(b),C(c),Q(r))"},
                                                     {Relation::Next, "Filename(A(a),B(b),Q(r),C(c))"},
                                                     {Relation::Previous, "Filename(A(a),Q(r),B(b),C(c))"},
                                                     {Relation::Child, "Filename(A(a),B(b,Q(r)),C(c))"}};
    for (const auto& [relation, expected] : rows) {
        buildTree(t, "Filename(A(a),B(b),C(c),Q(r))");
        CopySubtree(t, 8, 4, relation);
        t.remove(8);  // a move: drop the source afterwards
        EXPECT_EQ(treeText(t), expected) << static_cast<int>(relation);
        EXPECT_TRUE(relation == Relation::Child || t.wellShaped());
    }
}

// Merging must number the tree exactly as moving the children one by one (copy
// appended, original removed) and then removing the node does.
TEST(AttributeTree, MergeIntoNumbersLikeCopyingEachChildThenRemoving) {
    struct Row {
        const char *shape, *node, *heir, *expected;
    } rows[] = {
        {"Filename(A(a1,a2),B(b1),C(c1))", "C", "A", "Filename(A(a1,a2,c1),B(b1))"},
        {"Filename(A(a1),B(b1(X(x1,x2)),b2),C(c1))", "B", "A", "Filename(A(a1,b1(X(x1,x2)),b2),C(c1))"},
        {"Filename(A(a1),B(b1(X(x1),Y(y1))),C(c1))", "B", "C", "Filename(A(a1),C(c1,b1(X(x1),Y(y1))))"},
        {"Filename(A(a1),B,C(c1))", "B", "A", "Filename(A(a1),C(c1))"},                 // no children: only removed
        {"Filename(S(s1(P(p1),Q(q1)),s2))", "Q", "P", "Filename(S(s1(P(p1,q1)),s2))"},  // one level down
    };
    for (const auto& c : rows) {
        AttributeTree merged, stepwise;
        buildTree(merged, c.shape);
        buildTree(stepwise, c.shape);
        merged.mergeInto(indexOf(merged, c.node), indexOf(merged, c.heir));
        EXPECT_EQ(treeText(merged), c.expected);
        int node = indexOf(stepwise, c.node), heir = indexOf(stepwise, c.heir);
        while (const int child = stepwise[node].child) {
            CopySubtree(stepwise, child, heir, Relation::Child);
            stepwise.remove(child);
            node = stepwise.renumbered(node);
            heir = stepwise.renumbered(heir);
        }
        stepwise.remove(node);
        EXPECT_EQ(layout(merged), layout(stepwise)) << c.shape;
        EXPECT_TRUE(merged.wellShaped()) << c.shape;
    }
}

// A batch of deferred merges must number the tree as the same merges one by one, and
// every earlier Index lead to its node, or for a merged node to the node that took it in.
TEST(AttributeTree, DeferredMergesNumberLikeMergingOneByOne) {
    struct Row {
        const char* shape;
        std::vector<std::pair<const char*, const char*>> merges;  // node into heir, in turn
    } rows[] = {
        {"Filename(A(a1,a2),B(b1),A2(c1),B2(d1))", {{"A2", "A"}, {"B2", "B"}}},
        {"Filename(S(s1(P(p1),Q(q1)),s2(R(r1))),T(t1(U(u1))))", {{"T", "S"}, {"s2", "s1"}, {"R", "P"}}},
        {"Filename(A(x(X(x1)),y),B(z(Z(z1))),C(w))", {{"B", "A"}, {"C", "A"}, {"z", "x"}, {"Z", "X"}}},
        {"Filename(A,B(b1),C)", {{"B", "A"}, {"C", "A"}}},
        {"Filename(A(a),B(b))", {}},  // a batch without merges keeps every node where it was
    };
    for (const auto& c : rows) {
        AttributeTree batch, stepwise, before;
        buildTree(batch, c.shape);
        buildTree(stepwise, c.shape);
        buildTree(before, c.shape);
        batch.startMerges();
        for (const auto& [node, heir] : c.merges) batch.deferMerge(indexOf(before, node), indexOf(before, heir));
        batch.finishMerges();
        for (const auto& [node, heir] : c.merges) stepwise.mergeInto(indexOf(stepwise, node), indexOf(stepwise, heir));
        EXPECT_EQ(layout(batch), layout(stepwise)) << c.shape;
        EXPECT_TRUE(batch.wellShaped()) << c.shape;
        EXPECT_EQ(batch.renumbered(0), 0);
        for (int i = 1; i <= before.count(); ++i) {
            std::string text = before[i].text;
            for (const auto& [node, heir] : c.merges)
                if (text == node) text = heir;
            EXPECT_EQ(batch[batch.survivor(i)].text, text) << c.shape << " " << before[i].text;
            EXPECT_EQ(batch.renumbered(i) == 0, text != before[i].text) << c.shape << " " << before[i].text;
        }
    }
}

// The in-place comparison must order exactly as comparing utf8::upper copies does,
// Latin-1, Greek and stray bytes included, and keep equal texts in their order.
TEST(AttributeTree, SortChildrenOrdersAsUpperCaseCopiesWould) {
    std::vector<std::string> texts;
    for (std::string_view all = "b|\xC3\xA9t\xC3\xA9|A|\xC3\x89T\xC3\x89|a|Z|\xCE\xB1|\xCE\x91|\xB5|\xCE\x9C|ab|a b|AB||\xC3\xBF|"
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
