// What a batch run counts and the texts it reports: the closing report, the
// rebuild's one sentence and the rename-failure box, the same in the Browser and
// on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

// How a run closes: the count lines, or Re-Build's one sentence; a file
// operation's two counts (done and failed), which only the command line shows.
enum class RunReportForm { Counts, RebuildSentence, FileCounts };

// What an operation does to each selected file: renames it (None: its step
// changes the name's tree), or acts on the file itself without parsing its name.
enum class FileAction { None, Delete, Copy, Move, Link };

// The texts of one batch operation and the protocol its run follows.
struct BatchOperation {
    std::string_view title = {};            // of its message boxes
    std::string_view progressCaption = {};  // of the progress dialog
    std::string_view successLine = {};
    std::string_view notApplicableLine = {};
    bool outOfRangeLine = false;       // the report has the out-of-range line
    bool renameNotApplicable = true;   // a not-applicable row is still rebuilt and renamed
    bool countAfterRow = false;        // progress counted once a row is done, not before it
    RunReportForm report = RunReportForm::Counts;
    FileAction action = FileAction::None;
    // The box after a failed file: the error's opening and, unless it was the last
    // row, the question.
    std::string_view failureText = "Unable to rename the file ";
    std::string_view continueText = "Click OK to continue processing the remaining files or Cancel to abort.";
    std::string_view failedLine = "  filenames could not be saved";
    std::string_view previewLine = "Preview: nothing was renamed; add --apply to rename.";
};

namespace batch_operation {
inline constexpr BatchOperation ChangeDates{"Change Dates", "Changing Dates...", "  filenames successfully processed",
                                            "  filenames did not have/need dates"};
inline constexpr BatchOperation ChangeSequenceNumbers{"Change Sequence Numbers", "Changing Sequence Numbers...",
                                                      "  filenames successfully processed",
                                                      "  filenames did not have/need numbers", true};
inline constexpr BatchOperation AddContent{"Add Content", "Adding Content...", "  filenames successfully processed",
                                           "  filenames lacked the specified context", false, false};
inline constexpr BatchOperation RemoveContent{"Remove Content", "Removing Content...",
                                              "  filenames successfully updated", "  filenames did not meet criteria",
                                              false, false};
// Re-Build has no closing report of counts, only its sentence.
inline constexpr BatchOperation Rebuild{
    "Rebuild", "Rebuilding Filenames...", "", "", false, true, true, RunReportForm::RebuildSentence};
// The file operations: no closing report in the Browser, their counts on the command line.
inline constexpr BatchOperation Delete{
    .title = "Delete",
    .progressCaption = "Deleting Files...",
    .successLine = "  files moved to the trash",
    .countAfterRow = true,
    .report = RunReportForm::FileCounts,
    .action = FileAction::Delete,
    .failureText = "Unable to delete the file ",
    .continueText = "Click OK to continue deleting the remaining files or Cancel to abort.",
    .failedLine = "  files could not be deleted",
    .previewLine = "Preview: nothing was deleted; add --apply to move the files to the trash."};
inline constexpr BatchOperation Copy{
    .title = "Copy",
    .progressCaption = "Copying Files...",
    .successLine = "  files copied",
    .countAfterRow = true,
    .report = RunReportForm::FileCounts,
    .action = FileAction::Copy,
    .failureText = "Unable to copy the file ",
    .continueText = "Click OK to continue copying the remaining files or Cancel to abort.",
    .failedLine = "  files could not be copied",
    .previewLine = "Preview: nothing was copied; add --apply to copy."};
inline constexpr BatchOperation Move{
    .title = "Move",
    .progressCaption = "Moving Files...",
    .successLine = "  files moved",
    .countAfterRow = true,
    .report = RunReportForm::FileCounts,
    .action = FileAction::Move,
    .failureText = "Unable to move the file ",
    .continueText = "Click OK to continue moving the remaining files or Cancel to abort.",
    .failedLine = "  files could not be moved",
    .previewLine = "Preview: nothing was moved; add --apply to move."};
inline constexpr BatchOperation CreateShortcuts{
    .title = "Create Shortcuts",
    .progressCaption = "Creating Shortcuts...",
    .successLine = "  shortcuts created",
    .countAfterRow = true,
    .report = RunReportForm::FileCounts,
    .action = FileAction::Link,
    .failureText = "Unable to create shortcut to the file ",
    .continueText = "Click OK to continue creating shortcuts to the remaining files or Cancel to abort.",
    .failedLine = "  shortcuts could not be created",
    .previewLine = "Preview: no shortcut was created; add --apply to create them."};
}  // namespace batch_operation

struct BatchCounters {
    std::int32_t attempted = 0, notParsed = 0, notApplicable = 0, outOfRange = 0, notRebuilt = 0, notSaved = 0;
    std::int32_t total = 0;

    std::int32_t successes() const { return total - notParsed - notApplicable - outOfRange - notRebuilt - notSaved; }
};

// The closing report: each count zero-padded to the digits of the total, its
// line, the "=" line and the total; lines end with lineEnd, the last with nothing.
std::string BatchReport(const BatchOperation& operation, const BatchCounters& counters,
                        std::string_view lineEnd = "\r\n");

// Re-Build's sentence when some names could not be parsed, else empty:
// "Of the 5 filenames attempted, 2 filenames were not processed because they could not be parsed."
std::string RebuildReport(std::int32_t selected, std::int32_t notParsed);

// How a run ended, for the line after the report.
enum class RunEnd { Completed, Stopped, Cancelled };

// The report the operation closes with (empty when Re-Build's sentence has nothing
// to say), then, when the run ended early, how many selected files it did not
// attempt: "The run was stopped: 3 of the 10 selected filenames were not attempted."
std::string RunReport(const BatchOperation& operation, const BatchCounters& counters, std::int32_t selected,
                      RunEnd end, std::string_view lineEnd = "\r\n");

// Re-Build's question: one row by its name, several by their number.
std::string RebuildQuestion(std::int32_t selected, std::string_view name);

// "Unable to rename the file "KEY" due to the following error: DESCRIPTION." and,
// unless it was the last row, the question whether to go on.
std::string RenameFailureText(std::string_view key, std::string_view description, bool last,
                              std::string_view lineEnd = "\r\n");
// The same box in the operation's words: "Unable to delete the file "KEY" due to ...".
std::string FailureText(const BatchOperation& operation, std::string_view key, std::string_view description,
                        bool last, std::string_view lineEnd = "\r\n");

inline constexpr std::string_view kRenameFailureTitle = "Problem";
inline constexpr std::string_view kNoFilesSelected = "No files are selected.";

}  // namespace lorvane
