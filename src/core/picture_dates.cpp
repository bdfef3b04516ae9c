#include "core/picture_dates.h"

#include <exiv2/exiv2.hpp>

#include <mutex>

namespace lorvane {

std::optional<DateTime> ReadExifDateTime(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
    if (text.size() != 19 || text[4] != ':' || text[7] != ':' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    int v[6];
    const std::size_t at[6] = {0, 5, 8, 11, 14, 17}, width[6] = {4, 2, 2, 2, 2, 2};
    for (int i = 0; i < 6; ++i) {
        v[i] = 0;
        for (std::size_t k = 0; k < width[i]; ++k) {
            const char c = text[at[i] + k];
            if (c < '0' || c > '9') return std::nullopt;
            v[i] = v[i] * 10 + (c - '0');
        }
    }
    using namespace std::chrono;
    const year_month_day ymd{year(v[0]), month(static_cast<unsigned>(v[1])), day(static_cast<unsigned>(v[2]))};
    if (!ymd.ok() || v[3] > 23 || v[4] > 59 || v[5] > 60) return std::nullopt;
    return DateTime{sys_days(ymd).time_since_epoch()} + hours(v[3]) + minutes(v[4]) + seconds(v[5]);
}

std::optional<DateTime> ReadDateTaken(const std::string& path) {
    // Exiv2 writes its warnings to standard error; a folder of odd files would fill it.
    static std::once_flag quiet;
    std::call_once(quiet, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
    try {
        auto image = Exiv2::ImageFactory::open(path);
        if (!image.get()) return std::nullopt;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"}) {
            const auto it = exif.findKey(Exiv2::ExifKey(key));
            if (it == exif.end()) continue;
            if (auto t = ReadExifDateTime(it->toString())) return t;
        }
    } catch (const std::exception&) {
        // Not a picture, or one Exiv2 cannot read: it has no date taken.
    }
    return std::nullopt;
}

}  // namespace lorvane
