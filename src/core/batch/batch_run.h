// One batch run over selected rows, without a window: parse each row, let the
// operation's step change its tree, build the new name, rename the file and refill
// the row. The Browser and lorvane both run it; what only a window can do
// (progress, Stop, the rename-failure question) goes through BatchHost.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/batch/batch_report.h"
#include "core/batch/preview_folder.h"
#include "core/files/file_service.h"
#include "core/rows/file_rows.h"
#include "engine/pipeline.h"
#include "engine/tree.h"

namespace lorvane {

// Failed: the change cannot be written into a name (a date outside the years 100
// to 9999); the row counts as not rebuilt and its file is left alone.
enum class StepAnswer { Changed, NotApplicable, OutOfRange, Failed };

// What one operation does to the parsed tree of one file, and its texts.
class BatchStep {
public:
    virtual ~BatchStep() = default;
    virtual const BatchOperation& Operation() const = 0;
    // Before the first row of a run (a numbering step starts its count here).
    virtual void Begin() {}
    virtual StepAnswer ChangeTree(AttributeTree& tree, const FileRow& row) = 0;
    // After Failed: why the change could not be written into a name, for the
    // file's line and message.
    virtual std::string FailureReason() const { return {}; }
    // The new name from the changed tree: the semantic layer again, then the build.
    virtual const Result& Build(NamePipeline& pipeline) { return pipeline.BuildAgain(true); }
    // A file operation's folder (copy, move, link): where the file or its link goes.
    virtual std::string_view Destination() const { return {}; }
};

// Re-Build: the parsed tree built again as it is (the parse already applied the
// semantic layer).
class RebuildStep final : public BatchStep {
public:
    const BatchOperation& Operation() const override { return batch_operation::Rebuild; }
    StepAnswer ChangeTree(AttributeTree&, const FileRow&) override { return StepAnswer::Changed; }
    const Result& Build(NamePipeline& pipeline) override { return pipeline.BuildAgain(false); }
};

// How one file came out, as the command line reports it (Failed: a file
// operation that failed; NotSaved is a rename's).
enum class BatchOutcome { Processed, NotParsed, NotApplicable, OutOfRange, NotRebuilt, NotSaved, Failed };
std::string_view OutcomeWord(BatchOutcome outcome);  // "processed", "not parsed", ...

struct BatchFile {
    BatchOutcome outcome = BatchOutcome::Processed;
    std::string oldPath, oldName;  // the row's Key and Text before
    bool built = false;            // newName and newPath hold the name built (or a file operation's target)
    bool madeNew = false;          // copy or link: newPath is a new entry; the file stays at oldPath
    std::string newName, newPath;
    Result result;  // the final result: of the new name once renamed (or, in a preview, once it would be)
    FsError error;  // the rename's error, if any
};

class BatchHost {
public:
    virtual ~BatchHost() = default;
    // Before the first row: the operation whose texts the failure box takes.
    virtual void Begin(const BatchOperation& operation) { (void)operation; }
    // Before each row (or after it, for an operation that counts after the row);
    // false stops the run. Called for every row: the host paces its window events.
    virtual bool Progress(std::int32_t attempted, std::int32_t total) = 0;
    // A rename failed. last: it was the last selected row, or its record could not
    // be written and the run ends, so the only answer is OK. False aborts the run.
    virtual bool ContinueAfterRenameFailure(const FileRow& row, const FsError& error, bool last) = 0;
    // Each file's outcome once it is settled (a file whose new name waited for
    // another file of the run to move away is settled when that one has).
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
    // The rename just recorded was made: a move to another file system made a new
    // file there, which the record must name for undo to take it back.
    virtual void Renamed(std::string_view newPath) { (void)newPath; }
    virtual std::string error() const = 0;
};

struct BatchRunOptions {
    bool preview = false;  // change nothing on disk, say what would happen
    RenameRecorder* recorder = nullptr;
    // After a rename the row's file columns are read again from the file (the
    // window shows them); off, only its name, key and parse are renewed.
    bool refillFromFile = true;
    // Threads (EffectiveJobs): with two, the next rows are parsed, changed and
    // built on a worker while this thread renames; the renames stay in row order
    // and none is made ahead of its row.
    int jobs = 0;
};

// The run's renames are made so that a name held by a file the same run moves
// away is taken only once it is free: a rename whose new name is the path of a
// row not yet done waits for that row; a cycle (a to b, b to a) is broken by
// moving its last file aside to a temporary name in its folder first. Every
// step, the temporary ones too, is recorded before it is made.
class BatchRun {
public:
    BatchRun(RowParser& parser, const FileSystem& files, BatchHost& host);
    ~BatchRun();

