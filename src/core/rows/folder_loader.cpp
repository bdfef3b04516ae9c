#include "core/rows/folder_loader.h"

#include <algorithm>
#include <optional>

#include "core/in_order_worker.h"

namespace lorvane {

namespace {
// Rows in work at most: enough for the worker to go on with while the calling
// thread is in the kernel (a part of the next folder's listing, a sort), few
// enough that a load's memory does not grow with the folder (measured: 64 leave
// the worker waiting, 256 gain little more). Where the rows are kept, enough for
// the worker to go on through a round of the window's events (a few milliseconds).
constexpr std::uint32_t kTextRowsInWork = 128;
constexpr std::uint32_t kKeptRowsInWork = 512;
}  // namespace

// A parser for each thread (the engine keeps no state between rows, but a parser
// does between the calls for one row) and the rows on their way. The caller's
// parser is used as it is only when there is no worker; otherwise each thread
// holds its rows' messages for the caller to pass on in order.
struct FolderLoader::Worker {
    struct Lane {
        HeldMessages messages;
        std::optional<RowParser> own;
        RowParser* parser = nullptr;
        FileRow row;  // reused for each row
    };

    Worker(RowParser& caller, int jobs, const FolderLoader& loader, std::uint32_t capacity)
        : text(loader.text_),
          out(loader.textOut_),
          written(loader.written_),
          parse(loader.parse_),
          namesOnly(loader.namesOnly_),
          rows(
              jobs, EffectiveJobs(jobs) > 1 ? capacity : 1,
              [this](Item& item) {
                  if (!item.made) {
                      make(lanes[rows.threaded() ? 1 : 0], item, true);
                  } else if (text) {
                      *out += item.text;
                      written();
                  }
              },
              [this](Item& item) { make(lanes[0], item, false); }) {
        for (Lane& lane : lanes) lane.parser = rows.threaded() ? &lane.own.emplace(caller, &lane.messages) : &caller;
    }

    // inOrder: on the worker, in listing order, where a line goes straight out;
    // otherwise on the calling thread, ahead of the worker.
    void make(Lane& lane, Item& item, bool inOrder) {
        FileRow& row = lane.row;
        lane.parser->FillColumnsByName(row, *item.folder, item.name, item.size, !namesOnly);
        if (parse) lane.parser->ParseItem(row);
        if (!lane.messages.empty()) lane.messages.MoveTo(item.messages);
        item.made = !inOrder;
        if (!text) {
            // Handed on as a copy holding each string in just its room.
            if (!item.row) item.row = std::make_unique<FileRow>();
            *item.row = FileRow(row);
        } else if (inOrder) {
            text(row, *out);
            written();
        } else {
            item.text.clear();
            text(row, item.text);
        }
    }

    const TextFn& text;
    std::string* out;
    const std::function<void()>& written;
    const bool parse, namesOnly;
    Lane lanes[2];             // the caller's, the worker's
    InOrderWorker<Item> rows;  // last: its thread stops before the parsers go
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
    // Rows that are not parsed are too little work to hand to another thread.
    worker_ = std::make_unique<Worker>(parser_, parse_ ? jobs_ : 1, *this, text_ ? kTextRowsInWork : kKeptRowsInWork);
    add(start, includeSubfolders, out, onRow);
    deliver(out, onRow, true, true);
    worker_.reset();
    // Paced, the window last had its events up to an interval ago: the last rows
    // and the full bar are shown before the work that follows the load.
    if (pacer_ && !out.cancelled && out.countError.empty() && out.loaded > 0)
        report({LoadProgress::Phase::Loading, out.loaded, out.total, start}, true);
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
    // Counted from the start of the call: the window's rounds come at even times.
    if (pacer_) pacer_->Ran();
    progress_(progress);
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
        if (!text_) onRow(*item->row);
        rows.pop();
        ++out.loaded;
        // A folder that gained files since counting raises the total rather than overrun it.
        if (namesOnly_ || out.loaded > out.total) out.total = out.loaded;
        wait = all;
    }
}

bool FolderLoader::skipped(const std::string& folder) const {
    return !skipped_.empty() && std::find(skipped_.begin(), skipped_.end(), folder) != skipped_.end();
}

void FolderLoader::add(const std::string& start, bool subfolders, LoadOutcome& out, const RowFn& onRow) {
    constexpr auto kWhole = static_cast<std::size_t>(-1);
    const FileSystem& fs = parser_.files();
    // The folders still to read, the next one last: a folder's subfolders go on in
    // reverse, for a walk depth first in listing order.
    std::vector<std::string> pending{start};
    // The folder after this one, read a few entries at a time between this one's
    // files: the worker, which the ring cannot keep busy for a whole listing, then
    // waits for none.
    std::unique_ptr<FolderReading> next;
    for (bool isStart = true; !pending.empty() && !out.cancelled; isStart = false) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        // Named once already, when counting could not read it.
        if (skipped(folder)) continue;
        const auto readWhole = [&](FolderReading& r) {
            while (!fs.ReadFolderPart(r, kWhole)) {}
        };
        std::unique_ptr<FolderReading> reading = next && next->path() == folder ? std::move(next) : nullptr;
        next.reset();
        if (reading) {
            readWhole(*reading);
            // A listing read ahead is as fresh as one read now, or read again.
            if (fs.FolderChangedSince(*reading)) reading.reset();
        }
        if (!reading) readWhole(*(reading = std::make_unique<FolderReading>(folder)));
        if (const FsError& e = reading->error; e.failed()) {
            // Without a count first, the start folder fails here as counting it would have.
            if (isStart && !namesOnly_ && !countFirst_)
                out.countError = "Attempting to determine the number of files in \"" + folder +
                                 "\" has resulted in the following error: " + e.description;
            else out.errors.push_back(e.message());
            continue;
        }
        FolderInfo& listing = reading->folder;
        if (subfolders)
            for (auto sub = listing.SubFolders.rbegin(); sub != listing.SubFolders.rend(); ++sub)
                pending.push_back(JoinPath(listing.Path, *sub));
        if (!pending.empty() && !skipped(pending.back())) next = std::make_unique<FolderReading>(pending.back());
        addFiles(listing, out, onRow, next.get());
    }
}

void FolderLoader::addFiles(FolderInfo& listing, LoadOutcome& out, const RowFn& onRow, FolderReading* next) {
    // Entries of the next folder read per file of this one: done by the end of a
    // folder of the same size, this one's names gone by then.
    constexpr std::size_t kNextEntriesPerFile = 1;
    const FileSystem& fs = parser_.files();
    InOrderWorker<Item>& rows = worker_->rows;
    if (listed_) listed_(listing.Files.size());
    const auto path = std::make_shared<const std::string>(listing.Path);
    const OpenFolder open(listing.Path);
    for (std::string& name : listing.Files) {
        std::int64_t size = -1;
        if (FsError e = namesOnly_ ? FsError{} : fs.GetFileSize(open, name, size); e.failed()) {
            out.errors.push_back(e.message());
        } else {
            if (rows.full()) deliver(out, onRow, true);
            Item& item = rows.next();
            item.folder = path;
            // The listing's room goes with the name, and the item's old room is
            // freed: what this folder holds shrinks as the next one's grows.
            item.name = std::move(name);
            std::string().swap(name);
            item.size = size;
            item.made = false;
            rows.submit();
            deliver(out, onRow, false);
        }
        if (next && !next->done()) fs.ReadFolderPart(*next, kNextEntriesPerFile);
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

}  // namespace lorvane
