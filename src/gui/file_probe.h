// The file and folder tests that start-up and the Editor need, over the
// program-wide file-system service. Paths are the file system's bytes.
#pragma once

#include <string>
#include <string_view>

namespace lorvane {

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual bool FileExists(std::string_view path) const = 0;
    virtual bool FolderExists(std::string_view path) const = 0;
};

// Splits a file path into the full path of its folder (no trailing separator,
// except the root) and its name, byte for byte.
void SplitFilePath(std::string_view path, std::string& folder, std::string& name);

class FileServiceProbe final : public FileProbe {
public:
    bool FileExists(std::string_view path) const override;
    bool FolderExists(std::string_view path) const override;
};

}  // namespace lorvane
