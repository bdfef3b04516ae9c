#include "core/file_service.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
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

#include "engine/utf8.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace lorvane {

namespace {

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

bool hasNul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

FileSystemService::TestHooks& testHooks() {
    static FileSystemService::TestHooks hooks;
    return hooks;
}

void beforeRemovingSource(const std::string& source) {
    if (testHooks().beforeRemovingSource) testHooks().beforeRemovingSource(source);
}

// The path still names the same file, unchanged since it was opened as opened.
bool stillTheFileOpened(const std::string& path, const struct stat& opened) {
    struct stat now{};
    return ::lstat(path.c_str(), &now) == 0 && now.st_dev == opened.st_dev && now.st_ino == opened.st_ino &&
           now.st_size == opened.st_size && now.st_mtim.tv_sec == opened.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == opened.st_mtim.tv_nsec;
}

std::string describe(int code) { return std::generic_category().message(code); }

FsError failure(int code, std::string_view operation, std::string_view path, std::string_view destination = {},
                std::string_view description = {}) {
    FsError e;
    e.code = code;
    e.operation = operation;
    e.path = path;
    e.destination = destination;
    e.description = description.empty() ? describe(code) : std::string(description);
    return e;
}

std::string_view baseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view folderOf(std::string_view cleanPath) {
    const auto slash = cleanPath.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? cleanPath.substr(0, 1) : cleanPath.substr(0, slash);
}

// The folder part of a path as written, for the kernel to resolve ("." for a bare name).
std::string parentOf(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

// File times as local wall-clock time, the way file names write their dates.
DateTime localDateTime(std::int64_t secondsSinceEpoch) {
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm lt{};
    if (!::localtime_r(&t, &lt)) return DateTime{seconds{secondsSinceEpoch}};
    const year_month_day ymd{year{lt.tm_year + 1900}, month{static_cast<unsigned>(lt.tm_mon + 1)},
                             day{static_cast<unsigned>(lt.tm_mday)}};
    return sys_days{ymd} + hours{lt.tm_hour} + minutes{lt.tm_min} + seconds{std::min(lt.tm_sec, 59)};
}

bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Names that are not UTF-8 have no letter case: decoded, distinct bytes could
// read as the same replacement characters.
bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
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

int renameat2NoReplace(const char* from, const char* to) {
    if (testHooks().renameWithoutNoReplace) {
        errno = EINVAL;
        return -1;
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#else
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#endif
}

// A rename that never replaces the destination. Returns 0 or an errno value.
int renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2NoReplace(from.c_str(), to.c_str()) == 0) return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP) return err;
    // The file system does not know the flag: a hard link fails on an existing name just as well.
    if (::link(from.c_str(), to.c_str()) == 0) {
        beforeRemovingSource(from);
        // Only the name that was linked is removed: if another program has put a
        // new file under it meanwhile, that file stays and the link is taken back.
        struct stat fromSt{}, toSt{};
        if (::lstat(from.c_str(), &fromSt) != 0 || ::lstat(to.c_str(), &toSt) != 0 ||
            fromSt.st_dev != toSt.st_dev || fromSt.st_ino != toSt.st_ino) {
            ::unlink(to.c_str());
            return kReplaced;
        }
        if (::unlink(from.c_str()) == 0) return 0;
        const int unlinkErr = errno;
        ::unlink(to.c_str());
        return unlinkErr;
    }
    const int linkErr = errno;
    if (linkErr != EPERM && linkErr != EOPNOTSUPP && linkErr != ENOSYS) return linkErr;
    // No hard links either (FAT and the like): test, then rename. Someone creating the
    // destination between the two is the one case this cannot rule out.
    struct stat st{};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    if (errno != ENOENT) return errno;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// A name in the destination folder for a copy that is not finished yet.
std::string partialName(std::string_view folder) {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    char buf[40];
    std::snprintf(buf, sizeof buf, ".lorvane-%016llx.part", static_cast<unsigned long long>(rng()));
    return JoinPath(folder, buf);
}

int readFully(int fd, char* buf, std::size_t want, std::size_t& got) {
    got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buf + got, want - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

int writeFully(int fd, const char* buf, std::size_t len) {
    while (len > 0) {
        const ssize_t n = ::write(fd, buf, len);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        buf += n;
        len -= static_cast<std::size_t>(n);
    }
    return 0;
}

constexpr std::size_t kChunk = 1 << 20;

// Copies in, syncs, then reads both back and compares, so a copy that reaches its
// final name is known to hold the source's bytes.
struct CopyOutcome {
    int code = 0;
    std::string description;
};

CopyOutcome copyAndVerify(int in, int out, const struct stat& sourceStat) {
    auto buffers = std::make_unique<char[]>(2 * kChunk);
    char* a = buffers.get();
    char* b = a + kChunk;
    for (;;) {
        std::size_t got = 0;
        if (int e = readFully(in, a, kChunk, got)) return {e, {}};
        if (got == 0) break;
        if (int e = writeFully(out, a, got)) return {e, {}};
    }
    if (::fsync(out) != 0) return {errno, {}};

    struct stat outStat{};
    if (::fstat(out, &outStat) != 0) return {errno, {}};
    if (outStat.st_size != sourceStat.st_size)
        return {EIO, "The copy does not have the size of the original"};
    if (::lseek(in, 0, SEEK_SET) < 0 || ::lseek(out, 0, SEEK_SET) < 0) return {errno, {}};
    for (;;) {
        std::size_t gotA = 0, gotB = 0;
        if (int e = readFully(in, a, kChunk, gotA)) return {e, {}};
        if (int e = readFully(out, b, kChunk, gotB)) return {e, {}};
        if (gotA != gotB || std::memcmp(a, b, gotA) != 0)
            return {EIO, "The copy does not match the original"};
        if (gotA == 0) break;
    }
    return {};
}

// Copies source into a hidden file in the destination's folder and gives it the
// destination's name only when complete. Returns 0 or the failure; on failure
// nothing is left behind. opened receives what the source was when it was opened.
CopyOutcome copyFile(const std::string& source, const std::string& destination, bool overwrite, bool keepOwner,
                     struct stat* opened = nullptr) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return {errno, {}};
    struct stat st{};
    if (::fstat(in.get(), &st) != 0) return {errno, {}};
    if (opened) *opened = st;
    if (S_ISDIR(st.st_mode)) return {EISDIR, {}};
    if (!S_ISREG(st.st_mode)) return {kNotRegular, "Not a regular file"};

    struct stat dst{};
    if (::stat(destination.c_str(), &dst) == 0) {
        if (!overwrite) return {EEXIST, {}};
        if (dst.st_dev == st.st_dev && dst.st_ino == st.st_ino)
            return {EINVAL, "The source and the destination are the same file"};
    }

    const std::string folder = parentOf(destination);
    std::string temp;
    Fd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        temp = partialName(folder);
        out.adopt(::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!out.valid() && errno != EEXIST) return {errno, {}};
    }
    if (!out.valid()) return {EEXIST, {}};

