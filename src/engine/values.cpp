#include "engine/values.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "engine/utf8.h"

namespace lorvane {

namespace {

// The number forms a value may take: blanks around it, at most one sign, then
// decimal digits only (leading zeros allowed). No grouping, no fraction, no
// other blanks: a value text that reads as something else must not pass as a number.
std::optional<std::int32_t> readInteger(std::string_view text) {
    text = utf8::trimSpaces(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    // Read the magnitude wide so that -2147483648 and overflow are judged exactly.
    std::int64_t magnitude = 0;
    for (char c : text) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{1} << 32) return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

int characters(std::string_view text) { return static_cast<int>(utf8::length(text)); }

}  // namespace

void ValidateTextValue(std::string_view text, std::string& normalised, Finding& finding) {
    normalised.assign(utf8::trimSpaces(text));
    finding.reset();
    finding.set(Status::Good, "Valid text value", 0, 0);
}

void ValidateIntegerValue(std::string_view text, std::int32_t& number, Finding& finding) {
    finding.reset();
    number = readInteger(text).value_or(-1);
    if (number >= 0)
        finding.set(Status::Good, "Valid integer value", 0, 0);
    else
        finding.set(Status::Fail, "Integer value must be a number between 0 and 2,147,483,647", 1, characters(text));
}

void ValidatePercentValue(std::string_view text, std::int32_t& number, Finding& finding) {
    finding.reset();
    number = readInteger(text).value_or(-1);
    if (number >= 0 && number <= 100)
        finding.set(Status::Good, "Valid percent value", 0, 0);
    else
        finding.set(Status::Fail, "Percent value must be a number between 0 and 100", 1, characters(text));
}

void ValidateExtensionValue(std::string_view text, std::string& normalised, Finding& finding) {
    finding.reset();
    utf8::upperInto(utf8::trimSpaces(text), normalised);
    if (normalised.empty()) {
        finding.set(Status::Fail, "Extension value may not be empty", 1, characters(text));
        return;
    }
    const auto period = text.find('.');
    if (period == std::string_view::npos)
        finding.set(Status::Good, "Valid extension value", 0, 0);
    else
        finding.set(Status::Fail, "Extension value may not contain a period", utf8::position(text, period), 1);
}

}  // namespace lorvane
