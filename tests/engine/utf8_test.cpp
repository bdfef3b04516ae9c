#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/utf8.h"

namespace lorvane {
namespace {

// Character counts and positions, checked against a plain byte-by-byte count over
// random texts of every length around the eight-byte blocks the counter works in.
TEST(Utf8, LengthAndPositionCountLeadBytesAtEveryAlignment) {
    const std::string pieces[] = {"a", "{", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", " "};
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 24);
        for (int k = 0; k < n; ++k) text += pieces[rng() % std::size(pieces)];
        std::size_t expected = 0;
        for (unsigned char c : text) expected += (c & 0xC0) != 0x80;
        ASSERT_EQ(utf8::length(text), expected) << text;
        const std::size_t offset = text.empty() ? 0 : rng() % text.size();
        std::size_t before = 0;
        for (std::size_t i = 0; i < offset; ++i) before += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        ASSERT_EQ(utf8::position(text, offset), static_cast<int>(before) + 1) << text;
    }
}

TEST(Utf8, AppendLowerAddsToWhatIsThere) {
    struct Case {
        const char* before;
        const char* text;
        const char* after;
    } cases[] = {
        {"name.", "JPG", "name.jpg"},
        {"", "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},
        {"x", "", "x"},
        {"", "\xCE\x91\xCE\x9C" "1", "\xCE\xB1\xCE\xBC" "1"},
    };
    for (const auto& c : cases) {
        std::string out = c.before;
        utf8::appendLower(c.text, out);
        EXPECT_EQ(out, c.after);
        EXPECT_EQ(std::string(c.before) + utf8::lower(c.text), c.after);
    }
}

}  // namespace
}  // namespace lorvane
