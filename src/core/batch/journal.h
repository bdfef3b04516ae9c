// The journal of applied batch runs: every rename is written down before it is
// made, so that the latest run can be undone, even one cut short by a crash.
// One file per run under the state folder; paths are kept as their bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/batch_run.h"
#include "core/file_service.h"

namespace lorvane {

// $XDG_STATE_HOME/lorvane, or ~/.local/state/lorvane.
std::string JournalFolder();

struct JournalEntry {
    std::string oldPath, newPath;
};

struct JournalRun {
    std::string file;     // the run's journal file
    std::string when;     // "yyyy-mm-dd hh:mm:ss", local time
    std::string command;  // what ran, as the user would recognise it
    std::vector<JournalEntry> renames;
    bool undone = false;
};

// Writes one run's records. The new file and its header are synced before the
// first rename; each record is then one write() with no fsync: written data
// survives the process, and the file system commits it with the renames.
class JournalWriter final : public RenameRecorder {
public:
    JournalWriter() = default;
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Creates the run's file in folder (made if need be). False: error() says why.
    bool Open(const std::string& folder, std::string_view command);
    bool WillRename(std::string_view oldPath, std::string_view newPath) override;
    // Writes that the last recorded rename was not made, so that reading drops it.
    void RenameFailed() override;
    // A run that renamed nothing leaves no file behind.
    bool Close();
    std::string error() const override { return error_; }
    const std::string& path() const { return path_; }

private:
    bool writeAll(const std::string& text);

    int fd_ = -1;
    std::string path_, folder_, error_, line_;
    std::size_t records_ = 0;
};

// The runs in folder, oldest first. A file that cannot be read is named in errors.
std::vector<JournalRun> ReadJournal(const std::string& folder, std::vector<std::string>& errors);

enum class UndoOutcome {
    Restored,      // moved back to its old path (or would be, in a preview)
    AlreadyThere,  // the rename never happened or was undone before: nothing to do
    Taken,         // the old name is taken by another file: left alone
    Missing,       // the renamed file is gone from its new path
    Failed,        // the move back failed
};
std::string_view UndoOutcomeWord(UndoOutcome outcome);  // "restored", "already there", ...

struct UndoItem {
    JournalEntry entry;
    UndoOutcome outcome = UndoOutcome::Restored;
    FsError error;
};

struct UndoTally {
    std::int32_t restored = 0;  // moved back (or would be, in a preview)
    std::int32_t already = 0;   // already at their old names
    std::int32_t left = 0;      // taken, missing or failed: left alone
    std::int32_t total = 0;     // the run's renames
    bool stopped = false;       // progress said stop before every file was tried
    bool marked = false;        // the run is now marked undone
    bool complete() const { return left == 0 && !stopped; }
};

// Reverts the run's renames in reverse order, never replacing a file; with apply
// false it only says what would happen. When every file is (or would be) back at
// its old path, an applied undo marks the run undone. progress, when given, is
// asked before each file; false stops the undo there.
UndoTally UndoRun(JournalRun& run, const FileSystem& files, bool apply,
                  const std::function<void(const UndoItem&)>& onItem,
                  const std::function<bool(std::int32_t done, std::int32_t total)>& progress = {});

// The journal's runs and the one undo would take: the latest not undone yet.
struct UndoChoice {
    std::vector<JournalRun> runs;
    std::vector<std::string> errors;  // files that could not be read
    JournalRun* run() { return latest < runs.size() ? &runs[latest] : nullptr; }
    std::size_t latest = static_cast<std::size_t>(-1);
};
UndoChoice FindRunToUndo(const std::string& folder);
// Whether some run is not undone yet, without reading the journals whole (for
// enabling the command).
bool HasRunToUndo(const std::string& folder);

// The folder a run renamed in, quoted, or the first of them and how many others:
// "/photos/2004" and 2 other folders.
std::string RunFolders(const JournalRun& run);
// "Are you sure you want to undo the batch rename of WHEN in FOLDERS (N files, COMMAND)?"
std::string UndoQuestion(const JournalRun& run);
// "Restored 3 of 4 files of the run of WHEN (COMMAND) in FOLDERS; the others could
// not be restored; 1 already had its old name" (a preview: "Would restore").
std::string UndoReport(const JournalRun& run, const UndoTally& tally, bool apply);

// Byte-exact text form of a path for a journal line: backslash, tab, line breaks
// and other control bytes escaped. Exposed for the tests.
std::string EscapeJournalText(std::string_view bytes);
bool UnescapeJournalText(std::string_view text, std::string& bytes);

}  // namespace lorvane
