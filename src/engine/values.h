// Validators for the value formats Text, Integer, Percent and Extension. Each
// returns the normalised value and a finding (message filled also for "Good").
// The normalised text is written into the caller's string, which must not be the text's own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/result.h"

namespace lorvane {

void ValidateTextValue(std::string_view text, std::string& normalised, Finding& finding);
// Numbers: optional blanks around, at most one sign, decimal digits (leading zeros
// allowed), within 32 bits. number is -1 when the text does not read as one.
void ValidateIntegerValue(std::string_view text, std::int32_t& number, Finding& finding);
void ValidatePercentValue(std::string_view text, std::int32_t& number, Finding& finding);
void ValidateExtensionValue(std::string_view text, std::string& normalised, Finding& finding);

}  // namespace lorvane
