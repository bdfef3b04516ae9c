// Moves, copies and deletes: never replacing a file unless asked, never leaving
// a partial copy behind.
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

namespace {

// The folders a FolderHold keeps open on this thread: the last two used, as a
// move takes files from one folder to another.
struct HeldFolders {
    int holds = 0;
    struct Folder {
        std::string path;
        int fd = -1;
    } folders[2];
    int next = 0;  // the one to reuse for another folder
    // The entry LookAtEntry read last, for one more look before anything else is
    // done here: a rename's record reads the file, and the rename reads it again.
    std::string lookedAt;
    struct ::stat looked{};
    void close() {
        lookedAt.clear();
        for (Folder& f : folders) {
            if (f.fd >= 0) ::close(f.fd);
            f = {};
        }
    }
    int open(std::string_view path) {
        // The one used last is never the next to go.
        for (int i = 0; i < 2; ++i)
            if (folders[i].fd >= 0 && folders[i].path == path) {
                next = 1 - i;
                return folders[i].fd;
            }
        Folder& f = folders[next];
        next = 1 - next;
        if (f.fd >= 0) ::close(f.fd);
        f.path.assign(path);
        f.fd = ::open(f.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        return f.fd;
    }
};
thread_local HeldFolders held;

// Where path's last name can be reached from: a held folder's descriptor and the
// name, when a hold is active; otherwise AT_FDCWD and the whole path.
std::pair<int, const char*> reach(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (held.holds == 0 || slash == std::string::npos || slash == 0 || slash + 1 == path.size())
        return {AT_FDCWD, path.c_str()};
    const int fd = held.open(std::string_view(path.data(), slash));
    if (fd < 0) return {AT_FDCWD, path.c_str()};
    return {fd, path.c_str() + slash + 1};
}

int renameat2NoReplace(const std::string& from, const std::string& to) {
    if (testHooks().renameWithoutNoReplace) {
        errno = EINVAL;
        return -1;
    }
    held.lookedAt.clear();
    const auto [fromFolder, fromName] = reach(from);
    const auto [toFolder, toName] = reach(to);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    return ::renameat2(fromFolder, fromName, toFolder, toName, RENAME_NOREPLACE);
#else
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, fromName, toFolder, toName, RENAME_NOREPLACE));
#endif
}

int renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2NoReplace(from, to) == 0) return 0;
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

void FileSystemService::SetTestHooks(TestHooks hooks) { testHooks() = std::move(hooks); }

FolderHold::FolderHold() { ++held.holds; }

FolderHold::~FolderHold() {
    if (--held.holds == 0) held.close();
}

bool LookAtEntry(const std::string& path, struct ::stat& st) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    if (held.holds > 0 && !held.lookedAt.empty() && held.lookedAt == path) {
        held.lookedAt.clear();
        st = held.looked;
        return true;
    }
    const auto [folder, name] = reach(path);
    if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (held.holds > 0) {
        held.lookedAt = path;
        held.looked = st;
    }
    return true;
}

FsError FileSystemService::Move(std::string_view source, std::string_view destination) const {
    const std::string from(source), to(destination);
    if (hasNul(from) || hasNul(to)) return failure(kHasNul, "move", from, to, kHasNulText);
    struct stat st{};
    if (!LookAtEntry(from, st)) return failure(errno, "move", from, to);
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
