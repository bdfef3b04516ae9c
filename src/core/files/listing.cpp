// Listing folders and reading files: existence, information, the type column.
#include "core/files/file_service.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <random>
#include <system_error>
#include <utility>

#include "core/files/fs_detail.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace lorvane {

using namespace fs_detail;

FileSystemService& FileSystemService::Instance() {
    static FileSystemService service;
    return service;
}

bool FileSystemService::FileExists(std::string_view path) const {
    struct stat st{};
    return !path.empty() && !hasNul(path) && ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileSystemService::FolderExists(std::string_view path) const {
    struct stat st{};
    return !path.empty() && !hasNul(path) && ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSystemService::EntryExists(std::string_view path) const {
    struct stat st{};
    return !path.empty() && !hasNul(path) && ::lstat(std::string(path).c_str(), &st) == 0;
}

std::string FileSystemService::TypeDescription(std::string_view fileName) const {
    // The type follows the last extension alone, whatever the rest of the name
    // says; that makes it cheap to remember per extension for large folders.
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == fileName.size()) return "File";
    const std::string_view extension = fileName.substr(dot + 1);
    // A folder's files share a few extensions: each thread keeps the answers for
    // the last eight, by the extension as written, without lowering it or taking the lock.
    thread_local std::array<std::pair<std::string, std::string>, 8> recent;
    thread_local std::size_t next = 0;
    for (const auto& [ext, type] : recent)
        if (!ext.empty() && ext == extension) return type;
    auto& [ext, type] = recent[next];
    next = (next + 1) % recent.size();
    ext.assign(extension);
    type = typeOfExtension(extension);
    return type;
}

std::string FileSystemService::typeOfExtension(std::string_view extension) const {
    // The remembered answers are found by the lower-case extension; an ASCII one
    // is lowered here without a round trip through QString.
    std::string key;
    QString ext;
    if (isAscii(extension)) {
        key.assign(extension);
        for (char& c : key)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    } else {
        ext = QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
        key = ext.toLower().toStdString();
    }

    const std::lock_guard<std::mutex> lock(typeMutex_);
    if (auto it = typeCache_.find(key); it != typeCache_.end()) return it->second;
    if (ext.isNull()) ext = QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    static const QMimeDatabase db;
    const QMimeType mime = db.mimeTypeForFile(QStringLiteral("x.") + ext, QMimeDatabase::MatchExtension);
    std::string type = mime.isValid() && !mime.isDefault() && !mime.comment().isEmpty()
                           ? mime.comment().toStdString()
                           : ext.toUpper().toStdString() + " File";  // unknown: named after the extension
    return typeCache_.emplace(key, std::move(type)).first->second;
}

namespace {

// The type, size and times of a file that statx has just described.
void fillFromStat(const struct statx& sx, FileInfo& file) {
    file.Size = static_cast<std::int64_t>(sx.stx_size);
    file.DateLastModified = localDateTime(sx.stx_mtime.tv_sec);
    // Without a recorded birth time the earlier of the last change of content and
    // of status is the closest the file system can say.
    std::int64_t created = std::min(sx.stx_mtime.tv_sec, sx.stx_ctime.tv_sec);
    if ((sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec != 0) created = sx.stx_btime.tv_sec;
    file.DateCreated = localDateTime(created);
}

// A regular file (or a link to one) described by statx: from folder (a descriptor,
// or AT_FDCWD) and name; path is only for the error.
FsError statFile(int folder, const char* name, const std::string& path, struct statx& sx) {
    if (::statx(folder, name, AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return failure(errno, "read", path);
    if (S_ISDIR(sx.stx_mode)) return failure(EISDIR, "read", path);
    if (!S_ISREG(sx.stx_mode)) return failure(kNotRegular, "read", path, {}, "Not a regular file");
    return {};
}

// What a folder's entry is for a listing: a regular file (or a link to one), a
// folder (not a link to one: walking subfolders cannot run in circles), or
// neither (DT_UNKNOWN), "." and ".." included.
unsigned char entryType(int dfd, const dirent* e) {
    const std::string_view name = e->d_name;
    if (name == "." || name == "..") return DT_UNKNOWN;
    const unsigned char type = e->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
        struct stat st{};
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return DT_UNKNOWN;
        if (S_ISLNK(st.st_mode))
            return ::fstatat(dfd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
        return S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
    }
    return type == DT_REG || type == DT_DIR ? type : static_cast<unsigned char>(DT_UNKNOWN);
}

// Reads a folder's entries: regular files (and links to them) to onFile, folders
// (not links to them) to onFolder.
template <typename OnFile, typename OnFolder>
FsError readFolder(const std::string& path, const std::string& shownPath, OnFile onFile, OnFolder onFolder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
    if (!dir) return failure(errno, "read", shownPath);
    const int dfd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir.get());
        if (!e) {
            if (errno) return failure(errno, "read", shownPath);
            return {};
        }
        const unsigned char type = entryType(dfd, e);
        if (type == DT_REG) onFile(std::string_view(e->d_name));
        else if (type == DT_DIR) onFolder(std::string_view(e->d_name));
    }
}

// Name order ignoring letter case (Unicode case folding, compared by UTF-16 code
// unit), ties in byte order. Plain ASCII names, nearly all in practice, are folded
// a byte at a time as they are compared; only the others get a folded copy.
void sortNames(std::vector<std::string>& names) {
    struct Key {
        std::size_t index;
        QString folded;  // null for an ASCII name
    };
    std::vector<Key> keys;
    keys.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        QString folded;
        if (!isAscii(n)) folded = QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size())).toCaseFolded();
        keys.push_back({i, std::move(folded)});
    }
    auto length = [&](const Key& k) -> std::size_t {
        return k.folded.isNull() ? names[k.index].size() : static_cast<std::size_t>(k.folded.size());
    };
    auto unit = [&](const Key& k, std::size_t i) -> char16_t {
        if (!k.folded.isNull()) return k.folded.at(static_cast<qsizetype>(i)).unicode();
        const char c = names[k.index][i];
        return static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.folded.isNull() && b.folded.isNull()) {
            const std::string &x = names[a.index], &y = names[b.index];
            const std::size_t n = std::min(x.size(), y.size());
            // Names of one folder share long starts: equal bytes are equal letters,
            // so they are passed over eight at a time.
            for (std::size_t i = 0;; ++i) {
                if constexpr (std::endian::native == std::endian::little) {
                    for (std::uint64_t wx, wy; i + 8 <= n; i += 8) {
                        std::memcpy(&wx, x.data() + i, 8);
                        std::memcpy(&wy, y.data() + i, 8);
                        if (wx != wy) {
                            i += static_cast<std::size_t>(std::countr_zero(wx ^ wy)) / 8;
                            break;
                        }
                    }
                }
                while (i < n && x[i] == y[i]) ++i;
                if (i == n) break;
                const char ux = lower(x[i]), uy = lower(y[i]);
                if (ux != uy) return ux < uy;
            }
            if (x.size() != y.size()) return x.size() < y.size();
            return x < y;
        }
        const std::size_t la = length(a), lb = length(b), n = std::min(la, lb);
        for (std::size_t i = 0; i < n; ++i) {
            const char16_t ua = unit(a, i), ub = unit(b, i);
            if (ua != ub) return ua < ub;
        }
        if (la != lb) return la < lb;
        return names[a.index] < names[b.index];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const Key& k : keys) sorted.push_back(std::move(names[k.index]));
    names = std::move(sorted);
}

}  // namespace

