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

// Reads standard input one name at a time into a reused buffer. A name is kept only
// up to a bound far above any name the parser accepts; the rest of it is read and
// counted but not kept, so any input runs in constant memory.
class NameReader {
public:
    NameReader(char separator, std::size_t keep) : separator_(separator), keep_(keep) {}

    // name: the name, or the start of one cut short (cut); for a cut name, lengths
    // holds the characters of the whole and of its last path component, counted to its end.
    struct Lengths {
        std::size_t chars = 0, componentChars = 0;
    };
    bool next(std::string_view& name, bool& cut, Lengths& lengths) {
        name_.clear();
        cut = false;
        lengths = {};
        bool any = false, ended = false;
        while (!ended) {
            if (begin_ == end_ && !fill()) break;
            any = true;
            const char* from = chunk_ + begin_;
            const std::size_t left = end_ - begin_;
            const void* hit = std::memchr(from, separator_, left);
            std::size_t n = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - from) : left;
            begin_ += hit ? n + 1 : n;
            ended = hit != nullptr;
            if (!cut && name_.size() + n <= keep_) {
                name_.append(from, n);
                continue;
            }
            if (!cut) {
                // The start that fits is kept, so that the refusal can say which name it was.
                cut = true;
                const std::size_t room = keep_ - name_.size();
                name_.append(from, room);
                count(name_, lengths);
                from += room;
                n -= room;
            }
            count(std::string_view(from, n), lengths);
        }
        if (!any) return false;
        // Lists written on other systems end their lines with CR LF.
        if (separator_ == '\n') {
            if (!cut && !name_.empty() && name_.back() == '\r') name_.pop_back();
            else if (cut && last_ == '\r') {
                --lengths.chars;
                if (lengths.componentChars > 0) --lengths.componentChars;
            }
        }
        name = name_;
        return true;
    }
    bool failed() const { return std::ferror(stdin) != 0; }

private:
    bool fill() {
        begin_ = 0;
        end_ = std::fread(chunk_, 1, sizeof chunk_, stdin);
        return end_ > 0;
    }
    // Characters of the name and after its last '/', carried on over the text that follows.
    void count(std::string_view text, Lengths& lengths) {
        for (const char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
            ++lengths.chars;
            lengths.componentChars = c == '/' ? 0 : lengths.componentChars + 1;
        }
        if (!text.empty()) last_ = text.back();
    }

    char separator_;
    std::size_t keep_;
    std::string name_;
    char chunk_[1 << 16];
    std::size_t begin_ = 0, end_ = 0;
    char last_ = 0;  // the last byte counted: a cut name's last byte
};

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