    auto abandon = [&](CopyOutcome o) {
        out.reset();
        ::unlink(temp.c_str());
        return o;
    };
    CopyOutcome copied = copyAndVerify(in.get(), out.get(), st);
    if (copied.code) return abandon(copied);

    if (keepOwner) (void)::fchown(out.get(), st.st_uid, st.st_gid);  // best effort: only root can give files away
    if (::fchmod(out.get(), st.st_mode & 07777) != 0) return abandon({errno, {}});
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.get(), times) != 0) return abandon({errno, {}});
    if (int e = out.reset()) {
        ::unlink(temp.c_str());
        return {e, {}};
    }

    const int placed = overwrite ? (::rename(temp.c_str(), destination.c_str()) == 0 ? 0 : errno)
                                 : renameNoReplace(temp, destination);
    if (placed) {
        ::unlink(temp.c_str());
        return {placed, {}};
    }
    // Make the new name durable before a move takes the source away.
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) (void)::fsync(dir.get());
    return {};
}

}  // namespace

std::string FsError::message() const {
    std::string m = "Unable to " + operation + (operation == "read" ? " \"" : " the file \"") + path + "\"";
    if (!destination.empty()) m += " to \"" + destination + "\"";
    m += " due to the following error: ";
    m += description;
    return m;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) { return sameNameIgnoringCase(a, b); }

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string p(folder);
    if (p.empty() || p.back() != '/') p += '/';
    p += name;
    return p;
}

