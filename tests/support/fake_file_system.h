// A file system for tests: the real one underneath, with chosen operations made
// to fail as the platform would, and every operation counted.
#pragma once

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/files/file_service.h"

namespace lorvane::testing {

class FakeFileSystem final : public FileSystem {
public:
    // The n-th call (1-based, counted over all operations that change files)
    // fails with this errno and the platform's text for it; 0 fails none.
    int failChangeAt = 0;
    int failErrno = EACCES;
    // The failing call throws instead, as if the process were killed there.
    bool throwAtFailure = false;
    mutable int changes = 0;            // Move, Copy, Delete, Trash and Link calls
    mutable std::vector<std::string> moved;  // "from > to" of each Move that was let through

    bool FileExists(std::string_view path) const override { return real().FileExists(path); }
    bool FolderExists(std::string_view path) const override { return real().FolderExists(path); }
    bool EntryExists(std::string_view path) const override { return real().EntryExists(path); }
    FsError GetFile(std::string_view path, FileInfo& file) const override { return real().GetFile(path, file); }
    FsError GetFile(const OpenFolder& folder, std::string_view name, FileInfo& file) const override {
        return real().GetFile(folder, name, file);
    }
    FsError GetFolder(std::string_view path, FolderInfo& folder) const override {
        return real().GetFolder(path, folder);
    }
    FsError CountFolder(std::string_view path, std::size_t& files, std::vector<std::string>& subs) const override {
        return real().CountFolder(path, files, subs);
    }
    FsError Move(std::string_view source, std::string_view destination) const override {
        if (failing()) return failure("move", source, destination);
        moved.push_back(std::string(source) + " > " + std::string(destination));
        return real().Move(source, destination);
    }
    FsError Copy(std::string_view source, std::string_view destination, bool overwrite) const override {
        if (failing()) return failure("copy", source, destination);
        return real().Copy(source, destination, overwrite);
    }
    FsError Delete(std::string_view path) const override {
        if (failing()) return failure("delete", path, {});
        return real().Delete(path);
    }
    FsError Trash(std::string_view path) const override {
        if (failing()) return failure("trash", path, {});
        return real().Trash(path);
    }
    FsError Link(std::string_view target, std::string_view linkPath) const override {
        if (failing()) return failure("link", linkPath, target);
        return real().Link(target, linkPath);
    }
    std::string TypeDescription(std::string_view name) const override { return real().TypeDescription(name); }

private:
    static const FileSystem& real() { return FileSystemService::Instance(); }
    bool failing() const {
        if (++changes != failChangeAt) return false;
        if (throwAtFailure) throw std::runtime_error("killed");
        return true;
    }
    FsError failure(const char* operation, std::string_view path, std::string_view destination) const {
        return {failErrno, operation, std::string(path), std::string(destination), std::strerror(failErrno)};
    }
};

}  // namespace lorvane::testing
