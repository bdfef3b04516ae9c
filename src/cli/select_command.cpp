// lorvane select: the full path of every file whose name meets Select Files'
// criteria, by file name or by attribute, for the next command of a pipe.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/row_lines.h"
#include "cli/stderr_sink.h"
#include "core/rows/select_files.h"

namespace lorvane::cli {

namespace {

const char kSelectHelp[] =
    "Usage: lorvane select (--filename TEXT [--whole-word] [--match-case]\n"
    "                      | [--label any|empty|unrecognized | --label-contains TEXT\n"
    "                         [--label-whole-word] [--label-match-case]]\n"
    "                        [--value any|none|empty | --value-contains TEXT\n"
    "                         [--value-whole-word] [--value-match-case]]\n"
    "                        [--context any|top-level | --under LABEL VALUE])\n"
    "                      [--invert] [-r] [--set KEY=VALUE]... [--jobs N] [--print0] PATH...\n"
    "Prints the full path of every file that matches, one per line, in the order\n"
    "'lorvane list' gives, as the Browser's Select Files chooses them.\n"
    "\n"
    "By file name (the Browser's \"By Filename\" tab):\n"
    "  --filename TEXT  the file name (with its extension) contains TEXT; letter\n"
    "                   case is ignored unless --match-case; --whole-word wants it\n"
    "                   bounded by blanks, punctuation or the name's ends\n"
    "By attribute (\"By Attribute\"; each name is parsed): some attribute meets all of\n"
    "  --label any|empty|unrecognized, --label-contains TEXT\n"
    "                   its name: any, blank, not in the dictionary, or containing\n"
    "                   TEXT (or naming the same dictionary attribute: Date finds\n"
    "                   DT and Captured Date)\n"
    "  --value any|none|empty, --value-contains TEXT\n"
    "                   its values: any, none at all, one blank, or one containing\n"
    "                   TEXT (likewise)\n"
    "  --context any|top-level, --under LABEL VALUE\n"
    "                   where it stands: anywhere, at the top level, or under the\n"
    "                   value VALUE of an attribute LABEL (either may be \"\" for any)\n"
    "                   Every criterion not given is \"any\".\n"
    "\n"
    "Options:\n"
    "  --invert         print the files that do not match instead\n"
    "  -r, --recursive  take the files of the folders' subfolders too\n"
    "  --print0         end each path with NUL instead of a line break\n"
    "  --set KEY=VALUE  override one global setting (see 'lorvane settings')\n"
    "  --jobs N         threads: 1 reads the names on this one alone; 2 or more (the\n"
    "                   default with more than one core) parses on a second beside it\n"
    "  --               every later argument is a PATH, even if it starts with '-'\n"
    "  -h, --help       show this help\n"
    "PATH is a file, or a folder whose files are taken; \"-\" reads paths from standard\n"
    "input, one per line.\n"
    "\n"
    "Exit status: 0 done (whether or not any file matched), 1 a PATH could not be\n"
    "read (named on standard error, the others still taken), 2 usage error, 130\n"
    "stopped by Ctrl+C (nothing printed).\n";

template <typename T>
std::string choose(std::string_view option, std::string_view word,
                   std::initializer_list<std::pair<const char*, T>> choices, T& out) {
    std::string words;
    for (const auto& [w, value] : choices) {
        if (word == w) {
            out = value;
            return {};
        }
        words += words.empty() ? "" : "|";
        words += w;
    }
    return std::string(option) + " takes " + words + ", not \"" + std::string(word) + "\"";
}

}  // namespace

int RunSelect(std::span<const char* const> args) {
    BatchArgs a;
    SelectRequest r;
    bool invert = false, print0 = false;
    bool nameGiven = false, nameFlags = false, labelFlags = false, valueFlags = false;
    int labels = 0, values = 0, contexts = 0;
    std::vector<OptionSpec> specs = {
        FlagOption("--recursive", "-r", a.recursive),
        FlagOption("--help", "-h", a.help),
        FlagOption("--invert", "", invert),
        FlagOption("--print0", "", print0),
        SetOption(a.overrides),
        JobsOption(a.jobs),
    };
    auto text = [&](const char* name, std::string& into, bool* given) {
        specs.push_back({name, "", 1, "TEXT", [&into, given](std::span<const std::string_view> v) {
                             into = v[0];
                             if (given) *given = true;
                             return std::string();
                         }});
    };
    auto flag = [&](const char* name, bool& into, bool& seen) {
        specs.push_back({name, "", 0, {}, [&into, &seen](auto) {
                             into = seen = true;
                             return std::string();
                         }});
    };
    text("--filename", r.filename.text, &nameGiven);
    flag("--whole-word", r.filename.wholeWord, nameFlags);
    flag("--match-case", r.filename.matchCase, nameFlags);
    specs.push_back({"--label", "", 1, "any|empty|unrecognized", [&](std::span<const std::string_view> v) {
                         ++labels;
                         return choose<LabelCriterion>("--label", v[0],
                                                       {{"any", LabelCriterion::Any},
                                                        {"empty", LabelCriterion::Empty},
                                                        {"unrecognized", LabelCriterion::Unrecognized}},
                                                       r.label);
                     }});
    specs.push_back({"--label-contains", "", 1, "TEXT", [&](std::span<const std::string_view> v) {
                         ++labels;
                         r.label = LabelCriterion::Contains;
                         r.labelText.text = v[0];
                         return std::string();
                     }});
    flag("--label-whole-word", r.labelText.wholeWord, labelFlags);
    flag("--label-match-case", r.labelText.matchCase, labelFlags);
    specs.push_back(
        {"--value", "", 1, "any|none|empty", [&](std::span<const std::string_view> v) {
             ++values;
             return choose<ValueCriterion>(
                 "--value", v[0],
                 {{"any", ValueCriterion::Any}, {"none", ValueCriterion::None}, {"empty", ValueCriterion::Empty}},
                 r.value);
         }});
    specs.push_back({"--value-contains", "", 1, "TEXT", [&](std::span<const std::string_view> v) {
                         ++values;
                         r.value = ValueCriterion::Contains;
                         r.valueText.text = v[0];
                         return std::string();
                     }});
    flag("--value-whole-word", r.valueText.wholeWord, valueFlags);
    flag("--value-match-case", r.valueText.matchCase, valueFlags);
    specs.push_back({"--context", "", 1, "any|top-level", [&](std::span<const std::string_view> v) {
                         ++contexts;
                         return choose<ContextCriterion>(
                             "--context", v[0],
                             {{"any", ContextCriterion::Any}, {"top-level", ContextCriterion::TopLevel}}, r.context);
                     }});
    specs.push_back({"--under", "", 2, "LABEL VALUE", [&](std::span<const std::string_view> v) {
                         ++contexts;
                         r.context = ContextCriterion::SubAttributeOf;
                         r.contextLabel = v[0];
                         r.contextValue = v[1];
                         return std::string();
                     }});

    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help, {kSelectHelp},
                                   "select"))
        return *done;
    const bool byAttribute = labels || values || contexts || labelFlags || valueFlags;
    if (nameGiven && byAttribute) return UsageError("--filename does not go with the attribute options", "select");
    if (nameFlags && !nameGiven) return UsageError("--whole-word and --match-case go with --filename", "select");
    if (labels > 1) return UsageError("give one of --label and --label-contains, once", "select");
    if (values > 1) return UsageError("give one of --value and --value-contains, once", "select");
    if (contexts > 1) return UsageError("give one of --context and --under, once", "select");
    if (labelFlags && r.label != LabelCriterion::Contains)
        return UsageError("--label-whole-word and --label-match-case go with --label-contains", "select");
    if (valueFlags && r.value != ValueCriterion::Contains)
        return UsageError("--value-whole-word and --value-match-case go with --value-contains", "select");
    if (a.paths.empty()) return UsageError("no PATH given", "select");
    r.tab = nameGiven ? SelectTab::ByFilename : SelectTab::ByAttribute;
    r.action = SelectAction::NewSelection;

    GlobalSettings settings;
    if (auto e = LoadEffectiveSettings(settings, a.overrides); !e.empty()) return UsageError(e, "select");
    const OutputClosedStop pipeStop;
    std::optional<InterruptStop> interrupt(std::in_place);
    StderrSink sink;
    RowParser parser(settings, &sink, FileSystemService::Instance());
    GatheredRows gathered = GatherRows(parser, FileSystemService::Instance(), a);
    std::vector<FileRow*> rows;
    rows.reserve(gathered.rows.size());
    for (FileRow& row : gathered.rows) rows.push_back(&row);
    TerminalProgress progress;
    const bool done =
        !interrupt->stopped() && RunSelectFiles(r, rows, parser, [&](std::int32_t reached, std::int32_t total) {
            if (progress.due()) progress.show(FormatCount(reached) + " of " + FormatCount(total));
            return !interrupt->stopped();
        });
    progress.clear();
    if (!done) {
        PrintError("stopped; nothing printed");
        return ExitInterrupted;
    }
    interrupt.reset();

    Output out;
    for (const FileRow& row : gathered.rows) {
        if (row.Selected == invert) continue;
        out.text() += row.Key;
        out.text() += print0 ? '\0' : '\n';
        out.maybeFlush();
    }
    return FinishListing(out, gathered.failed);
}

}  // namespace lorvane::cli
