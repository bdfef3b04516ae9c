#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "engine/digits.h"

namespace lorvane {
namespace {

TEST(AppendZeroPadded, PaddingGroupingAndSign) {
    const struct {
        std::int64_t n;
        int minDigits;
        bool grouped;
        const char* text;
    } rows[] = {
        {0, 1, false, "0"}, {5, 3, false, "005"}, {1234, 3, false, "1234"}, {12345, 4, false, "12345"},  // never cut
        {-7, 4, false, "-0007"}, {13, 6, true, "000,013"}, {999, 6, true, "000,999"}, {1000, 1, true, "1,000"},
        {1234567, 1, true, "1,234,567"}, {0, 1, true, "0"}, {-1234, 1, true, "-1,234"},
        {std::numeric_limits<std::int64_t>::max(), 1, true, "9,223,372,036,854,775,807"},
        {std::numeric_limits<std::int64_t>::min(), 1, false, "-9223372036854775808"},
    };
    for (const auto& c : rows) {
        std::string out = "x";
        AppendZeroPadded(out, c.n, c.minDigits, c.grouped);
        EXPECT_EQ(out, std::string("x") + c.text) << c.n << " width " << c.minDigits;
    }
}

}  // namespace
}  // namespace lorvane
