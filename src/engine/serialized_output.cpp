#include "engine/serialized_output.h"

#include <string>

#include "engine/utf8.h"

namespace lorvane {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void ParseSerializedOutput(std::string_view fileName, AttributeTree& tree, Result& result, bool allowIllegal,
                      int maximumLength, int showLevels) {
    result.reset();
    result.position = 1;
    InitializeTree(tree, showLevels);
    auto failWith = [&](std::string_view message, int position, int length, ResultCode code = ResultCode::None) {
        tree.clear();
        result.set(Status::Fail, message, position, length, code);
    };

    const int nameLength = static_cast<int>(utf8::length(fileName));
    if (!CheckFilenameBasics(fileName, nameLength, allowIllegal, maximumLength, "Illegal character in filename", tree,
                             result))
        return;

    const std::size_t dot = fileName.rfind('.');
    if (dot == 0) return failWith("Filename must contain at least one character in addition to the Extension", 1, 0);
    std::string_view body = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view{} : fileName.substr(dot);

    // The volume is two digits at the end of a body of more than two characters.
    // Digits are single bytes, so the last two bytes are the last two characters.
    std::string_view volume;
    if (body.size() >= 2 && isDigit(body[body.size() - 1]) && isDigit(body[body.size() - 2]) &&
        utf8::length(body) > 2) {
        volume = body.substr(body.size() - 2);
        body.remove_suffix(2);
    }

    const int root = tree.root();
    AddTaggedAttribute(tree, root, "Batch", body, showLevels);
    if (!volume.empty()) AddTaggedAttribute(tree, root, "Volume", volume, showLevels);
    if (!extension.empty()) {
        // A trailing period gives the attribute without a value.
        const bool hasValue = extension.size() > 1;
        const int ext = AddTaggedAttribute(tree, root, "Extension",
                                           hasValue ? std::optional<std::string_view>("") : std::nullopt, showLevels);
        if (hasValue) utf8::upperInto(extension.substr(1), tree[tree[ext].child].text);
    }
}

}  // namespace lorvane
