// The desktop's trash (the freedesktop.org layout: files/ and info/ under the
// home trash or a trash at the top of the file's file system) and symbolic links.
// Qt's QFile::moveToTrash does the trash too, but it takes the path as text, which
// cannot carry a name that is not UTF-8; this works on the name's bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "core/files/file_service.h"
#include "core/files/fs_detail.h"

namespace lorvane {

using namespace fs_detail;

namespace {

constexpr std::string_view kNoTrashText = "There is no trash on the file system that holds the file";

// A folder of the trash, made when missing: a real folder (never a link), ours.
bool trashFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

bool makeTrash(const std::string& trash) {
    return trashFolder(trash) && trashFolder(trash + "/files") && trashFolder(trash + "/info");
}

std::string homeTrash() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') return JoinPath(data, "Trash");
    const char* home = std::getenv("HOME");
    return JoinPath(home && *home ? home : "/", ".local/share/Trash");
}

bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/') continue;
        if (::mkdir(path.substr(0, i).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// The top folder of the file system that holds folder (a real path).
std::string mountTop(std::string folder, dev_t device) {
    while (folder != "/") {
        const std::string up(folderOf(folder));
        struct stat st{};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        folder = up;
    }
    return folder;
}

// The trash at the top of a file system: $top/.Trash/$uid when an administrator
// has made $top/.Trash (a sticky folder, not a link), else $top/.Trash-$uid.
std::string topTrash(const std::string& top) {
    const std::string uid = std::to_string(::getuid());
    const std::string shared = JoinPath(top, ".Trash");
    struct stat st{};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const std::string own = JoinPath(shared, uid);
        if (makeTrash(own)) return own;
    }
    const std::string own = JoinPath(top, ".Trash-" + uid);
    return makeTrash(own) ? own : std::string();
}

std::string percentEncoded(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// "photo.jpg", then "photo.2.jpg", "photo.3.jpg", ...
std::string trashName(std::string_view name, int n) {
    if (n == 1) return std::string(name);
    const std::size_t dot = name.rfind('.');
    const std::size_t at = dot == std::string_view::npos || dot == 0 ? name.size() : dot;
    return std::string(name.substr(0, at)) + "." + std::to_string(n) + std::string(name.substr(at));
}

}  // namespace

FsError FileSystemService::Trash(std::string_view path) const {
    if (hasNul(path)) return failure(kHasNul, "trash", path, {}, kHasNulText);
    const std::string p = CleanPath(path);
    struct stat st{};
    if (path.empty() || ::lstat(p.c_str(), &st) != 0) return failure(path.empty() ? ENOENT : errno, "trash", p);
    if (S_ISDIR(st.st_mode)) return failure(EISDIR, "trash", p);

    // Where the file is, its folder resolved, so that the entry names it for restoring.
    char* real = ::realpath(std::string(folderOf(p)).c_str(), nullptr);
    if (!real) return failure(errno, "trash", p);
    const std::string folder = real;
    std::free(real);
    const std::string original = JoinPath(folder, baseName(p));

    std::string trash = homeTrash();
    std::string recorded = original;  // the home trash records the full path
    struct stat trashSt{};
    if (!makeFolders(trash) || !makeTrash(trash) || ::stat((trash + "/files").c_str(), &trashSt) != 0 ||
        trashSt.st_dev != st.st_dev) {
        // Not the home's file system: the trash of the file's own, which records the
        // path from its top so that it still holds when mounted elsewhere.
        trash.clear();
        if (!testHooks().homeTrashOnly) {
            const std::string top = mountTop(folder, st.st_dev);
            trash = topTrash(top);
            recorded = original.substr(top == "/" ? 1 : top.size() + 1);
        }
        if (trash.empty()) return failure(EXDEV, "trash", p, {}, kNoTrashText);
    }

    char when[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    const std::string info = "[Trash Info]\nPath=" + percentEncoded(recorded) + "\nDeletionDate=" + when + "\n";

    // The entry's info file claims the name first; the file follows under it.
    for (int n = 1; n < 1000; ++n) {
        const std::string name = trashName(baseName(p), n);
        const std::string infoPath = trash + "/info/" + name + ".trashinfo";
        Fd fd(::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST) continue;
            return failure(errno, "trash", p);
        }
        const bool written = ::write(fd.get(), info.data(), info.size()) == static_cast<ssize_t>(info.size());
        const int closeError = fd.reset();
        if (!written || closeError) {
            const int e = written ? closeError : (errno ? errno : EIO);
            ::unlink(infoPath.c_str());
            return failure(e, "trash", p);
        }
        FsError moved = Move(p, trash + "/files/" + name);
        if (moved.ok()) return {};
        ::unlink(infoPath.c_str());
        if (moved.code != EEXIST) {
            moved.operation = "trash";
            moved.destination.clear();
            return moved;
        }
    }
    return failure(EEXIST, "trash", p);
}

FsError FileSystemService::Link(std::string_view target, std::string_view linkPath) const {
    const std::string to(target), at(linkPath);
    if (hasNul(to) || hasNul(at)) return failure(kHasNul, "link", at, to, kHasNulText);
    if (to.empty() || at.empty()) return failure(ENOENT, "link", at, to);
    if (::symlink(to.c_str(), at.c_str()) != 0) return failure(errno, "link", at, to);
    return {};
}

}  // namespace lorvane
