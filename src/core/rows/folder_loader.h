// Loading a folder into Browser rows: count the files first, then fill and parse
// one row per file, the folder's own files before those of its subfolders (depth
// first). The window supplies the progress display and the Stop button; this
// class reports through a callback and watches a flag. The calling thread reads
// the folders and asks the kernel about each file while a worker parses the rows
// (InOrderWorker); they reach the caller on its own thread, in listing order.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/rows/file_rows.h"
#include "core/event_pacer.h"
#include "core/files/file_service.h"

namespace lorvane {

struct LoadProgress {
    enum class Phase { Counting, Loading };
    Phase phase = Phase::Counting;
    std::size_t count = 0;    // files counted so far, or rows added so far
    std::size_t total = 0;    // while loading: the count, raised when a folder gained files
    std::string_view folder;  // the folder being counted or read
};

struct LoadOutcome {
    bool folderExists = false;
    bool cancelled = false;  // the stop flag was seen
    std::size_t total = 0;   // files counted
    std::size_t loaded = 0;  // rows delivered
    // Set when counting failed: no rows were delivered. With SetSkipUnreadableFolders
    // only for the start folder itself.
    // "Attempting to determine the number of files in "F" has resulted in the following error: ..."
    std::string countError;
    // Files or folders that could not be read while rows were added (they went away
    // or became unreadable after counting), or while counting when unreadable folders
    // are skipped; the load goes on past them.
    std::vector<std::string> errors;
};

class FolderLoader {
public:
    // Where the window lets pending events run; it may set the stop flag. Called
    // once per folder counted and once per row added, or with a pacer only when it
    // is due, at the start of each phase and once more when all rows are in.
    using ProgressFn = std::function<void(const LoadProgress&)>;
    // Receives each row as it is filled and parsed, on the thread that called Load
    // (not with SetRowText). The row may be moved out.
    using RowFn = std::function<void(FileRow&)>;

    explicit FolderLoader(RowParser& parser);
    ~FolderLoader();

    void SetProgress(ProgressFn progress) { progress_ = std::move(progress); }
    void SetStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }
    // Paces the progress calls by time; told each time one has run. Null: every call.
    void SetPacer(EventPacer* pacer) { pacer_ = pacer; }
    // A subfolder that cannot be counted is named among the errors and left out
    // (with its own subfolders), and the rest is loaded. Off, as the Browser loads:
    // it ends the load with countError and no rows.
    void SetSkipUnreadableFolders(bool on) { skipUnreadable_ = on; }
    // Rows from the folders' listings alone: no counting first and no look at
    // each file (no "Size", no "Type"), for tools that only need names in listing
    // order. A folder that cannot be read is named among the errors.
    void SetNamesOnly(bool on) { namesOnly_ = on; }
    // Told the number of files of each folder as it is listed, before its rows
    // (a caller that keeps the rows makes room for them).
    void SetListed(std::function<void(std::size_t files)> listed) { listed_ = std::move(listed); }
    // Off: the rows' file columns only, their parse left empty, for a caller that
    // parses each row itself later.
    void SetParse(bool on) { parse_ = on; }
    // Off: the rows come without counting the files first, for a caller that shows
    // no running total (the start folder's failure still gives countError, and
    // unreadable subfolders are named as they are met). The total is then the rows
    // delivered, except that a stopped load counts every file for its message.
    void SetCountFirst(bool on) { countFirst_ = on; }
    // Rows written as text instead of handed on, for output that needs nothing of
    // the calling thread (which then only reads folders): text appends a row's line
    // to a string, beside the row's parse; the lines reach out in listing order,
    // on the worker, each followed by a call of written (which may write out and
    // clear what out holds). out is the worker's until Load returns. onRow is
    // then not called, and the rows' strings are reused.
    using TextFn = std::function<void(const FileRow& row, std::string& text)>;
    void SetRowText(TextFn text, std::string& out, std::function<void()> written) {
        text_ = std::move(text);
        textOut_ = &out;
        written_ = std::move(written);
    }
    // Threads the load runs on (EffectiveJobs): with two, the rows are parsed on a
    // worker beside the thread that reads the folders, and still come out in order.
    void SetJobs(int jobs) { jobs_ = jobs; }

    // A folder that does not exist gives no rows and no error (folderExists false).
    // The parser's options are refreshed from the settings first.
    LoadOutcome Load(std::string_view folder, bool includeSubfolders, const RowFn& onRow);

    // Convenience: rows appended to a list.
    LoadOutcome Load(std::string_view folder, bool includeSubfolders, std::vector<FileRow>& rows);

private:
    bool stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }
    // first: the first report of its phase, delivered whatever the pacer says.
    void report(const LoadProgress& progress, bool first);
    void count(const std::string& folder, bool subfolders, bool isStart, LoadOutcome& out);
    // The walk: the start folder's files, then each subfolder's in turn.
    void add(const std::string& start, bool subfolders, LoadOutcome& out, const RowFn& onRow);
    // One folder's rows; next is the folder after it, read on a little per file.
    void addFiles(FolderInfo& listing, LoadOutcome& out, const RowFn& onRow, FolderReading* next);
    bool skipped(const std::string& folder) const;
    // The files of folder (and its subfolders), those it can read, without progress.
    std::size_t countQuietly(const std::string& folder, bool subfolders);
    // Hands the rows whose work is done to onRow, in order; wait: the oldest at
    // least (when the worker is full, half of it), all: every row in work.
    void deliver(LoadOutcome& out, const RowFn& onRow, bool wait, bool all = false);

    // One file on its way through the worker, which fills its columns; small, so
    // that the ring can hold enough work for the worker to go on with while the
    // calling thread reads the next folder.
    struct Item {
        std::shared_ptr<const std::string> folder;
        std::string name;
        std::int64_t size = -1;
        bool made = false;             // by the calling thread, ahead of the worker
        std::unique_ptr<FileRow> row;  // handed on (not with SetRowText)
        std::string text;              // SetRowText's line, when made by the calling thread
        HeldMessages messages;
    };
    struct Worker;

    RowParser& parser_;
    TextFn text_;
    std::string* textOut_ = nullptr;
    std::function<void()> written_;
    std::function<void(std::size_t)> listed_;
    int jobs_ = 0;
    std::unique_ptr<Worker> worker_;
    ProgressFn progress_;
    const std::atomic<bool>* stop_ = nullptr;
    EventPacer* pacer_ = nullptr;
    bool namesOnly_ = false;
    bool skipUnreadable_ = false;
    bool countFirst_ = true;
    bool parse_ = true;
    bool countingReported_ = false, loadingReported_ = false;
    std::vector<std::string> skipped_;  // folders left out while counting, in the order met
};

}  // namespace lorvane
