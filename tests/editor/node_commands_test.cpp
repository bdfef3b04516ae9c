// The node commands on small trees: where each one puts the node, which node ends
// selected, and every refusal.
#include <QTest>

#include "editor/node_commands.h"
#include "editor/tree_keymap.h"
#include "support/qt_test_main.h"
#include "support/tree_text.h"

namespace lorvane::testing {

namespace {

constexpr const char* kTree = "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C)";

int findText(const AttributeTree& t, std::string_view text) {
    for (int n = 1; n <= t.count(); ++n)
        if (t[n].text == text) return n;
    return 0;
}

}  // namespace

class NodeCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("moveMode");
        QTest::addColumn<QString>("tree");     // empty: refused, tree unchanged
        QTest::addColumn<QString>("finishOn"); // text of the node selected afterwards
        using C = NodeCommand;
        auto row = [](const char* name, const char* sel, C c, int mode, const char* tree, const char* finish) {
            QTest::newRow(name) << sel << static_cast<int>(c) << mode << tree << finish;
        };
        row("up among siblings", "a2", C::MoveUp, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C)", "a2");
        row("up with its subtree", "T", C::MoveUp, 0, "Filename(A(a1,a2),B(b1(T(t1),S(s1)),b2),C)", "T");
        row("up first value, siblings mode", "b1", C::MoveUp, 0, "", "");
        row("up first value into cousin", "b1", C::MoveUp, 1, "Filename(A(a1,a2,b1(S(s1),T(t1))),B(b2),C)", "b1");
        row("up first top-level attribute", "A", C::MoveUp, 1, "", "");
        row("up into childless cousin", "s1", C::MoveUp, 1, "", "");
        row("down among siblings", "a1", C::MoveDown, 0, "Filename(A(a2,a1),B(b1(S(s1),T(t1)),b2),C)", "a1");
        row("down last value into cousin", "a2", C::MoveDown, 1, "Filename(A(a1),B(a2,b1(S(s1),T(t1)),b2),C)", "a2");
        row("down into cousin without values", "b2", C::MoveDown, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1))),C(b2))", "b2");
        row("down last value, siblings mode", "a2", C::MoveDown, 0, "", "");
        row("down last top-level attribute", "C", C::MoveDown, 1, "", "");
        row("promote sub-attribute", "T", C::Promote, 1, "Filename(A(a1,a2),T(t1),B(b1(S(s1)),b2),C)", "T");
        row("promote value of sub-attribute", "s1", C::Promote, 1, "Filename(A(a1,a2),B(s1,b1(S,T(t1)),b2),C)", "s1");
        row("promote top-level attribute", "A", C::Promote, 1, "", "");
        row("promote value of top-level attribute", "a1", C::Promote, 1, "", "");
        row("promote root", "Filename", C::Promote, 1, "", "");
        row("demote attribute", "A", C::Demote, 1, "Filename(B(b1(A(a1,a2),S(s1),T(t1)),b2),C)", "A");
        row("demote before valueless next", "B", C::Demote, 1, "", "");
        row("demote last", "C", C::Demote, 1, "", "");
        row("demote value before childless value", "a1", C::Demote, 1, "", "");
        row("demote into a value without children", "S", C::Demote, 1, "Filename(A(a1,a2),B(b1(T(t1(S(s1)))),b2),C)", "S");
        row("insert before attribute", "B", C::InsertBefore, 1, "Filename(A(a1,a2),,B(b1(S(s1),T(t1)),b2),C)", "");
        row("insert after value", "a1", C::InsertAfter, 1, "Filename(A(a1,,a2),B(b1(S(s1),T(t1)),b2),C)", "");
        row("insert before root", "Filename", C::InsertBefore, 1, "", "");
        row("insert child of root", "Filename", C::InsertChild, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C,)", "");
        row("insert child of attribute", "C", C::InsertChild, 1, "Filename(A(a1,a2),B(b1(S(s1),T(t1)),b2),C())", "");
        row("delete attribute", "B", C::Delete, 1, "Filename(A(a1,a2),C)", "C");
        row("delete last value", "a2", C::Delete, 1, "Filename(A(a1),B(b1(S(s1),T(t1)),b2),C)", "a1");
        row("delete root", "Filename", C::Delete, 1, "-", "");
    }

    void commands() {
        QFETCH(QString, selected);
        QFETCH(int, command);
        QFETCH(int, moveMode);
        QFETCH(QString, tree);
        QFETCH(QString, finishOn);
        AttributeTree t;
        buildTree(t, kTree);
        const std::string marks = treeMarks(t);
        t.select(findText(t, selected.toStdString()));
        const auto out = RunNodeCommand(t, static_cast<NodeCommand>(command), {4, moveMode, true});
        QVERIFY(t.wellShaped() || t.empty());
        if (tree.isEmpty()) {
            QVERIFY(out.refused);
            QCOMPARE(QString::fromStdString(treeText(t)), QString::fromLatin1(kTree));
            QCOMPARE(treeMarks(t), marks);
            return;
        }
        QVERIFY(!out.refused);
        QVERIFY(out.treeChanged);
        QCOMPARE(QString::fromStdString(treeText(t)), tree == "-" ? QString() : tree);
        if (!finishOn.isEmpty()) {
            QVERIFY(out.finishOn > 0);
            QCOMPARE(QString::fromStdString(t[out.finishOn].text), finishOn);
        }
    }

    void insertionMakesTheRightKindAndMayEdit() {
        AttributeTree t;
        buildTree(t, kTree);
        t.select(findText(t, "B"));
        auto out = RunNodeCommand(t, NodeCommand::InsertChild, {4, 1, true});
        QVERIFY(t[out.finishOn].isValue());
        QVERIFY(out.editLabel);
        t.select(findText(t, "b1"));
        out = RunNodeCommand(t, NodeCommand::InsertAfter, {4, 1, false});
        QVERIFY(t[out.finishOn].isValue());
        QVERIFY(!out.editLabel);
        t.select(findText(t, "s1"));
        out = RunNodeCommand(t, NodeCommand::InsertChild, {4, 1, false});
        QVERIFY(t[out.finishOn].isAttribute());
        QCOMPARE(t[out.finishOn].expandedImage, std::int16_t{5});
        QVERIFY(t[out.finishOn].tag.empty());
    }

    void emptyTree() {
        for (auto c : {NodeCommand::InsertBefore, NodeCommand::InsertAfter, NodeCommand::InsertChild}) {
            for (int levels : {0, 1}) {
                AttributeTree t;
                const auto out = RunNodeCommand(t, c, {levels, 1, true});
                QVERIFY(!out.refused && out.treeChanged && !out.editLabel);
                QCOMPARE(QString::fromStdString(treeText(t)), QStringLiteral("Filename"));
                QCOMPARE(t[1].expanded, levels > 0);
            }
        }
        for (auto c : {NodeCommand::Edit, NodeCommand::Delete, NodeCommand::MoveUp, NodeCommand::MoveDown,
                       NodeCommand::Promote, NodeCommand::Demote}) {
            AttributeTree t;
            QVERIFY(RunNodeCommand(t, c, {4, 1, true}).refused);
        }
    }

    void movesKeepMarksAndExpansion() {
        AttributeTree t;
        buildTree(t, kTree);
        const int b1 = findText(t, "b1");
        t[b1].expanded = true;
        ReportNodeStatus(Status::Warn, "w", t, findText(t, "s1"), 1, 1, *std::make_unique<Result>());
        t.select(b1);
        const auto out = RunNodeCommand(t, NodeCommand::MoveDown, {4, 1, true});
        QCOMPARE(QString::fromStdString(treeText(t)), QStringLiteral("Filename(A(a1,a2),B(b2,b1(S(s1),T(t1))),C)"));
        QVERIFY(t[out.finishOn].expanded);
        QCOMPARE(t[findText(t, "s1")].image, std::int16_t{image::ValueWarn});
    }

    void keyMap_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command");  // -1: none
        auto row = [](const char* n, int k, Qt::KeyboardModifiers m, int c) {
            QTest::newRow(n) << k << static_cast<int>(m) << c;
        };
        row("F2", Qt::Key_F2, Qt::NoModifier, static_cast<int>(NodeCommand::Edit));
        row("Del", Qt::Key_Delete, Qt::NoModifier, static_cast<int>(NodeCommand::Delete));
        row("Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, static_cast<int>(NodeCommand::Promote));
        row("Ctrl+Up", Qt::Key_Up, Qt::ControlModifier, static_cast<int>(NodeCommand::MoveUp));
        row("Ctrl+Right", Qt::Key_Right, Qt::ControlModifier, static_cast<int>(NodeCommand::Demote));
        row("Ctrl+Down", Qt::Key_Down, Qt::ControlModifier, static_cast<int>(NodeCommand::MoveDown));
        row("Alt+Up", Qt::Key_Up, Qt::AltModifier, static_cast<int>(NodeCommand::InsertBefore));
        row("Alt+Down", Qt::Key_Down, Qt::AltModifier, static_cast<int>(NodeCommand::InsertAfter));
        row("Alt+Right", Qt::Key_Right, Qt::AltModifier, static_cast<int>(NodeCommand::InsertChild));
        row("Keypad Ctrl+Up", Qt::Key_Up, Qt::ControlModifier | Qt::KeypadModifier,
            static_cast<int>(NodeCommand::MoveUp));
        row("plain Up", Qt::Key_Up, Qt::NoModifier, -1);
        row("Alt+Left", Qt::Key_Left, Qt::AltModifier, -1);
        row("Shift+Del", Qt::Key_Delete, Qt::ShiftModifier, -1);
        row("Ctrl+Alt+Up", Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier, -1);
        row("Ctrl+F2", Qt::Key_F2, Qt::ControlModifier, -1);
    }

    void keyMap() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        const auto c = NodeCommandForKey(key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(c ? static_cast<int>(*c) : -1, command);
    }
};

LORVANE_QTEST(NodeCommandsTest);

}  // namespace lorvane::testing

#include "node_commands_test.moc"
