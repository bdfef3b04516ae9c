#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "engine/tree.h"
#include "engine/utf8.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::treeMarks;
using testing::treeText;

TEST(InitializeTree, RootExpandedOnlyWhenLevelsShown) {
    AttributeTree t;
    InitializeTree(t, 0);
    ASSERT_EQ(t.count(), 1);
    EXPECT_EQ(t[1].text, "Filename");
    EXPECT_EQ(t[1].image, image::RootGood);
    EXPECT_FALSE(t[1].expanded);
    EXPECT_EQ(t.selected(), 1);
    InitializeTree(t, 1);
    EXPECT_EQ(t.count(), 1);
    EXPECT_TRUE(t[1].expanded);
}

TEST(AddTaggedAttribute, NameAsTextAndTagGoodMarksAndExpansionByDepth) {
    struct Case {
        bool underValue;  // a child attribute under the first value, else top-level
        bool withValue;
        int showLevels;
        const char *tree, *marks;
        bool attributeExpanded, valueExpanded;
    } cases[] = {
        {false, true, 0, "Filename(A(a),Place(Pier))", "1 4 10 4 10", false, false},
        {false, true, 2, "Filename(A(a),Place(Pier))", "1 4 10 4 10", true, false},
        {false, true, 3, "Filename(A(a),Place(Pier))", "1 4 10 4 10", true, true},
        {false, false, 3, "Filename(A(a),Place)", "1 4 10 4", true, false},
        {true, true, 3, "Filename(A(a(Place(Pier))))", "1 4 10 4 10", false, false},
        {true, true, 5, "Filename(A(a(Place(Pier))))", "1 4 10 4 10", true, true},
    };
    for (const auto& c : cases) {
        AttributeTree t;
        buildTree(t, "Filename(A(a))");
        t[2].image = image::AttributeWarn;
        ResetTreeStatus(t);
        const int a = AddTaggedAttribute(t, c.underValue ? 3 : t.root(), "Place",
                                         c.withValue ? std::optional<std::string_view>("Pier") : std::nullopt,
                                         c.showLevels);
        EXPECT_EQ(treeText(t), c.tree);
        EXPECT_EQ(treeMarks(t), c.marks);
        EXPECT_EQ(t[a].tag, "Place");
        EXPECT_EQ(t[a].expandedImage, image::AttributeGood + 1);
        EXPECT_EQ(t[a].expanded, c.attributeExpanded);
        EXPECT_EQ(c.withValue && t[t[a].child].expanded, c.valueExpanded);
        EXPECT_TRUE(t.wellShaped());
    }
}

struct FoldCase {
    const char* name;
    std::vector<std::pair<Status, const char*>> findings;  // all about node 2 (an attribute)
    Status status;
    const char* message;
    int image;
};

class FoldRule : public ::testing::TestWithParam<FoldCase> {};

