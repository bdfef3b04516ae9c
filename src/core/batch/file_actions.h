// Delete (to the trash), Copy, Move and Create Shortcuts over the selected files:
// steps of the one batch run that act on each file instead of its name, and the
// texts the Browser asks and titles them with.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/batch/batch_run.h"

namespace lorvane {

// The operation of an action (Delete, Copy, Move or Link).
const BatchOperation& FileOperation(FileAction action);

// The step of a file operation: the run does the action itself (see BatchRun);
// the step names it and where the files go.
class FileActionStep final : public BatchStep {
public:
    // destination: the folder for Copy, Move and Link (a clean path); none for Delete.
    explicit FileActionStep(FileAction action, std::string destination = {})
        : operation_(FileOperation(action)), destination_(std::move(destination)) {}
    const BatchOperation& Operation() const override { return operation_; }
    StepAnswer ChangeTree(AttributeTree&, const FileRow&) override { return StepAnswer::NotApplicable; }
    std::string_view Destination() const override { return destination_; }

private:
    const BatchOperation& operation_;
    std::string destination_;
};

// Whether the action asks before it starts (Delete and Copy do).
bool AsksToConfirm(FileAction action);
// "Confirm File Delete" / "Confirm Multiple File Delete" (Copy likewise).
std::string ConfirmationTitle(FileAction action, std::int32_t selected);
// "Are you sure you want to delete "a.jpg"?" / "... delete these 3 files?"
std::string ConfirmationText(FileAction action, std::int32_t selected, std::string_view name);
// The folder chooser's title: "Copy file to Folder", "Move 3 files to Folder",
// "Create 2 shortcuts in Folder".
std::string DestinationTitle(FileAction action, std::int32_t selected);

}  // namespace lorvane
