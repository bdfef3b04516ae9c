// The tree pane's keyboard map: which key with which of Ctrl and Alt runs which command.
#pragma once

#include <Qt>

#include <optional>

#include "engine/node_commands.h"

namespace lorvane {

// The command for a key press in the tree pane, or nothing. Only no modifier,
// Ctrl alone or Alt alone count; Shift or two modifiers together run nothing.
std::optional<NodeCommand> NodeCommandForKey(int key, Qt::KeyboardModifiers modifiers);

}  // namespace lorvane
