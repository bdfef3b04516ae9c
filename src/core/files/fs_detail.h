// What the file service's parts share: its failures, the pieces of a path it
// needs, and the test hooks. Not for use outside src/core/files.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>
#include <string_view>
#include <system_error>

#include <QString>

#include "core/files/file_service.h"
#include "engine/utf8.h"

namespace lorvane::fs_detail {

using namespace std::chrono;

// Failures the platform has no number of its own for borrow the nearest one and
// carry their own description.
constexpr int kNotRegular = EINVAL;
constexpr int kHasNul = EINVAL;
constexpr std::string_view kHasNulText = "The path contains a NUL character";
// The old name no longer names the file that was copied or linked: another
// program put a new file there meanwhile. rename, link and unlink never report
// EAGAIN themselves.
constexpr int kReplaced = EAGAIN;
constexpr std::string_view kReplacedText =
    "The file was replaced by another program during the move; both files were left as they were";

inline bool hasNul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

inline FileSystemService::TestHooks& testHooks() {
    static FileSystemService::TestHooks hooks;
    return hooks;
}

inline void beforeRemovingSource(const std::string& source) {
    if (testHooks().beforeRemovingSource) testHooks().beforeRemovingSource(source);
}

// The path still names the same file, unchanged since it was opened as opened.
inline bool stillTheFileOpened(const std::string& path, const struct stat& opened) {
    struct stat now{};
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == opened.st_dev && now.st_ino == opened.st_ino &&
           now.st_size == opened.st_size && now.st_mtim.tv_sec == opened.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == opened.st_mtim.tv_nsec;
}

inline std::string describe(int code) { return std::generic_category().message(code); }

inline FsError failure(int code, std::string_view operation, std::string_view path, std::string_view destination = {},
                std::string_view description = {}) {
    FsError e;
    e.code = code;
    e.operation = operation;
    e.path = path;
    e.destination = destination;
    e.description = description.empty() ? describe(code) : std::string(description);
    return e;
}

inline std::string_view baseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

inline std::string_view folderOf(std::string_view cleanPath) {
    const auto slash = cleanPath.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? cleanPath.substr(0, 1) : cleanPath.substr(0, slash);
}

// The folder part of a path as written, for the kernel to resolve ("." for a bare name).
inline std::string parentOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

// File times as local wall-clock time, the way file names write their dates.
inline DateTime localDateTime(std::int64_t secondsSinceEpoch) {
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm lt{};
    if (!::localtime_r(&t, &lt)) return DateTime{seconds{secondsSinceEpoch}};
    const year_month_day ymd{year{lt.tm_year + 1900}, month{static_cast<unsigned>(lt.tm_mon + 1)},
                             day{static_cast<unsigned>(lt.tm_mday)}};
    return sys_days{ymd} + hours{lt.tm_hour} + minutes{lt.tm_min} + seconds{std::min(lt.tm_sec, 59)};
}

inline bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Names that are not UTF-8 have no letter case: decoded, distinct bytes could
// read as the same replacement characters.
inline bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        // Unicode's folding of ASCII letters is ASCII's, without a round trip through QString.
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
    }
    if (!utf8::isValid(a) || !utf8::isValid(b)) return false;
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
}

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Returns the errno of a failing close (write-back errors surface there), or 0.
    void adopt(int fd) {
        reset();
        fd_ = fd;
    }
    int reset() {
        int err = 0;
        if (fd_ >= 0 && ::close(fd_) != 0) err = errno;
        fd_ = -1;
        return err;
    }

private:
    int fd_;
};

}  // namespace lorvane::fs_detail
