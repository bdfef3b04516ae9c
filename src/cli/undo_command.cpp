// lorvane undo: the latest applied batch run not yet undone, reverted from its journal.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
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
    "  --list       list the journal's runs instead: when, command, files, undone\n"
    "  --json       one JSON object per file (or per run with --list)\n"
    "  -h, --help   show this help\n"
    "\n"
    "The journal is kept in $XDG_STATE_HOME/lorvane/ (default ~/.local/state/lorvane/).\n"
    "Exit status: 0 every file restored (or nothing to undo), 1 some file could not\n"
    "be restored, 2 usage error.\n";

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

    std::vector<std::string> errors;
    std::vector<JournalRun> runs = ReadJournal(JournalFolder(), errors);
    for (const std::string& e : errors) PrintError(e);

    Output out;
    std::string& o = out.text();
    if (list) {
        for (const JournalRun& r : runs) {
            if (json) {
                o += "{\"when\": ";
                AppendJsonString(o, r.when);
                o += ", \"command\": ";
                AppendJsonString(o, r.command);
                o += ", \"files\": " + std::to_string(r.renames.size());
                o += ", \"undone\": ";
                o += r.undone ? "true" : "false";
                o += ", \"journal\": ";
                AppendJsonString(o, r.file);
                o += "}\n";
            } else {
                o += r.when + "  " + (r.undone ? "undone      " : "not undone  ");
                o += FormatCount(static_cast<std::int64_t>(r.renames.size()));
                o += r.renames.size() == 1 ? " file   " : " files  ";
                AppendVisible(o, r.command);
                o += '\n';
            }
        }
        return out.flush() && errors.empty() ? ExitOk : ExitFail;
    }

    JournalRun* latest = nullptr;
    for (auto it = runs.rbegin(); it != runs.rend() && !latest; ++it)
        if (!it->undone) latest = &*it;
    if (!latest) {
        std::fputs("lorvane: there is no batch run to undo\n", stderr);
        return errors.empty() ? ExitOk : ExitFail;
    }

    int restored = 0, already = 0, left = 0;
    const bool all = UndoRun(*latest, FileSystemService::Instance(), apply, [&](const UndoItem& item) {
        if (item.outcome == UndoOutcome::Restored) ++restored;
        else if (item.outcome == UndoOutcome::AlreadyThere) ++already;
        else ++left;
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
    });
    const bool writeOk = out.flush();
    // A file the run left at its name (a rebuild to the same name) needs no undo.
    std::fprintf(stderr, "%s %d of %d files of the run of %s (%s)%s", apply ? "Restored" : "Would restore", restored,
                 restored + left, latest->when.c_str(), Visible(latest->command).c_str(),
                 left ? "; the others could not be restored" : "");
    if (already) std::fprintf(stderr, "; %d already had %s old name", already, already == 1 ? "its" : "their");
    std::fputc('\n', stderr);
    if (!apply) std::fputs("Preview: nothing was renamed; add --apply to undo.\n", stderr);
    return all && writeOk ? ExitOk : ExitFail;
}

}  // namespace lorvane::cli
