#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/utf8.h"
#include "engine/values.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

// Both number formats read the same texts; the percent one allows 0 to 100 only.
TEST(NumberValues, IntegerAndPercent) {
    const struct {
        const char* text;
        std::int32_t number;  // -1: the text does not read as a number
        bool integerGood, percentGood;
    } rows[] = {
        {"0", 0, true, true}, {"100", 100, true, true}, {"101", 101, true, false},
        {"2147483647", 2147483647, true, false},
        {"2147483648", -1, false, false}, {"99999999999999999999", -1, false, false}, {"-1", -1, false, false},
        {"-2147483648", INT32_MIN, false, false}, {"", -1, false, false},
        {"\xC3\xA9t\xC3\xA9", -1, false, false},  // the span counts characters
        // Accepted forms: blanks around, one sign, leading zeros.
        {"  42 ", 42, true, true}, {"+7", 7, true, true}, {"007", 7, true, true}, {"-0", 0, true, true},
        // Refused forms: grouping, fractions, inner blanks, double signs, hex, tabs.
        {"1,000", -1, false, false}, {"1.5", -1, false, false}, {"4 2", -1, false, false}, {"+-0", -1, false, false},
        {"+", -1, false, false}, {"0x10", -1, false, false}, {"\t5", -1, false, false}, {"12a", -1, false, false},
    };
    for (const auto& c : rows) {
        SCOPED_TRACE(c.text);
        // A refused text is selected whole, counted in characters.
        const std::string span = "Fail @1+" + std::to_string(utf8::length(c.text)) + " ";
        std::int32_t n = 12345;
        Finding f;
        f.set(Status::Warn, "stale", 9, 9);
        ValidateIntegerValue(c.text, n, f);
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(findingText(f), c.integerGood ? "Good @0+0 Valid integer value"
                                                : span + "Integer value must be a number between 0 and 2,147,483,647");
        n = 12345;
        ValidatePercentValue(c.text, n, f);
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(findingText(f), c.percentGood ? "Good @0+0 Valid percent value"
                                                : span + "Percent value must be a number between 0 and 100");
    }
}

}  // namespace
}  // namespace lorvane
