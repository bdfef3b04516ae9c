#include "core/rows/folder_loader.h"

#include <algorithm>

namespace lorvane {

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, const RowFn& onRow) {
    LoadOutcome out;
    const FileSystem& fs = parser_.files();
    if (!fs.FolderExists(folder)) return out;
    out.folderExists = true;
    parser_.RefreshOptions();

    const std::string start = CleanPath(folder);
    countingReported_ = loadingReported_ = false;
    skipped_.clear();
    if (!namesOnly_) {
        count(start, includeSubfolders, true, out);
        if (!out.countError.empty() || out.cancelled || out.total == 0) return out;
    }
    add(start, includeSubfolders, out, onRow);
    return out;
}

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, std::vector<FileRow>& rows) {
    return Load(folder, includeSubfolders, [&rows](const FileRow& row) { rows.push_back(row); });
}

void FolderLoader::report(const LoadProgress& progress, bool first) {
    if (!progress_) return;
    if (pacer_ && !first && !pacer_->Due()) return;
    progress_(progress);
    if (pacer_) pacer_->Ran();
}

void FolderLoader::count(const std::string& folder, bool subfolders, bool isStart, LoadOutcome& out) {
    report({LoadProgress::Phase::Counting, out.total, 0, folder}, !countingReported_);
    countingReported_ = true;
    if (stopped()) {
        out.cancelled = true;
        return;
    }
    std::size_t files = 0;
    std::vector<std::string> subFolders;
    if (FsError e = parser_.files().CountFolder(folder, files, subFolders); e.failed()) {
        if (skipUnreadable_ && !isStart) {
            out.errors.push_back(e.message());
            skipped_.push_back(folder);
            return;
        }
        out.countError = "Attempting to determine the number of files in \"" + folder +
                         "\" has resulted in the following error: " + e.description;
        return;
    }
    out.total += files;
    if (!subfolders) return;
    for (const std::string& sub : subFolders) {
        count(JoinPath(folder, sub), true, false, out);
        if (!out.countError.empty() || out.cancelled) return;
    }
}

void FolderLoader::add(const std::string& folder, bool subfolders, LoadOutcome& out, const RowFn& onRow) {
    // Named once already, when counting could not read it.
    if (!skipped_.empty() && std::find(skipped_.begin(), skipped_.end(), folder) != skipped_.end()) return;
    FolderInfo listing;
    if (FsError e = parser_.files().GetFolder(folder, listing); e.failed()) {
        out.errors.push_back(e.message());
        return;
    }
    {
        const OpenFolder open(listing.Path);  // closed before the subfolders are read
        for (const std::string& name : listing.Files) {
            if (namesOnly_) {
                parser_.FillRowByName(row_, listing.Path, name);
                onRow(row_);
                ++out.loaded;
                out.total = out.loaded;
            } else if (FsError e = parser_.FillRow(row_, open, name); e.failed()) {
                out.errors.push_back(e.message());
            } else {
                onRow(row_);
                ++out.loaded;
                // A folder that gained files since counting raises the total rather than overrun it.
                if (out.loaded > out.total) out.total = out.loaded;
            }
            report({LoadProgress::Phase::Loading, out.loaded, out.total, listing.Path}, !loadingReported_);
            loadingReported_ = true;
            if (stopped()) {
                out.cancelled = true;
                return;
            }
        }
    }
    if (!subfolders) return;
    for (const std::string& sub : listing.SubFolders) {
        add(JoinPath(listing.Path, sub), true, out, onRow);
        if (out.cancelled) return;
    }
}

}  // namespace lorvane
