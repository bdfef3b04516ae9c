// The date a picture was taken, from its Exif metadata.
#pragma once

#include <optional>
#include <string>

#include "engine/dates.h"

namespace lorvane {

// DateTimeOriginal, else DateTimeDigitized, else DateTime, as the camera wrote
// it (local time). Nothing for a file without them, or that is not a picture
// Exiv2 can read.
std::optional<DateTime> ReadDateTaken(const std::string& path);

// Exif's "YYYY:MM:DD HH:MM:SS" (trailing blanks and NULs allowed); nothing for
// blanks, zeros ("0000:00:00 00:00:00") or an impossible date.
std::optional<DateTime> ReadExifDateTime(std::string_view text);

}  // namespace lorvane
