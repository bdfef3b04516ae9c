// One batch run over selected rows, without a window: parse each row, let the
// operation change its tree, build the new name, rename the file and refill the
// row. The Browser and lorvane both run it; what only a window can do (progress,
// Stop, the rename-failure question) goes through BatchHost.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "core/batch/batch_report.h"
#include "core/rows/browser_rows.h"
#include "core/file_service.h"
#include "engine/tree.h"

namespace lorvane {

// Failed: the change cannot be written into a name (a date past the allowed
// years); the row counts as not rebuilt and its file is left alone.
enum class StepAnswer { Changed, NotApplicable, OutOfRange, Failed };

// What one operation does to the parsed tree of one file.
class BatchStep {
public:
    virtual ~BatchStep() = default;
    // Before the first row of a run (a numbering step starts its count here).
    virtual void Begin() {}
    virtual StepAnswer ChangeTree(AttributeTree& tree, const BrowserRow& row) = 0;
    // After Failed: why the change could not be written into a name, for the
    // file's line and message (e.g. "The shifted date lies outside the years 100 to 9999").
    virtual std::string FailureReason() const { return {}; }
};

// How one file came out, as the command line reports it.
enum class BatchOutcome { Processed, NotParsed, NotApplicable, OutOfRange, NotRebuilt, NotSaved };
std::string_view OutcomeWord(BatchOutcome outcome);  // "processed", "not parsed", ...

struct BatchFile {
    BatchOutcome outcome = BatchOutcome::Processed;
    std::string oldPath, oldName;  // the row's Key and Text before
    bool built = false;            // newName and newPath hold the name built
    std::string newName, newPath;
    Result result;  // the final result (of the re-parse after a rename)
    FsError error;  // the rename's error, if any
};

class BatchHost {
public:
    virtual ~BatchHost() = default;
    // Before each row (dialog operations) or after it (Re-Build); false stops the
    // run. Called for every row: the host paces its window events itself.
    virtual bool Progress(std::int32_t attempted, std::int32_t total) = 0;
    // A rename failed. last: it was the last selected row, so the only answer is OK.
    // False aborts the run.
    virtual bool ContinueAfterRenameFailure(const BrowserRow& row, const FsError& error, bool last) = 0;
    // Each file's outcome once it is settled.
    virtual void FileDone(const BatchFile&) {}
};

// Where an applied run records each rename before it is made, so that the run
// can be undone even when it was cut short.
class RenameRecorder {
public:
    virtual ~RenameRecorder() = default;
    // False: the rename must not be made (the record could not be written).
    virtual bool WillRename(std::string_view oldPath, std::string_view newPath) = 0;
    // The rename just recorded failed: the file is still at its old path, and an
    // undo must not move whatever holds the new one.
    virtual void RenameFailed() = 0;
    virtual std::string error() const = 0;
};

struct BatchRunOptions {
    bool preview = false;  // change nothing on disk, say what would happen
    RenameRecorder* recorder = nullptr;
    // After a rename the row's file columns are read again from the file (the
    // window shows them); off, only its name, key and parse are renewed.
    bool refillFromFile = true;
};

class BatchRun {
public:
    BatchRun(RowParser& parser, const FileSystem& files, BatchHost& host)
        : parser_(parser), files_(files), host_(host) {}

    // A dialog operation over rows (the selected ones, in row order). A null step
    // rebuilds the parsed tree as it is (Re-Build's order and counting).
    BatchCounters Run(const BatchOperation& operation, BatchStep* step, std::span<BrowserRow* const> rows,
                      const BatchRunOptions& options = {});

    // Re-Parse: every row parsed again; false when Progress stopped it.
    bool ParseAll(std::span<BrowserRow* const> rows);

    // Whether Run stopped at Progress's word (the counts cover the rows done).
    bool stopped() const { return stopped_; }
    bool aborted() const { return aborted_; }

private:
    enum class Settled { Next, Abort };
    Settled renameAndRefill(BrowserRow& row, BatchFile& file, BatchCounters& counters, bool last,
                            const BatchRunOptions& options);
    bool previewRefusal(const BrowserRow& row, const std::string& newPath, FsError& error);

    RowParser& parser_;
    const FileSystem& files_;
    BatchHost& host_;
    bool stopped_ = false, aborted_ = false;
    BatchFile file_;
    // A preview's picture of the folder after the renames so far.
    std::unordered_set<std::string> claimed_, vacated_;
};

}  // namespace lorvane
