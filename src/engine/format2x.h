// Lorvane Data 2.x: delimited attributes, parsed and built.
#pragma once

#include <string>
#include <string_view>

#include "engine/result.h"
#include "engine/tree.h"

namespace lorvane {

struct Delimiters2x {
    std::string_view start, end, label, value;
};

// Strictness of the parser (Parse2xStrictMode).
enum StrictMode : int { Permissive = 0, Tolerant = 1, Strict = 2 };

// Empty delimiters would match everywhere and never advance; both directions refuse them.
// Returns the finding's message, or empty text when all four are usable.
std::string_view EmptyDelimiterMessage(const Delimiters2x& delimiters);

// Fills the tree ("Good") or empties it ("Fail"); result is overwritten.
void Parse2x(std::string_view fileName, AttributeTree& tree, Result& result, const Delimiters2x& delimiters,
             bool allowIllegal, bool allowLabelDelimiters, int strictMode, int maximumLength, int showLevels);

// Writes the tree as a 2.x name; findings are added to the result (not reset) and
// marked on their nodes. The name is produced as far as the tree allows.
void Build2x(std::string& fileName, AttributeTree& tree, Result& result, const Delimiters2x& delimiters,
             bool allowIllegal, bool allowLabelDelimiters, int maximumLength, int extensionLengthMinimum,
             int extensionLengthMaximum);

}  // namespace lorvane
