// lorvane list: the Browser's file list of a folder, one line per file.
#include <QByteArray>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/settings_loader.h"
#include "cli/stderr_sink.h"
#include "core/browser_rows.h"
#include "core/folder_loader.h"
#include "engine/semantics.h"
#include "engine/utf8.h"

namespace lorvane::cli {

namespace {

struct ListArgs {
    std::vector<Override> overrides;
    bool recursive = false;
    bool json = false;
    bool help = false;
    std::vector<std::string_view> folders;
};

std::string parseArgs(std::span<const char* const> args, ListArgs& out) {
    bool foldersOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (foldersOnly || a.empty() || a.front() != '-') {
            out.folders.push_back(a);
        } else if (a == "--") {
            foldersOnly = true;
        } else if (a == "--recursive" || a == "-r") {
            out.recursive = true;
        } else if (a == "--json") {
            out.json = true;
        } else if (a == "--set") {
            if (i + 1 == args.size()) return "--set needs KEY=VALUE";
            if (auto e = ParseOverride(args[++i], out.overrides); !e.empty()) return e;
        } else if (a.starts_with("--set=")) {
            if (auto e = ParseOverride(a.substr(6), out.overrides); !e.empty()) return e;
        } else if (a == "--help" || a == "-h") {
            out.help = true;
        } else {
            return "unknown option \"" + std::string(a) + "\" (put -- before a folder that starts with '-')";
        }
    }
    return {};
}

// Tabs and line breaks would split a field or a line; backslash escapes keep
// every name on its own line and reversible.
void appendTsvField(std::string& out, std::string_view text) {
    // Runs between the characters that need escaping go in whole: nearly every
    // field of a large folder has none.
    for (;;) {
        const auto special = text.find_first_of("\t\n\r\\");
        out.append(text.substr(0, special));
        if (special == std::string_view::npos) return;
        switch (text[special]) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += "\\\\"; break;
        }
        text.remove_prefix(special + 1);
    }
}

void appendTsvHeader(std::string& out) {
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += '\t';
        out += kBrowserColumns[i];
    }
    out += '\n';
}

void appendTsvRow(std::string& out, const BrowserRow& row) {
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += '\t';
        appendTsvField(out, *row.column(kBrowserColumns[i]));
    }
    out += '\n';
}

// A JSON string holds only Unicode text: bytes that are not UTF-8 read as U+FFFD
// there, so such a name or folder also goes in base64, which gives back its bytes.
void appendBytesField(std::string& out, std::string_view field, std::string_view bytes) {
    if (utf8::isValid(bytes)) return;
    out += ", ";
    AppendJsonString(out, field);
    out += ": \"";
    out += QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
    out += '"';
}

void appendJsonRow(std::string& out, const BrowserRow& row) {
    out += '{';
    for (std::size_t i = 0; i < kBrowserColumns.size(); ++i) {
        if (i) out += ", ";
        AppendJsonString(out, kBrowserColumns[i]);
        out += ": ";
        AppendJsonString(out, *row.column(kBrowserColumns[i]));
    }
    appendBytesField(out, "nameBytes", row.Text);
    appendBytesField(out, "pathBytes", row.Path);
    out += "}\n";
}

bool flush(std::string& out) {
    const bool ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    out.clear();
    return ok;
}

std::atomic<bool> gStop{false};
extern "C" void onInterrupt(int) { gStop.store(true); }

// One line on the terminal, rewritten in place a few times a second.
class ProgressLine {
public:
    void show(const LoadProgress& p) {
        const auto now = std::chrono::steady_clock::now();
        if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        shown_ = true;
        const std::string text = p.phase == LoadProgress::Phase::Counting
                                     ? "Counting Files... " + std::to_string(p.count)
                                     : "Loading Files... " + FormatCount(static_cast<std::int64_t>(p.count)) +
                                           " of " + FormatCount(static_cast<std::int64_t>(p.total));
        std::fprintf(stderr, "\r\033[K%s", text.c_str());
        std::fflush(stderr);
    }
    void clear() {
        if (shown_) std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

int RunList(std::span<const char* const> args) {
    ListArgs a;
    if (auto e = parseArgs(args, a); !e.empty()) return UsageError(e, "list");
    if (a.help) {
        std::fputs(kListHelp, stdout);
        return ExitOk;
    }
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
    RowParser parser(settings, &sink);
    FolderLoader loader(parser);
    loader.SetSkipUnreadableFolders(true);  // each one is named below, the rest listed
    ProgressLine progress;
    if (::isatty(STDERR_FILENO)) loader.SetProgress([&progress](const LoadProgress& p) { progress.show(p); });
    gStop.store(false);
    loader.SetStopFlag(&gStop);
    struct sigaction stopAction{}, previous{};
    stopAction.sa_handler = onInterrupt;
    sigemptyset(&stopAction.sa_mask);
    ::sigaction(SIGINT, &stopAction, &previous);

    std::string out;
    out.reserve(1 << 16);
    bool writeOk = true;
    if (!a.json) appendTsvHeader(out);
    const LoadOutcome outcome = loader.Load(folder, a.recursive, [&](const BrowserRow& row) {
        if (a.json) appendJsonRow(out, row);
        else appendTsvRow(out, row);
        if (out.size() >= (1 << 16)) writeOk = flush(out) && writeOk;
    });
    ::sigaction(SIGINT, &previous, nullptr);
    progress.clear();

    writeOk = flush(out) && writeOk;
    writeOk = std::fflush(stdout) == 0 && writeOk;
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
