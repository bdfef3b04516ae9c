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

// Text for a terminal: every control character (C0, DEL, C1) and every byte that
// is not part of valid UTF-8 written as "?", so that no name can move the cursor,
// break a line or start an escape sequence. The outline and the error lines on
// standard error both write names this way.
void AppendVisible(std::string& out, std::string_view text);

}  // namespace lorvane::cli
