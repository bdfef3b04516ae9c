// lorvane chronology: the files' rows as 'lorvane list' prints them, in
// chronology order, with the rows whose chronology key repeats marked "Dupl".
#include <cstdio>
#include <optional>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/row_lines.h"
#include "cli/stderr_sink.h"
#include "core/rows/chronology_check.h"

namespace lorvane::cli {

namespace {

const char kChronologyHelp[] =
    "Usage: lorvane chronology [--duplicates] [--json] [-r] [--set KEY=VALUE]... [--jobs N] PATH...\n"
    "Prints the files' rows with the columns of 'lorvane list', sorted by their\n"
    "chronology key (capture date and time, sequence, component and version\n"
    "number) and, for equal keys, in the order the files were taken. Every row\n"
    "whose key is also another row's has the Status \"Dupl\" and the Message\n"
    "\"Duplicate chronology\", as after the Browser's Check Chronology.\n"
    "\n"
    "Options:\n"
    "  --duplicates     print only those rows\n"
    "  --json           one JSON object per row, as 'lorvane list --json'\n"
    "  -r, --recursive  take the files of the folders' subfolders too\n"
    "  --set KEY=VALUE  override one global setting (see 'lorvane settings')\n"
    "  --jobs N         threads: 1 reads the names on this one alone; 2 or more (the\n"
    "                   default with more than one core) parses on a second beside it\n"
    "  --               every later argument is a PATH, even if it starts with '-'\n"
    "  -h, --help       show this help\n"
    "PATH is a file, or a folder whose files are taken; \"-\" reads paths from standard\n"
    "input, one per line.\n"
    "\n"
    "Exit status: 0 done, 1 a PATH could not be read (named on standard error, the\n"
    "others still taken), 2 usage error, 130 stopped by Ctrl+C (nothing printed).\n";

}  // namespace

int RunChronology(std::span<const char* const> args) {
    BatchArgs a;
    bool duplicates = false;
    const OptionSpec specs[] = {
        FlagOption("--duplicates", "", duplicates),
        FlagOption("--json", "", a.json),
        FlagOption("--recursive", "-r", a.recursive),
        FlagOption("--help", "-h", a.help),
        SetOption(a.overrides),
        JobsOption(a.jobs),
    };
    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kChronologyHelp}, "chronology"))
        return *done;
    if (a.paths.empty()) return UsageError("no PATH given", "chronology");

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, "chronology");
    const OutputClosedStop pipeStop;
    std::optional<InterruptStop> interrupt(std::in_place);
    StderrSink sink;
    RowParser parser(settings, &sink, FileSystemService::Instance());
    GatheredRows gathered = GatherRows(parser, FileSystemService::Instance(), a, false);
    SortByChronology(gathered.rows);
    std::vector<FileRow*> rows;
    rows.reserve(gathered.rows.size());
    for (FileRow& row : gathered.rows) rows.push_back(&row);
    const bool done = !interrupt->stopped() &&
                      CheckChronology(rows, [&](std::int32_t, std::int32_t) { return !interrupt->stopped(); });
    if (!done) {
        PrintError("stopped; nothing printed");
        return ExitInterrupted;
    }
    interrupt.reset();

    Output out;
    if (!a.json) AppendTsvHeader(out.text());
    for (const FileRow& row : gathered.rows) {
        if (duplicates && row.Status != kDuplicateStatus) continue;
        AppendRowLine(out.text(), row, a.json);
        out.maybeFlush();
    }
    return FinishListing(out, gathered.failed);
}

}  // namespace lorvane::cli
