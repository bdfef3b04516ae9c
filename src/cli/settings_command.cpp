// lorvane settings: every global setting as the program would run with it.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/settings_loader.h"

namespace lorvane::cli {

namespace {

// Plain text unless blanks at the ends, a leading quote or control characters
// would make the value unreadable or ambiguous; then a quoted, escaped string.
void appendValue(std::string& out, std::string_view v) {
    bool quote = !v.empty() && (v.front() == ' ' || v.back() == ' ' || v.front() == '"');
    for (char c : v) quote = quote || static_cast<unsigned char>(c) < 0x20;
    if (quote) AppendJsonString(out, v);
    else out += v;
}

}  // namespace

int RunSettings(std::span<const char* const> args) {
    std::vector<Override> overrides;
    bool help = false;
    const OptionSpec specs[] = {SetOption(overrides), FlagOption("--help", "-h", help)};
    std::vector<std::string_view> operands;
    if (auto done = CommandOpening(ParseArguments(args, specs, operands, "word"), help, {kSettingsHelp}, "settings"))
        return *done;
    if (!operands.empty())
        return UsageError("unexpected argument \"" + std::string(operands.front()) + "\"", "settings");

    GlobalSettings settings;
    std::string storePath;
    bool storeExists = false;
    if (auto e = LoadEffectiveSettings(settings, overrides, &storePath, &storeExists); !e.empty())
        return UsageError(e, "settings");

    std::string out = "; " + ApplicationName() + ", settings store \"" + storePath + "\"" +
                      (storeExists ? "" : " (not yet written: defaults)") + "\n";
    std::string_view section;
    for (const SettingDef& d : GlobalSettingTable()) {
        if (d.section != section) {
            section = d.section;
            out += "\n[";
            out += section;
            out += "]\n";
        }
        out += d.key;
        out += '=';
        appendValue(out, StoredValue(settings, d));
        out += '\n';
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fputs("lorvane: unable to write the output\n", stderr);
        return ExitFail;
    }
    return ExitOk;
}

}  // namespace lorvane::cli
