// The one part of the program that needs Exiv2, built as a module that is loaded
// only when a picture's date is asked for: the library and its own libraries are
// a megabyte and a half of memory and a part of every start otherwise.
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>

#include "core/exif/exif_module.h"

extern "C" __attribute__((visibility("default"))) int lorvane_exif_dates(const unsigned char* data, std::size_t size,
                                                                         char dates[][lorvane::kExifDateRoom]) {
    // Exiv2 writes its warnings to standard error; a folder of odd files would fill it.
    static std::once_flag quiet;
    std::call_once(quiet, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
    for (std::size_t i = 0; i < lorvane::kExifDateTags.size(); ++i) dates[i][0] = '\0';
    try {
        auto image = Exiv2::ImageFactory::open(data, static_cast<long>(size));
        if (!image.get()) return 0;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        for (std::size_t i = 0; i < lorvane::kExifDateTags.size(); ++i) {
            const auto it = exif.findKey(Exiv2::ExifKey(lorvane::kExifDateTags[i]));
            if (it == exif.end()) continue;
            const std::string text = it->toString();
            const std::size_t n = std::min(text.size(), std::size_t{lorvane::kExifDateRoom - 1});
            std::memcpy(dates[i], text.data(), n);
            dates[i][n] = '\0';
        }
        return 1;
    } catch (const std::exception&) {
        // Not a picture, or one Exiv2 cannot read: it has no date taken.
        return 0;
    }
}
