// exif_dates FOLDER: reads the date each JPEG in FOLDER was taken, as Change
// Dates' "taken" source does, and prints how many files it read per second.
// exif_dates --make N SAMPLE FOLDER: makes N copies of the JPEG SAMPLE in FOLDER,
// each with its own DateTimeOriginal.
#include <exiv2/exiv2.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/picture_dates.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--make") {
        const int n = std::atoi(argv[2]);
        for (int i = 0; i < n; ++i) {
            const fs::path file = fs::path(argv[4]) / ("p" + std::to_string(i) + ".jpg");
            fs::copy_file(argv[3], file, fs::copy_options::overwrite_existing);
            auto image = Exiv2::ImageFactory::open(file.string());
            image->readMetadata();
            char date[32];
            std::snprintf(date, sizeof date, "2019:07:%02d %02d:%02d:%02d", 1 + i % 28, i % 24, i % 60, i % 60);
            image->exifData()["Exif.Photo.DateTimeOriginal"] = date;
            image->writeMetadata();
        }
        return 0;
    }
    if (argc != 2) {
        std::fputs("usage: exif_dates FOLDER | exif_dates --make N SAMPLE FOLDER\n", stderr);
        return 2;
    }
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(argv[1]))
        if (e.path().extension() == ".jpg") files.push_back(e.path().string());
    const auto start = std::chrono::steady_clock::now();
    int dated = 0;
    for (const std::string& f : files) dated += lorvane::ReadDateTaken(f).has_value();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%zu files, %d with a date, %.3f s, %.0f files/s\n", files.size(), dated, seconds,
                static_cast<double>(files.size()) / seconds);
    return dated == static_cast<int>(files.size()) ? 0 : 1;
}
