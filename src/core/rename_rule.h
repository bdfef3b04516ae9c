// Whether a new name for a file can be given to it where it is: the one judgment
// the Editor's Save and the Browser's rename both make before asking the file
// system.
#pragma once

#include <string_view>

namespace lorvane {

enum class NameRefusal {
    None,   // the name can be used
    Empty,
    Dot,    // "." or "..": the folder itself or its parent
    Slash,  // would move the file into another folder
    Nul,    // the system would cut the name short at it
};

// The first reason the name cannot be used, or None.
NameRefusal JudgeNewFileName(std::string_view name);

// The message for a refusal, e.g. "A file name cannot contain "/"" (empty for None).
std::string_view NameRefusalText(NameRefusal refusal);

}  // namespace lorvane
