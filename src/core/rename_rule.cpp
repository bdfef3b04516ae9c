#include "core/rename_rule.h"

namespace lorvane {

NameRefusal JudgeNewFileName(std::string_view name) {
    if (name.empty()) return NameRefusal::Empty;
    if (name == "." || name == "..") return NameRefusal::Dot;
    if (name.find('/') != std::string_view::npos) return NameRefusal::Slash;
    if (name.find('\0') != std::string_view::npos) return NameRefusal::Nul;
    return NameRefusal::None;
}

std::string_view NameRefusalText(NameRefusal refusal) {
    switch (refusal) {
        case NameRefusal::None: return {};
        case NameRefusal::Empty: return "A file name cannot be empty";
        case NameRefusal::Dot: return "A file name cannot be \".\" or \"..\"";
        case NameRefusal::Slash: return "A file name cannot contain \"/\"";
        case NameRefusal::Nul: return "A file name cannot contain a NUL character";
    }
    return {};
}

RenameResult RenameFile(const FileSystem& files, std::string_view oldPath, std::string_view folder,
                        std::string_view newName) {
    RenameResult r;
    r.refusal = JudgeNewFileName(newName);
    if (r.refusal != NameRefusal::None) return r;
    r.newPath = JoinPath(folder, newName);
    r.error = files.Move(oldPath, r.newPath);
    return r;
}

}  // namespace lorvane
