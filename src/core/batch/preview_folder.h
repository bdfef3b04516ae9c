// A preview's picture of folders after the renames it would have made so far: what
// a run's preview and an undo's preview consult instead of changing the disk.
#pragma once

#include <cerrno>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/files/file_service.h"

namespace lorvane {

class PreviewFolder {
public:
    explicit PreviewFolder(const FileSystem& files) : files_(files) {}

    void Clear() {
        movedIn_.clear();
        gone_.clear();
    }
    // Where on disk the file that would be at path is now (path itself unless the
    // preview moved something there or away); nothing when none would be there.
    std::optional<std::string> Source(const std::string& path) const {
        if (const auto it = movedIn_.find(path); it != movedIn_.end()) return it->second;
        if (gone_.contains(path)) return std::nullopt;
        return path;
    }
    // Whether anything would hold path: to the no-replace rename a folder, a FIFO
    // or a dangling link takes a name as a file does.
    bool Taken(const std::string& path) const {
        return movedIn_.contains(path) || (!gone_.contains(path) && files_.EntryExists(path));
    }
    // What the no-replace rename would answer, and the picture moved on when it would succeed.
    FsError Move(const std::string& from, const std::string& to) {
        if (from == to) return {};
        if (Taken(to)) return {EEXIST, "move", from, to, "File exists"};
        std::string source = Source(from).value_or(from);
        movedIn_.erase(from);
        gone_.insert(from);
        gone_.erase(to);
        movedIn_[to] = std::move(source);
        return {};
    }

    // A copy or a link the preview would make at path: refused where a name is taken.
    FsError Add(const std::string& path, const char* operation) {
        if (Taken(path)) return {EEXIST, operation, path, path, "File exists"};
        gone_.erase(path);
        movedIn_[path] = path;
        return {};
    }
    // A file the preview would take away (to the trash).
    void Remove(const std::string& path) {
        movedIn_.erase(path);
        gone_.insert(path);
    }

private:
    const FileSystem& files_;
    std::unordered_map<std::string, std::string> movedIn_;  // path -> where its file is on disk
    std::unordered_set<std::string> gone_;
};

}  // namespace lorvane
