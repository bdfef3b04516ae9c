#include <gtest/gtest.h>

#include "engine/tree.h"
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

}  // namespace
}  // namespace lorvane
