// Shared pieces of the engine's table tests: a finding as one line of text, and settings changed by a row.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "engine/result.h"
#include "engine/settings.h"
#include "support/tree_text.h"

namespace lorvane::testing {

// "Fail n5 @4+1 Extension value contains a period": status, node, position and length, message;
// a Good result with nothing in it is "Good".
inline std::string findingText(const Result& r) {
    std::string out(statusWord(r.status));
    if (r.good() && r.message.empty() && !r.nodeIndex && !r.position && !r.length) return out;
    if (r.nodeIndex) out += " n" + std::to_string(r.nodeIndex);
    out += " @" + std::to_string(r.position) + "+" + std::to_string(r.length);
    if (!r.message.empty()) out += " " + r.message;
    return out;
}

// The finding, with a note when the node it names does not show its status.
inline std::string shownFinding(const AttributeTree& t, const Result& r) {
    const bool shown = !r.nodeIndex || statusOfImage(t[r.nodeIndex].image) == r.status;
    return findingText(r) + (shown ? "" : " (not shown on its node)");
}

// The nodes, by Index, whose mark is not the Good one of their kind: "" when all are Good.
inline std::string notGood(const AttributeTree& t) {
    std::string out;
    for (int i = 1; i <= t.count(); ++i)
        if (t[i].image != goodImageOf(t[i].kind())) out += " " + std::to_string(i);
    return out;
}

// The finding naming its node by Text, for passes that renumber: "Warn Photographer @1+12 Unrecognized ...".
inline std::string findingOn(const AttributeTree& t, const Result& r) {
    if (r.good() && r.message.empty()) return "Good";
    return std::string(statusWord(r.status)) + " " + (r.nodeIndex ? t[r.nodeIndex].text : "-") + " @" +
           std::to_string(r.position) + "+" + std::to_string(r.length) + " " + r.message;
}

// The root's attributes in the treeText() form, and a tree made from that form; rows state trees so.
inline std::string attributesText(const AttributeTree& t) {
    const std::string s = treeText(t);
    return s.size() > 10 ? s.substr(9, s.size() - 10) : "";
}
inline void buildAttributes(AttributeTree& t, std::string_view attributes) {
    buildTree(t, "Filename(" + std::string(attributes) + ")");
}
// What a parse gave: the attributes when it was good, else its finding.
inline std::string parsedText(const AttributeTree& t, const Result& r) {
    return r.good() ? attributesText(t) : findingText(r);
}

// The words of a row's text, split at spaces.
inline std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        if (end) out.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return out;
}

// The default settings with a row's overrides, "Key=value Key=value" (a value may be empty). Numbers are
// taken as they are, also beyond what the setting allows, for rows about how the engine reads an odd value.
inline GlobalSettings settingsWith(std::string_view overrides) {
    GlobalSettings s;
    for (const std::string_view item : words(overrides)) {
        const std::string_view key = item.substr(0, item.find('='));
        const SettingDef* def = FindGlobalSetting(key);
        if (!def || key == item) {
            ADD_FAILURE() << "not a setting's override: " << item;
            continue;
        }
        const std::string value(item.substr(key.size() + 1));
        if (auto* text = std::get_if<std::string GlobalSettings::*>(&def->member)) s.*(*text) = value;
        else s.*std::get<std::int32_t GlobalSettings::*>(def->member) = std::stoi(value);
    }
    return s;
}

}  // namespace lorvane::testing
