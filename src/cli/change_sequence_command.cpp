// lorvane change-sequence: the Sequence Number of each file's name generated,
// replaced or shifted, and the file renamed.
#include <memory>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "core/batch/change_sequence_numbers.h"

namespace lorvane::cli {

namespace {

const char kChangeSequenceHelp[] =
    "Usage: lorvane change-sequence MODE [COMMON]... PATH...\n"
    "Changes the Sequence Number in each file's name, as the Browser's Change\n"
    "Sequence Numbers does, and renames the file. MODE is one of:\n"
    "  --generate [--start N] [--step N] [--all]\n"
    "                   number the files in turn: N from --start (default 1), each\n"
    "                   next one --step further (default 1, may be negative); only\n"
    "                   names without a Sequence Number unless --all. A file that is\n"
    "                   not parsed or not applicable takes no number\n"
    "  --replace N      write N instead of each name's number\n"
    "  --shift N        add N (may be negative) to each name's number\n"
    "Numbers are written with three digits; one outside 0 to 999 is not written and\n"
    "the file is \"out of range\". --start and --replace take a negative N as its\n"
    "magnitude, as the dialog does. Names without a usable Sequence Number (or, for\n"
    "--generate without --all, with one) are \"not applicable\". Either way the\n"
    "name is still rebuilt. Files are numbered in the order of the PATHs (see\n"
    "--sort chronology).\n"
    "\n";

// A number option's value, read as the dialog reads its field.
OptionSpec numberOption(std::string_view name, FieldCheck (*read)(std::string_view, std::int64_t&), std::int64_t& field,
                        const std::function<void()>& chosen) {
    return {name, "", 1, "N", [name, read, &field, chosen](std::span<const std::string_view> v) {
                chosen();
                const FieldCheck check = read(v[0], field);
                if (check == FieldCheck::Accepted) return std::string();
                std::string e = std::string(name) + " needs a whole number, not \"" + std::string(v[0]) + "\"";
                if (check == FieldCheck::BeyondLimit)
                    e += " (at most " + std::to_string(kSequenceFieldLimit) + " either way)";
                return e;
            }};
}

}  // namespace

int RunChangeSequence(std::span<const char* const> args) {
    BatchArgs a;
    ChangeSequenceRequest request;
    int modes = 0;
    bool generateOptions = false;
    auto mode = [&](SequenceChange m) {
        return [&, m] {
            ++modes;
            request.mode = m;
        };
    };
    auto generateOption = [&] { generateOptions = true; };
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    specs.push_back({"--generate", "", 0, {}, [&, chosen = mode(SequenceChange::Generate)](auto) {
                         chosen();
                         return std::string();
                     }});
    specs.push_back(numberOption("--start", ReadSequenceAbsolute, request.start, generateOption));
    specs.push_back(numberOption("--step", ReadSequenceSigned, request.step, generateOption));
    specs.push_back({"--all", "", 0, {}, [&](auto) {
                         generateOptions = true;
                         request.allFiles = true;
                         return std::string();
                     }});
    specs.push_back(numberOption("--replace", ReadSequenceAbsolute, request.number, mode(SequenceChange::Replace)));
    specs.push_back(numberOption("--shift", ReadSequenceSigned, request.amount, mode(SequenceChange::Shift)));

    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kChangeSequenceHelp, kCommonBatchHelp}, "change-sequence"))
        return *done;
    if (modes != 1) return UsageError("choose one of --generate, --replace and --shift", "change-sequence");
    if (generateOptions && request.mode != SequenceChange::Generate)
        return UsageError("--start, --step and --all go with --generate", "change-sequence");

    return RunBatchCommand("change-sequence", args, a,
                           [&](RowParser&, const FileSystem&) -> std::unique_ptr<BatchStep> {
                               return std::make_unique<ChangeSequenceStep>(request);
                           });
}

}  // namespace lorvane::cli
