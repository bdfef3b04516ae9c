// The pictures of the row states, drawn here rather than loaded: Good, Warn, Fail
// and the chronology check's Dupl, each in the small and the large size.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace lorvane {

namespace row_picture {
constexpr int SmallSize = 16, LargeSize = 32;
// Picture numbers as the rows carry them (1 Good, 2 Warn, 3 Fail), plus Dupl.
constexpr int Dupl = 4;
}  // namespace row_picture

// The picture for a row's icon number at the given edge length; a null pixmap for
// numbers without a picture (a row that has not been parsed yet).
QPixmap RowPicture(int icon, int size);
// Both sizes (and their doubles) in one icon, for views that choose by their icon
// size and the screen's density; a null icon where RowPicture gives none.
QIcon RowIcon(int icon);

}  // namespace lorvane
