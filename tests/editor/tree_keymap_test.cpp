// The tree pane's keyboard map: which key with which modifiers runs which node command.
#include <QTest>

#include "editor/tree_keymap.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

class TreeKeymapTest : public QObject {
    Q_OBJECT

private slots:
    void keyMap() {
        using C = NodeCommand;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier, none = Qt::NoModifier;
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            std::optional<NodeCommand> command;
        } rows[] = {
            {Qt::Key_F2, none, C::Edit}, {Qt::Key_Delete, none, C::Delete}, {Qt::Key_Left, ctrl, C::Promote},
            {Qt::Key_Up, ctrl, C::MoveUp}, {Qt::Key_Right, ctrl, C::Demote}, {Qt::Key_Down, ctrl, C::MoveDown},
            {Qt::Key_Up, alt, C::InsertBefore}, {Qt::Key_Down, alt, C::InsertAfter},
            {Qt::Key_Right, alt, C::InsertChild},
            {Qt::Key_Up, ctrl | Qt::KeypadModifier, C::MoveUp}, {Qt::Key_Up, none, {}}, {Qt::Key_Left, alt, {}},
            {Qt::Key_Delete, Qt::ShiftModifier, {}}, {Qt::Key_Up, ctrl | alt, {}}, {Qt::Key_F2, ctrl, {}},
        };
        for (const auto& r : rows)
            QVERIFY2(NodeCommandForKey(r.key, r.modifiers) == r.command, qPrintable(QString::number(&r - rows)));
    }
};

LORVANE_QTEST(TreeKeymapTest);

}  // namespace lorvane::testing

#include "tree_keymap_test.moc"
