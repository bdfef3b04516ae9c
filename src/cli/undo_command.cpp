// lorvane undo: the latest applied batch run not yet undone, reverted from its journal.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/json_writer.h"
#include "cli/output.h"
#include "cli/stderr_sink.h"
#include "core/batch/journal.h"

namespace lorvane::cli {

namespace {

const char kUndoHelp[] =
    "Usage: lorvane undo [--list] [--apply] [--json]\n"
    "Reverts the latest batch run that renamed files and is not undone yet: each\n"
    "file goes back to its old name, the last rename first. A file whose old name\n"
    "has been taken since, or that is gone, is reported and left alone; undo can\n"
    "then be run again once the name is free.\n"
    "\n"
    "Options:\n"
    "  --apply      rename; without it undo only says what it would do\n"
    "  --list       list the journal's runs instead: when, undone or not (or damaged),\n"
    "               files, command\n"
    "  --json       one JSON object per file (or per run with --list)\n"
    "  -h, --help   show this help\n"
    "\n"
    "The journal is kept in $XDG_STATE_HOME/lorvane/ (default ~/.local/state/lorvane/),\n"
    "with the newest 100 runs and any run younger than 90 days. A file is renamed\n"
    "back only when the file at its new name is the very file the run renamed\n"
    "(device, inode, size and modification time); otherwise it is reported as\n"
    "\"changed since the run\" and left alone. A damaged newer journal stops undo.\n"
    "An applied undo waits up to two seconds for a running batch to finish with\n"
    "the journal, then says what holds it and exits 2.\n"
    "Exit status: 0 every file restored (or nothing to undo), 1 some file could not\n"
    "be restored, 2 usage error, 130 stopped by Ctrl+C and 141 by a closed output\n"
    "(before the next file; undo can be run again to go on).\n";

}  // namespace

int RunUndo(std::span<const char* const> args) {
    bool list = false, apply = false, json = false, help = false;
    const OptionSpec specs[] = {
        FlagOption("--list", "", list),
        FlagOption("--apply", "", apply),
        FlagOption("--json", "", json),
        FlagOption("--help", "-h", help),
    };
    std::vector<std::string_view> operands;
    if (auto done = CommandOpening(ParseArguments(args, specs, operands, "word"), help, {kUndoHelp}, "undo"))
        return *done;
    if (!operands.empty()) return UsageError("undo takes no PATH (it reverts the latest run)", "undo");

    const std::string folder = JournalFolder();
    if (list) {
        std::string folderError;
        const std::vector<JournalRun> runs = ListJournal(folder, true, &folderError);
        if (!folderError.empty()) PrintError(folderError);
        Output out;
        std::string& o = out.text();
        bool damaged = false;
        for (const JournalRun& r : runs) {
            const std::string_view state = !r.damage.empty() ? "damaged" : r.undone ? "undone" : "not undone";
            damaged = damaged || !r.damage.empty();
            if (json) {
                o += "{\"when\": ";
                AppendJsonString(o, r.when);
                o += ", \"command\": ";
                AppendJsonString(o, r.command);
                o += ", \"files\": " + std::to_string(r.files);
                o += ", \"undone\": ";
                o += r.undone ? "true" : "false";
                o += ", \"sequence\": " + std::to_string(r.sequence);
                o += ", \"state\": ";
                AppendJsonString(o, state);
                o += ", \"damage\": ";
                if (r.damage.empty()) o += "null";
                else AppendJsonString(o, r.damage);
                o += ", \"journal\": ";
                AppendJsonString(o, r.file);
                o += "}\n";
            } else {
                o += r.when + "  ";
                o += state;
                o.append(12 - std::min<std::size_t>(state.size(), 11), ' ');
                o += FormatCount(static_cast<std::int64_t>(r.files));
                o += r.files == 1 ? " file   " : " files  ";
                AppendVisible(o, r.command);
                if (!r.damage.empty()) {
                    o += "  (";
                    AppendVisible(o, r.file);
                    o += ": ";
                    o += r.damage;
                    o += ')';
                }
                o += '\n';
            }
        }
        const bool written = out.flush();
        if (!json)
            std::fprintf(stderr, "The journal keeps the newest %d runs and any run younger than %d days.\n",
                         kKeepRuns, kKeepDays);
        return written && folderError.empty() && !damaged ? ExitOk : ExitFail;
    }

    // An applied undo holds the journal's lock: no run may rename meanwhile.
    JournalLock lock;
    if (apply && !lock.Acquire(folder, "lorvane undo --apply")) {
        PrintError(lock.error() + "; nothing was renamed");
        return ExitUsage;
    }
    UndoChoice choice = FindRunToUndo(folder);
    if (!choice.folderError.empty()) PrintError(choice.folderError);
    if (!choice.blocked.empty()) {
        PrintError(choice.blocked);
        return ExitFail;
    }
    JournalRun* latest = choice.run();
    if (!latest) {
        std::fputs("lorvane: there is no batch run to undo\n", stderr);
        return choice.folderError.empty() ? ExitOk : ExitFail;
    }

    Output out;
    std::string& o = out.text();
    // Ctrl+C or a closed output stops the undo before the next file, with its report.
    const OutputClosedStop pipeStop;
    std::optional<InterruptStop> interrupt(std::in_place);
    bool outputClosed = false;
    auto goOn = [&](std::int32_t, std::int32_t) {
        if (out.closed() || OutputClosedStop::closed()) outputClosed = true;
        return !outputClosed && !InterruptStop::flag().load(std::memory_order_relaxed);
    };
    const UndoTally tally = UndoRun(*latest, FileSystemService::Instance(), apply, [&](const UndoItem& item) {
        const std::string_view word =
            item.outcome == UndoOutcome::Restored && !apply ? "would restore" : UndoOutcomeWord(item.outcome);
        if (json) {
            o += "{\"from\": ";
            AppendJsonString(o, item.entry.newPath);
            o += ", \"to\": ";
            AppendJsonString(o, item.entry.oldPath);
            o += ", \"outcome\": ";
            AppendJsonString(o, word);
            o += ", \"error\": ";
            if (item.error.failed()) AppendJsonString(o, item.error.description);
            else o += "null";
            o += "}\n";
        } else {
            o += word;
            o.append(word.size() < 15 ? 15 - word.size() : 1, ' ');
            AppendVisible(o, item.entry.newPath);
            o += "  ->  ";
            AppendVisible(o, item.entry.oldPath);
            if (item.error.failed()) {
                o += ": ";
                AppendVisible(o, item.error.description);
            }
            o += '\n';
        }
        out.maybeFlush();
    }, goOn);
    interrupt.reset();
    const bool writeOk = out.flush();
    std::fprintf(stderr, "%s\n", Visible(UndoReport(*latest, tally, apply)).c_str());
    if (!apply) std::fputs("Preview: nothing was renamed; add --apply to undo.\n", stderr);
    if (tally.stopped) return outputClosed ? ExitOutputClosed : ExitInterrupted;
    return tally.complete() && tally.markError.empty() && writeOk ? ExitOk : ExitFail;
}

}  // namespace lorvane::cli