FsError FileSystemService::GetFile(std::string_view path, FileInfo& file) const {
    const std::string p(path);
    if (p.empty()) return failure(ENOENT, "read", p);
    if (hasNul(p)) return failure(kHasNul, "read", p, {}, kHasNulText);
    struct statx sx{};
    if (FsError e = statFile(AT_FDCWD, p.c_str(), p, sx); e.failed()) return e;

    const std::string clean = CleanPath(p);
    file.Name.assign(baseName(clean));
    file.ParentFolder.assign(folderOf(clean));
    file.Path = clean;
    file.Type = TypeDescription(file.Name);
    fillFromStat(sx, file);
    return {};
}

OpenFolder::OpenFolder(std::string_view path) : path_(path) {
    if (!path_.empty() && !hasNul(path_)) fd_ = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

OpenFolder::~OpenFolder() {
    if (fd_ >= 0) ::close(fd_);
}

FsError FileSystemService::GetFile(const OpenFolder& folder, std::string_view name, FileInfo& file) const {
    const std::string& path = folder.path();
    if (folder.descriptor() < 0 || name.empty() || name == "." || name == ".." ||
        name.find('/') != std::string_view::npos || hasNul(name))
        return GetFile(JoinPath(path, name), file);
    // Assigned in place: a loop over a folder reuses the strings' room.
    file.Path.assign(path);
    if (file.Path.back() != '/') file.Path += '/';
    file.Path += name;
    file.Name.assign(name);
    struct statx sx{};
    if (FsError e = statFile(folder.descriptor(), file.Name.c_str(), file.Path, sx); e.failed()) return e;
    file.ParentFolder.assign(path);
    file.Type = TypeDescription(name);
    fillFromStat(sx, file);
    return {};
}

FsError FileSystem::GetFileSize(const OpenFolder& folder, std::string_view name, std::int64_t& size) const {
    FileInfo file;
    FsError e = GetFile(folder, name, file);
    size = file.Size;
    return e;
}

FsError FileSystemService::GetFileSize(const OpenFolder& folder, std::string_view name, std::int64_t& size) const {
    const std::string& path = folder.path();
    if (folder.descriptor() < 0 || name.empty() || name == "." || name == ".." ||
        name.find('/') != std::string_view::npos || hasNul(name))
        return FileSystem::GetFileSize(folder, name, size);
    // A listing's name is NUL-free but not NUL-ended: copied into a reused buffer.
    thread_local std::string cName;
    cName.assign(name);
    struct statx sx{};
    if (::statx(folder.descriptor(), cName.c_str(), AT_STATX_SYNC_AS_STAT, STATX_TYPE | STATX_SIZE, &sx) != 0 ||
        !S_ISREG(sx.stx_mode)) {
        // The path is made only for the error's text.
        if (FsError e = statFile(folder.descriptor(), cName.c_str(), JoinPath(path, name), sx); e.failed()) return e;
    }
    size = static_cast<std::int64_t>(sx.stx_size);
    return {};
}

FsError FileSystemService::GetFolder(std::string_view path, FolderInfo& folder) const {
    FolderReading reading{std::string(path)};
    ReadFolderPart(reading, static_cast<std::size_t>(-1));
    folder = std::move(reading.folder);
    return reading.error;
}

struct FolderReading::Stream {
    std::unique_ptr<DIR, int (*)(DIR*)> dir{nullptr, ::closedir};
};

FolderReading::FolderReading(std::string path) : path_(std::move(path)) {}
FolderReading::~FolderReading() = default;

bool FileSystem::ReadFolderPart(FolderReading& reading, std::size_t) const {
    if (!reading.done_) reading.error = GetFolder(reading.path_, reading.folder);
    reading.done_ = true;
    return true;
}

bool FileSystem::FolderChangedSince(const FolderReading&) const { return true; }

namespace {
constexpr std::int64_t nanoseconds(const struct timespec& t) {
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}
// A folder's change time is taken from a clock that moves in steps of a few
// milliseconds: a change made within this much of the time seen may not show.
constexpr std::int64_t kChangeClockStepNs = 100'000'000;
}  // namespace

bool FileSystemService::FolderChangedSince(const FolderReading& reading) const {
    if (!reading.stampTrusted_ || reading.error.failed()) return true;
    struct stat st{};
    return ::stat(reading.path_.c_str(), &st) != 0 || nanoseconds(st.st_mtim) != reading.changedNs_;
}

bool FileSystemService::ReadFolderPart(FolderReading& reading, std::size_t entries) const {
    if (reading.done_) return true;
    FolderInfo& folder = reading.folder;
    const auto finish = [&](FsError e) {
        reading.stream_.reset();
        reading.done_ = true;
        if ((reading.error = e).failed()) {
            folder.Files.clear();
            folder.SubFolders.clear();
        } else {
            sortNames(folder.Files);
            sortNames(folder.SubFolders);
        }
        return true;
    };
    if (!reading.stream_) {
        const std::string& p = reading.path_;
        folder.Files.clear();
        folder.SubFolders.clear();
        if (p.empty()) return finish(failure(ENOENT, "read", p));
        if (hasNul(p)) return finish(failure(kHasNul, "read", p, {}, kHasNulText));
        folder.Path = CleanPath(p);
        reading.stream_ = std::make_unique<FolderReading::Stream>();
        reading.stream_->dir.reset(::opendir(p.c_str()));
        if (!reading.stream_->dir) return finish(failure(errno, "read", folder.Path));
        // When the folder last changed, before any of its entries is read.
        struct stat st{};
        struct timespec now{};
        if (::fstat(::dirfd(reading.stream_->dir.get()), &st) == 0 && ::clock_gettime(CLOCK_REALTIME, &now) == 0) {
            reading.changedNs_ = nanoseconds(st.st_mtim);
            reading.stampTrusted_ = nanoseconds(now) - reading.changedNs_ > kChangeClockStepNs;
        }
    }
    DIR* dir = reading.stream_->dir.get();
    const int dfd = ::dirfd(dir);
    for (std::size_t n = 0; n < entries; ++n) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) return finish(errno ? failure(errno, "read", folder.Path) : FsError{});
        const unsigned char type = entryType(dfd, e);
        if (type == DT_REG) folder.Files.emplace_back(e->d_name);
        else if (type == DT_DIR) folder.SubFolders.emplace_back(e->d_name);
    }
    return false;
}

FsError FileSystemService::CountFolder(std::string_view path, std::size_t& files,
                                       std::vector<std::string>& subFolders) const {
    const std::string p(path);
    files = 0;
    subFolders.clear();
    if (p.empty()) return failure(ENOENT, "read", p);
    if (hasNul(p)) return failure(kHasNul, "read", p, {}, kHasNulText);
    FsError e = readFolder(
        p, CleanPath(p), [&](std::string_view) { ++files; },
        [&](std::string_view name) { subFolders.emplace_back(name); });
    if (e.ok()) sortNames(subFolders);
    return e;
}

}  // namespace lorvane
