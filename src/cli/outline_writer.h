// The readable form of a check for people: the tree as an indented outline
// with a mark per node, then the parse and build status lines.
#pragma once

#include <string>
#include <string_view>

#include "cli/check_record.h"

namespace lorvane::cli {

// Marks: "*" root, "@" attribute, "-" value; " [Warn]" or " [Fail]" after the
// text of a marked node; " (+)" after a collapsed node that has children.
// A value of a date attribute that reads as a date is followed by the span it
// stands for: " (earliest to latest)", both as "YYYY-MM-DD hh:mm:ss".
void AppendCheckOutline(std::string& out, const CheckRecord& record);

}  // namespace lorvane::cli
