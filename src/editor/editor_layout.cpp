#include "editor/editor_layout.h"

#include <algorithm>

namespace lorvane {

EditorGeometry LayOutEditor(int width, int height, int filenameHeight) {
    EditorGeometry g;
    const int w = std::max(width, 0);
    g.filename = QRect(0, 0, w, filenameHeight);
    g.splitter = QRect(0, filenameHeight, w, kSplitterGap);
    g.splitterVisible = filenameHeight + kSplitterGap < height;
    const int treeTop = filenameHeight + kSplitterGap;
    g.tree = QRect(0, treeTop, w, std::max(height - treeTop, 0));
    return g;
}

bool SplitterMoveAllowed(int newFilenameHeight, int height) {
    return newFilenameHeight > 0 && newFilenameHeight + kSplitterGap <= height;
}

}  // namespace lorvane