void SplitFilePath(const FileSystem& files, std::string_view path, std::string& folder, std::string& name) {
    FileInfo file;
    if (files.GetFile(path, file).ok()) {
        folder = file.ParentFolder;
        name = file.Name;
        return;
    }
    const std::string clean = CleanPath(path);
    const std::size_t slash = clean.rfind('/');
    name = clean.substr(slash + 1);
    folder = slash == 0 ? std::string("/") : clean.substr(0, slash);
}

std::string CleanPath(std::string_view path) {
    std::string out;  // absolute, each part after a "/"; empty for the root
    if (path.empty() || path.front() != '/') {
        std::unique_ptr<char, void (*)(void*)> cwd(::getcwd(nullptr, 0), std::free);
        if (cwd && cwd.get()[1] != '\0') out = cwd.get();
    }
    // The system cannot be asked about a path with a NUL in it; the calls refuse it anyway.
    const bool askable = !hasNul(path);
    auto parentOfOut = [&out] { out.erase(out.rfind('/')); };
    std::size_t i = 0;
    while (i <= path.size()) {
        std::size_t j = path.find('/', i);
        if (j == std::string_view::npos) j = path.size();
        const std::string_view part = path.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == ".") continue;
        if (part != "..") {
            out += '/';
            out += part;
            continue;
        }
        if (out.empty()) continue;  // the root is its own parent
        // A folder that is not a link has its parent where the text says; a link
        // to a folder has the parent of its target. Anything else (missing, not a
        // folder, a ".." already left in) keeps the ".." for the kernel to judge.
        struct stat st{}, lst{};
        const bool lastIsDots = std::string_view(out).substr(out.rfind('/') + 1) == "..";
        if (askable && !lastIsDots && ::stat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            ::lstat(out.c_str(), &lst) == 0) {
            if (!S_ISLNK(lst.st_mode)) {
                parentOfOut();
                continue;
            }
            std::unique_ptr<char, void (*)(void*)> real(::realpath(out.c_str(), nullptr), std::free);
            if (real) {
                out = real.get();
                if (out == "/") out.clear();
                else parentOfOut();
                continue;
            }
        }
        out += "/..";
    }
    return out.empty() ? std::string("/") : out;
}

FileSystemService& FileSystemService::Instance() {
    static FileSystemService service;
    return service;
}

void FileSystemService::SetTestHooks(TestHooks hooks) { testHooks() = std::move(hooks); }

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

