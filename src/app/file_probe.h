// The file and folder tests that start-up and the Editor need, over the
// program-wide file-system service.
#pragma once

#include <QString>

namespace lorvane {

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual bool FileExists(const QString& path) const = 0;
    virtual bool FolderExists(const QString& path) const = 0;
};

// Splits a file path into the full path of its folder (no trailing separator,
// except the root) and its name.
void SplitFilePath(const QString& path, QString& folder, QString& name);

class FileServiceProbe final : public FileProbe {
public:
    bool FileExists(const QString& path) const override;
    bool FolderExists(const QString& path) const override;
};

}  // namespace lorvane
