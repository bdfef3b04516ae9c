// Reading a picture file into an image no larger than it will be shown, upright
// by its Exif orientation; and where the Viewer puts it.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <atomic>
#include <string>

namespace lorvane {

struct DecodedPicture {
    QImage image;   // null when the file is not a picture Qt can read
    QSize natural;  // the picture's own size, upright; empty when none
    bool isNull() const { return image.isNull(); }
};

// Decodes the file at path (the file system's bytes) so that it covers at most
// bound (device pixels) with its proportions kept; a picture smaller than bound is
// decoded at its own size. An empty bound decodes at the picture's own size.
// Only a regular file is read. Safe to call on any thread. Once cancel (when
// given) is true, the decoding stops at its next read and gives nothing.
DecodedPicture DecodePicture(const std::string& path, QSize bound, const std::atomic<bool>* cancel = nullptr);

// For a picture too slow to decode at bound to be shown at once (a camera-sized
// JPEG): the bound of a quick first picture, 1/8 of its size, which libjpeg gets
// from the coefficients' averages alone. Empty for every other file.
QSize CoarseBound(const std::string& path, QSize bound);

// The largest rectangle of natural's proportions inside area, centred in the
// other direction; empty when either size is empty.
QRect FitPicture(QSize natural, QSize area);

}  // namespace lorvane
