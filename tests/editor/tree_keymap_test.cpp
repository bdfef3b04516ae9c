// The tree pane's keyboard map: which key with which modifiers runs which node command.
#include <QTest>

#include "editor/tree_keymap.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

class TreeKeymapTest : public QObject {
    Q_OBJECT

private slots:
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

LORVANE_QTEST(TreeKeymapTest);

}  // namespace lorvane::testing

#include "tree_keymap_test.moc"
