// lorvane: the command-line face of the filename engine.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "engine/version.h"

int main(int argc, char** argv) {
    using namespace lorvane::cli;
    std::span<const char* const> args(argv, static_cast<std::size_t>(argc));
    if (args.size() < 2) {
        std::fputs(kMainHelp, stderr);
        return ExitUsage;
    }
    const std::string_view command = args[1];
    const auto rest = args.subspan(2);
    if (command == "check") return RunCheck(rest);
    if (command == "settings") return RunSettings(rest);
    if (command == "list") return RunList(rest);
    if (command == "rebuild") return RunRebuild(rest);
    if (command == "change-dates") return RunChangeDates(rest);
    if (command == "change-sequence") return RunChangeSequence(rest);
    if (command == "add-content") return RunAddContent(rest);
    if (command == "remove-content") return RunRemoveContent(rest);
    if (command == "undo") return RunUndo(rest);
    if (command == "copy") return RunCopy(rest);
    if (command == "move") return RunMove(rest);
    if (command == "delete") return RunDelete(rest);
    if (command == "link") return RunLink(rest);
    if (command == "--version") {
        std::printf("lorvane (Lorvane Manager) %.*s\n", static_cast<int>(lorvane::kVersionText.size()),
                    lorvane::kVersionText.data());
        return ExitOk;
    }
    if (command == "select") return RunSelect(rest);
    if (command == "chronology") return RunChronology(rest);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kMainHelp, stdout);
        return ExitOk;
    }
    return UsageError("unknown command \"" + std::string(command) + "\"", "");
}
