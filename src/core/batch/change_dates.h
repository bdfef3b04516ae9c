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
// The dialog's Precision items.
enum class DatePrecision { Year = 0, Month = 1, Day = 2, Hour = 3, Minute = 4, Second = 5 };

struct DateShift {
    std::int64_t years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
};

struct ChangeDatesRequest {
    DateChange mode = DateChange::Shift;
    DateSource source = DateSource::Earlier;
    DatePrecision precision = DatePrecision::Day;
    DateTime earliest{}, latest{};
    DateShift shift;
};

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

// Components moved past their ranges carry over (month 13, day 0, hour 24,
// second -1); nothing when the result leaves the years 0 to 9999.
std::optional<DateTime> ComposeDateTime(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                                        std::int64_t minute, std::int64_t second);
// The span widened to whole units of the precision.
void RoundDateSpan(DatePrecision precision, DateTime& earliest, DateTime& latest);
std::optional<DateTime> ShiftDateTime(DateTime t, const DateShift& shift);

// The step for one tree. fileDates is asked only by Generate, only when the name
// has no usable date; false means the file could not be read. Failed: the new
// date lies outside the years the settings allow, so no name can be built.
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
    StepAnswer ChangeTree(AttributeTree& tree, const BrowserRow& row) override;

private:
    ChangeDatesRequest request_;
    const DateOptions& options_;
    const FileSystem& files_;
    FileInfo file_;
};

// The texts the dialog writes and reads: "yyyy/mm/dd hh:nn:ss"; reading also takes
// "yyyy-mm-dd hh:mm:ss" and "yyyy-mm-ddThh:mm:ss". Nothing for any other text or
// an impossible date.
std::string FormatDialogDateTime(DateTime t);
std::optional<DateTime> ReadDialogDateTime(std::string_view text);
// A shift field: a whole number, text that does not convert reads 0; written "+0;-0".
std::int64_t ReadShiftField(std::string_view text);
std::string FormatShiftField(std::int64_t n);

}  // namespace lorvane
