#include "core/picture_dates.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/exif/exif_module.h"

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

namespace {

// Where the metadata of a picture that is not a JPEG lies (a TIFF-based raw's
// IFDs, a PNG's chunks before its image data): its first MiB, and no more, so
// that a run's time does not grow with the sizes of its files.
constexpr std::size_t kHeadBytes = std::size_t{1} << 20;
// A JPEG's Exif segment follows its start within a few segments.
constexpr int kJpegSegments = 64;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Appends up to n bytes of the file from offset at; false when fewer were there.
bool readAt(int fd, std::uint64_t at, std::size_t n, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + n);
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, out.data() + start + got, n - got, static_cast<off_t>(at + got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    out.resize(start + got);
    return got == n;
}

// A JPEG as Exiv2 needs it for its Exif: the start marker, the Exif segment and
// the end marker. Empty when the segments before the image data hold none.
std::string jpegExif(int fd) {
    std::string head;
    std::uint64_t at = 2;
    for (int segment = 0; segment < kJpegSegments; ++segment) {
        std::string marker;
        if (!readAt(fd, at, 4, marker) || static_cast<unsigned char>(marker[0]) != 0xFF) break;
        const auto kind = static_cast<unsigned char>(marker[1]);
        if (kind == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (kind == 0xDA || kind == 0xD9) break;  // image data, or the end
        if ((kind >= 0xD0 && kind <= 0xD7) || kind == 0x01) {  // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<unsigned char>(marker[2]) << 8 | static_cast<unsigned char>(marker[3]);
        if (length < 2) break;
        if (kind == 0xE1 && length >= 8) {
            std::string segmentBytes;
            if (!readAt(fd, at, 2 + length, segmentBytes)) break;
            if (segmentBytes.compare(4, 6, std::string_view("Exif\0\0", 6)) == 0) {
                head = "\xFF\xD8";
                head += segmentBytes;
                head += "\xFF\xD9";
                return head;
            }
        }
        at += 2 + length;
    }
    return head;
}

// The part of the file that holds its metadata. Only a regular file is read, and
// it is opened without waiting: a FIFO put in a picture's place would otherwise
// hold the run until something writes to it.
std::string metadataPart(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    std::string head;
    if (!readAt(fd.get(), 0, 2, head)) return {};
    if (head == "\xFF\xD8") return jpegExif(fd.get());
    readAt(fd.get(), 2, kHeadBytes - 2, head);
    return head;
}

// The Exif module, loaded on first use: from beside the program as installed,
// or, for a program run from its build folder, from that build.
ExifDatesFunction exifModule() {
    static ExifDatesFunction function = [] {
        std::error_code ec;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
        std::vector<std::filesystem::path> candidates;
        if (!ec) candidates.push_back(program.parent_path() / LORVANE_EXIF_MODULE_FROM_BINDIR);
        if (!ec && std::string_view(program.native()).starts_with(LORVANE_BUILD_DIR "/"))
            candidates.push_back(LORVANE_EXIF_MODULE_BUILT);
        std::string why = "not found";
        for (const std::filesystem::path& candidate : candidates) {
            if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                if (void* f = ::dlsym(module, kExifDatesFunction)) return reinterpret_cast<ExifDatesFunction>(f);
                ::dlclose(module);
            }
            if (const char* error = ::dlerror()) why = error;
        }
        // A broken installation: said once, and no picture has a date.
        std::fprintf(stderr, "lorvane: unable to load the Exif module, so no picture's date can be read: %s\n",
                     why.c_str());
        return ExifDatesFunction{};
    }();
    return function;
}

}  // namespace

std::optional<DateTime> ReadDateTaken(const std::string& path) {
    const std::string head = metadataPart(path);
    if (head.empty()) return std::nullopt;
    // Handed over in memory: Exiv2 reading the file itself would read all of a large one.
    const ExifDatesFunction read = exifModule();
    char dates[kExifDateTags.size()][kExifDateRoom];
    if (!read || !read(reinterpret_cast<const unsigned char*>(head.data()), head.size(), dates)) return std::nullopt;
    for (const char* text : dates)
        if (auto t = ReadExifDateTime(text)) return t;
    return std::nullopt;
}

}  // namespace lorvane
