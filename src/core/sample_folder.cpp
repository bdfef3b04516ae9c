#include "core/sample_folder.h"

#include <QDir>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/files/file_service.h"

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
    return {};
}

QString UserSampleFolder() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(QLatin1Char('/'))) data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/lorvane/sample"));
}

std::string CopySampleFolder(const FileSystem& files, const std::string& original, const std::string& copy) {
    if (files.FolderExists(copy)) return {};
    auto failure = [&](std::string_view description) {
        return "Unable to copy the sample folder \"" + original + "\" to \"" + copy +
               "\" due to the following error: " + std::string(description);
    };
    if (original.empty()) return failure("the program has no sample folder");
    FolderInfo listing;
    if (FsError e = files.GetFolder(original, listing); e.failed()) return failure(e.description);

    std::string parent, name;
    SplitFilePath(files, copy, parent, name);
    std::error_code ec;
    std::filesystem::create_directories(parent, ec);
    if (ec) return failure(ec.message());
    std::string staging = JoinPath(parent, "." + name + "-XXXXXX");
    if (!::mkdtemp(staging.data())) return failure(std::strerror(errno));
    // mkdtemp makes the folder private; the copy is an ordinary folder of the user's.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(staging.c_str(), 0777 & ~mask);

    std::string problem;
    for (const std::string& file : listing.Files) {
        if (FsError e = files.Copy(JoinPath(original, file), JoinPath(staging, file), false); e.failed()) {
            problem = e.description;
            break;
        }
    }
    // rename() of a folder replaces at most an empty folder: a copy made meanwhile
    // by another start keeps its files and is used.
    if (problem.empty() && std::rename(staging.c_str(), copy.c_str()) != 0) {
        const int error = errno;
        if (!files.FolderExists(copy)) problem = std::strerror(error);
    }
    std::filesystem::remove_all(staging, ec);
    return problem.empty() ? std::string() : failure(problem);
}

}  // namespace lorvane
