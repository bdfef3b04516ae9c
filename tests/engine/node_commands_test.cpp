// The node commands on small trees: where each one puts the node, which node ends
// selected, and every refusal.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "engine/node_commands.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::treeMarks;
using testing::treeText;
using C = NodeCommand;

constexpr const char* kTree = "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C)";

int findText(const AttributeTree& t, std::string_view text) {
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == text) return n;
    return 0;
}

// "refused" (and the tree, marks included, untouched), else the tree ("-" when emptied),
// the node to finish on, whether label editing starts and whether the tree changed.
std::string outcome(AttributeTree& t, NodeCommand command, const NodeCommandSettings& settings) {
    const std::string before = treeText(t), marks = treeMarks(t);
    const auto out = RunNodeCommand(t, command, settings);
    EXPECT_TRUE(t.wellShaped());  // an emptied tree is well shaped too
    if (out.refused) {
        EXPECT_EQ(treeText(t) + treeMarks(t), before + marks);
        return "refused";
    }
    std::string s = t.empty() ? "-" : treeText(t);
    if (out.finishOn > 0) s += " on " + t[out.finishOn].text;
    if (out.editLabel) s += " edit";
    if (!out.treeChanged) s += " unchanged";
    return s;
}

TEST(NodeCommands, PutTheNodeAndFinishOnIt) {
    // The node selected, the command, the move mode (0 stays among siblings, 1 moves on to cousins), the outcome.
    const std::tuple<const char*, NodeCommand, int, const char*> rows[] = {
        {"B", C::Edit, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C) on B edit unchanged"},
        {"a2", C::MoveUp, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C) on a2"},
        {"b1", C::MoveUp, 0, "refused"},
        {"b1", C::MoveUp, 1, "Filename(A(a1,a2,b1(S(s1),T(t1))),B(b2),C) on b1"},
        {"A", C::MoveUp, 1, "refused"},
        {"s1", C::MoveUp, 1, "refused"},  // the cousin has no values to join
        {"a1", C::MoveDown, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C) on a1"},
        {"a2", C::MoveDown, 1, "Filename(A(a1),B(a2,b1(S(s1),T(t1)),b2),C) on a2"},
        {"a2", C::MoveDown, 0, "refused"},
        {"b2", C::MoveDown, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1))),C(b2)) on b2"},
        {"T", C::Promote, 1, "Filename(A(a1,a2),T(t1),B(b1(S(s1)),b2),C) on T"},
        {"s1", C::Promote, 1, "Filename(A(a1,a2),B(s1,b1(S,T(t1)),b2),C) on s1"},
        {"A", C::Promote, 1, "refused"},
        {"a1", C::Promote, 1, "refused"},
        {"A", C::Demote, 1, "Filename(B(b1(A(a1,a2),S(s1),T(t1)),b2),C) on A"},
        {"B", C::Demote, 1, "refused"},  // the next has no value to take it
        {"S", C::Demote, 1, "Filename(A(a1,a2),B(b1(T(t1(S(s1)))),b2),C) on S"},
        {"B", C::InsertBefore, 1, "Filename(A(a1,a2),,B(b1(S(s1),T(t1)),b2),C) on  edit"},
        {"Filename", C::InsertBefore, 1, "refused"},
        {"Filename", C::InsertChild, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C,) on  edit"},
        {"B", C::Delete, 1, "Filename(A(a1,a2),C) on C"},
        {"a2", C::Delete, 1, "Filename(A(a1),B(b1(S(s1),T(t1)),b2),C) on a1"},
        {"Filename", C::Delete, 1, "-"},
    };
    for (const auto& [selected, command, moveMode, expect] : rows) {
        AttributeTree t;
        buildTree(t, kTree);
        t.select(findText(t, selected));
        EXPECT_EQ(outcome(t, command, {4, moveMode, true}), expect) << selected << " " << int(command);
    }
}

TEST(NodeCommands, EmptyTree) {
    for (auto c : {C::InsertBefore, C::InsertAfter, C::InsertChild, C::Edit, C::Delete, C::MoveUp, C::MoveDown,
                   C::Promote, C::Demote}) {
        const bool insertion = c == C::InsertBefore || c == C::InsertAfter || c == C::InsertChild;
        for (int levels : {0, 1}) {
            AttributeTree t;
            EXPECT_EQ(outcome(t, c, {levels, 1, true}), insertion ? "Filename" : "refused") << int(c);
            if (insertion) EXPECT_EQ(t[1].expanded, levels > 0);
        }
    }
}

TEST(NodeCommands, MovesKeepMarksTagsAndExpansion) {
    AttributeTree t;
    buildTree(t, kTree);
    const int b1 = findText(t, "b1");
    t[b1].expanded = true;
    t[findText(t, "S")].tag = "tagS";
    Result r;
    ReportNodeStatus(Status::Warn, "w", t, findText(t, "s1"), 1, 1, r);
    t.select(b1);
    const auto out = RunNodeCommand(t, NodeCommand::MoveDown, {4, 1, true});
    EXPECT_EQ(treeText(t), "Filename(A(a1,a2),B(b2,b1(S(s1),T(t1))),C)");
    EXPECT_TRUE(t[out.finishOn].expanded);
    EXPECT_EQ(t[findText(t, "s1")].image, image::ValueWarn);
    EXPECT_EQ(t[findText(t, "S")].tag, "tagS");
}

}  // namespace
}  // namespace lorvane