TEST_P(FoldRule, WorseStatusWinsFirstOfItsSeverityStays) {
    const auto& c = GetParam();
    AttributeTree t;
    buildTree(t, "Filename(A(b))");
    Result r;
    int pos = 1;
    for (auto& [s, m] : c.findings) ReportNodeStatus(s, m, t, 2, pos++, 7, r);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(t[2].image, c.image);
    EXPECT_EQ(t[2].expandedImage, c.image + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FoldRule,
    ::testing::Values(
        FoldCase{"GoodTouchesOnlyTheMark", {{Status::Good, "ok"}}, Status::Good, "", image::AttributeGood},
        FoldCase{"WarnThenWarnKeepsFirst", {{Status::Warn, "w1"}, {Status::Warn, "w2"}}, Status::Warn, "w1",
                 image::AttributeWarn},
        FoldCase{"FailDisplacesWarn", {{Status::Warn, "w"}, {Status::Fail, "f"}}, Status::Fail, "f",
                 image::AttributeFail},
        FoldCase{"SecondFailDoesNot", {{Status::Fail, "f1"}, {Status::Fail, "f2"}}, Status::Fail, "f1",
                 image::AttributeFail},
        FoldCase{"WarnAfterFailKeepsFailMark", {{Status::Fail, "f"}, {Status::Warn, "w"}}, Status::Fail, "f",
                 image::AttributeFail},
        FoldCase{"GoodClearsMarkNotResult", {{Status::Fail, "f"}, {Status::Good, "g"}}, Status::Fail, "f",
                 image::AttributeGood}),
    [](const auto& info) { return info.param.name; });

TEST(FoldRule, ResultCarriesNodePositionAndLengthOfWinningFinding) {
    AttributeTree t;
    buildTree(t, "Filename(A(b),C(d))");
    Result r;
    ReportNodeStatus(Status::Warn, "w", t, 3, 4, 5, r);
    ReportNodeStatus(Status::Fail, "f", t, 5, 2, 1, r);
    EXPECT_EQ(r.nodeIndex, 5);
    EXPECT_EQ(r.position, 2);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(t[3].image, image::ValueWarn);
    EXPECT_EQ(t[5].image, image::ValueFail);
}

TEST(FoldRule, UnknownStatusWordDoesNothing) {
    AttributeTree t;
    buildTree(t, "Filename(A(b))");
    Result r;
    ReportNodeStatus("fail", "x", t, 1, 1, 1, r);
    ReportNodeStatus("Dupl", "x", t, 1, 1, 1, r);
    EXPECT_EQ(r.status, Status::Good);
    EXPECT_EQ(t[1].image, image::RootGood);
    ReportNodeStatus("Fail", "x", t, 1, 1, 1, r);
    EXPECT_EQ(t[1].image, image::RootFail);
}

TEST(ResetTreeStatus, LeavesOnlyGoodMarks) {
    AttributeTree t;
    buildTree(t, "Filename(A(b(C(d))),E)");
    Result r;
    ReportNodeStatus(Status::Fail, "", t, 1, 0, 0, r);
    ReportNodeStatus(Status::Warn, "", t, 2, 0, 0, r);
    ReportNodeStatus(Status::Fail, "", t, 3, 0, 0, r);
    ReportNodeStatus(Status::Warn, "", t, 5, 0, 0, r);
    ResetTreeStatus(t);
    EXPECT_EQ(treeMarks(t), "1 4 10 4 10 4");
    for (int i = 1; i <= t.count(); ++i)
        if (t[i].isAttribute()) {
            EXPECT_EQ(t[i].expandedImage, 5);
        }
}

TEST(FindIllegalCharacter, FirstOfTheNine) {
    EXPECT_EQ(FindIllegalCharacter("a:b?c"), 2);
    EXPECT_EQ(FindIllegalCharacter("abcde"), 0);
    EXPECT_EQ(FindIllegalCharacter(""), 0);
    EXPECT_EQ(FindIllegalCharacter("ab\"c"), 3);
    for (char c : std::string_view("\\/:*?<>|\"")) EXPECT_EQ(FindIllegalCharacter(std::string("x") + c), 2) << c;
    // Positions count characters, not bytes.
    EXPECT_EQ(FindIllegalCharacter("\xC3\xA9\xC3\xA9*"), 3);
    // Past the first blocks of eight bytes, at every place, after a two-byte character.
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text = "\xC3\xA9" + std::string(20, 'x');
        text[2 + at] = '|';
        if (at + 1 < 20) text[2 + at + 1] = '<';  // only the first one counts
        EXPECT_EQ(FindIllegalCharacter(text), static_cast<int>(at) + 2) << at;
    }
    EXPECT_EQ(FindIllegalCharacter(std::string(64, 'y')), 0);
}

TEST(CopySubtree, SevenNodesSameShapeMarksAndTags) {
    AttributeTree t;
    buildTree(t, "Filename(A(x(B(y)),z(C(w))),D(v))");
    Result r;
    ReportNodeStatus(Status::Warn, "", t, 4, 0, 0, r);  // B
    t[2].tag = "tagA";
    const int before = t.count();
    const int d = 9;  // D
    ASSERT_EQ(t[d].text, "D");
    int copy = CopySubtree(t, 2, d, Relation::Next);
    EXPECT_EQ(t.count(), before + 7);
    EXPECT_EQ(treeText(t), "Filename(A(x(B(y)),z(C(w))),D(v),A(x(B(y)),z(C(w))))");
    EXPECT_EQ(t[copy].tag, "tagA");
    EXPECT_EQ(t[copy + 2].image, image::AttributeWarn);  // the copy of B keeps its mark
    EXPECT_EQ(t[copy + 2].tag, "B");
}

TEST(CopySubtree, EveryPlacement) {
    struct Case {
        Relation relation;
        const char* expected;
    } cases[] = {
        {Relation::FirstSibling, "Filename(Q(r),A(a),B(b),C(c))"},
        {Relation::LastSibling, "Filename(A(a),B(b),C(c),Q(r))"},
        {Relation::Next, "Filename(A(a),B(b),Q(r),C(c))"},
        {Relation::Previous, "Filename(A(a),Q(r),B(b),C(c))"},
        {Relation::Child, "Filename(A(a),B(b,Q(r)),C(c))"},
    };
    for (const auto& c : cases) {
        AttributeTree t;
        buildTree(t, "Filename(A(a),B(b),C(c),Q(r))");
        const int q = 8, b = 4;
        CopySubtree(t, q, b, c.relation);
        t.remove(q);  // a move: drop the source afterwards
        EXPECT_EQ(treeText(t), c.expected) << static_cast<int>(c.relation);
        EXPECT_TRUE(c.relation == Relation::Child || t.wellShaped());
    }
}

