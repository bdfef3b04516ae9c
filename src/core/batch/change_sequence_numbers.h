// Change Sequence Numbers: the request a dialog or the command line fills, and its
// step, which generates, replaces or shifts the usable Sequence Number of one name.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/batch/batch_run.h"
#include "core/batch/change_dates.h"
#include "engine/tree.h"

namespace lorvane {

enum class SequenceChange { Generate = 1, Replace = 2, Shift = 3 };
struct ChangeSequenceRequest {
    SequenceChange mode = SequenceChange::Generate;
    bool allFiles = false;  // Generate's Apply to: "All files", else "Files that lack Sequence Numbers"
    std::int64_t start = 1, step = 1;
    std::int64_t number = 0;  // Replace's
    std::int64_t amount = 0;  // Shift's
};

// The numbers a name holds: three digits.
constexpr std::int64_t kFirstSequence = 0, kLastSequence = 999;

// The fields take numbers up to this either way, in the dialog as on the command
// line: a 32-bit number, so that the generator and a shift never overflow.
constexpr std::int64_t kSequenceFieldLimit = 2'147'483'647;
// Step or Amount, signed. Start or Number: made absolute (-5 reads as 5).
// NotANumber (the number 0) or BeyondLimit (the number as read) refused.
FieldCheck ReadSequenceSigned(std::string_view text, std::int64_t& number);
FieldCheck ReadSequenceAbsolute(std::string_view text, std::int64_t& number);

// The first top-level Sequence Number whose first value reads as a whole number.
struct UsableSequenceNumber {
    int valueNode = 0;  // 0: none
    std::int32_t number = 0;
};
UsableSequenceNumber FindUsableSequenceNumber(const AttributeTree& tree);

// The step for one tree. generator: the run's, set to Start minus Step before the
// first file (SequenceGeneratorStart) and advanced only for a file that is given a
// generated number, in range or not.
StepAnswer ChangeSequenceInTree(const ChangeSequenceRequest& request, AttributeTree& tree, std::int64_t& generator);
inline std::int64_t SequenceGeneratorStart(const ChangeSequenceRequest& request) {
    return request.start - request.step;
}

// The step as the batch run calls it; each run numbers afresh from Start.
class ChangeSequenceStep final : public BatchStep {
public:
    // The request is kept (a copy: the dialog it came from may change meanwhile).
    explicit ChangeSequenceStep(const ChangeSequenceRequest& request) : request_(request) {}
    const BatchOperation& Operation() const override { return batch_operation::ChangeSequenceNumbers; }
    void Begin() override { generator_ = SequenceGeneratorStart(request_); }
    StepAnswer ChangeTree(AttributeTree& tree, const FileRow&) override {
        return ChangeSequenceInTree(request_, tree, generator_);
    }

private:
    ChangeSequenceRequest request_;
    std::int64_t generator_ = 0;
};

}  // namespace lorvane
