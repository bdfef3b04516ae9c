// One JSON object per checked name, on one line. The field names and their
// order are a contract with scripts and later tools; keep them stable.
#pragma once

#include <string>
#include <string_view>

#include "cli/check_record.h"
#include "engine/tree.h"

namespace lorvane::cli {

// A JSON string literal: quotes, backslash and control characters escaped,
// UTF-8 passed through, each byte that is not valid UTF-8 written as U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// A JSON string holds only Unicode text, so text that is not valid UTF-8 (a name
// or path) also goes in base64, which gives back its bytes: ", "field": "..."".
// Nothing for valid UTF-8.
void AppendBytesField(std::string& out, std::string_view field, std::string_view bytes);

// {"text", "tag", "image", "expanded", "children": [...]}, or null for an empty tree.
void AppendTreeJson(std::string& out, const AttributeTree& tree);

// The whole record and a line feed.
void AppendCheckJson(std::string& out, const CheckRecord& record);

}  // namespace lorvane::cli
