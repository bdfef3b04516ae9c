// The journal of applied batch runs: every rename is written down before it is
// made, with what identifies the file, so that the latest run can be undone, even
// one cut short by a crash, and undo never moves a file the run did not move.
// One file per run under the state folder; paths are kept as their bytes, their
// folders resolved to real paths.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch/batch_run.h"
#include "core/files/file_service.h"

namespace lorvane {

// $XDG_STATE_HOME/lorvane, or ~/.local/state/lorvane.
std::string JournalFolder();

// How long the journal keeps runs: the newest kKeepRuns, and any younger than
// kKeepDays; older ones are removed when a new run starts.
inline constexpr int kKeepRuns = 100;
inline constexpr int kKeepDays = 90;

// What tells one file from another that later takes its name: device and inode,
// with size and modification time against a reused inode.
struct FileIdentity {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = -1, modifiedNs = 0;
    bool known() const { return size >= 0; }
    bool operator==(const FileIdentity&) const = default;
};
// The entry at path itself (a link is not followed); unknown when there is none.
FileIdentity IdentifyFile(const std::string& path);

struct JournalEntry {
    std::string oldPath, newPath;
    FileIdentity file;  // the file renamed; unknown in journals written before it was kept
};

struct JournalRun {
    std::string file;           // the run's journal file
    std::int64_t sequence = 0;  // one above the highest of the runs before it: the runs' order
    std::string utc;            // start, "seconds.nanoseconds" since the epoch
    std::string when;           // start, "yyyy-mm-dd hh:mm:ss" local time, for people
    std::string command;        // what ran, as the user would recognise it
    std::string moveTo;         // a Move's destination folder (resolved); empty for renames
    std::size_t files = 0;      // renames made (counted when listed with counts)
    std::vector<JournalEntry> renames;  // filled by ReadJournalRun
    bool undone = false;
    std::string damage;  // why the file cannot be trusted (unreadable, not a journal, damaged lines)
};

// The advisory lock on the journal folder that every applied run and every undo
// holds, so that they never overlap.
class JournalLock {
public:
    JournalLock() = default;
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    // Waits up to wait for the lock; false: error() says what holds it.
    bool Acquire(const std::string& folder, std::string_view holder,
                 std::chrono::milliseconds wait = std::chrono::milliseconds(2000));
    void Release();
    const std::string& error() const { return error_; }

private:
    int fd_ = -1;
    std::string error_;
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

    // Creates the run's file in folder (made if need be), after pruning old runs;
    // the caller holds the folder's lock. moveTo: the folder a Move takes the files
    // to, the one folder other than their own that undo takes them back from.
    // False: error() says why.
    bool Open(const std::string& folder, std::string_view command, std::string_view moveTo = {});
    bool WillRename(std::string_view oldPath, std::string_view newPath) override;
    // Writes that the last recorded rename was not made, so that reading drops it.
    void RenameFailed() override;
    // A move to another file system made a new file: its identity follows the record.
    void Renamed(std::string_view newPath) override;
    // A run that renamed nothing leaves no file behind.
    bool Close();
    std::string error() const override { return error_; }
    const std::string& path() const { return path_; }

private:
    bool writeAll(const std::string& text);
    // The path with its folder resolved to the real one (the last folder asked is kept).
    const std::string& resolved(std::string_view path, std::string& out);

    int fd_ = -1;
    std::string path_, folder_, error_, line_, oldReal_, newReal_;
    std::string linkFolder_, realFolder_;
    std::size_t records_ = 0;
    FileIdentity recorded_;  // of the last record's file
    bool withinFolder_ = false;  // the last record renames in its folder: the file keeps its identity
};

// The runs in folder, oldest first, from their headers and undone marks; with
// counts, each file is read through to count its renames and find damage.
// folderError: the folder itself could not be read.
std::vector<JournalRun> ListJournal(const std::string& folder, bool counts, std::string* folderError = nullptr);
// Reads the run's renames; false: run.damage says why.
bool ReadJournalRun(JournalRun& run);
// Every run read whole; damaged ones are named in errors (and kept, with what could be read).
std::vector<JournalRun> ReadJournal(const std::string& folder, std::vector<std::string>& errors);
// Removes the runs past the keeping rule (damaged ones are left for the user to look at).
void PruneJournal(const std::string& folder);

enum class UndoOutcome {
    Restored,      // moved back to its old path (or would be, in a preview)
    AlreadyThere,  // the rename never happened or was undone before: nothing to do
    Taken,         // the old name is taken by another file: left alone
    Missing,       // the renamed file is gone from its new path
    Changed,       // another file is at the new path, or the file changed since the run: left alone
    Refused,       // the record is not one the run could have made (another folder, no identity)
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
    std::int32_t left = 0;      // taken, missing, changed, refused or failed: left alone
    std::int32_t total = 0;     // the run's renames
    bool stopped = false;       // progress said stop before every file was tried
    bool marked = false;        // the run is now marked undone
    std::string markError;      // everything was back, but the mark could not be written
    bool complete() const { return left == 0 && !stopped; }
};

// Reverts the run's renames in reverse order, each only when the file at its new
// path is the file the run renamed, never replacing a file; with apply false it
// only says what would happen. When every file is back, an applied undo marks
// the run undone. progress, when given, is asked before each file; false stops.
UndoTally UndoRun(JournalRun& run, const FileSystem& files, bool apply,
                  const std::function<void(const UndoItem&)>& onItem,
                  const std::function<bool(std::int32_t done, std::int32_t total)>& progress = {});

// The journal's runs and the one undo takes: the latest not undone yet, read
// whole. A damaged or unreadable run newer than it stops undo (blocked says why):
// an older run is never undone past a newer one.
struct UndoChoice {
    std::vector<JournalRun> runs;
    std::string folderError;
    std::string blocked;
    std::size_t latest = static_cast<std::size_t>(-1);
    JournalRun* run() { return latest < runs.size() ? &runs[latest] : nullptr; }
};
UndoChoice FindRunToUndo(const std::string& folder);
// Whether some run is left to undo (or a damaged one to report), from the headers
// alone, for enabling the command.
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
// The same, appended to out.
void AppendJournalText(std::string& out, std::string_view bytes);
bool UnescapeJournalText(std::string_view text, std::string& bytes);

}  // namespace lorvane
