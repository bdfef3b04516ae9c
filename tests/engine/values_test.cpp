#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "engine/values.h"

namespace lorvane {
namespace {

constexpr const char* kIntegerFail = "Integer value must be a number between 0 and 2,147,483,647";
constexpr const char* kPercentFail = "Percent value must be a number between 0 and 100";

struct NumberCase {
    const char* text;
    std::int32_t number;  // expected output; -1 for unreadable text
    bool integerGood;
    bool percentGood;
};

class NumberValues : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberValues, IntegerAndPercent) {
    const auto& c = GetParam();
    const int len = static_cast<int>(std::string(c.text).size());  // ASCII cases
    std::int32_t n = 12345;
    Finding f;
    f.set(Status::Warn, "stale", 9, 9);
    ValidateIntegerValue(c.text, n, f);
    EXPECT_EQ(n, c.number);
    if (c.integerGood) {
        EXPECT_EQ(f.status, Status::Good);
        EXPECT_EQ(f.message, "Valid integer value");
        EXPECT_EQ(f.position, 0);
        EXPECT_EQ(f.length, 0);
    } else {
        EXPECT_EQ(f.status, Status::Fail);
        EXPECT_EQ(f.message, kIntegerFail);
        EXPECT_EQ(f.position, 1);
        EXPECT_EQ(f.length, len);
    }
    EXPECT_EQ(f.nodeIndex, 0);

    n = 12345;
    ValidatePercentValue(c.text, n, f);
    EXPECT_EQ(n, c.number);
    if (c.percentGood) {
        EXPECT_EQ(f.status, Status::Good);
        EXPECT_EQ(f.message, "Valid percent value");
        EXPECT_EQ(f.position, 0);
        EXPECT_EQ(f.length, 0);
    } else {
        EXPECT_EQ(f.status, Status::Fail);
        EXPECT_EQ(f.message, kPercentFail);
        EXPECT_EQ(f.position, 1);
        EXPECT_EQ(f.length, len);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NumberValues,
    ::testing::Values(NumberCase{"0", 0, true, true}, NumberCase{"100", 100, true, true},
                      NumberCase{"101", 101, true, false}, NumberCase{"2147483647", 2147483647, true, false},
                      NumberCase{"2147483648", -1, false, false}, NumberCase{"99999999999999999999", -1, false, false},
                      NumberCase{"-1", -1, false, false}, NumberCase{"-2147483648", INT32_MIN, false, false},
                      NumberCase{"-2147483649", -1, false, false}, NumberCase{"abc", -1, false, false},
                      NumberCase{"", -1, false, false}, NumberCase{"   ", -1, false, false},
                      // Accepted forms: blanks around, one sign, leading zeros.
                      NumberCase{"  42 ", 42, true, true}, NumberCase{"+7", 7, true, true},
                      NumberCase{"007", 7, true, true}, NumberCase{"-0", 0, true, true},
                      // Refused forms: grouping, fractions, inner blanks, double signs, hex, tabs.
                      NumberCase{"1,000", -1, false, false}, NumberCase{"1.5", -1, false, false},
                      NumberCase{"4 2", -1, false, false}, NumberCase{"+-0", -1, false, false},
                      NumberCase{"+", -1, false, false}, NumberCase{"0x10", -1, false, false},
                      NumberCase{"\t5", -1, false, false}, NumberCase{"12a", -1, false, false}));

TEST(NumberValues, FailLengthCountsCharacters) {
    std::int32_t n;
    Finding f;
    ValidateIntegerValue("\xC3\xA9t\xC3\xA9", n, f);  // "été": 3 characters, 5 bytes
    EXPECT_EQ(f.status, Status::Fail);
    EXPECT_EQ(f.length, 3);
}

TEST(TextValue, EverythingIsValidAndTrimmed) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"   ", ""}, {"  a b  ", "a b"}, {"x", "x"}, {"\xC3\xA9  ", "\xC3\xA9"}, {"\ta\t", "\ta\t"}};
    for (const auto& [text, trimmed] : cases) {
        std::string out = "stale";
        Finding f;
        f.set(Status::Fail, "stale", 3, 3);
        ValidateTextValue(text, out, f);
        EXPECT_EQ(out, trimmed) << text;
        EXPECT_EQ(f.status, Status::Good) << text;
        EXPECT_EQ(f.message, "Valid text value");
        EXPECT_EQ(f.position, 0);
        EXPECT_EQ(f.length, 0);
    }
}

struct ExtensionCase {
    const char* text;
    const char* normalised;
    Status status;
    const char* message;
    int position, length;
};

class ExtensionValues : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionValues, NormaliseAndCheck) {
    const auto& c = GetParam();
    std::string out;
    Finding f;
    ValidateExtensionValue(c.text, out, f);
    EXPECT_EQ(out, c.normalised);
    EXPECT_EQ(f.status, c.status);
    EXPECT_EQ(f.message, c.message);
    EXPECT_EQ(f.position, c.position);
    EXPECT_EQ(f.length, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionValues,
    ::testing::Values(
        ExtensionCase{"jpg", "JPG", Status::Good, "Valid extension value", 0, 0},
        ExtensionCase{"  tiff ", "TIFF", Status::Good, "Valid extension value", 0, 0},
        ExtensionCase{"caf\xC3\xA9", "CAF\xC3\x89", Status::Good, "Valid extension value", 0, 0},
        ExtensionCase{"", "", Status::Fail, "Extension value may not be empty", 1, 0},
        ExtensionCase{"   ", "", Status::Fail, "Extension value may not be empty", 1, 3},
        ExtensionCase{"jp.g", "JP.G", Status::Fail, "Extension value may not contain a period", 3, 1},
        // The period is located in the untrimmed text, counted in characters.
        ExtensionCase{"  .jpg", ".JPG", Status::Fail, "Extension value may not contain a period", 3, 1},
        ExtensionCase{"\xC3\xA9\xC3\xA9.a.b", "\xC3\x89\xC3\x89.A.B", Status::Fail,
                      "Extension value may not contain a period", 3, 1}));

}  // namespace
}  // namespace lorvane
