// The pictures of the tree's node marks and of the status panel, drawn as vector
// shapes at whatever size and pixel ratio they are asked for, so they stay crisp.
#pragma once

#include <QIcon>

namespace lorvane {

// Node marks 1 to 12: root, attribute (closed / open) and value, each Good, Warn or Fail.
QIcon NodePicture(int image);

// Status panel pictures: 1 Good, 2 Ready, 3 Warn, 4 Fail.
enum class StatusPicture { Good = 1, Ready = 2, Warn = 3, Fail = 4 };
QIcon StatusIcon(StatusPicture picture);

}  // namespace lorvane
