#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/stderr_sink.h"

namespace lorvane::cli {

const char kMainHelp[] =
    "Usage: lorvane COMMAND [OPTION]...\n"
    "       lorvane --help | --version\n"
    "Checks file names that carry descriptive data in the Lorvane Data formats.\n"
    "\n"
    "Commands:\n"
    "  check NAME...   parse each name, run the semantic layer, build it back\n"
    "  settings        print every global setting the program runs with\n"
    "  list FOLDER     list the files of a folder with their status, as the Browser\n"
    "  rebuild PATH... build each file's name again and rename it (a preview\n"
    "                  unless --apply)\n"
    "  change-dates MODE PATH...\n"
    "                  shift, round, replace or generate the Captured Date of each\n"
    "                  file's name and rename it (a preview unless --apply)\n"
    "  change-sequence MODE PATH...\n"
    "                  generate, replace or shift the Sequence Number of each\n"
    "                  file's name and rename it (a preview unless --apply)\n"
    "  add-content --attribute NAME --value VALUE PATH...\n"
    "                  add an attribute to each file's name, at the top level or\n"
    "                  under a value of another, and rename it\n"
    "  remove-content CRITERION PATH...\n"
    "                  remove the attributes or values that meet CRITERION from\n"
    "                  each file's name and rename it\n"
    "  copy --to FOLDER PATH...   copy the files into FOLDER, never replacing one\n"
    "  move --to FOLDER PATH...   move the files into FOLDER (undo puts them back)\n"
    "  delete PATH...  move the files to the desktop's trash\n"
    "  link --to FOLDER PATH...   make in FOLDER a shortcut (symbolic link) to each\n"
    "                  file; these four are previews unless --apply\n"
    "  undo            revert the latest applied batch run\n"
    "  select CRITERIA PATH...\n"
    "                  print the paths of the files whose names match, by file\n"
    "                  name or by attribute, as the Browser's Select Files\n"
    "  chronology PATH...\n"
    "                  list the files in chronology order, repeated keys marked \"Dupl\"\n"
    "\n"
    "Settings are read from the user's store, $XDG_CONFIG_HOME/lorvane/ (default\n"
    "~/.config/lorvane/), file \"Lorvane Manager 2.1.ini\".\n"
    "\n"
    "Run 'lorvane COMMAND --help' for the options of a command.\n"
    "Exit status: 0 all names processed, 1 some name ended in \"Fail\", 2 usage error.\n";

const char kCheckHelp[] =
    "Usage: lorvane check [--set KEY=VALUE]... [--no-semantics] [--human] [-0] [--] NAME...\n"
    "Parses each NAME (a file name with its extension; of a path only the part\n"
    "after the last '/' is checked), applies the semantic layer when the parse is\n"
    "\"Good\", and builds the name again in the format it came from. A NAME \"-\"\n"
    "reads names from standard input, one per line, and streams the output.\n"
    "\n"
    "Options:\n"
    "  --set KEY=VALUE  override one global setting by its key (see 'lorvane settings');\n"
    "                   numbers and choices take their stored number, other\n"
    "                   settings their text; may be repeated\n"
    "  --no-semantics   skip the semantic layer\n"
    "  --human          print a readable outline instead of JSON; a date value is\n"
    "                   followed by its earliest and latest date-times\n"
    "  -0               names on standard input end with NUL, not a line break\n"
    "                   (for find -print0)\n"
    "  --               every later argument is a NAME, even if it starts with '-'\n"
    "  -h, --help       show this help\n"
    "\n"
    "Output: one JSON object per NAME, one per line:\n"
    "  {\"input\": NAME,\n"
    "   \"parse\": {\"status\", \"message\", \"position\", \"length\", \"format\"},\n"
    "   \"tree\": NODE or null,\n"
    "   \"build\": {\"status\", \"message\", \"nodeIndex\", \"position\", \"length\", \"format\", \"name\"} or null}\n"
    "  NODE is {\"text\", \"tag\", \"image\", \"expanded\", \"children\": [NODE...]}, the tree\n"
    "  after the build with its marks; parse.format is the format code (\"2.x\", \"1.x\",\n"
    "  \"Batch\" or \"\"), build.format the format name. Positions and lengths count\n"
    "  characters from 1. build is null when the parse failed.\n"
    "\n"
    "Exit status: 0 every name processed, 1 some final status is \"Fail\", 2 usage error.\n";

const char kSettingsHelp[] =
    "Usage: lorvane settings [--set KEY=VALUE]...\n"
    "Prints every global setting, by section, as KEY=VALUE with its effective value:\n"
    "the user's store first, then each --set override. A value with blanks at its\n"
    "ends, a double quote first or control characters is shown in double quotes.\n"
    "Nothing is written to the store.\n";

const char kListHelp[] =
    "Usage: lorvane list [--recursive] [--json] [--set KEY=VALUE]... [--jobs N] [--] FOLDER\n"
    "Lists every file in FOLDER, one line per file, with the Browser's columns:\n"
    "Name, Status, Message, Chronology, Path, Type, Size and Length. Each name is\n"
    "parsed, given to the semantic layer and built again, as the Browser does.\n"
    "A folder's own files come first, in name order ignoring letter case, then\n"
    "those of each subfolder.\n"
    "\n"
    "Options:\n"
    "  -r, --recursive  include the files of all folders below FOLDER\n"
    "  --json           one JSON object per file, keyed by the column names,\n"
    "                   instead of tab-separated lines\n"
    "  --set KEY=VALUE  override one global setting (see 'lorvane check --help')\n"
    "  --jobs N         threads: 1 reads and parses on this one alone; 2 or more\n"
    "                   (the default with more than one core) parses on a second\n"
    "                   beside it; the output is the same either way\n"
    "  --               the next argument is FOLDER, even if it starts with '-'\n"
    "  -h, --help       show this help\n"
    "\n"
    "Output: without --json, a header line with the column names, then one line per\n"
    "file, fields separated by tabs; a tab, line break, carriage return or backslash\n"
    "inside a field is written \\t, \\n, \\r or \\\\. Lines are written as the files\n"
    "are read. On a terminal, standard error shows the progress. With --json, a\n"
    "name or folder that is not valid UTF-8 reads with U+FFFD in \"Name\" or \"Path\"\n"
    "and its bytes follow in base64, as \"nameBytes\" or \"pathBytes\", after the\n"
    "columns. Error lines on standard error write control characters and bytes that\n"
    "are not UTF-8 in names as '?'.\n"
    "\n"
    "Exit status: 0 every file listed (whatever its status), 1 FOLDER does not exist\n"
    "or a file or folder could not be read (each named on standard error), 2 usage\n"
    "error, 130 stopped by Ctrl+C (the files listed so far are kept).\n";

int UsageError(std::string_view message, std::string_view command) {
    // The message may quote an argument: it is written as every error line is.
    PrintError(message);
    const std::string c = command.empty() ? std::string() : " " + std::string(command);
    std::fprintf(stderr, "Try 'lorvane%s --help'.\n", c.c_str());
    return ExitUsage;
}

std::optional<int> CommandOpening(std::string_view parseError, const bool& help,
                                  std::initializer_list<const char*> helpTexts, std::string_view command) {
    if (!parseError.empty()) return UsageError(parseError, command);
    if (!help) return std::nullopt;
    for (const char* text : helpTexts) std::fputs(text, stdout);
    return ExitOk;
}

}  // namespace lorvane::cli
