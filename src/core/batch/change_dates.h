// Change Dates: the request a dialog or the command line fills, and its step,
// which changes the usable Captured Date of one parsed name.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <string_view>

#include "core/batch/batch_run.h"
#include "engine/dates.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

enum class DateChange { Generate = 1, Round = 2, Replace = 3, Shift = 4 };
// The dialog's Source items, and beyond them the date a picture was taken.
enum class DateSource { Created = 0, Modified = 1, Earlier = 2, Taken = 3 };
struct ChangeDatesRequest {
    DateChange mode = DateChange::Shift;
    DateSource source = DateSource::Earlier;
    DatePrecision precision = DatePrecision::Day;
    DateTime earliest{}, latest{};
    DateShift shift;
};

// The years a run writes into names: those the date type of the dialog's fields
// held. A date outside them is refused; one outside the settings' years is not.
constexpr int kFirstYear = 100, kLastYear = 9999;
inline constexpr std::string_view kDateBeyondYears = "The new date lies outside the years 100 to 9999";

// How a request's field text fares; the dialog and the command line read their
// fields through the two functions below and only word the refusals their way.
enum class FieldCheck { Accepted, NotANumber, BeyondLimit, NotADate, ZeroDate, BeyondYears };

// Shift amounts are taken up to this either way, in the dialog as on the command
// line: more years, months or days than any date of the years 100 to 9999 can move.
constexpr std::int64_t kShiftLimit = 1'000'000'000;
// A shift field: NotANumber (amount 0) or BeyondLimit (amount as read) refused.
FieldCheck ReadShiftAmount(std::string_view text, std::int64_t& amount);
// Earliest or Latest: NotADate, ZeroDate for 1899/12/30 00:00:00, which stands for
// no date, and BeyondYears for a year before kFirstYear refused (date-time untouched).
FieldCheck ReadReplaceDate(std::string_view text, DateTime& dateTime);

// What Generate reads of a file; nothing where it is not known.
struct FileDates {
    std::optional<DateTime> created, modified, taken;
};

// The first top-level Captured Date whose first value reads as a date, and
// whether the last one with a value that the search saw failed to read.
struct UsableCapturedDate {
    int valueNode = 0;  // 0: none
    DateTime earliest{}, latest{};
    bool lastFailed = false;
};
UsableCapturedDate FindUsableCapturedDate(const AttributeTree& tree, const DateOptions& options);

// The step for one tree. fileDates is asked only by Generate, only when the name
// has no usable date; false means the file could not be read. Failed: the new
// date lies outside kFirstYear to kLastYear (kDateBeyondYears), the tree unchanged.
StepAnswer ChangeDatesInTree(const ChangeDatesRequest& request, AttributeTree& tree, const DateOptions& options,
                             const std::function<bool(FileDates&)>& fileDates);

// The step as the batch run calls it: the file's dates come from the file
// system and, for Taken, from the picture's Exif metadata.
class ChangeDatesStep final : public BatchStep {
public:
    // The request is kept (a copy: the dialog it came from may change meanwhile).
    ChangeDatesStep(ChangeDatesRequest request, const DateOptions& options, const FileSystem& files)
        : request_(std::move(request)), options_(options), files_(files) {}
    const BatchOperation& Operation() const override { return batch_operation::ChangeDates; }
    StepAnswer ChangeTree(AttributeTree& tree, const FileRow& row) override;
    std::string FailureReason() const override { return std::string(kDateBeyondYears); }

private:
    ChangeDatesRequest request_;
    const DateOptions& options_;
    const FileSystem& files_;
    FileInfo file_;
};

}  // namespace lorvane
