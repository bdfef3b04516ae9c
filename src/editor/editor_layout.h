// Where the Editor's panes go: the Filename pane on top at its own height, the
// splitter bar below it, the tree pane from just below the bar down to the status bar.
#pragma once

#include <QRect>

namespace lorvane {

// The gap between the panes that the splitter bar fills, in pixels.
constexpr int kSplitterGap = 6;

struct EditorGeometry {
    QRect filename, splitter, tree;
    bool splitterVisible = false;
};

// width, height: the area between the menu bar and the status bar.
EditorGeometry LayOutEditor(int width, int height, int filenameHeight);

// A splitter drag to a new Filename pane height is applied only when it leaves
// the pane some height and the gap still fits.
bool SplitterMoveAllowed(int newFilenameHeight, int height);

}  // namespace lorvane
