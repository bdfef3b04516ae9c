// lorvane rebuild: each file's name built again from its parsed tree, and renamed.
#include <cstdio>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"

namespace lorvane::cli {

namespace {

const char kRebuildHelp[] =
    "Usage: lorvane rebuild [COMMON]... PATH...\n"
    "Builds each file's name again from its parsed tree, as the Browser's\n"
    "Re-Build Filenames does (the semantic layer's translations, order and\n"
    "standard forms), and renames the file to it.\n"
    "\n";

}  // namespace

int RunRebuild(std::span<const char* const> args) {
    BatchArgs a;
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kRebuildHelp, kCommonBatchHelp}, "rebuild"))
        return *done;
    return RunBatchCommand("rebuild", args, a, [](RowParser&, const FileSystem&) -> std::unique_ptr<BatchStep> {
        return std::make_unique<RebuildStep>();
    });
}

}  // namespace lorvane::cli
