#include "core/rows/folder_loader.h"

#include <algorithm>
#include <optional>

#include "core/in_order_worker.h"

namespace lorvane {

namespace {
// Rows in work at most: enough that neither thread waits on the other for long,
// few enough that a load's memory does not grow with the folder. Where the rows
// are kept, enough for the worker to go on through a round of the window's
// events (a few milliseconds), each waiting row being little more than its name.
constexpr std::uint32_t kRowsInWork = 64;
constexpr std::uint32_t kKeptRowsInWork = 512;
}  // namespace

// The worker's own parser (the engine keeps no state between rows, but a parser
// does between the calls for one row) and the rows on their way.
struct FolderLoader::Worker {
    // On one thread the caller's own parser does the work.
    Worker(RowParser& caller, int jobs, const TextFn& text, bool parse, std::uint32_t capacity)
        : parser(EffectiveJobs(jobs) > 1 ? own.emplace(caller, &messages) : caller),
          text(text),
          rows(jobs, EffectiveJobs(jobs) > 1 ? capacity : 1, [this, parse](Item& item) {
              if (!item.name.empty()) {
                  // Made in the worker's reused row; what is handed on is a copy
                  // holding each string in just its room.
                  parser.FillColumnsByName(scratch, item.folder, item.name, item.size);
                  if (parse) parser.ParseItem(scratch);
                  item.row = FileRow(scratch);
              } else if (parse) {
                  parser.ParseItem(item.row);
              }
              if (this->text) {
                  item.text.clear();
                  this->text(item.row, item.text);
              }
              if (!messages.empty()) messages.MoveTo(item.messages);
          }) {}
    HeldMessages messages;
    std::optional<RowParser> own;
    RowParser& parser;
    const TextFn& text;
    FileRow scratch;
    InOrderWorker<Item> rows;  // last: its thread stops before the parser goes
};

FolderLoader::FolderLoader(RowParser& parser) : parser_(parser) {}
FolderLoader::~FolderLoader() = default;

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, const RowFn& onRow) {
    LoadOutcome out;
    const FileSystem& fs = parser_.files();
    if (!fs.FolderExists(folder)) return out;
    out.folderExists = true;
    parser_.RefreshOptions();

    const std::string start = CleanPath(folder);
    countingReported_ = loadingReported_ = false;
    skipped_.clear();
    if (!namesOnly_ && countFirst_) {
        count(start, includeSubfolders, true, out);
        if (!out.countError.empty() || out.cancelled || out.total == 0) return out;
    }
    worker_ = std::make_unique<Worker>(parser_, jobs_, text_, parse_, rowsKept_ ? kKeptRowsInWork : kRowsInWork);
    add(start, includeSubfolders, out, onRow, true);
    deliver(out, onRow, true, true);
    worker_.reset();
    if (out.cancelled && !namesOnly_ && !countFirst_)
        out.total = std::max(out.loaded, countQuietly(start, includeSubfolders));
    return out;
}

std::size_t FolderLoader::countQuietly(const std::string& folder, bool subfolders) {
    std::size_t files = 0;
    std::vector<std::string> subFolders;
    if (parser_.files().CountFolder(folder, files, subFolders).failed() || !subfolders) return files;
    for (const std::string& sub : subFolders) files += countQuietly(JoinPath(folder, sub), true);
    return files;
}

LoadOutcome FolderLoader::Load(std::string_view folder, bool includeSubfolders, std::vector<FileRow>& rows) {
    return Load(folder, includeSubfolders, [&rows](FileRow& row) { rows.push_back(std::move(row)); });
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

void FolderLoader::deliver(LoadOutcome& out, const RowFn& onRow, bool wait, bool all) {
    InOrderWorker<Item>& rows = worker_->rows;
    while (Item* item = rows.oldest(wait)) {
        item->messages.PassOn(parser_.pipeline().sink());
        rowText_ = &item->text;
        onRow(item->row);
        rows.pop();
        ++out.loaded;
        // A folder that gained files since counting raises the total rather than overrun it.
        if (namesOnly_ || out.loaded > out.total) out.total = out.loaded;
        wait = all;
    }
}

void FolderLoader::add(const std::string& folder, bool subfolders, LoadOutcome& out, const RowFn& onRow, bool isStart) {
    // Named once already, when counting could not read it.
    if (!skipped_.empty() && std::find(skipped_.begin(), skipped_.end(), folder) != skipped_.end()) return;
    FolderInfo listing;
    if (FsError e = parser_.files().GetFolder(folder, listing); e.failed()) {
        // Without a count first, the start folder fails here as counting it would have.
        if (isStart && !namesOnly_ && !countFirst_)
            out.countError = "Attempting to determine the number of files in \"" + folder +
                             "\" has resulted in the following error: " + e.description;
        else out.errors.push_back(e.message());
        return;
    }
    InOrderWorker<Item>& rows = worker_->rows;
    if (listed_) listed_(listing.Files.size());
    {
        const OpenFolder open(listing.Path);  // closed before the subfolders are read
        for (const std::string& name : listing.Files) {
            std::int64_t size = -1;
            if (FsError e = namesOnly_ ? FsError{} : parser_.files().GetFileSize(open, name, size); e.failed()) {
                out.errors.push_back(e.message());
            } else {
                if (rows.full()) deliver(out, onRow, true);
                Item& item = rows.next();
                if (rowsKept_) {
                    item.folder.assign(listing.Path);
                    item.name.assign(name);
                    item.size = size;
                } else {
                    parser_.FillColumnsByName(item.row, listing.Path, name, size);
                }
                rows.submit();
                deliver(out, onRow, false);
            }
            report({LoadProgress::Phase::Loading, out.loaded, out.total, listing.Path}, !loadingReported_);
            loadingReported_ = true;
            if (stopped()) {
                // Every file read so far is delivered, as when the rows were parsed here.
                deliver(out, onRow, true, true);
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