TEST(AttributeTree, RemoveRenumbersLaterNodes) {
    AttributeTree t;
    buildTree(t, "Filename(A(a),B(b),C(c))");
    t.remove(4);  // B and its value
    EXPECT_EQ(t.count(), 5);
    EXPECT_EQ(treeText(t), "Filename(A(a),C(c))");
    EXPECT_EQ(t[4].text, "C");
    EXPECT_EQ(t[5].text, "c");
    EXPECT_EQ(t[5].parent, 4);
    EXPECT_EQ(t[2].next, 4);
    EXPECT_EQ(t[1].children, 2);
    EXPECT_TRUE(t.wellShaped());
}

TEST(AttributeTree, RemoveAfterCopyKeepsLinks) {
    AttributeTree t;
    buildTree(t, "Filename(A(a),B(b))");
    CopySubtree(t, 2, 4, Relation::Child);  // nonsense shape, but links must hold
    t.remove(2);
    EXPECT_EQ(treeText(t), "Filename(B(b,A(a)))");
}

TEST(AttributeTree, SortChildrenIgnoresCaseAndIsStable) {
    AttributeTree t;
    buildTree(t, "Filename(b(1),A(2),B(3),a(4))");
    t.sortChildren(1);
    EXPECT_EQ(treeText(t), "Filename(A(2),a(4),b(1),B(3))");
}

TEST(AttributeTree, ReusedTreeKeepsNodeStorage) {
    AttributeTree t;
    buildTree(t, "Filename(A long attribute name that does not fit small buffers(v))");
    const char* data = t[2].text.data();
    t.clear();
    buildTree(t, "Filename(B(v))");
    EXPECT_EQ(t[2].text.data(), data);
}

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
               " l" + std::to_string(n.lastChild) + " n" + std::to_string(n.next) + " v" +
               std::to_string(n.previous) + " k" + std::to_string(n.children) + "\n";
    }
    return out + "top " + std::to_string(t.root());
}

