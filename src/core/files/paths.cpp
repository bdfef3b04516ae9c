// Paths: joining, splitting and cleaning them, and the failure message.
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

}  // namespace lorvane
