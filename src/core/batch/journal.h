// The journal of applied batch runs: every rename is written down before it is
// made, so that the latest run can be undone, even one cut short by a crash.
// One file per run under the state folder; paths are kept as their bytes.
#pragma once

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

// Reverts the run's renames in reverse order, never replacing a file; with apply
// false it only says what would happen. True when every file is (or would be)
// back at its old path; then an applied undo marks the run undone.
bool UndoRun(JournalRun& run, const FileSystem& files, bool apply,
             const std::function<void(const UndoItem&)>& onItem);

// Byte-exact text form of a path for a journal line: backslash, tab, line breaks
// and other control bytes escaped. Exposed for the tests.
std::string EscapeJournalText(std::string_view bytes);
bool UnescapeJournalText(std::string_view text, std::string& bytes);

}  // namespace lorvane