// Reads a folder's entries: regular files (and links to them) to onFile, folders
// (not links to them) to onFolder, "." and ".." left out.
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
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st{};
            if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (S_ISLNK(st.st_mode)) {
                // A link to a file is a file; a link to a folder is left out so that
                // walking subfolders cannot run in circles.
                if (::fstatat(dfd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
                type = DT_REG;
            } else {
                type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
            }
        }
        if (type == DT_REG) onFile(name);
        else if (type == DT_DIR) onFolder(name);
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
            for (std::size_t i = 0; i < n; ++i) {
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

FsError FileSystemService::GetFolder(std::string_view path, FolderInfo& folder) const {
    const std::string p(path);
    folder.Files.clear();
    folder.SubFolders.clear();
    if (p.empty()) return failure(ENOENT, "read", p);
    if (hasNul(p)) return failure(kHasNul, "read", p, {}, kHasNulText);
    folder.Path = CleanPath(p);
    FsError e = readFolder(
        p, folder.Path, [&](std::string_view name) { folder.Files.emplace_back(name); },
        [&](std::string_view name) { folder.SubFolders.emplace_back(name); });
    if (e.failed()) return e;
    sortNames(folder.Files);
    sortNames(folder.SubFolders);
    return {};
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

FsError FileSystemService::Move(std::string_view source, std::string_view destination) const {
    const std::string from(source), to(destination);
    if (hasNul(from) || hasNul(to)) return failure(kHasNul, "move", from, to, kHasNulText);
    struct stat st{};
    if (from.empty() || ::lstat(from.c_str(), &st) != 0)
        return failure(from.empty() ? ENOENT : errno, "move", from, to);
    if (S_ISDIR(st.st_mode)) return failure(EISDIR, "move", from, to);
    if (to.empty()) return failure(ENOENT, "move", from, to);
    int err = testHooks().copyAcrossFileSystems ? EXDEV : renameNoReplace(from, to);
    if (err == 0) return {};
    if (err == kReplaced) return failure(err, "move", from, to, kReplacedText);

    if (err == EEXIST) {
        // The kernel resolves both paths, so compare what they name rather than how
        // they are written: a link or ".." in a path may lead to the same entry.
        struct stat dst{}, fromDirSt{}, toDirSt{};
        const bool sameFile = ::lstat(to.c_str(), &dst) == 0 && dst.st_dev == st.st_dev && dst.st_ino == st.st_ino;
        const std::string fromDir = parentOf(from), toDir = parentOf(to);
        const bool sameFolder = ::stat(fromDir.c_str(), &fromDirSt) == 0 && ::stat(toDir.c_str(), &toDirSt) == 0 &&
                                fromDirSt.st_dev == toDirSt.st_dev && fromDirSt.st_ino == toDirSt.st_ino;
        if (sameFile && sameFolder) {
            const std::string_view a = baseName(from), b = baseName(to);
            if (a == b) return {};  // its own path: nothing to do
            if (sameNameIgnoringCase(a, b)) {
                // The file system ignores letter case, so the new name "exists": step
                // aside to a free name and come back under the new spelling.
                const std::string temp = partialName(fromDir);
                if (int e = renameNoReplace(from, temp))
                    return failure(e, "move", from, to, e == kReplaced ? kReplacedText : std::string_view());
                if (int e = renameNoReplace(temp, to)) {
                    renameNoReplace(temp, from);
                    return failure(e, "move", from, to);
                }
                return {};
            }
        }
        return failure(EEXIST, "move", from, to);
    }

    if (err != EXDEV) return failure(err, "move", from, to);

    // Another file system: copy, verify, then remove the original.
    if (!S_ISREG(st.st_mode)) return failure(EXDEV, "move", from, to);
    struct stat opened{};
    CopyOutcome copied = copyFile(from, to, false, true, &opened);
    if (copied.code) return failure(copied.code, "move", from, to, copied.description);
    beforeRemovingSource(from);
    // Editors and sync tools save by writing a new file and renaming it over the
    // old: the source is removed only while its name still holds what was copied.
    if (!stillTheFileOpened(from, opened)) {
        ::unlink(to.c_str());
        return failure(kReplaced, "move", from, to, kReplacedText);
    }
    if (::unlink(from.c_str()) != 0) {
        err = errno;
        ::unlink(to.c_str());  // the original stays; take back the copy
        return failure(err, "move", from, to);
    }
    return {};
}

FsError FileSystemService::Copy(std::string_view source, std::string_view destination, bool overwrite) const {
    const std::string from(source), to(destination);
    if (from.empty() || to.empty()) return failure(ENOENT, "copy", from, to);
    if (hasNul(from) || hasNul(to)) return failure(kHasNul, "copy", from, to, kHasNulText);
    CopyOutcome copied = copyFile(from, to, overwrite, false);
    if (copied.code) return failure(copied.code, "copy", from, to, copied.description);
    return {};
}

FsError FileSystemService::Delete(std::string_view path) const {
    const std::string p(path);
    if (hasNul(p)) return failure(kHasNul, "delete", p, {}, kHasNulText);
    struct stat st{};
    if (p.empty() || ::lstat(p.c_str(), &st) != 0) return failure(p.empty() ? ENOENT : errno, "delete", p);
    if (S_ISDIR(st.st_mode)) return failure(EISDIR, "delete", p);
    if (::unlink(p.c_str()) != 0) return failure(errno, "delete", p);
    return {};
}

}  // namespace lorvane
