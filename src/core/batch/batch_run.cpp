#include "core/batch/batch_run.h"

#include <cerrno>

#include "core/rename_rule.h"

namespace lorvane {

std::string_view OutcomeWord(BatchOutcome outcome) {
    switch (outcome) {
        case BatchOutcome::Processed: return "processed";
        case BatchOutcome::NotParsed: return "not parsed";
        case BatchOutcome::NotApplicable: return "not applicable";
        case BatchOutcome::OutOfRange: return "out of range";
        case BatchOutcome::NotRebuilt: return "not rebuilt";
        case BatchOutcome::NotSaved: return "not saved";
    }
    return "processed";
}

BatchCounters BatchRun::Run(const BatchOperation& operation, BatchStep* step, std::span<BrowserRow* const> rows,
                            const BatchRunOptions& options) {
    stopped_ = aborted_ = false;
    claimed_.clear();
    vacated_.clear();
    BatchCounters c;
    c.total = static_cast<std::int32_t>(rows.size());
    if (step) step->Begin();
    // Re-Build counts a row after it is done and has no step; the dialog
    // operations count it first, so that Stop is seen before it is touched.
    const bool rebuild = step == nullptr;
    NamePipeline& pipeline = parser_.pipeline();

    for (std::size_t i = 0; i < rows.size(); ++i) {
        BrowserRow& row = *rows[i];
        const bool last = i + 1 == rows.size();
        if (!rebuild) {
            ++c.attempted;
            if (!host_.Progress(c.attempted, c.total)) {
                // The report covers the rows done; the one Stop was seen at was not.
                stopped_ = true;
                c.total = --c.attempted;
                break;
            }
        }

        file_.oldPath = row.Key;
        file_.oldName = row.Text;
        file_.built = false;
        file_.newName.clear();
        file_.newPath.clear();
        file_.error = {};
        Settled settled = Settled::Next;

        parser_.ParseItem(row);
        if (parser_.result().failed()) {
            ++c.notParsed;
            file_.outcome = BatchOutcome::NotParsed;
            file_.result = parser_.result();
            host_.FileDone(file_);
        } else {
            const StepAnswer answer = step ? step->ChangeTree(pipeline.tree(), row) : StepAnswer::Changed;
            file_.outcome = answer == StepAnswer::NotApplicable ? BatchOutcome::NotApplicable
                            : answer == StepAnswer::OutOfRange  ? BatchOutcome::OutOfRange
                                                                : BatchOutcome::Processed;
            if (answer == StepAnswer::NotApplicable) ++c.notApplicable;
            if (answer == StepAnswer::OutOfRange) ++c.outOfRange;
            if (answer == StepAnswer::Failed) {
                ++c.notRebuilt;
                file_.outcome = BatchOutcome::NotRebuilt;
                file_.result = parser_.result();
                if (std::string reason = step->FailureReason(); !reason.empty()) {
                    file_.result.status = Status::Fail;
                    file_.result.message = std::move(reason);
                }
                host_.FileDone(file_);
            } else if (answer == StepAnswer::NotApplicable && !operation.renameNotApplicable) {
                file_.result = parser_.result();
                host_.FileDone(file_);
            } else if (const Result& built = pipeline.BuildAgain(!rebuild); built.failed()) {
                ++c.notRebuilt;
                file_.outcome = BatchOutcome::NotRebuilt;
                file_.result = built;
                host_.FileDone(file_);
            } else {
                settled = renameAndRefill(row, file_, c, last, options);
            }
        }

        if (rebuild) {
            ++c.attempted;
            if (!host_.Progress(c.attempted, c.total)) {
                stopped_ = true;
                break;
            }
        }
        if (settled == Settled::Abort) {
            aborted_ = true;
            // The rows the loop did not reach are not reported as attempted.
            if (!rebuild) c.total = c.attempted;
            break;
        }
    }
    return c;
}

BatchRun::Settled BatchRun::renameAndRefill(BrowserRow& row, BatchFile& file, BatchCounters& c, bool last,
                                            const BatchRunOptions& options) {
    NamePipeline& pipeline = parser_.pipeline();
    file.built = true;
    file.newName = pipeline.builtName();
    file.newPath = JoinPath(row.Path, file.newName);
    file.result = pipeline.result();

    FsError error;
    bool recordFailed = false;
    if (const NameRefusal refusal = JudgeNewFileName(file.newName); refusal != NameRefusal::None) {
        // A built name that is no name of this folder (settings let "/" through).
        error = {EINVAL, "rename", row.Key, file.newPath, std::string(NameRefusalText(refusal))};
    } else if (options.preview) {
        previewRefusal(row, file.newPath, error);
    } else if (!options.recorder || row.Key == file.newPath) {
        // A name that stays as it is leaves nothing to undo.
        error = RenameFile(files_, row.Key, row.Path, file.newName).error;
    } else if (!options.recorder->WillRename(row.Key, file.newPath)) {
        // Without its record the rename could not be undone: make none at all.
        recordFailed = true;
        error = {EIO, "rename", row.Key, file.newPath, options.recorder->error()};
    } else {
        error = RenameFile(files_, row.Key, row.Path, file.newName).error;
        if (error.failed()) options.recorder->RenameFailed();
    }

    if (error.failed()) {
        ++c.notSaved;
        file.outcome = BatchOutcome::NotSaved;
        file.error = error;
        host_.FileDone(file);
        if (options.preview) return Settled::Next;
        if (recordFailed) return Settled::Abort;
        const bool goOn = host_.ContinueAfterRenameFailure(row, error, last);
        return goOn || last ? Settled::Next : Settled::Abort;
    }

    if (!options.preview) {
        row.Text = file.newName;
        row.Key = file.newPath;
        // The file was just renamed there; should it have gone again, the row
        // still shows the new name, parsed.
        if (!options.refillFromFile || parser_.FillRow(row, file.newPath).failed()) {
            FormatLengthColumn(row.Text, row.Length);
            parser_.ParseItem(row);
        }
        file.result = parser_.result();
    }
    host_.FileDone(file);
    return Settled::Next;
}

// A preview answers as the rename would: a name taken by a file on disk that the
// run has not moved away, or by an earlier file of the same run, is refused.
bool BatchRun::previewRefusal(const BrowserRow& row, const std::string& newPath, FsError& error) {
    const bool ownName = newPath == row.Key;
    const bool taken =
        claimed_.contains(newPath) || (!ownName && !vacated_.contains(newPath) && files_.FileExists(newPath));
    if (taken) {
        error = {EEXIST, "move", row.Key, newPath, "File exists"};
        return true;
    }
    if (!ownName) vacated_.insert(row.Key);
    vacated_.erase(newPath);
    claimed_.insert(newPath);
    return false;
}

bool BatchRun::ParseAll(std::span<BrowserRow* const> rows) {
    const auto n = static_cast<std::int32_t>(rows.size());
    for (std::int32_t i = 0; i < n; ++i) {
        if (!host_.Progress(i + 1, n)) return false;
        parser_.ParseItem(*rows[static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace lorvane
