#include "core/batch/journalled_run.h"

#include "core/batch/journal.h"

namespace lorvane {

RunResult RunJournalled(RowParser& parser, const FileSystem& files, BatchHost& host, BatchStep& step,
                        std::span<FileRow* const> rows, const RunRequest& request) {
    RunResult r;
    r.selected = static_cast<std::int32_t>(rows.size());
    JournalLock lock;
    JournalWriter journal;
    BatchRunOptions options;
    options.preview = request.preview;
    options.refillFromFile = request.refillFromFile;
    options.jobs = request.jobs;
    if (!request.preview && !rows.empty()) {
        const std::string folder = request.journalFolder.empty() ? JournalFolder() : request.journalFolder;
        if (!lock.Acquire(folder, request.command)) {
            r.busy = true;
            r.error = lock.error() + "; nothing was renamed";
            return r;
        }
        const bool moves = step.Operation().action == FileAction::Move;
        if (!journal.Open(folder, request.command, moves ? step.Destination() : std::string_view())) {
            r.error = journal.error() + "; nothing was renamed";
            return r;
        }
        options.recorder = &journal;
    }
    r.started = true;
    BatchRun run(parser, files, host);
    r.counters = run.Run(step, rows, options);
    r.end = run.end();
    if (!journal.Close()) r.journalError = "the journal \"" + journal.path() + "\" could not be closed";
    return r;
}

}  // namespace lorvane
