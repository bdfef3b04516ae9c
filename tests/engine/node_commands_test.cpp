// The node commands on small trees: where each one puts the node, which node ends
// selected, and every refusal.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/node_commands.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::buildTree;
using testing::treeMarks;
using testing::treeText;

constexpr const char* kTree = "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C)";

int findText(const AttributeTree& t, std::string_view text) {
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == text) return n;
    return 0;
}

struct CommandCase {
    const char* name;
    const char* selected;
    NodeCommand command;
    int moveMode;
    const char* tree;      // "": refused, tree unchanged; "-": the tree is left empty
    const char* finishOn;  // text of the node selected afterwards; "": not checked
};

class Commands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(Commands, PutTheNodeAndFinishOnIt) {
    const auto& c = GetParam();
    AttributeTree t;
    buildTree(t, kTree);
    const std::string marks = treeMarks(t);
    t.select(findText(t, c.selected));
    const auto out = RunNodeCommand(t, c.command, {4, c.moveMode, true});
    EXPECT_TRUE(t.wellShaped() || t.empty());
    if (std::string_view(c.tree).empty()) {
        EXPECT_TRUE(out.refused);
        EXPECT_EQ(treeText(t), kTree);
        EXPECT_EQ(treeMarks(t), marks);
        return;
    }
    EXPECT_FALSE(out.refused);
    EXPECT_TRUE(out.treeChanged);
    EXPECT_EQ(treeText(t), std::string_view(c.tree) == "-" ? "" : c.tree);
    if (!std::string_view(c.finishOn).empty()) {
        ASSERT_GT(out.finishOn, 0);
        EXPECT_EQ(t[out.finishOn].text, c.finishOn);
    }
}

using C = NodeCommand;

INSTANTIATE_TEST_SUITE_P(
    Cases, Commands,
    ::testing::Values(
        CommandCase{"UpAmongSiblings", "a2", C::MoveUp, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C)", "a2"},
        CommandCase{"UpWithItsSubtree", "T", C::MoveUp, 0, "Filename(A(a1,a2),B(b1(T(t1),S(s1)),b2),C)", "T"},
        CommandCase{"UpFirstValueSiblingsMode", "b1", C::MoveUp, 0, "", ""},
        CommandCase{"UpFirstValueIntoCousin", "b1", C::MoveUp, 1, "Filename(A(a1,a2,b1(S(s1),T(t1))),B(b2),C)", "b1"},
        CommandCase{"UpFirstTopLevelAttribute", "A", C::MoveUp, 1, "", ""},
        CommandCase{"UpIntoChildlessCousin", "s1", C::MoveUp, 1, "", ""},
        CommandCase{"DownAmongSiblings", "a1", C::MoveDown, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C)", "a1"},
        CommandCase{"DownLastValueIntoCousin", "a2", C::MoveDown, 1, "Filename(A(a1),B(a2,b1(S(s1),T(t1)),b2),C)",
                    "a2"},
        CommandCase{"DownIntoCousinWithoutValues", "b2", C::MoveDown, 1,
                    "Filename(A(a1,a2),B(b1(S(s1),T(t1))),C(b2))", "b2"},
        CommandCase{"DownLastValueSiblingsMode", "a2", C::MoveDown, 0, "", ""},
        CommandCase{"DownLastTopLevelAttribute", "C", C::MoveDown, 1, "", ""},
        CommandCase{"PromoteSubAttribute", "T", C::Promote, 1, "Filename(A(a1,a2),T(t1),B(b1(S(s1)),b2),C)", "T"},
        CommandCase{"PromoteValueOfSubAttribute", "s1", C::Promote, 1, "Filename(A(a1,a2),B(s1,b1(S,T(t1)),b2),C)",
                    "s1"},
        CommandCase{"PromoteTopLevelAttribute", "A", C::Promote, 1, "", ""},
        CommandCase{"PromoteValueOfTopLevelAttribute", "a1", C::Promote, 1, "", ""},
        CommandCase{"PromoteRoot", "Filename", C::Promote, 1, "", ""},
        CommandCase{"DemoteAttribute", "A", C::Demote, 1, "Filename(B(b1(A(a1,a2),S(s1),T(t1)),b2),C)", "A"},
        CommandCase{"DemoteBeforeValuelessNext", "B", C::Demote, 1, "", ""},
        CommandCase{"DemoteLast", "C", C::Demote, 1, "", ""},
        CommandCase{"DemoteValueBeforeChildlessValue", "a1", C::Demote, 1, "", ""},
        CommandCase{"DemoteIntoAValueWithoutChildren", "S", C::Demote, 1,
                    "Filename(A(a1,a2),B(b1(T(t1(S(s1)))),b2),C)", "S"},
        CommandCase{"InsertBeforeAttribute", "B", C::InsertBefore, 1, "Filename(A(a1,a2),,B(b1(S(s1),T(t1)),b2),C)",
                    ""},
        CommandCase{"InsertAfterValue", "a1", C::InsertAfter, 1, "Filename(A(a1,,a2),B(b1(S(s1),T(t1)),b2),C)", ""},
        CommandCase{"InsertBeforeRoot", "Filename", C::InsertBefore, 1, "", ""},
        CommandCase{"InsertChildOfRoot", "Filename", C::InsertChild, 1,
                    "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C,)", ""},
        CommandCase{"InsertChildOfAttribute", "C", C::InsertChild, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C())",
                    ""},
        CommandCase{"DeleteAttribute", "B", C::Delete, 1, "Filename(A(a1,a2),C)", "C"},
        CommandCase{"DeleteLastValue", "a2", C::Delete, 1, "Filename(A(a1),B(b1(S(s1),T(t1)),b2),C)", "a1"},
        CommandCase{"DeleteRoot", "Filename", C::Delete, 1, "-", ""}),
    [](const auto& info) { return info.param.name; });

