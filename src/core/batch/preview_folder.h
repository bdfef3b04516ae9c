// A preview's picture of folders after the renames it would have made so far: what
// a run's preview and an undo's preview consult instead of changing the disk.
#pragma once

#include <cerrno>
#include <string>
#include <unordered_set>

#include "core/file_service.h"

namespace lorvane {

class PreviewFolder {
public:
    explicit PreviewFolder(const FileSystem& files) : files_(files) {}

    void Clear() {
        present_.clear();
        gone_.clear();
    }
    // Whether a file would be at path.
    bool Exists(const std::string& path) const {
        return present_.contains(path) || (!gone_.contains(path) && files_.FileExists(path));
    }
    // Whether anything would hold path: to the no-replace rename a folder, a FIFO
    // or a dangling link takes a name as a file does.
    bool Taken(const std::string& path) const {
        return present_.contains(path) || (!gone_.contains(path) && files_.EntryExists(path));
    }
    // What the no-replace rename would answer, and the picture moved on when it would succeed.
    FsError Move(const std::string& from, const std::string& to) {
        if (from == to) return {};
        if (Taken(to)) return {EEXIST, "move", from, to, "File exists"};
        present_.erase(from);
        gone_.insert(from);
        gone_.erase(to);
        present_.insert(to);
        return {};
    }

private:
    const FileSystem& files_;
    std::unordered_set<std::string> present_, gone_;
};

}  // namespace lorvane
