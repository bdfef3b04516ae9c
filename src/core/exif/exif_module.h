// What the program and its Exif module (exif_module.cpp, loaded when first
// needed) agree on: one C function, found by name.
#pragma once

#include <array>
#include <cstddef>

namespace lorvane {

// The date tags read, in the order they are preferred.
inline constexpr std::array<const char*, 3> kExifDateTags = {"Exif.Photo.DateTimeOriginal",
                                                             "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"};
// Room for each tag's text ("YYYY:MM:DD HH:MM:SS" and its NUL, with some to spare).
inline constexpr std::size_t kExifDateRoom = 64;
inline constexpr const char* kExifDatesFunction = "lorvane_exif_dates";

// Reads the picture in data (a JPEG cut to its Exif segment, or the start of
// another picture) and gives each tag's text, or "" where it has none; 0 when
// the bytes are no picture Exiv2 can read.
using ExifDatesFunction = int (*)(const unsigned char* data, std::size_t size, char dates[][kExifDateRoom]);

}  // namespace lorvane
