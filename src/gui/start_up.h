// Start-up after the settings are loaded: which windows open, and what they load.
#pragma once

#include <string>
#include <vector>

#include "gui/app_context.h"

namespace lorvane {

// The start path: the first argument after the program's own name, as the platform
// delivers it (already unquoted, bytes as in argv); empty when there is none. Later
// arguments are ignored.
std::string StartPathFromArguments(const std::vector<std::string>& arguments);

// Opens the Viewer, the Editor and the Browser as the settings and the start path
// say, loads the named file or folder, and sets the window-menu check marks.
void OpenStartWindows(AppContext& ctx, const std::string& startPath);

// True when Qt has somewhere to show windows: a display, or a platform chosen explicitly.
bool HasDisplay();

}  // namespace lorvane
