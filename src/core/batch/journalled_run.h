// A batch run as the Browser and lorvane both start it: an applied run takes the
// journal's lock (runs and undos never overlap) and is journalled first (a run
// that could not be undone does not start), runs, and closes its journal; a
// preview changes nothing and needs neither.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/batch/batch_run.h"

namespace lorvane {

struct RunRequest {
    bool preview = false;
    bool refillFromFile = true;  // see BatchRunOptions
    std::string command;         // what ran, as the journal and undo show it
    std::string journalFolder;   // empty: JournalFolder()
    int jobs = 0;                // see BatchRunOptions
};

struct RunResult {
    bool started = false;  // false: nothing was renamed; error says why
    bool busy = false;     // ... because another run or undo holds the journal
    std::string error;
    BatchCounters counters;
    std::int32_t selected = 0;
    RunEnd end = RunEnd::Completed;
    std::string journalError;  // the journal could not be closed properly

    // The operation's closing report, and the line for a run that ended early.
    std::string Report(const BatchOperation& operation, std::string_view lineEnd = "\r\n") const {
        return RunReport(operation, counters, selected, end, lineEnd);
    }
};

RunResult RunJournalled(RowParser& parser, const FileSystem& files, BatchHost& host, BatchStep& step,
                        std::span<FileRow* const> rows, const RunRequest& request);

}  // namespace lorvane
