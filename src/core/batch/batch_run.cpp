#include "core/batch/batch_run.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "core/batch/journal.h"
#include "core/in_order_worker.h"
#include "core/rename_rule.h"

namespace lorvane {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A hidden name in the folder for the file that steps aside to break a cycle.
std::string temporaryName(int n) {
    return ".lorvane-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".cycle";
}

std::string_view nameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string_view OutcomeWord(BatchOutcome outcome) {
    switch (outcome) {
        case BatchOutcome::Processed: return "processed";
        case BatchOutcome::NotParsed: return "not parsed";
        case BatchOutcome::NotApplicable: return "not applicable";
        case BatchOutcome::OutOfRange: return "out of range";
        case BatchOutcome::NotRebuilt: return "not rebuilt";
        case BatchOutcome::NotSaved: return "not saved";
        case BatchOutcome::Failed: return "failed";
    }
    return "processed";
}

// What a row's turn needs of its parse, change and build; made on the worker
// from the row's name and key, which stay as they are until the row's turn.
struct BatchRun::Ahead {
    enum class Kind { NotParsed, Changed, NotRebuilt };
    const FileRow* row = nullptr;
    Kind kind = Kind::Changed;
    StepAnswer answer = StepAnswer::Changed;
    FileRow parsed;       // the name's parse columns, as ParseItem leaves them
    Result result;        // what the file's result is, unless the rename fails
    bool rename = false;  // built: newName is the name to rename to
    std::string newName;
    FileRow newParsed;  // the new name's parse, for the row once renamed
    Result newResult;
    HeldMessages messages, newMessages;  // of the parse, change and build; of the new name's parse
};

// Rows the worker may run ahead of the renames. It is faster than they are, and
// sleeps once it has caught up until half of these wait for it: the more, the
// fewer wakes (each a system call on the renaming thread).
constexpr std::uint32_t kRowsAhead = 256;

struct BatchRun::AheadWorker {
    // On one thread the run's own parser does the work.
    AheadWorker(RowParser& caller, BatchStep& step, int jobs)
        : parser(EffectiveJobs(jobs) > 1 ? own.emplace(caller, &messages) : caller),
          step(step),
          op(step.Operation()),
          rows(jobs, EffectiveJobs(jobs) > 1 ? kRowsAhead : 1, [this](Ahead& a) { work(a); }) {}

    void work(Ahead& a) {
        NamePipeline& pipeline = parser.pipeline();
        parser.ParseName(a.row->Text, a.parsed);
        a.rename = false;
        if (parser.result().failed()) {
            a.kind = Ahead::Kind::NotParsed;
            a.result = parser.result();
        } else {
            a.answer = step.ChangeTree(pipeline.tree(), *a.row);
            a.kind = Ahead::Kind::Changed;
            a.result = parser.result();
            if (a.answer == StepAnswer::Failed) {
                a.kind = Ahead::Kind::NotRebuilt;
                if (std::string reason = step.FailureReason(); !reason.empty()) {
                    a.result.status = Status::Fail;
                    a.result.message = std::move(reason);
                }
            } else if (a.answer != StepAnswer::NotApplicable || op.renameNotApplicable) {
                const Result& built = step.Build(pipeline);
                a.result = built;
                if (built.failed()) {
                    a.kind = Ahead::Kind::NotRebuilt;
                } else {
                    a.result = pipeline.result();
                    a.rename = true;
                    a.newName = pipeline.builtName();
                }
            }
        }
        if (!messages.empty()) messages.MoveTo(a.messages);
        if (a.rename) {
            parser.ParseName(a.newName, a.newParsed);
            a.newResult = parser.result();
            if (!messages.empty()) messages.MoveTo(a.newMessages);
        }
    }

