#include "app/file_probe.h"

#include <QDir>
#include <QFileInfo>

#include "core/file_service.h"

namespace lorvane {

void SplitFilePath(const QString& path, QString& folder, QString& name) {
    FileInfo file;
    if (FileSystemService::Instance().GetFile(path.toStdString(), file).ok()) {
        folder = QString::fromStdString(file.ParentFolder);
        name = QString::fromStdString(file.Name);
        return;
    }
    // A path the service cannot read still splits by its text.
    const QFileInfo info(path);
    name = info.fileName();
    folder = QDir::cleanPath(info.absolutePath());
}

bool FileServiceProbe::FileExists(const QString& path) const {
    return !path.isEmpty() && FileSystemService::Instance().FileExists(path.toStdString());
}

bool FileServiceProbe::FolderExists(const QString& path) const {
    return !path.isEmpty() && FileSystemService::Instance().FolderExists(path.toStdString());
}

}  // namespace lorvane
