#include "editor/tree_keymap.h"

namespace lorvane {

std::optional<NodeCommand> NodeCommandForKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers m =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (m == Qt::NoModifier) {
        if (key == Qt::Key_F2) return NodeCommand::Edit;
        if (key == Qt::Key_Delete) return NodeCommand::Delete;
    } else if (m == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_Left: return NodeCommand::Promote;
            case Qt::Key_Up: return NodeCommand::MoveUp;
            case Qt::Key_Right: return NodeCommand::Demote;
            case Qt::Key_Down: return NodeCommand::MoveDown;
            default: break;
        }
    } else if (m == Qt::AltModifier) {
        switch (key) {
            case Qt::Key_Up: return NodeCommand::InsertBefore;
            case Qt::Key_Down: return NodeCommand::InsertAfter;
            case Qt::Key_Right: return NodeCommand::InsertChild;
            default: break;
        }
    }
    return std::nullopt;
}

}  // namespace lorvane
