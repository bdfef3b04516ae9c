#include "core/sample_folder.h"

#include <QDir>

#include "core/file_service.h"

namespace lorvane {

QString BuiltSampleFolder() {
#ifdef LORVANE_SOURCE_SAMPLE_DIR
    return QStringLiteral(LORVANE_SOURCE_SAMPLE_DIR);
#else
    return {};
#endif
}

QString FindSampleFolder(const QString& programFolder, const QString& builtSampleFolder) {
    QStringList candidates;
    if (!programFolder.isEmpty()) {
        candidates << programFolder + QStringLiteral("/sample")
                   << programFolder + QStringLiteral("/../share/lorvane-manager/sample");
    }
    if (!builtSampleFolder.isEmpty()) candidates << builtSampleFolder;
    const FileSystemService& fs = FileSystemService::Instance();
    for (const QString& c : candidates) {
        const std::string clean = CleanPath(c.toStdString());
        if (fs.FolderExists(clean)) return QString::fromStdString(clean);
    }
    return QString::fromStdString(CleanPath(QDir::homePath().toStdString()));
}

}  // namespace lorvane
