// What every batch command shares: the COMMON options, gathering the files from
// PATHs, the run through core's batch run with a terminal host, the per-file
// output, the closing report and the journal of an applied run.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/settings_loader.h"
#include "core/batch/batch_run.h"

namespace lorvane::cli {

struct BatchArgs {
    std::vector<Override> overrides;
    bool recursive = false, nulSeparated = false, apply = false, json = false, help = false;
    bool sortChronology = false;
    int jobs = 0;  // --jobs; 0: EffectiveJobs' default
    std::vector<std::string_view> paths;
    std::size_t literalFrom = 0;  // paths from here on came after "--"
};

// The COMMON options, to be added to a command's own.
void AddCommonBatchOptions(std::vector<OptionSpec>& specs, BatchArgs& args);

// The files of the PATHs (a file, a folder's files, "-" for paths on standard
// input), each once, in the order given. A PATH that cannot be read is named on
// standard error and sets failed. namesOnly: the rows' "Size" is left empty,
// the files not asked; parse off: the rows are not parsed (a run parses each
// row itself).
struct GatheredRows {
    std::vector<FileRow> rows;
    bool failed = false;
};
GatheredRows GatherRows(RowParser& parser, const FileSystem& files, const BatchArgs& args, bool namesOnly = true,
                        bool parse = true);

// The operation's step for this run. It may keep references to the parser's
// options, which live until the run ends.
using StepFactory = std::function<std::unique_ptr<BatchStep>(RowParser& parser, const FileSystem& files)>;

// Everything after the arguments were parsed: settings, files, run, report.
// args are the command's own arguments, for the journal's record of what ran.
int RunBatchCommand(std::string_view command, std::span<const char* const> args, const BatchArgs& batch,
                    const StepFactory& makeStep);

// Usage line of the COMMON options, for the commands' help texts.
extern const char kCommonBatchHelp[];

}  // namespace lorvane::cli
