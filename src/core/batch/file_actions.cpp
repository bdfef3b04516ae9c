#include "core/batch/file_actions.h"

namespace lorvane {

const BatchOperation& FileOperation(FileAction action) {
    switch (action) {
        case FileAction::Copy: return batch_operation::Copy;
        case FileAction::Move: return batch_operation::Move;
        case FileAction::Link: return batch_operation::CreateShortcuts;
        case FileAction::Delete:
        case FileAction::None: break;
    }
    return batch_operation::Delete;
}

bool AsksToConfirm(FileAction action) { return action == FileAction::Delete || action == FileAction::Copy; }

std::string ConfirmationTitle(FileAction action, std::int32_t selected) {
    const char* verb = action == FileAction::Copy ? "Copy" : "Delete";
    return std::string(selected == 1 ? "Confirm File " : "Confirm Multiple File ") + verb;
}

std::string ConfirmationText(FileAction action, std::int32_t selected, std::string_view name) {
    const std::string verb = action == FileAction::Copy ? "copy" : "delete";
    if (selected == 1) return "Are you sure you want to " + verb + " \"" + std::string(name) + "\"?";
    return "Are you sure you want to " + verb + " these " + std::to_string(selected) + " files?";
}

std::string DestinationTitle(FileAction action, std::int32_t selected) {
    const bool link = action == FileAction::Link;
    std::string middle = selected == 1 ? std::string(link ? "shortcut" : "file")
                                       : std::to_string(selected) + (link ? " shortcuts" : " files");
    if (link) return "Create " + middle + " in Folder";
    return std::string(action == FileAction::Move ? "Move " : "Copy ") + middle + " to Folder";
}

}  // namespace lorvane
