// The readable form of a check for people: the tree as an indented outline
// with a mark per node, then the parse and build status lines.
#pragma once

#include <string>

#include "cli/check_record.h"

namespace lorvane::cli {

// Marks: "*" root, "@" attribute, "-" value; " [Warn]" or " [Fail]" after the
// text of a marked node; " (+)" after a collapsed node that has children.
void AppendCheckOutline(std::string& out, const CheckRecord& record);

}  // namespace lorvane::cli
