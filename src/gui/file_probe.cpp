#include "gui/file_probe.h"

#include "core/file_service.h"

namespace lorvane {

void SplitFilePath(std::string_view path, std::string& folder, std::string& name) {
    FileInfo file;
    if (FileSystemService::Instance().GetFile(path, file).ok()) {
        folder = file.ParentFolder;
        name = file.Name;
        return;
    }
    // A path the service cannot read still splits at its last slash.
    const std::string clean = CleanPath(path);
    const std::size_t slash = clean.rfind('/');
    name = clean.substr(slash + 1);
    folder = slash == 0 ? std::string("/") : clean.substr(0, slash);
}

bool FileServiceProbe::FileExists(std::string_view path) const {
    return !path.empty() && FileSystemService::Instance().FileExists(path);
}

bool FileServiceProbe::FolderExists(std::string_view path) const {
    return !path.empty() && FileSystemService::Instance().FolderExists(path);
}

}  // namespace lorvane
