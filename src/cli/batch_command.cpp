#include "cli/batch_command.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/name_reader.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/stderr_sink.h"
#include "core/batch/journalled_run.h"
#include "core/rows/chronology_check.h"
#include "core/rows/folder_loader.h"

namespace lorvane::cli {

const char kCommonBatchHelp[] =
    "Common options:\n"
    "  PATH             a file, or a folder whose files are taken in the order\n"
    "                   'lorvane list' gives; \"-\" reads paths from standard input,\n"
    "                   one per line\n"
    "  -r, --recursive  take the files of the folders' subfolders too\n"
    "  -0               paths on standard input end with NUL (find -print0)\n"
    "  --sort chronology  order the files by their chronology key first (stable)\n"
    "  --apply          rename; without it the run is a preview and nothing changes\n"
    "  --json           one JSON object per file on standard output:\n"
    "                   {\"path\", \"name\", \"outcome\", \"newName\", \"newPath\",\n"
    "                    \"status\", \"message\", \"error\"}; outcome is one of\n"
    "                   \"processed\", \"not parsed\", \"not applicable\", \"out of range\",\n"
    "                   \"not rebuilt\", \"not saved\"; a path that is not valid\n"
    "                   UTF-8 reads with U+FFFD in \"path\", and its bytes follow in\n"
    "                   base64 as \"pathBytes\"\n"
    "  --set KEY=VALUE  override one global setting for this run (see 'lorvane settings')\n"
    "  --jobs N         threads for reading names: 1 parses and builds on this one\n"
    "                   alone; 2 or more (the default with more than one core) on a\n"
    "                   second beside it; the renames keep their order either way\n"
    "  --               every later argument is a PATH, even if it starts with '-'\n"
    "  -h, --help       show this help\n"
    "\n"
    "Standard error gets each failed rename and, after the last file, the closing\n"
    "report. An applied run is journalled first: 'lorvane undo' reverts it.\n"
    "Exit status: 0 every file processed or not applicable; 1 some file could not\n"
    "be parsed, rebuilt or saved, or was out of range; 2 usage error (nothing renamed);\n"
    "130 stopped by Ctrl+C (before the next file; the files done stay renamed);\n"
    "141 stopped the same way because standard output was closed (its reader,\n"
    "such as 'head', ended).\n"
    "An applied run waits up to two seconds for another run or undo to finish\n"
    "with the journal, then says what holds it and exits 2 (nothing renamed).\n"
    "A run over no files says \"No files are selected.\" on standard error.\n";

void AddCommonBatchOptions(std::vector<OptionSpec>& specs, BatchArgs& a) {
    specs.push_back(FlagOption("--recursive", "-r", a.recursive));
    specs.push_back(FlagOption("-0", "", a.nulSeparated));
    specs.push_back(FlagOption("--apply", "", a.apply));
    specs.push_back(FlagOption("--json", "", a.json));
    specs.push_back(FlagOption("--help", "-h", a.help));
    specs.push_back(SetOption(a.overrides));
    specs.push_back(JobsOption(a.jobs));
    specs.push_back({"--sort", "", 1, "chronology", [&a](std::span<const std::string_view> v) {
                         if (v[0] != "chronology")
                             return "--sort takes \"chronology\", not \"" + std::string(v[0]) + "\"";
                         a.sortChronology = true;
                         return std::string();
                     }});
}

namespace {

// The longest path the system takes (PATH_MAX, its NUL included).
constexpr std::size_t kPathBytes = 4096;

// The files of the PATHs, each once, in the order given.
class FileGatherer {
public:
    FileGatherer(RowParser& parser, const FileSystem& files, const BatchArgs& a, bool namesOnly, bool parse)
        : parser_(parser), files_(files), args_(a), namesOnly_(namesOnly), parse_(parse) {}

    std::vector<FileRow> rows;
    bool failed = false;

    void add(std::string_view path) {
        newVisit_ = true;
        if (files_.FolderExists(path)) {
            FolderLoader loader(parser_);
            loader.SetNamesOnly(namesOnly_);
            loader.SetJobs(args_.jobs);
            loader.SetParse(parse_);
            loader.SetListed([this](std::size_t files) {
                // Room made once per folder rather than by doubling: thousands of rows move no more.
                if (rows.capacity() < rows.size() + files) {
                    rows.reserve(std::max(rows.size() + files, rows.capacity() + rows.capacity() / 2));
                    rowFolders_.reserve(rows.capacity());
                }
            });
            loader.SetStopFlag(&InterruptStop::flag());
            const LoadOutcome out = loader.Load(path, args_.recursive, [&](FileRow& row) { keep(row); });
            if (!out.countError.empty()) fail(out.countError);
            for (const std::string& e : out.errors) fail(e);
            return;
        }
        FileRow row;
        if (const FsError e = parse_ ? parser_.FillRow(row, path) : parser_.FillFileColumns(row, path); e.failed()) {
            if (files_.FileExists(path) || e.code != ENOENT) {
                fail(e.message());
            } else {
                std::string message(1, '"');
                message.append(path).append("\" does not exist");
                fail(message);
            }
            return;
        }
        keep(row);
    }

