// Whether a new name for a file can be given to it where it is: the one judgment
// the Editor's Save and the Browser's rename both make before asking the file
// system.
#pragma once

#include <string>
#include <string_view>

#include "core/files/file_service.h"

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

struct RenameResult {
    NameRefusal refusal = NameRefusal::None;  // the name was refused before the file system was asked
    FsError error;                            // or the file system's failure
    std::string newPath;                      // folder, "/" and the new name

    bool ok() const { return refusal == NameRefusal::None && error.ok(); }
};

// The one way a file gets a new name in its folder (the Editor's Save, the
// Browser's rename, every batch run): the name judged first, then moved without
// ever replacing another file.
RenameResult RenameFile(const FileSystem& files, std::string_view oldPath, std::string_view folder,
                        std::string_view newName);

}  // namespace lorvane
