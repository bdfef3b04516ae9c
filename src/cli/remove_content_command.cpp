// lorvane remove-content: the attributes or values of each file's name that meet
// one criterion removed, within a context, and the file renamed.
#include <memory>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/content_options.h"
#include "core/batch/remove_content.h"

namespace lorvane::cli {

namespace {

const char kRemoveContentHelp[] =
    "Usage: lorvane remove-content CRITERION [CONTEXT] [--promote] [COMMON]... PATH...\n"
    "Removes from each file's name what meets CRITERION, as the Browser's Remove\n"
    "Content does, and renames the file. CRITERION is one of:\n"
    "  --attributes-without-values   attributes that have no values\n"
    "  --attributes-with-empty-labels  attributes whose name is empty\n"
    "  --attributes-named TEXT       attributes named TEXT, in any letter case or by\n"
    "                                any of its dictionary names (the whole name)\n"
    "  --empty-values                values that are empty\n"
    "  --values-containing TEXT      values that are not empty and contain TEXT,\n"
    "                                letter case ignored\n"
    "CONTEXT is one of:\n"
    "  --anywhere        at any depth (the default)\n"
    "  --top-level       top-level attributes and their values only\n"
    "  --under ATTRIBUTE VALUE\n"
    "                    only attributes (and their values) standing under the value\n"
    "                    VALUE (letter case ignored) of an attribute named ATTRIBUTE\n"
    "                    (as for --attributes-named); either may be empty (\"\")\n"
    "  --promote         the sub-attributes of what is removed move up to its place\n"
    "                    (and are examined in turn) instead of going with it\n"
    "Blanks at the ends of TEXT, ATTRIBUTE and VALUE are removed, as the dialog does.\n"
    "Names where nothing meets the criterion are \"not applicable\" and left as they are.\n"
    "\n";

}  // namespace

int RunRemoveContent(std::span<const char* const> args) {
    BatchArgs a;
    RemoveContentRequest request;
    int criteria = 0, contexts = 0;
    bool named = false, containing = false, under = false;
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    auto choice = [&](std::string_view name, auto set) {
        specs.push_back({name, "", 0, {}, [set](auto) {
                             set();
                             return std::string();
                         }});
    };
    auto criterion = [&](RemoveCriterion c) {
        return [&, c] {
            ++criteria;
            request.criterion = c;
        };
    };
    auto context = [&](RemoveContext c) {
        return [&, c] {
            ++contexts;
            request.context = c;
        };
    };
    choice("--attributes-without-values", criterion(RemoveCriterion::AttributesWithoutValues));
    choice("--attributes-with-empty-labels", criterion(RemoveCriterion::AttributesWithEmptyLabels));
    choice("--empty-values", criterion(RemoveCriterion::EmptyValues));
    choice("--anywhere", context(RemoveContext::Any));
    choice("--top-level", context(RemoveContext::TopLevel));
    specs.push_back(FieldOption("--attributes-named", "TEXT", named, {&request.attributeText}));
    specs.push_back(FieldOption("--values-containing", "TEXT", containing, {&request.valueText}));
    specs.push_back(
        FieldOption("--under", "ATTRIBUTE VALUE", under, {&request.contextAttribute, &request.contextValue}));
    specs.push_back(FlagOption("--promote", "", request.promote));

    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kRemoveContentHelp, kCommonBatchHelp}, "remove-content"))
        return *done;
    if (named) criterion(RemoveCriterion::AttributesNamed)();
    if (containing) criterion(RemoveCriterion::ValuesContaining)();
    if (under) context(RemoveContext::SubAttributeOf)();
    if (criteria != 1)
        return UsageError(
            "choose one of --attributes-without-values, --attributes-with-empty-labels, "
            "--attributes-named, --empty-values and --values-containing",
            "remove-content");
    if (contexts > 1) return UsageError("choose at most one of --anywhere, --top-level and --under", "remove-content");
    return RunBatchCommand("remove-content", args, a, [&](RowParser&, const FileSystem&) -> std::unique_ptr<BatchStep> {
        return std::make_unique<RemoveContentStep>(request);
    });
}

}  // namespace lorvane::cli