    bool addFromStandardInput() {
        NameReader reader(args_.nulSeparated ? '\0' : '\n', kPathBytes);
        std::string_view path;
        bool cut = false;
        NameReader::Lengths lengths;
        while (reader.next(path, cut, lengths)) {
            if (cut) {
                // No file has such a path; its start says which line it was.
                fail("a path on standard input is longer than " + std::to_string(kPathBytes) + " bytes: \"" +
                     std::string(path.substr(0, 60)) + "...\"");
            } else if (!path.empty()) {
                add(path);
            }
        }
        return !reader.failed();
    }

    // Drops the rows of files reached before: a folder's listing names each of
    // its files once, so only the rows of a folder reached more than once (two
    // PATHs, a file and its folder, a folder mounted inside itself) are compared.
    void dropRepeats() {
        if (!repeats_) return;
        std::unordered_set<std::string> seen;
        std::vector<FileRow> kept;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t f = rowFolders_[i];
            if (folders_[f].visits < 2 || seen.insert(folders_[f].id + rows[i].Text).second)
                kept.push_back(std::move(rows[i]));
        }
        rows = std::move(kept);
    }

private:
    // Each PATH starts a new visit of the folders its rows come from.
    void keep(FileRow& row) {
        if (row.Path != folder_ || newVisit_) visit(row.Path);
        rowFolders_.push_back(current_);
        rows.push_back(std::move(row));
    }
    // The folder by device and inode, and the name's bytes: a file reached again
    // through a linked folder or another spelling of its path is the same file,
    // while two hard links are two names, each renamed. Rows come folder by folder.
    void visit(const std::string& folder) {
        newVisit_ = false;
        folder_ = folder;
        struct stat st{};
        // A folder that cannot be asked is known by its path (which starts with "/").
        const std::string id = ::stat(folder_.c_str(), &st) == 0
                                   ? std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + '/'
                                   : folder_ + '/';
        const auto [at, fresh] = folderIndex_.emplace(id, folders_.size());
        if (fresh) folders_.push_back({id, 0});
        current_ = at->second;
        if (++folders_[current_].visits > 1) repeats_ = true;
    }
    void fail(std::string_view message) {
        PrintError(message);
        failed = true;
    }

    RowParser& parser_;
    const FileSystem& files_;
    const BatchArgs& args_;
    bool namesOnly_, parse_;
    struct Folder {
        std::string id;
        int visits;
    };
    std::vector<Folder> folders_;
    std::unordered_map<std::string, std::size_t> folderIndex_;
    std::vector<std::size_t> rowFolders_;  // each row's folder
    std::size_t current_ = 0;
    std::string folder_;
    bool newVisit_ = true, repeats_ = false;
};

// The terminal's side of a run: progress, Stop on Ctrl+C, each file's line.
class TerminalHost final : public BatchHost {
public:
    TerminalHost(const BatchArgs& a, Output& out) : args_(a), out_(out) {}

    bool anyFailed = false, outputClosed = false;

    bool Progress(std::int32_t attempted, std::int32_t total) override {
        if (InterruptStop::flag().load(std::memory_order_relaxed)) return false;
        if (out_.closed() || OutputClosedStop::closed()) {
            // Nobody reads what the run says any more: stop as Ctrl+C does.
            outputClosed = true;
            return false;
        }
        if (progress_.due()) progress_.show(FormatCount(attempted) + " of " + FormatCount(total));
        return true;
    }

    void Begin(const BatchOperation& operation) override { operation_ = &operation; }

    bool ContinueAfterRenameFailure(const FileRow& row, const FsError& error, bool) override {
        clearProgress();
        const std::string text = Visible(FailureText(*operation_, row.Key, error.description, true)) + "\n";
        std::fputs(text.c_str(), stderr);
        return true;
    }

    void FileDone(const BatchFile& f) override {
        if (f.outcome != BatchOutcome::Processed && f.outcome != BatchOutcome::NotApplicable) anyFailed = true;
        std::string& o = out_.text();
        if (args_.json) {
            o += "{\"path\": ";
            AppendJsonString(o, f.oldPath);
            o += ", \"name\": ";
            AppendJsonString(o, f.oldName);
            o += ", \"outcome\": ";
            AppendJsonString(o, OutcomeWord(f.outcome));
            o += ", \"newName\": ";
            if (f.built) AppendJsonString(o, f.newName);
            else o += "null";
            o += ", \"newPath\": ";
            if (f.built) AppendJsonString(o, f.newPath);
            else o += "null";
            o += ", \"status\": ";
            AppendJsonString(o, statusWord(f.result.status));
            o += ", \"message\": ";
            AppendJsonString(o, f.result.message);
            o += ", \"error\": ";
            if (f.error.failed()) AppendJsonString(o, f.error.description);
            else o += "null";
            AppendBytesField(o, "pathBytes", f.oldPath);  // tells apart names that "path" shows alike
            o += "}\n";
        } else {
            const std::string_view word = OutcomeWord(f.outcome);
            o += word;
            o.append(word.size() < 16 ? 16 - word.size() : 1, ' ');
            AppendVisible(o, f.oldPath);
            if (f.built) {
                const std::string_view oldFolder = std::string_view(f.oldPath).substr(0, f.oldPath.rfind('/'));
                const std::string_view newFolder = std::string_view(f.newPath).substr(0, f.newPath.rfind('/'));
                if (newFolder != oldFolder) {
                    // A file operation's target in another folder: its whole path.
                    o += "  ->  ";
                    AppendVisible(o, f.newPath);
                } else if (f.newName == f.oldName) {
                    o += "  (name unchanged)";
                } else {
                    o += "  ->  ";
                    AppendVisible(o, f.newName);
                }
            }
            if (f.error.failed()) {
                o += ": ";
                AppendVisible(o, f.error.description);
            } else if (!f.built || !f.result.good()) {
                if (!f.result.message.empty()) {
                    o += ": ";
                    o += statusWord(f.result.status);
                    o += ": ";
                    AppendVisible(o, f.result.message);
                }
            }
            o += '\n';
        }
        out_.maybeFlush();
    }

