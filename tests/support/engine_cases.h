// Shared pieces of the engine's table tests: a finding as one line of text, so that a
// row states its expected finding in one column, and settings changed by a row.
#pragma once

#include <string>

#include "engine/result.h"
#include "engine/settings.h"
#include "support/tree_text.h"

namespace lorvane::testing {

// "Fail n5 @4+1 Extension value contains a period": status, the node when one is
// concerned, position and length, message. A Good result with nothing in it is "Good".
inline std::string findingText(const Result& r) {
    std::string out(statusWord(r.status));
    if (r.good() && r.message.empty() && !r.nodeIndex && !r.position && !r.length) return out;
    if (r.nodeIndex) out += " n" + std::to_string(r.nodeIndex);
    out += " @" + std::to_string(r.position) + "+" + std::to_string(r.length);
    if (!r.message.empty()) out += " " + r.message;
    return out;
}

// The same, naming the node by its Text rather than its Index, for passes that renumber
// the tree: "Warn Photographer @1+12 Unrecognized attribute name".
inline std::string findingOn(const AttributeTree& t, const Result& r) {
    if (r.good() && r.message.empty()) return "Good";
    return std::string(statusWord(r.status)) + " " + (r.nodeIndex ? t[r.nodeIndex].text : "-") + " @" +
           std::to_string(r.position) + "+" + std::to_string(r.length) + " " + r.message;
}

// A row's change to the default settings (a captureless lambda, or none).
using Tweak = void (*)(GlobalSettings&);
inline GlobalSettings settingsWith(Tweak tweak) {
    GlobalSettings s;
    if (tweak) tweak(s);
    return s;
}

}  // namespace lorvane::testing
