#include "app/file_probe.h"

#include <QDir>
#include <QFileInfo>

namespace lorvane {

void SplitFilePath(const QString& path, QString& folder, QString& name) {
    const QFileInfo info(path);
    name = info.fileName();
    folder = QDir::cleanPath(info.absolutePath());
}

bool LocalFileProbe::FileExists(const QString& path) const {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isFile();
}

bool LocalFileProbe::FolderExists(const QString& path) const {
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && info.isDir();
}

}  // namespace lorvane
