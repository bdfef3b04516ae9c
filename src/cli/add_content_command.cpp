// lorvane add-content: one attribute with one value added to each file's name, at
// the top level or under a value of another attribute, and the file renamed.
#include <memory>
#include <string>

#include "cli/batch_command.h"
#include "cli/commands.h"
#include "cli/content_options.h"
#include "core/batch/add_content.h"

namespace lorvane::cli {

namespace {

const char kAddContentHelp[] =
    "Usage: lorvane add-content --attribute NAME --value VALUE [--under ATTRIBUTE VALUE]\n"
    "                           [--allow-blank] [COMMON]... PATH...\n"
    "Adds an attribute NAME with the one value VALUE to each file's name, as the\n"
    "Browser's Add Content does, and renames the file.\n"
    "  --attribute NAME  the attribute's name, as written in the name\n"
    "  --value VALUE     its value\n"
    "  --under ATTRIBUTE VALUE\n"
    "                    add it under this value of this attribute, not at the top\n"
    "                    level: the first attribute (in the order the name's parts\n"
    "                    were read, at any depth) named ATTRIBUTE, in any letter case\n"
    "                    or by any of its dictionary names, that has the value VALUE\n"
    "                    (letter case ignored); of several such values, the last.\n"
    "                    Either may be empty (\"\")\n"
    "  --allow-blank     take an empty NAME or VALUE (refused otherwise)\n"
    "Blanks at the ends of NAME, VALUE, ATTRIBUTE and VALUE are removed, as the dialog\n"
    "does. Names without that attribute and value are \"not applicable\" and left as\n"
    "they are.\n"
    "\n";

}  // namespace

int RunAddContent(std::span<const char* const> args) {
    BatchArgs a;
    AddContentRequest request;
    bool attribute = false, value = false, allowBlank = false;
    std::vector<OptionSpec> specs;
    AddCommonBatchOptions(specs, a);
    specs.push_back(FieldOption("--attribute", "NAME", attribute, {&request.attribute}));
    specs.push_back(FieldOption("--value", "VALUE", value, {&request.value}));
    specs.push_back(FieldOption("--under", "ATTRIBUTE VALUE", request.subAttribute,
                                {&request.contextAttribute, &request.contextValue}));
    specs.push_back(FlagOption("--allow-blank", "", allowBlank));

    if (auto done = CommandOpening(ParseArguments(args, specs, a.paths, "PATH", &a.literalFrom), a.help,
                                   {kAddContentHelp, kCommonBatchHelp}, "add-content"))
        return *done;
    if (!attribute || !value) return UsageError("add-content needs --attribute NAME and --value VALUE", "add-content");
    if (!allowBlank) {
        switch (FindBlankContent(request)) {
            case BlankContent::Attribute:
                return UsageError("--attribute is blank (give --allow-blank to add a blank name)", "add-content");
            case BlankContent::Value:
                return UsageError("--value is blank (give --allow-blank to add a blank value)", "add-content");
            case BlankContent::None: break;
        }
    }
    return RunBatchCommand("add-content", args, a, [&](RowParser&, const FileSystem&) -> std::unique_ptr<BatchStep> {
        return std::make_unique<AddContentStep>(request);
    });
}

}  // namespace lorvane::cli