// mergeInto must number the tree exactly as moving the children one by one
// (copy appended, original removed) and then removing the node does.
TEST(AttributeTree, MergeIntoNumbersLikeCopyingEachChildThenRemoving) {
    struct Case {
        const char* shape;
        const char* node;
        const char* heir;
        const char* expected;
    } cases[] = {
        {"Filename(A(a1,a2),B(b1),C(c1))", "C", "A", "Filename(A(a1,a2,c1),B(b1))"},
        {"Filename(A(a1),B(b1(X(x1,x2)),b2),C(c1))", "B", "A", "Filename(A(a1,b1(X(x1,x2)),b2),C(c1))"},
        {"Filename(A(a1),B(b1(X(x1),Y(y1))),C(c1))", "B", "C", "Filename(A(a1),C(c1,b1(X(x1),Y(y1))))"},
        {"Filename(A(a1),B,C(c1))", "B", "A", "Filename(A(a1),C(c1))"},  // no children: only removed
        {"Filename(S(s1(P(p1),Q(q1)),s2))", "Q", "P", "Filename(S(s1(P(p1,q1)),s2))"},  // one level down
    };
    for (const auto& c : cases) {
        AttributeTree merged, stepwise;
        buildTree(merged, c.shape);
        buildTree(stepwise, c.shape);
        merged.mergeInto(indexOf(merged, c.node), indexOf(merged, c.heir));
        EXPECT_EQ(treeText(merged), c.expected) << c.shape;

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

// A batch of deferred merges must number the tree as the same merges one by one.
TEST(AttributeTree, DeferredMergesNumberLikeMergingOneByOne) {
    struct Case {
        const char* shape;
        std::vector<std::pair<const char*, const char*>> merges;  // node into heir, in turn
    } cases[] = {
        {"Filename(A(a1,a2),B(b1),A2(c1),B2(d1))", {{"A2", "A"}, {"B2", "B"}}},
        {"Filename(S(s1(P(p1),Q(q1)),s2(R(r1))),T(t1(U(u1))))", {{"T", "S"}, {"s2", "s1"}, {"R", "P"}}},
        {"Filename(A(x(X(x1)),y),B(z(Z(z1))),C(w))", {{"B", "A"}, {"C", "A"}, {"z", "x"}, {"Z", "X"}}},
        {"Filename(A,B(b1),C)", {{"B", "A"}, {"C", "A"}}},
    };
    for (const auto& c : cases) {
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
        // Every earlier Index leads to its node, or for a merged node to the node that took it in.
        for (int i = 1; i <= before.count(); ++i) {
            std::string text = before[i].text;
            for (const auto& [node, heir] : c.merges)
                if (text == node) text = heir;
            EXPECT_EQ(batch[batch.survivor(i)].text, text) << c.shape << " " << before[i].text;
            EXPECT_EQ(batch.renumbered(i) == 0, text != before[i].text) << c.shape << " " << before[i].text;
        }
    }
    AttributeTree t;  // a batch without merges keeps every node where it was
    buildTree(t, "Filename(A(a),B(b))");
    t.startMerges();
    t.finishMerges();
    for (int i = 0; i <= t.count(); ++i) EXPECT_EQ(t.renumbered(i), i);
}

TEST(AttributeTree, RenumberedFollowsEveryNodeThroughRemoveAndMerge) {
    const char* shape = "Filename(A(a1(X(x1)),a2),B(b1,b2),C(c1))";
    for (const char* removed : {"A", "a1", "b2", "C"}) {
        AttributeTree t, before;
        buildTree(t, shape);
        buildTree(before, shape);
        t.remove(indexOf(t, removed));
        for (int i = 1; i <= before.count(); ++i) {
            const int now = t.renumbered(i);
            // Gone exactly when the node was in the removed subtree.
            if (now == 0) EXPECT_EQ(indexOf(t, before[i].text), 0) << removed << " " << before[i].text;
            else EXPECT_EQ(t[now].text, before[i].text) << removed;
        }
        EXPECT_EQ(t.renumbered(0), 0);
    }
    AttributeTree t, before;
    buildTree(t, shape);
    buildTree(before, shape);
    t.mergeInto(indexOf(t, "A"), indexOf(t, "C"));
    for (int i = 1; i <= before.count(); ++i) {
        const int now = t.renumbered(i);
        if (before[i].text == "A") EXPECT_EQ(now, 0);
        else EXPECT_EQ(t[now].text, before[i].text);
    }
}

TEST(AttributeTree, CopiesHoldTheNodesAndAssignedTreesKeepTheirStorage) {
    AttributeTree source, work;
    buildTree(source, "Filename(A(a1,a2),B(b1(X(x1))))");
    buildTree(work, "Filename(Z(a value long enough to need storage of its own))");
    const char* storage = work[3].text.data();
    const AttributeTree copy(source);
    work = source;
    EXPECT_EQ(layout(copy), layout(source));
    EXPECT_EQ(layout(work), layout(source));
    EXPECT_EQ(work[3].text.data(), storage);  // "a1" went into the old value's storage
    work.mergeInto(indexOf(work, "B"), indexOf(work, "A"));  // and the copy is a tree of its own
    EXPECT_EQ(treeText(work), "Filename(A(a1,a2,b1(X(x1))))");
    EXPECT_EQ(treeText(source), "Filename(A(a1,a2),B(b1(X(x1))))");
}

TEST(AttributeTree, RemovedNodesKeepTheirStorageForLaterAdds) {
    AttributeTree t;
    buildTree(t, "Filename(A(a long value that does not fit small buffers),B(b))");
    const char* data = t[3].text.data();
    t.mergeInto(2, 4);  // moves the value under B, then drops A
    t.remove(t.count());  // and the moved value too
    t.clear();
    buildTree(t, "Filename(A(a),B(b),C(c))");
    bool reused = false;
    for (int i = 1; i <= t.count(); ++i) reused = reused || t[i].text.data() == data;
    EXPECT_TRUE(reused);
}

// The in-place comparison must order exactly as comparing utf8::upper copies does,
// Latin-1, Greek and stray bytes included, and keep equal texts in their order.
TEST(AttributeTree, SortChildrenOrdersAsUpperCaseCopiesWould) {
    const std::vector<std::string> texts = {
        "b", "\xC3\xA9t\xC3\xA9", "A", "\xC3\x89T\xC3\x89", "a", "Z", "\xCE\xB1", "\xCE\x91", "\xB5", "\xCE\x9C",
        "ab", "a b", "AB", "", "\xC3\xBF", "\xC5\xB8", "z\xC3\xA0", "Z\xC3\x80", "{", "0006Subject", "0006SUBJECT"};
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