    void clearProgress() { progress_.clear(); }

private:
    const BatchArgs& args_;
    Output& out_;
    TerminalProgress progress_;
    const BatchOperation* operation_ = &batch_operation::Rebuild;
};

std::string commandText(std::string_view command, std::span<const char* const> args) {
    std::string text = "lorvane ";
    text += command;
    for (const char* a : args) {
        text += ' ';
        text += a;
    }
    return text;
}

}  // namespace

GatheredRows GatherRows(RowParser& parser, const FileSystem& files, const BatchArgs& a, bool namesOnly, bool parse) {
    FileGatherer gather(parser, files, a, namesOnly, parse);
    bool stdinRead = false, stdinFailed = false;
    for (std::size_t i = 0; i < a.paths.size(); ++i) {
        const std::string_view p = a.paths[i];
        if (p != "-" || i >= a.literalFrom) {
            gather.add(p);
        } else if (!stdinRead) {  // a second "-" finds standard input at its end
            stdinRead = true;
            stdinFailed = !gather.addFromStandardInput();
        }
    }
    if (stdinFailed) PrintError("unable to read the paths from standard input");
    gather.dropRepeats();
    return {std::move(gather.rows), gather.failed || stdinFailed};
}

int RunBatchCommand(std::string_view command, std::span<const char* const> args, const BatchArgs& a,
                    const StepFactory& makeStep) {
    if (a.paths.empty()) return UsageError("no PATH given", command);
    const OutputClosedStop pipeStop;  // until the last write

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, command);

    std::optional<InterruptStop> interrupt(std::in_place);

    const FileSystem& files = FileSystemService::Instance();
    StderrSink sink;
    RowParser parser(settings, &sink, FileSystemService::Instance());
    // The run asks each file itself when it renames it, and parses each row: only a sort needs the parse here.
    GatheredRows gather = GatherRows(parser, files, a, true, a.sortChronology);
    if (a.sortChronology) SortByChronology(gather.rows);
    const bool inputFailed = gather.failed;
    if (gather.rows.empty()) {
        // As the Browser says it for an empty selection; not a failure in itself.
        std::fprintf(stderr, "%s\n", std::string(kNoFilesSelected).c_str());
        return inputFailed ? ExitFail : ExitOk;
    }

    std::vector<FileRow*> selected;
    selected.reserve(gather.rows.size());
    for (FileRow& r : gather.rows) selected.push_back(&r);

    Output out;
    TerminalHost host(a, out);
    RunRequest request;
    request.preview = !a.apply;
    request.refillFromFile = false;  // nothing here shows a row's size or type
    request.command = commandText(command, args);
    request.jobs = a.jobs;
    const std::unique_ptr<BatchStep> step = makeStep(parser, files);
    const RunResult run = RunJournalled(parser, files, host, *step, selected, request);
    if (!run.started) {
        PrintError(run.error);
        return run.busy ? ExitUsage : ExitFail;
    }
    interrupt.reset();
    host.clearProgress();
    const bool writeOk = out.flush();

    if (const std::string report = run.Report(step->Operation(), "\n"); !report.empty())
        std::fprintf(stderr, "%s\n", report.c_str());
    if (!a.apply) std::fprintf(stderr, "%s\n", std::string(step->Operation().previewLine).c_str());
    if (!run.journalError.empty()) PrintError(run.journalError);
    if (host.outputClosed) PrintError("standard output was closed");
    else if (!writeOk) PrintError("unable to write the output");
    if (run.end == RunEnd::Stopped) {
        std::fprintf(stderr, "lorvane: stopped after %s of %s files\n", FormatCount(run.counters.attempted).c_str(),
                     FormatCount(run.selected).c_str());
        return host.outputClosed ? ExitOutputClosed : ExitInterrupted;
    }
    return host.anyFailed || inputFailed || !writeOk ? ExitFail : ExitOk;
}

}  // namespace lorvane::cli
