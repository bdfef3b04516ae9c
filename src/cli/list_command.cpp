// lorvane list: the Browser's file list of a folder, one line per file.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/row_lines.h"
#include "cli/settings_loader.h"
#include "cli/stderr_sink.h"
#include "core/rows/file_rows.h"
#include "core/rows/folder_loader.h"
#include "engine/semantics.h"

namespace lorvane::cli {

namespace {

struct ListArgs {
    std::vector<Override> overrides;
    bool recursive = false;
    bool json = false;
    bool help = false;
    int jobs = 0;
    std::vector<std::string_view> folders;
};

std::string parseArgs(std::span<const char* const> args, ListArgs& out) {
    const OptionSpec specs[] = {
        FlagOption("--recursive", "-r", out.recursive),
        FlagOption("--json", "", out.json),
        FlagOption("--help", "-h", out.help),
        SetOption(out.overrides),
        JobsOption(out.jobs),
    };
    return ParseArguments(args, specs, out.folders, "folder");
}

}  // namespace

int RunList(std::span<const char* const> args) {
    ListArgs a;
    if (auto done = CommandOpening(parseArgs(args, a), a.help, {kListHelp}, "list")) return *done;
    if (a.folders.empty()) return UsageError("no FOLDER given", "list");
    if (a.folders.size() > 1) return UsageError("more than one FOLDER given", "list");
    const std::string_view folder = a.folders.front();

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, "list");

    FileSystemService& fs = FileSystemService::Instance();
    if (!fs.FolderExists(folder)) {
        const char* what = fs.FileExists(folder) ? "\" is not a folder" : "\" does not exist";
        PrintError("\"" + std::string(folder) + what);
        return ExitFail;
    }

    StderrSink sink;
    RowParser parser(settings, &sink, FileSystemService::Instance());
    FolderLoader loader(parser);
    loader.SetSkipUnreadableFolders(true);  // each one is named below, the rest listed
    loader.SetJobs(a.jobs);
    TerminalProgress progress;
    // Only the progress line shows the total: without one, no count before the rows.
    loader.SetCountFirst(progress.onTerminal());
    loader.SetProgress([&progress](const LoadProgress& p) {
        if (!progress.due()) return;
        progress.show(p.phase == LoadProgress::Phase::Counting
                          ? "Counting Files... " + std::to_string(p.count)
                          : "Loading Files... " + FormatCount(static_cast<std::int64_t>(p.count)) + " of " +
                                FormatCount(static_cast<std::int64_t>(p.total)));
    });
    std::optional<InterruptStop> interrupt(std::in_place);
    loader.SetStopFlag(&InterruptStop::flag());

    Output output;
    if (!a.json) AppendTsvHeader(output.text());
    // Each line is written and sent beside its row's parse: this thread only
    // reads the folders.
    loader.SetRowText([json = a.json](const FileRow& row, std::string& line) { AppendRowLine(line, row, json); },
                      output.text(), [&output] { output.maybeFlush(); });
    const LoadOutcome outcome = loader.Load(folder, a.recursive, FolderLoader::RowFn{});
    interrupt.reset();
    progress.clear();
    const bool writeOk = output.flush();
    int rc = ExitOk;
    if (!outcome.countError.empty()) {
        PrintError(outcome.countError);
        rc = ExitFail;
    }
    for (const std::string& e : outcome.errors) PrintError(e);
    if (!outcome.errors.empty()) rc = ExitFail;
    if (!writeOk) {
        std::fputs("lorvane: unable to write the output\n", stderr);
        rc = ExitFail;
    }
    if (outcome.cancelled) {
        std::fprintf(stderr, "lorvane: stopped after %s of %s files\n",
                     FormatCount(static_cast<std::int64_t>(outcome.loaded)).c_str(),
                     FormatCount(static_cast<std::int64_t>(outcome.total)).c_str());
        rc = 130;
    }
    return rc;
}

}  // namespace lorvane::cli
