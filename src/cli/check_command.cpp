// lorvane check: the calling order every window uses, for each name given.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/check_record.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/outline_writer.h"
#include "cli/settings_loader.h"
#include "cli/stderr_sink.h"
#include "engine/dispatch.h"
#include "engine/semantics.h"

namespace lorvane::cli {

namespace {

// One NAME argument; "-" before "--" stands for the names on standard input.
struct NameArg {
    std::string_view text;
    bool fromStdin = false;
};

struct CheckArgs {
    std::vector<Override> overrides;
    bool semantics = true;
    bool human = false;
    bool help = false;
    bool nulSeparated = false;
    std::vector<NameArg> names;
};

std::string parseArgs(std::span<const char* const> args, CheckArgs& out) {
    bool namesOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (namesOnly || a.empty() || a.front() != '-') {
            out.names.push_back({a, false});
        } else if (a == "-") {
            out.names.push_back({a, true});
        } else if (a == "-0") {
            out.nulSeparated = true;
        } else if (a == "--") {
            namesOnly = true;
        } else if (a == "--set") {
            if (i + 1 == args.size()) return "--set needs KEY=VALUE";
            if (auto e = ParseOverride(args[++i], out.overrides); !e.empty()) return e;
        } else if (a.starts_with("--set=")) {
            if (auto e = ParseOverride(a.substr(6), out.overrides); !e.empty()) return e;
        } else if (a == "--no-semantics") {
            out.semantics = false;
        } else if (a == "--human") {
            out.human = true;
        } else if (a == "--help" || a == "-h") {
            out.help = true;
        } else {
            return "unknown option \"" + std::string(a) + "\" (put -- before a name that starts with '-')";
        }
    }
    return {};
}

// Names given as paths (as find prints them) are checked by their last component.
std::string_view fileNamePart(std::string_view text) {
    const auto slash = text.rfind('/');
    return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

// Reads standard input one name at a time into a reused buffer, so that a list
// of any length runs in the memory of its longest name.
class NameReader {
public:
    explicit NameReader(char separator) : separator_(separator) {}
    ~NameReader() { std::free(buffer_); }
    NameReader(const NameReader&) = delete;
    NameReader& operator=(const NameReader&) = delete;

    bool next(std::string_view& name) {
        const ssize_t n = ::getdelim(&buffer_, &capacity_, separator_, stdin);
        if (n < 0) return false;
        std::size_t len = static_cast<std::size_t>(n);
        if (len > 0 && buffer_[len - 1] == separator_) --len;
        // Lists written on other systems end their lines with CR LF.
        if (separator_ == '\n' && len > 0 && buffer_[len - 1] == '\r') --len;
        name = std::string_view(buffer_, len);
        return true;
    }
    bool failed() const { return std::ferror(stdin) != 0; }

private:
    char separator_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
};

bool flush(std::string& out) {
    const bool ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    out.clear();
    return ok;
}

}  // namespace

int RunCheck(std::span<const char* const> args) {
    CheckArgs a;
    if (auto e = parseArgs(args, a); !e.empty()) return UsageError(e, "check");
    if (a.help) {
        std::fputs(kCheckHelp, stdout);
        return ExitOk;
    }
    if (a.names.empty()) return UsageError("no NAME given", "check");

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, "check");

    const SemanticOptions semanticOptions = MakeSemanticOptions(settings, false);
    const DateOptions dateOptions = MakeDateOptions(settings);
    StderrSink sink;
    const EngineContext ctx{settings, dateOptions, semanticOptions, &sink};

    // One tree, one record and one output buffer for every name: the loop
    // allocates nothing once it has seen its longest name.
    AttributeTree tree;
    CheckRecord record;
    record.tree = &tree;
    record.dateOptions = &dateOptions;
    std::string_view parseFormatName;  // the record carries the code; JSON shows only that
    std::string out;
    out.reserve(1 << 16);
    bool anyFail = false, writeOk = true;

    auto checkOne = [&](std::string_view input) {
        record.input = input;
        record.parse.reset();
        ParseFilename(fileNamePart(input), tree, ctx, record.parseFormat, parseFormatName, record.parse);
        record.buildFormat = {};
        record.built = false;
        record.name.clear();
        if (record.parse.good()) {
            record.build.reset();
            if (a.semantics) ApplySemantics(tree, record.build, semanticOptions, dateOptions, &sink);
            BuildFilename(record.name, tree, record.parseFormat, ctx, record.buildFormat, record.build);
            record.built = true;
        }
        anyFail = anyFail || record.finalStatus() == Status::Fail;

        if (a.human) AppendCheckOutline(out, record);
        else AppendCheckJson(out, record);
        if (out.size() >= (1 << 16)) writeOk = flush(out) && writeOk;
    };

    bool readFailed = false, stdinRead = false;
    for (const NameArg& n : a.names) {
        if (!n.fromStdin) {
            checkOne(n.text);
            continue;
        }
        if (stdinRead) continue;  // a second "-" finds standard input at its end
        stdinRead = true;
        NameReader reader(a.nulSeparated ? '\0' : '\n');
        std::string_view name;
        while (reader.next(name)) checkOne(name);
        readFailed = reader.failed();
    }
    writeOk = flush(out) && writeOk;
    writeOk = std::fflush(stdout) == 0 && writeOk;
    if (!writeOk) {
        std::fputs("lorvane: unable to write the output\n", stderr);
        return ExitFail;
    }
    if (readFailed) {
        std::fputs("lorvane: unable to read the names from standard input\n", stderr);
        return ExitFail;
    }
    return anyFail ? ExitFail : ExitOk;
}

}  // namespace lorvane::cli
