// The file and folder tests that start-up and the Editor need.
#pragma once

#include <QString>

namespace lorvane {

class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual bool FileExists(const QString& path) const = 0;
    virtual bool FolderExists(const QString& path) const = 0;
};

// Splits a file path into its folder (no trailing separator, except the root) and its name.
void SplitFilePath(const QString& path, QString& folder, QString& name);

// Tests on the real file system.
class LocalFileProbe final : public FileProbe {
public:
    bool FileExists(const QString& path) const override;
    bool FolderExists(const QString& path) const override;
};

}  // namespace lorvane
