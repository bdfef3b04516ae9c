// Undo of a journalled run: which run, the moves back with their checks, and the
// texts the Browser and lorvane show.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "core/batch/journal.h"
#include "core/batch/journal_lines.h"
#include "core/batch/preview_folder.h"

namespace lorvane {

namespace {

std::string_view parentOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// Appends the undone mark as a line of its own. A last line cut short by a crash
// (a record whose rename was never made) is cut off first, so that it does not
// become a damaged line in front of the mark.
std::string markUndone(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return std::strerror(errno);
    std::string error;
    struct stat st {};
    std::string tail;
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && ReadJournalTail(file, 65536, tail) && tail.back() != '\n') {
        const std::size_t lastBreak = tail.rfind('\n');
        const off_t keep = lastBreak == std::string::npos
                               ? st.st_size  // no break within reach: end the line instead
                               : st.st_size - static_cast<off_t>(tail.size() - lastBreak - 1);
        if (keep == st.st_size ? ::write(fd, "\n", 1) != 1 : ::ftruncate(fd, keep) != 0) error = std::strerror(errno);
    }
    const std::string line = "undone\t" + std::to_string(std::time(nullptr)) + "\n";
    if (error.empty() &&
        (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) || ::fsync(fd) != 0))
        error = std::strerror(errno ? errno : EIO);
    if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
    return error;
}

}  // namespace

std::string_view UndoOutcomeWord(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::Restored: return "restored";
        case UndoOutcome::AlreadyThere: return "already there";
        case UndoOutcome::Taken: return "name taken";
        case UndoOutcome::Missing: return "missing";
        case UndoOutcome::Changed: return "changed since the run";
        case UndoOutcome::Refused: return "refused";
        case UndoOutcome::Failed: return "failed";
    }
    return "failed";
}

UndoTally UndoRun(JournalRun& run, const FileSystem& files, bool apply,
                  const std::function<void(const UndoItem&)>& onItem,
                  const std::function<bool(std::int32_t, std::int32_t)>& progress) {
    UndoTally tally;
    tally.total = static_cast<std::int32_t>(run.renames.size());
    UndoItem item;
    // A preview moves nothing: it asks the picture where each file would be.
    PreviewFolder picture(files);
    auto identityAt = [&](const std::string& path) {
        const std::optional<std::string> source = picture.Source(path);
        return source ? IdentifyFile(*source) : FileIdentity{};
    };
    std::int32_t done = 0;
    for (auto it = run.renames.rbegin(); it != run.renames.rend(); ++it) {
        if (progress && !progress(++done, tally.total)) {
            tally.stopped = true;
            break;
        }
        const JournalEntry& e = *it;
        item.entry = e;
        item.error = {};
        if (e.oldPath == e.newPath) {
            item.outcome = UndoOutcome::AlreadyThere;
        } else if (!(parentOf(e.oldPath) == parentOf(e.newPath) ||
                     (!run.moveTo.empty() && parentOf(e.newPath) == run.moveTo)) ||
                   parentOf(e.oldPath).empty() || !e.file.known()) {
            // No rename of a run leaves its folder, a Move goes only to its one
            // destination, and each record says whom it moved.
            item.outcome = UndoOutcome::Refused;
        } else if (const FileIdentity atNew = identityAt(e.newPath); atNew != e.file) {
            // Not the run's file at the new name: the rename never happened, was
            // undone, or another file took the name since. Leave it alone.
            item.outcome = identityAt(e.oldPath) == e.file ? UndoOutcome::AlreadyThere
                           : atNew.known()                 ? UndoOutcome::Changed
                                                           : UndoOutcome::Missing;
        } else if (identityAt(e.oldPath).known()) {
            item.outcome = UndoOutcome::Taken;
        } else if (!apply) {
            item.outcome = UndoOutcome::Restored;
            picture.Move(e.newPath, e.oldPath);
        } else if (item.error = files.Move(e.newPath, e.oldPath); item.error.failed()) {
            item.outcome = item.error.code == EEXIST ? UndoOutcome::Taken : UndoOutcome::Failed;
        } else {
            item.outcome = UndoOutcome::Restored;
        }
        if (item.outcome == UndoOutcome::Restored) ++tally.restored;
        else if (item.outcome == UndoOutcome::AlreadyThere) ++tally.already;
        else ++tally.left;
        if (onItem) onItem(item);
    }
    if (apply && tally.complete()) {
        // Marked only when everything is back, so that undo can be tried again
        // once a taken name is freed.
        tally.markError = markUndone(run.file);
        run.undone = tally.marked = tally.markError.empty();
    }
    return tally;
}

UndoChoice FindRunToUndo(const std::string& folder) {
    UndoChoice choice;
    choice.runs = ListJournal(folder, false, &choice.folderError);
    for (std::size_t i = choice.runs.size(); i-- > 0;) {
        JournalRun& r = choice.runs[i];
        if (r.damage.empty() && r.undone) continue;
        if (r.damage.empty() && ReadJournalRun(r)) {
            choice.latest = i;
            break;
        }
        // Undoing an older run past this one could move files it moved since.
        choice.blocked = "The journal \"" + r.file + "\" cannot be used (" + r.damage +
                         "); no older run is undone past it. Move it out of \"" + folder +
                         "\" to undo the runs before it.";
        break;
    }
    return choice;
}

bool HasRunToUndo(const std::string& folder) {
    const std::vector<JournalRun> runs = ListJournal(folder, false);
    return std::any_of(runs.begin(), runs.end(), [](const JournalRun& r) { return !r.undone || !r.damage.empty(); });
}

std::string RunFolders(const JournalRun& run) {
    std::vector<std::string_view> folders;
    for (const JournalEntry& e : run.renames) {
        const std::string_view folder = parentOf(e.oldPath);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    if (folders.empty()) return {};
    std::string text = "\"" + std::string(folders.front()) + "\"";
    if (folders.size() == 2) text += " and 1 other folder";
    else if (folders.size() > 2) text += " and " + std::to_string(folders.size() - 1) + " other folders";
    return text;
}

std::string UndoQuestion(const JournalRun& run) {
    const std::size_t n = run.renames.size();
    std::string text = "Are you sure you want to undo the batch rename of " + run.when;
    if (const std::string folders = RunFolders(run); !folders.empty()) text += " in " + folders;
    text += " (" + std::to_string(n) + (n == 1 ? " file, " : " files, ") + run.command + ")?";
    return text;
}

std::string UndoReport(const JournalRun& run, const UndoTally& t, bool apply) {
    std::string text = apply ? "Restored " : "Would restore ";
    text += std::to_string(t.restored) + " of " + std::to_string(t.restored + t.left) + " files of the run of " +
            run.when + " (" + run.command + ")";
    if (const std::string folders = RunFolders(run); !folders.empty()) text += " in " + folders;
    if (t.left) text += "; the others could not be restored";
    if (t.already)
        text += "; " + std::to_string(t.already) + " already had " + (t.already == 1 ? "its" : "their") + " old name";
    if (t.stopped) {
        const std::int32_t untried = t.total - t.restored - t.already - t.left;
        text += "; stopped with " + std::to_string(untried) + (untried == 1 ? " file" : " files") + " not tried";
    }
    if (t.left || t.stopped) text += "; undo again once that is resolved";
    if (!t.markError.empty()) text += "; the run could not be marked undone: " + t.markError;
    return text;
}

}  // namespace lorvane
