// lorvane copy, move, delete and link: the Browser's file operations over the
// files of the PATHs, through the same batch run.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "core/batch/file_actions.h"

namespace lorvane::cli {

namespace {

const char kCopyHelp[] =
    "Usage: lorvane copy --to FOLDER [COMMON]... PATH...\n"
    "Copies each file into FOLDER under its own name, as the Browser's Copy to\n"
    "Folder does. A file of that name already in FOLDER is never replaced: that\n"
    "file fails. The copy keeps the file's modification time and permissions.\n"
    "\n";
const char kMoveHelp[] =
    "Usage: lorvane move --to FOLDER [COMMON]... PATH...\n"
    "Moves each file into FOLDER under its own name, as the Browser's Move to\n"
    "Folder does, never replacing a file there. Onto another file system the file\n"
    "is copied, verified and only then removed; it keeps its modification time.\n"
    "An applied move is journalled: 'lorvane undo' puts the files back.\n"
    "\n";
const char kDeleteHelp[] =
    "Usage: lorvane delete [COMMON]... PATH...\n"
    "Moves each file to the desktop's trash (the freedesktop.org trash), from\n"
    "where the desktop can restore it, as the Browser's Delete does. A file on a\n"
    "file system without a trash fails and stays where it is.\n"
    "\n";
const char kLinkHelp[] =
    "Usage: lorvane link --to FOLDER [COMMON]... PATH...\n"
    "Creates in FOLDER a shortcut to each file, as the Browser's Create Shortcuts\n"
    "does: a symbolic link named after the file followed by \".lnk\", pointing at\n"
    "the file's full path. An existing entry of that name is never replaced.\n"
    "\n";
const char kFileOutcomes[] =
    "Each file's outcome is \"processed\" or \"failed\"; newName and newPath name the\n"
    "copy, the moved file or the link (null for delete); status and message are\n"
    "not used. The closing report counts the files done and those that failed.\n"
    "\n";

int runFileCommand(std::string_view command, FileAction action, const char* help,
                   std::span<const char* const> args) {
    BatchArgs a;
    std::string destination;
    bool haveDestination = false;
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    const bool needsFolder = action != FileAction::Delete;
    if (needsFolder)
        specs.push_back({"--to", "", 1, "FOLDER", [&](std::span<const std::string_view> v) {
                             destination = std::string(v[0]);
                             haveDestination = true;
                             return std::string();
                         }});
    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {help, kFileOutcomes, kCommonBatchHelp}, command))
        return *done;
    if (needsFolder) {
        if (!haveDestination) return UsageError("--to FOLDER is needed", command);
        if (!FileSystemService::Instance().FolderExists(destination))
            return UsageError("--to: \"" + destination + "\" is not a folder", command);
        destination = CleanPath(destination);
    }
    return RunBatchCommand(command, args, a, [&](RowParser&, const FileSystem&) -> std::unique_ptr<BatchStep> {
        return std::make_unique<FileActionStep>(action, destination);
    });
}

}  // namespace

int RunCopy(std::span<const char* const> args) { return runFileCommand("copy", FileAction::Copy, kCopyHelp, args); }
int RunMove(std::span<const char* const> args) { return runFileCommand("move", FileAction::Move, kMoveHelp, args); }
int RunDelete(std::span<const char* const> args) {
    return runFileCommand("delete", FileAction::Delete, kDeleteHelp, args);
}
int RunLink(std::span<const char* const> args) { return runFileCommand("link", FileAction::Link, kLinkHelp, args); }

}  // namespace lorvane::cli
