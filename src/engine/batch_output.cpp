#include "engine/batch_output.h"

#include <string>

#include "engine/utf8.h"

namespace lorvane {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int addAttribute(AttributeTree& tree, std::string_view name, int showLevels) {
    const int a = tree.addChild(tree.root(), name, image::AttributeGood);
    tree[a].tag.assign(name);
    tree[a].expanded = showLevels > 1;
    return a;
}

int addValue(AttributeTree& tree, int attribute, std::string_view text, int showLevels) {
    const int v = tree.addChild(attribute, text, image::ValueGood);
    tree[v].expanded = showLevels > 2;
    return v;
}

}  // namespace

void ParseBatchOutput(std::string_view fileName, AttributeTree& tree, Result& result, bool allowIllegal,
                      int maximumLength, int showLevels) {
    result.reset();
    result.position = 1;
    InitializeTree(tree, showLevels);
    auto failWith = [&](std::string_view message, int position, int length) {
        tree.clear();
        result.set(Status::Fail, message, position, length);
    };

    if (fileName.empty()) return failWith("Filename is empty", 1, 0);
    const int nameLength = static_cast<int>(utf8::length(fileName));
    if (nameLength > maximumLength) {
        tree.clear();
        return SetFilenameTooLong(result, nameLength, maximumLength);
    }
    if (!allowIllegal) {
        if (int p = FindIllegalCharacter(fileName)) return failWith("Illegal character in filename", p, 1);
    }

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

    addValue(tree, addAttribute(tree, "Batch", showLevels), body, showLevels);
    if (!volume.empty()) addValue(tree, addAttribute(tree, "Volume", showLevels), volume, showLevels);
    if (!extension.empty()) {
        const int ext = addAttribute(tree, "Extension", showLevels);
        if (extension.size() > 1) {
            const int v = addValue(tree, ext, "", showLevels);
            utf8::upperInto(extension.substr(1), tree[v].text);
        }
    }
}

}  // namespace lorvane