    // The step's operation over rows (the selected ones, in row order).
    BatchCounters Run(BatchStep& step, std::span<FileRow* const> rows, const BatchRunOptions& options = {});

    // Re-Parse: every row parsed again; false when Progress stopped it.
    bool ParseAll(std::span<FileRow* const> rows);

    bool stopped() const { return stopped_; }
    bool aborted() const { return aborted_; }
    RunEnd end() const { return stopped_ ? RunEnd::Stopped : aborted_ ? RunEnd::Cancelled : RunEnd::Completed; }

private:
    enum class RowState : std::uint8_t { Ahead, Waiting, Done };
    // A row whose new name was held by another row of the run not yet done.
    struct Waiter {
        BatchFile file;
        std::string at;  // where its file is now: its key, or a temporary name
    };

    // One row's parse, change and build, made ahead of its turn (Ahead), and the
    // worker that makes them.
    struct Ahead;
    struct AheadWorker;
    // The row's turn once its work is done: its outcome, and its rename.
    void takeRow(std::size_t i, Ahead& ahead, BatchCounters& c);
    void settleRow(std::size_t i, BatchFile& file, BatchCounters& c);
    void renameRow(std::size_t i, BatchFile& file, BatchCounters& c, Ahead& ahead);
    // A file operation's row: the file deleted, copied, moved or linked, never parsed.
    void actOnFile(std::size_t i, FileAction action, std::string_view destination, BatchCounters& c);
    // The failure box; an abort or a record that could not be written ends the run.
    void askToGoOn(std::size_t i, const FsError& error, bool recordFailed);
    // Moves a file from `from` to name in folder (the recorder told first);
    // recordFailed when the record could not be written, so nothing moved.
    FsError move(std::string_view folder, const std::string& from, std::string_view name, bool& recordFailed);
    // ahead: the new name's parse made ahead, or null (it is parsed here).
    void renamed(std::size_t i, BatchFile& file, Ahead* ahead = nullptr);
    // releaseName: whoever waits for this row's name is told (release() does it itself).
    void failed(std::size_t i, BatchFile& file, BatchCounters& c, const FsError& error, bool recordFailed,
                bool releaseName = true);
    // The run row (ahead or waiting) whose file holds path, or npos.
    std::size_t holder(const std::string& path);
    bool closesCycle(std::size_t i, std::size_t holder) const;
    // A new name that differs only in letter case, on a file system that ignores case.
    bool caseOnly(const FileRow& row, const std::string& name) const;
    FsError moveThroughTemporary(const FileRow& row, const std::string& name, bool& recordFailed);
    // Moves the row's file to a free temporary name in its folder (temp: its path).
    FsError moveAside(const FileRow& row, std::string& temp, bool& recordFailed);
    // Breaks a cycle: row i's file moves to a temporary name, freeing its own.
    void stepAside(std::size_t i, BatchCounters& c);
    // The rows waiting for path try again; settling them frees their own names in turn.
    void release(const std::string& path, BatchCounters& c);
    void finishWaiters(BatchCounters& c);

    RowParser& parser_;
    const FileSystem& files_;
    BatchHost& host_;
    const BatchRunOptions* options_ = nullptr;
    std::span<FileRow* const> rows_;
    const BatchOperation* operation_ = nullptr;
    bool stopped_ = false, aborted_ = false, quiet_ = false;
    std::size_t current_ = 0;
    BatchFile file_;
    PreviewFolder picture_;  // a preview's picture of the folders after the renames so far
    std::vector<RowState> state_;
    std::unordered_map<std::string, std::size_t> keys_;  // made on the first taken name
    std::unordered_map<std::size_t, Waiter> waiting_;
    std::unordered_map<std::string, std::vector<std::size_t>> waitingFor_;
    int temporaries_ = 0;
    std::unique_ptr<AheadWorker> ahead_;
};

}  // namespace lorvane