TEST(NodeCommands, InsertionMakesTheRightKindAndMayEdit) {
    AttributeTree t;
    buildTree(t, kTree);
    t.select(findText(t, "B"));
    auto out = RunNodeCommand(t, NodeCommand::InsertChild, {4, 1, true});
    EXPECT_TRUE(t[out.finishOn].isValue());
    EXPECT_TRUE(out.editLabel);
    t.select(findText(t, "b1"));
    out = RunNodeCommand(t, NodeCommand::InsertAfter, {4, 1, false});
    EXPECT_TRUE(t[out.finishOn].isValue());
    EXPECT_FALSE(out.editLabel);
    t.select(findText(t, "s1"));
    out = RunNodeCommand(t, NodeCommand::InsertChild, {4, 1, false});
    EXPECT_TRUE(t[out.finishOn].isAttribute());
    EXPECT_EQ(t[out.finishOn].expandedImage, std::int16_t{5});
    EXPECT_TRUE(t[out.finishOn].tag.empty());
}

TEST(NodeCommands, EmptyTree) {
    for (auto c : {NodeCommand::InsertBefore, NodeCommand::InsertAfter, NodeCommand::InsertChild}) {
        for (int levels : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "command " << static_cast<int>(c) << ", levels " << levels);
            AttributeTree t;
            const auto out = RunNodeCommand(t, c, {levels, 1, true});
            EXPECT_TRUE(!out.refused && out.treeChanged && !out.editLabel);
            ASSERT_EQ(treeText(t), "Filename");
            EXPECT_EQ(t[1].expanded, levels > 0);
        }
    }
    for (auto c : {NodeCommand::Edit, NodeCommand::Delete, NodeCommand::MoveUp, NodeCommand::MoveDown,
                   NodeCommand::Promote, NodeCommand::Demote}) {
        SCOPED_TRACE(::testing::Message() << "command " << static_cast<int>(c));
        AttributeTree t;
        EXPECT_TRUE(RunNodeCommand(t, c, {4, 1, true}).refused);
    }
}

TEST(NodeCommands, MovesKeepMarksAndExpansion) {
    AttributeTree t;
    buildTree(t, kTree);
    const int b1 = findText(t, "b1");
    t[b1].expanded = true;
    Result r;
    ReportNodeStatus(Status::Warn, "w", t, findText(t, "s1"), 1, 1, r);
    t.select(b1);
    const auto out = RunNodeCommand(t, NodeCommand::MoveDown, {4, 1, true});
    EXPECT_EQ(treeText(t), "Filename(A(a1,a2),B(b2,b1(S(s1),T(t1))),C)");
    EXPECT_TRUE(t[out.finishOn].expanded);
    EXPECT_EQ(t[findText(t, "s1")].image, std::int16_t{image::ValueWarn});
}

}  // namespace
}  // namespace lorvane
