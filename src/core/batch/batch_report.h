// What a batch run counts and the texts it reports: the closing report, the
// rebuild's one sentence and the rename-failure box, the same in the Browser and
// on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lorvane {

// How a run closes: the count lines, or Re-Build's one sentence.
enum class RunReportForm { Counts, RebuildSentence };

// The texts of one batch operation and the protocol its run follows.
struct BatchOperation {
    std::string_view title;            // of its message boxes
    std::string_view progressCaption;  // of the progress dialog
    std::string_view successLine;
    std::string_view notApplicableLine;
    bool outOfRangeLine = false;       // the report has the out-of-range line
    bool renameNotApplicable = true;   // a not-applicable row is still rebuilt and renamed
    bool countAfterRow = false;        // progress counted once a row is done, not before it
    RunReportForm report = RunReportForm::Counts;
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

inline constexpr std::string_view kRenameFailureTitle = "Problem";
inline constexpr std::string_view kNoFilesSelected = "No files are selected.";

}  // namespace lorvane