    HeldMessages messages;
    std::optional<RowParser> own;
    RowParser& parser;
    BatchStep& step;
    const BatchOperation& op;
    InOrderWorker<Ahead> rows;  // last: its thread stops before the rest goes
};

BatchRun::BatchRun(RowParser& parser, const FileSystem& files, BatchHost& host)
    : parser_(parser), files_(files), host_(host), picture_(files) {}

BatchRun::~BatchRun() = default;

BatchCounters BatchRun::Run(BatchStep& step, std::span<FileRow* const> rows, const BatchRunOptions& options) {
    const BatchOperation& op = step.Operation();
    operation_ = &op;
    options_ = &options;
    rows_ = rows;
    stopped_ = aborted_ = quiet_ = false;
    picture_.Clear();
    keys_.clear();
    waiting_.clear();
    waitingFor_.clear();
    state_.assign(rows.size(), RowState::Ahead);
    BatchCounters c;
    c.total = static_cast<std::int32_t>(rows.size());
    step.Begin();
    host_.Begin(op);
    // The rows of a run are mostly in one folder: renamed from it held open.
    const FolderHold hold;
    // File operations parse nothing: no work to do ahead.
    if (op.action == FileAction::None) ahead_ = std::make_unique<AheadWorker>(parser_, step, options.jobs);
    std::size_t fed = 0;
    const auto feed = [&] {
        for (InOrderWorker<Ahead>& work = ahead_->rows; fed < rows.size() && !work.full(); ++fed) {
            work.next().row = rows[fed];
            work.submit();
        }
    };

    for (std::size_t i = 0; i < rows.size() && !aborted_; ++i) {
        current_ = i;
        FileRow& row = *rows[i];
        if (!op.countAfterRow) {
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
        file_.madeNew = false;
        file_.error = {};

        if (op.action != FileAction::None) {
            actOnFile(i, op.action, step.Destination(), c);
        } else {
            feed();
            takeRow(i, *ahead_->rows.oldest(true), c);
            ahead_->rows.pop();
        }

        if (op.countAfterRow) {
            ++c.attempted;
            if (!host_.Progress(c.attempted, c.total)) {
                stopped_ = true;
                break;
            }
        }
    }
    // What was made ahead of a stop or an abort is dropped unused.
    ahead_.reset();
    finishWaiters(c);
    // The rows the loop did not reach are not reported as attempted.
    if (aborted_ && (!op.countAfterRow || op.action != FileAction::None)) c.total = c.attempted;
    return c;
}

void BatchRun::takeRow(std::size_t i, Ahead& a, BatchCounters& c) {
    a.messages.PassOn(parser_.pipeline().sink());
    CopyParseColumns(a.parsed, *rows_[i]);
    file_.result = a.result;
    if (a.kind == Ahead::Kind::NotParsed) {
        ++c.notParsed;
        file_.outcome = BatchOutcome::NotParsed;
        settleRow(i, file_, c);
        return;
    }
    file_.outcome = a.answer == StepAnswer::NotApplicable ? BatchOutcome::NotApplicable
                    : a.answer == StepAnswer::OutOfRange  ? BatchOutcome::OutOfRange
                                                          : BatchOutcome::Processed;
    if (a.answer == StepAnswer::NotApplicable) ++c.notApplicable;
    if (a.answer == StepAnswer::OutOfRange) ++c.outOfRange;
    if (a.kind == Ahead::Kind::NotRebuilt) {
        ++c.notRebuilt;
        file_.outcome = BatchOutcome::NotRebuilt;
        settleRow(i, file_, c);
    } else if (!a.rename) {
        settleRow(i, file_, c);  // not applicable, and such rows keep their names
    } else {
        renameRow(i, file_, c, a);
    }
}

void BatchRun::settleRow(std::size_t i, BatchFile& file, BatchCounters& c) {
    state_[i] = RowState::Done;
    host_.FileDone(file);
    // Its file stays: whoever waited for its name finds it still taken.
    if (!waitingFor_.empty()) release(file.oldPath, c);
}

void BatchRun::renameRow(std::size_t i, BatchFile& file, BatchCounters& c, Ahead& ahead) {
    FileRow& row = *rows_[i];
    file.built = true;
    file.newName = ahead.newName;
    file.newPath.assign(row.Path);
    if (file.newPath.empty() || file.newPath.back() != '/') file.newPath += '/';
    file.newPath += file.newName;

    if (const NameRefusal refusal = JudgeNewFileName(file.newName); refusal != NameRefusal::None) {
        // A built name that is no name of this folder (settings let "/" through).
        failed(i, file, c, {EINVAL, "rename", row.Key, file.newPath, std::string(NameRefusalText(refusal))}, false);
        return;
    }
    bool recordFailed = false;
    const FsError error = caseOnly(row, file.newName) ? moveThroughTemporary(row, file.newName, recordFailed)
                                                      : move(row.Path, row.Key, file.newName, recordFailed);
    if (error.ok()) {
        renamed(i, file, &ahead);
        if (!waitingFor_.empty()) release(file.oldPath, c);
        return;
    }
    if (error.code == EEXIST && !recordFailed) {
        if (const std::size_t h = holder(file.newPath); h != kNone && h != i) {
            // Its new name is held by a file this run has yet to move: wait for it.
            state_[i] = RowState::Waiting;
            waiting_.emplace(i, Waiter{file, row.Key});
            waitingFor_[file.newPath].push_back(i);
            if (state_[h] == RowState::Waiting && closesCycle(i, h)) stepAside(i, c);
            return;
        }
    }
    failed(i, file, c, error, recordFailed);
}

FsError BatchRun::move(std::string_view folder, const std::string& from, std::string_view name, bool& recordFailed) {
    recordFailed = false;
    const std::string to = JoinPath(folder, name);
    if (options_->preview) return picture_.Move(from, to);
    RenameRecorder* recorder = options_->recorder;
    // A name that stays as it is leaves nothing to undo.
    if (!recorder || from == to) return RenameFile(files_, from, folder, name).error;
    if (!recorder->WillRename(from, to)) {
        // Without its record the rename could not be undone: make none at all.
        recordFailed = true;
        return {EIO, "rename", from, to, recorder->error()};
    }
    FsError error = RenameFile(files_, from, folder, name).error;
    if (error.failed()) recorder->RenameFailed();
    else recorder->Renamed(to);
    return error;
}

bool BatchRun::caseOnly(const FileRow& row, const std::string& name) const {
    // Where the file system ignores case the new spelling names the file itself.
    if (options_->preview || !options_->recorder || name == row.Text || !SameNameIgnoringCase(name, row.Text))
        return false;
    const FileIdentity self = IdentifyFile(row.Key);
    return self.known() && IdentifyFile(JoinPath(row.Path, name)) == self;
}

FsError BatchRun::moveAside(const FileRow& row, std::string& temp, bool& recordFailed) {
    FsError error;
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = temporaryName(++temporaries_);
        error = move(row.Path, row.Key, name, recordFailed);
        if (error.ok()) {
            temp = JoinPath(row.Path, name);
            return error;
        }
        if (error.code != EEXIST || recordFailed) break;
    }
    return error;
}

FsError BatchRun::moveThroughTemporary(const FileRow& row, const std::string& name, bool& recordFailed) {
    // Two recorded steps instead of the file system's own step aside, so that a
    // kill between them leaves nothing undo does not know of.
    std::string temp;
    FsError error = moveAside(row, temp, recordFailed);
    if (error.failed()) return error;
    error = move(row.Path, temp, name, recordFailed);
    if (error.failed()) {
        bool backFailed = false;
        move(row.Path, temp, row.Text, backFailed);
    }
    return error;
}

void BatchRun::renamed(std::size_t i, BatchFile& file, Ahead* ahead) {
    state_[i] = RowState::Done;
    FileRow& row = *rows_[i];
    if (ahead) ahead->newMessages.PassOn(parser_.pipeline().sink());
    if (options_->preview) {
        // What the new name would show once renamed.
        file.result = ahead ? ahead->newResult : parser_.pipeline().Evaluate(file.newName);
    } else {
        row.Text = file.newName;
        row.Key = file.newPath;
        // The file was just renamed there; should it have gone again, the row
        // still shows the new name, parsed.
        if (!options_->refillFromFile || parser_.FillFileColumns(row, file.newPath).failed())
            FormatLengthColumn(row.Text, row.Length);
        if (ahead) {
            CopyParseColumns(ahead->newParsed, row);
            file.result = ahead->newResult;
        } else {
            parser_.ParseItem(row);
            file.result = parser_.result();
        }
    }
    host_.FileDone(file);
}

void BatchRun::failed(std::size_t i, BatchFile& file, BatchCounters& c, const FsError& error, bool recordFailed,
                      bool releaseName) {
    state_[i] = RowState::Done;
    ++c.notSaved;
    file.outcome = BatchOutcome::NotSaved;
    file.error = error;
    host_.FileDone(file);
    askToGoOn(i, error, recordFailed);
    if (releaseName && !waitingFor_.empty()) release(file.oldPath, c);
}

void BatchRun::askToGoOn(std::size_t i, const FsError& error, bool recordFailed) {
    if (options_->preview || quiet_ || aborted_) return;
    if (recordFailed) {
        // The run cannot go on safely; the only answer is OK, but the user learns why it ends.
        host_.ContinueAfterRenameFailure(*rows_[i], error, true);
        aborted_ = true;
    } else {
        const bool last = current_ + 1 == rows_.size();
        if (!host_.ContinueAfterRenameFailure(*rows_[i], error, last) && !last) aborted_ = true;
    }
}

void BatchRun::actOnFile(std::size_t i, FileAction action, std::string_view destination, BatchCounters& c) {
    FileRow& row = *rows_[i];
    BatchFile& file = file_;
    file.result = {};
    if (action != FileAction::Delete) {
        file.built = true;
        file.madeNew = action != FileAction::Move;
        // A shortcut is the file's name followed by ".lnk", as the desktop of old named them.
        file.newName = action == FileAction::Link ? row.Text + ".lnk" : row.Text;
        file.newPath = JoinPath(destination, file.newName);
    }
    FsError error;
    bool recordFailed = false;
    if (action == FileAction::Move) {
        // Journalled like a rename, so that undo brings the file back.
        error = move(destination, row.Key, row.Text, recordFailed);
    } else if (options_->preview) {
        if (action == FileAction::Delete) picture_.Remove(row.Key);
        else error = picture_.Add(file.newPath, action == FileAction::Copy ? "copy" : "link");
    } else if (action == FileAction::Delete) {
        error = files_.Trash(row.Key);
    } else if (action == FileAction::Copy) {
        error = files_.Copy(row.Key, file.newPath, false);
    } else {
        // The link names the file by its full path: it still finds it from anywhere.
        error = files_.Link(row.Key, file.newPath);
    }
    if (error.failed()) {
        ++c.notSaved;
        file.outcome = BatchOutcome::Failed;
        file.error = error;
        host_.FileDone(file);
        askToGoOn(i, error, recordFailed);
        return;
    }
    file.outcome = BatchOutcome::Processed;
    if (action == FileAction::Move && !options_->preview) {
        row.Key = file.newPath;
        row.Path = destination;
    }
    host_.FileDone(file);
}

std::size_t BatchRun::holder(const std::string& path) {
    if (keys_.empty()) {
        // Only a taken name needs this, so a run without one never builds it. Rows
        // already done may carry new keys by now; they hold nothing that will move.
        keys_.reserve(rows_.size());
        for (std::size_t j = 0; j < rows_.size(); ++j) keys_.emplace(rows_[j]->Key, j);
    }
    const auto it = keys_.find(path);
    if (it == keys_.end() || state_[it->second] == RowState::Done) return kNone;
    return it->second;
}

bool BatchRun::closesCycle(std::size_t i, std::size_t h) const {
    // Follow who waits for whom from h; each waiting row waits for one name.
    for (std::size_t steps = 0; steps <= waiting_.size(); ++steps) {
        const auto it = waiting_.find(h);
        if (it == waiting_.end()) return false;  // the chain ends at a row still to come
        const auto next = keys_.find(it->second.file.newPath);
        if (next == keys_.end() || state_[next->second] == RowState::Done) return false;
        if (next->second == i) return true;
        h = next->second;
    }
    return false;
}

void BatchRun::stepAside(std::size_t i, BatchCounters& c) {
    FileRow& row = *rows_[i];
    std::string temp;
    bool recordFailed = false;
    const FsError error = moveAside(row, temp, recordFailed);
    if (error.ok()) {
        waiting_.at(i).at = temp;
        release(row.Key, c);
        return;
    }
    // Could not step aside: the cycle stays as it is and this file fails.
    std::vector<std::size_t>& peers = waitingFor_[waiting_.at(i).file.newPath];
    peers.erase(std::remove(peers.begin(), peers.end(), i), peers.end());
    BatchFile file = std::move(waiting_.at(i).file);
    waiting_.erase(i);
    failed(i, file, c, error, recordFailed);
}

void BatchRun::release(const std::string& path, BatchCounters& c) {
    std::vector<std::string> freed{path};
    while (!freed.empty()) {
        const std::string p = std::move(freed.back());
        freed.pop_back();
        const auto it = waitingFor_.find(p);
        if (it == waitingFor_.end()) continue;
        const std::vector<std::size_t> waiters = std::move(it->second);
        waitingFor_.erase(it);
        for (const std::size_t w : waiters) {
            const auto wit = waiting_.find(w);
            if (wit == waiting_.end()) continue;
            Waiter waiter = std::move(wit->second);
            waiting_.erase(wit);
            FileRow& row = *rows_[w];
            const bool fromKey = waiter.at == row.Key;
            bool recordFailed = false;
            FsError error = move(row.Path, waiter.at, waiter.file.newName, recordFailed);
            if (error.ok()) {
                renamed(w, waiter.file);
            } else {
                if (!fromKey) {
                    // Back from the temporary name to its own, when that is still free.
                    bool backFailed = false;
                    if (move(row.Path, waiter.at, row.Text, backFailed).failed()) {
                        error.description += " (the file is now named \"" + std::string(nameOf(waiter.at)) + "\")";
                        row.Key = waiter.at;
                        row.Text = nameOf(waiter.at);
                        parser_.ParseItem(row);
                    }
                }
                failed(w, waiter.file, c, error, recordFailed, false);
            }
            // Whoever waits for this one's name tries next (and fails, if it stayed).
            if (fromKey) freed.push_back(waiter.file.oldPath);
        }
    }
}

void BatchRun::finishWaiters(BatchCounters& c) {
    if (waiting_.empty()) return;
    // Stopped or cancelled before the files holding their names moved: those
    // names are still taken.
    std::vector<std::size_t> left;
    for (const auto& [i, w] : waiting_) left.push_back(i);
    std::sort(left.begin(), left.end());
    waitingFor_.clear();
    quiet_ = true;
    for (const std::size_t i : left) {
        Waiter w = std::move(waiting_.at(i));
        waiting_.erase(i);
        FileRow& row = *rows_[i];
        FsError error{EEXIST, "move", row.Key, w.file.newPath, "File exists"};
        if (w.at != row.Key) {
            bool recordFailed = false;
            if (move(row.Path, w.at, row.Text, recordFailed).failed()) {
                error.description += " (the file is now named \"" + std::string(nameOf(w.at)) + "\")";
                row.Key = w.at;
                row.Text = nameOf(w.at);
            }
        }
        failed(i, w.file, c, error, false);
    }
    quiet_ = false;
}

bool BatchRun::ParseAll(std::span<FileRow* const> rows) {
    const auto n = static_cast<std::int32_t>(rows.size());
    for (std::int32_t i = 0; i < n; ++i) {
        if (!host_.Progress(i + 1, n)) return false;
        parser_.ParseItem(*rows[static_cast<std::size_t>(i)]);
    }
    return true;
}

}  // namespace lorvane
