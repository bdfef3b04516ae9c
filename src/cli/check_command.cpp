// lorvane check: the calling order every window uses, for each name given.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/check_record.h"
#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/name_reader.h"
#include "cli/outline_writer.h"
#include "cli/settings_loader.h"
#include "cli/stderr_sink.h"
#include "engine/pipeline.h"

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
    bool noSemantics = false;
    const OptionSpec specs[] = {
        FlagOption("-0", "", out.nulSeparated),
        FlagOption("--no-semantics", "", noSemantics),
        FlagOption("--human", "", out.human),
        FlagOption("--help", "-h", out.help),
        SetOption(out.overrides),
    };
    std::vector<std::string_view> operands;
    std::size_t literalFrom = 0;
    if (auto e = ParseArguments(args, specs, operands, "name", &literalFrom); !e.empty()) return e;
    out.semantics = !noSemantics;
    for (std::size_t i = 0; i < operands.size(); ++i)
        out.names.push_back({operands[i], operands[i] == "-" && i < literalFrom});
    return {};
}

// Names given as paths (as find prints them) are checked by their last component.
std::string_view fileNamePart(std::string_view text) {
    const auto slash = text.rfind('/');
    return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

// Bytes of a name from standard input kept for the parser: enough for a path to a name
// of the longest length allowed, four bytes a character. Past that it cannot pass.
std::size_t keptNameBytes(std::int32_t maximumLength) {
    constexpr std::size_t kPathBytes = 4096;
    return kPathBytes + 4 * static_cast<std::size_t>(std::max<std::int32_t>(maximumLength, 0));
}

bool flush(std::string& out) {
    const bool ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    out.clear();
    return ok;
}

}  // namespace

int RunCheck(std::span<const char* const> args) {
    CheckArgs a;
    if (auto done = CommandOpening(parseArgs(args, a), a.help, {kCheckHelp}, "check")) return *done;
    if (a.names.empty()) return UsageError("no NAME given", "check");

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, "check");

    StderrSink sink;
    NamePipeline pipeline(settings, false, &sink);
    pipeline.SetSemantics(a.semantics);

    // One tree, one record and one output buffer for every name: the loop
    // allocates nothing once it has seen its longest name.
    CheckRecord record;
    record.tree = &pipeline.tree();
    record.dateOptions = &pipeline.dateOptions();
    std::string out;
    out.reserve(1 << 16);
    bool anyFail = false, writeOk = true;

    // The parse of one name, or the finding for a name too long to keep.
    auto check = [&](std::string_view input, const std::size_t* cutLength) {
        record.input = input;
        if (cutLength) pipeline.RefuseLong(static_cast<int>(std::min<std::size_t>(*cutLength, INT_MAX)));
        else pipeline.Evaluate(fileNamePart(input));
        // The record carries the parse's code; JSON shows only that.
        record.parse = pipeline.parseResult();
        record.parseFormat = pipeline.parseFormatCode();
        record.built = pipeline.built();
        record.build = pipeline.buildResult();
        record.buildFormat = pipeline.buildFormatName();
        record.name = pipeline.builtName();
        anyFail = anyFail || record.finalStatus() == Status::Fail;

        if (a.human) AppendCheckOutline(out, record);
        else AppendCheckJson(out, record);
        if (out.size() >= (1 << 16)) writeOk = flush(out) && writeOk;
    };
    auto checkOne = [&](std::string_view input) { check(input, nullptr); };
    // Its input shows the start that was kept.
    auto checkCut = [&](std::string_view start, std::size_t length) { check(start, &length); };

    bool readFailed = false, stdinRead = false;
    for (const NameArg& n : a.names) {
        if (!n.fromStdin) {
            checkOne(n.text);
            continue;
        }
        if (stdinRead) continue;  // a second "-" finds standard input at its end
        stdinRead = true;
        NameReader reader(a.nulSeparated ? '\0' : '\n', keptNameBytes(settings.ParseLengthMaximum));
        std::string_view name;
        bool cut = false;
        NameReader::Lengths lengths;
        while (reader.next(name, cut, lengths)) {
            if (!cut) {
                checkOne(name);
                continue;
            }
            // A file name within the limit behind a path of many folders: the path is what is too long.
            const auto maximum = static_cast<std::size_t>(std::max<std::int32_t>(settings.ParseLengthMaximum, 0));
            checkCut(name, lengths.componentChars > maximum ? lengths.componentChars : lengths.chars);
        }
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
