#include "core/batch/batch_report.h"

#include "core/rows/file_rows.h"
#include "engine/digits.h"

namespace lorvane {

namespace {

int decimalDigits(std::int32_t n) {
    int digits = 1;
    for (std::int64_t v = n < 0 ? -std::int64_t{n} : n; v >= 10; v /= 10) ++digits;
    return digits;
}

std::string plainNumber(std::int64_t n) {
    std::string out;
    AppendZeroPadded(out, n, 1);
    return out;
}

}  // namespace

std::string BatchReport(const BatchOperation& op, const BatchCounters& c, std::string_view lineEnd) {
    const int width = decimalDigits(c.total);
    std::string out;
    auto line = [&](std::int32_t count, std::string_view text) {
        AppendZeroPadded(out, count, width);
        out += text;
        out += lineEnd;
    };
    if (op.report == RunReportForm::FileCounts) {
        line(c.successes(), op.successLine);
        line(c.notSaved, op.failedLine);
        out.append(static_cast<std::size_t>(width), '=');
        out += lineEnd;
        AppendZeroPadded(out, c.total, width);
        out += "  total files attempted";
        return out;
    }
    line(c.successes(), op.successLine);
    line(c.notParsed, "  filenames could not be parsed");
    line(c.notApplicable, op.notApplicableLine);
    if (op.outOfRangeLine) line(c.outOfRange, "  filenames had out-of-range numbers");
    line(c.notRebuilt, "  filenames could not be re-built");
    line(c.notSaved, "  filenames could not be saved");
    out.append(static_cast<std::size_t>(width), '=');
    out += lineEnd;
    AppendZeroPadded(out, c.total, width);
    out += "  total filenames attempted";
    return out;
}

std::string RebuildReport(std::int32_t selected, std::int32_t notParsed) {
    if (notParsed <= 0) return {};
    const bool one = notParsed == 1;
    return "Of the " + plainNumber(selected) + " filename" + (selected == 1 ? "" : "s") + " attempted, " +
           plainNumber(notParsed) + " filename" + (one ? " was" : "s were") + " not processed because " +
           (one ? "it" : "they") + " could not be parsed.";
}

std::string RunReport(const BatchOperation& op, const BatchCounters& c, std::int32_t selected, RunEnd end,
                      std::string_view lineEnd) {
    std::string out = op.report == RunReportForm::RebuildSentence ? RebuildReport(selected, c.notParsed)
                                                                  : BatchReport(op, c, lineEnd);
    if (end == RunEnd::Completed || c.attempted >= selected) return out;
    if (!out.empty()) out += lineEnd;
    out += end == RunEnd::Stopped ? "The run was stopped: " : "The run was cancelled: ";
    const std::int32_t left = selected - c.attempted;
    out += FormatCount(left) + " of the " + FormatCount(selected) + (op.report == RunReportForm::FileCounts ? " selected file" : " selected filename") +
           (selected == 1 ? "" : "s") +
           (left == 1 ? " was" : " were") + " not attempted.";
    return out;
}

std::string RebuildQuestion(std::int32_t selected, std::string_view name) {
    if (selected == 1) return "Are you sure you want to rebuild the filename \"" + std::string(name) + "\"?";
    return "Are you sure you want to rebuild these " + plainNumber(selected) + " filenames?";
}

std::string RenameFailureText(std::string_view key, std::string_view description, bool last,
                              std::string_view lineEnd) {
    return FailureText(batch_operation::ChangeDates, key, description, last, lineEnd);
}

std::string FailureText(const BatchOperation& op, std::string_view key, std::string_view description, bool last,
                        std::string_view lineEnd) {
    std::string text(op.failureText);
    text += '"';
    text += key;
    text += "\" due to the following error: ";
    text += description;
    text += '.';
    if (!last) {
        text += lineEnd;
        text += lineEnd;
        text += op.continueText;
    }
    return text;
}

}  // namespace lorvane
