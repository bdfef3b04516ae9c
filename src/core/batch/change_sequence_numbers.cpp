#include "core/batch/change_sequence_numbers.h"

#include <string>

#include "engine/dates.h"
#include "engine/dictionary.h"
#include "engine/utf8.h"
#include "engine/values.h"

namespace lorvane {

namespace {

constexpr std::string_view kSequenceNumber = "Sequence Number";

// "000": every number a run writes has three digits.
std::string threeDigits(std::int64_t n) {
    std::string text = std::to_string(n);
    return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

bool inRange(std::int64_t n) { return n >= kFirstSequence && n <= kLastSequence; }

FieldCheck readField(std::string_view text, std::int64_t& number, bool absolute) {
    const auto n = ReadShiftField(text);
    number = n.value_or(0);
    if (!n) return FieldCheck::NotANumber;
    if (number > kSequenceFieldLimit || number < -kSequenceFieldLimit) return FieldCheck::BeyondLimit;
    if (absolute && number < 0) number = -number;
    return FieldCheck::Accepted;
}

}  // namespace

FieldCheck ReadSequenceSigned(std::string_view text, std::int64_t& number) { return readField(text, number, false); }

FieldCheck ReadSequenceAbsolute(std::string_view text, std::int64_t& number) { return readField(text, number, true); }

UsableSequenceNumber FindUsableSequenceNumber(const AttributeTree& tree) {
    UsableSequenceNumber found;
    if (tree.empty() || !tree.root()) return found;
    Finding finding;
    for (int n = tree[tree.root()].child; n; n = tree[n].next) {
        const Node& attribute = tree[n];
        if (attribute.children == 0 || TranslateAttributeName(attribute.text) != kSequenceNumber) continue;
        std::int32_t number = 0;
        ValidateIntegerValue(utf8::trimSpaces(tree[attribute.child].text), number, finding);
        if (finding.failed()) continue;
        found.valueNode = attribute.child;
        found.number = number;
        break;
    }
    return found;
}

StepAnswer ChangeSequenceInTree(const ChangeSequenceRequest& request, AttributeTree& tree, std::int64_t& generator) {
    const UsableSequenceNumber usable = FindUsableSequenceNumber(tree);
    std::int64_t number = 0;
    switch (request.mode) {
        case SequenceChange::Generate:
            if (!request.allFiles && usable.valueNode) return StepAnswer::NotApplicable;
            // The fields stay within 32 bits, so 64 bits hold any run's count.
            generator += request.step;
            number = generator;
            break;
        case SequenceChange::Replace:
            if (!usable.valueNode) return StepAnswer::NotApplicable;
            number = request.number;
            break;
        case SequenceChange::Shift:
            if (!usable.valueNode) return StepAnswer::NotApplicable;
            number = usable.number + request.amount;
            break;
    }
    // A number past three digits is never written; the old one stays.
    if (!inRange(number)) return StepAnswer::OutOfRange;
    if (usable.valueNode) tree[usable.valueNode].text = threeDigits(number);
    else AddTaggedAttribute(tree, tree.root(), kSequenceNumber, threeDigits(number));
    return StepAnswer::Changed;
}

}  // namespace lorvane
