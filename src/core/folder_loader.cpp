#include "core/folder_loader.h"

namespace lorvane {

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, const RowFn& onRow) {
    LoadOutcome out;
    FileSystemService& fs = FileSystemService::Instance();
    if (!fs.FolderExists(folder)) return out;
    out.folderExists = true;
    parser_.RefreshOptions();

    const std::string start = CleanPath(folder);
    count(start, includeSubfolders, out);
    if (!out.countError.empty() || out.cancelled || out.total == 0) return out;
    add(start, includeSubfolders, out, onRow);
    return out;
}

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, std::vector<BrowserRow>& rows) {
    return Load(folder, includeSubfolders, [&rows](const BrowserRow& row) { rows.push_back(row); });
}

void FolderLoader::count(const std::string& folder, bool subfolders, LoadOutcome& out) {
    if (progress_) progress_({LoadProgress::Phase::Counting, out.total, 0, folder});
    if (stopped()) {
        out.cancelled = true;
        return;
    }
    FolderInfo listing;
    if (FsError e = FileSystemService::Instance().GetFolder(folder, listing); e.failed()) {
        out.countError = "Attempting to determine the number of files in \"" + folder +
                         "\" has resulted in the following error: " + e.description;
        return;
    }
    out.total += listing.Count();
    if (!subfolders) return;
    for (const std::string& sub : listing.SubFolders) {
        count(JoinPath(folder, sub), true, out);
        if (!out.countError.empty() || out.cancelled) return;
    }
}

void FolderLoader::add(const std::string& folder, bool subfolders, LoadOutcome& out, const RowFn& onRow) {
    FolderInfo listing;
    if (FsError e = FileSystemService::Instance().GetFolder(folder, listing); e.failed()) {
        out.errors.push_back(e.message());
        return;
    }
    std::string path;
    for (const std::string& name : listing.Files) {
        path.assign(listing.Path);
        if (path.back() != '/') path += '/';
        path += name;
        if (FsError e = parser_.FillRow(row_, path); e.failed()) {
            out.errors.push_back(e.message());
        } else {
            onRow(row_);
            ++out.loaded;
            // A folder that gained files since counting raises the total rather than overrun it.
            if (out.loaded > out.total) out.total = out.loaded;
        }
        if (progress_) progress_({LoadProgress::Phase::Loading, out.loaded, out.total, listing.Path});
        if (stopped()) {
            out.cancelled = true;
            return;
        }
    }
    if (!subfolders) return;
    for (const std::string& sub : listing.SubFolders) {
        add(JoinPath(listing.Path, sub), true, out, onRow);
        if (out.cancelled) return;
    }
}

}  // namespace lorvane
