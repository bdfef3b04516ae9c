#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "engine/utf8.h"

namespace lorvane {
namespace {

// Character counts and positions, checked against a plain byte-by-byte count over
// random texts of every length around the eight-byte blocks the counter works in.
TEST(Utf8, LengthPositionAndOffsetCountLeadBytesAtEveryAlignment) {
    const std::string pieces[] = {"a", "{", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", " "};
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (int k = static_cast<int>(rng() % 24); k > 0; --k) text += pieces[rng() % std::size(pieces)];
        std::size_t leads = 0;
        for (unsigned char c : text) leads += (c & 0xC0) != 0x80;
        ASSERT_EQ(utf8::length(text), leads) << text;
        const std::size_t offset = text.empty() ? 0 : rng() % text.size();
        std::size_t before = 0;
        for (std::size_t i = 0; i < offset; ++i) before += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        const int pos = static_cast<int>(before) + 1;
        ASSERT_EQ(utf8::position(text, offset), pos) << text;
        if (utf8::isLead(static_cast<unsigned char>(text[offset]))) {
            ASSERT_EQ(utf8::offsetOf(text, pos), offset) << text;
        }
        ASSERT_EQ(utf8::offsetOf(text, static_cast<int>(leads) + 1), text.size()) << text;
    }
}

TEST(Utf8, EncodesAndDecodesAtEveryLengthBoundary) {
    for (const auto& [cp, bytes] : {std::pair<char32_t, const char*>{0x7F, "\x7F"}, {0x80, "\xC2\x80"},
                                    {0x7FF, "\xDF\xBF"}, {0x800, "\xE0\xA0\x80"}, {0xFFFF, "\xEF\xBF\xBF"},
                                    {0x10000, "\xF0\x90\x80\x80"}}) {
        std::string out;
        utf8::append(out, cp);
        EXPECT_EQ(out, bytes) << std::hex << static_cast<std::uint32_t>(cp);
        std::size_t i = 0;
        EXPECT_EQ(utf8::decode(out, i), cp);
        EXPECT_EQ(i, out.size());
    }
}

TEST(Utf8, StrictValidity) {
    const std::pair<std::string_view, bool> rows[] = {
        {"", true}, {"abc", true}, {"abcdefghij", true}, {"abcdefgh\xC3\xA9", true}, {"\xF0\x9F\x98\x80", true},
        {"\xF4\x8F\xBF\xBF", true}, {"\xC0\x80", false}, {"\xE0\x80\x80", false}, {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false}, {"a\xC3", false}, {"\x80", false}, {"abcdefgh\xFF", false}, {"\xC3" "a", false},
        {std::string_view("abcdefgh\xC3\xA9", 8), true},  // a view judged by its own bytes only
    };
    for (const auto& [text, valid] : rows) EXPECT_EQ(utf8::isValid(text), valid) << text;
}

// Each row: a code point, its upper case and its lower case.
TEST(Utf8, SimpleCaseMapping) {
    const char32_t rows[][3] = {
        {'a', 'A', 'a'}, {'z', 'Z', 'z'}, {'A', 'A', 'a'}, {'Z', 'Z', 'z'},
        {'@', '@', '@'}, {'[', '[', '['}, {'`', '`', '`'}, {'{', '{', '{'},
        // Latin-1: the signs in the middle and sharp s stay; y with diaeresis goes to Latin Extended-A.
        {0xB5, 0x39C, 0xB5}, {0xC0, 0xC0, 0xE0}, {0xDE, 0xDE, 0xFE}, {0xE0, 0xC0, 0xE0}, {0xFE, 0xDE, 0xFE},
        {0xD7, 0xD7, 0xD7}, {0xF7, 0xF7, 0xF7}, {0xDF, 0xDF, 0xDF}, {0xFF, 0x178, 0xFF}, {0x178, 0x178, 0xFF},
        // Latin Extended-A: pairs from even upper, but from odd upper in 0x139-0x148 and 0x179-0x17E.
        {0x100, 0x100, 0x101}, {0x101, 0x100, 0x101}, {0x137, 0x136, 0x137}, {0x138, 0x138, 0x138},
        {0x139, 0x139, 0x13A}, {0x13A, 0x139, 0x13A}, {0x147, 0x147, 0x148}, {0x148, 0x147, 0x148},
        {0x149, 0x149, 0x149}, {0x14A, 0x14A, 0x14B}, {0x14B, 0x14A, 0x14B}, {0x178, 0x178, 0xFF},
        {0x179, 0x179, 0x17A}, {0x17A, 0x179, 0x17A}, {0x17D, 0x17D, 0x17E}, {0x17E, 0x17D, 0x17E},
        {0x130, 0x130, 'i'}, {0x131, 'I', 0x131}, {0x17F, 'S', 0x17F},
        // Greek, with final sigma and the accented vowels.
        {0x391, 0x391, 0x3B1}, {0x3A9, 0x3A9, 0x3C9}, {0x3A2, 0x3A2, 0x3A2}, {0x3B1, 0x391, 0x3B1},
        {0x3C9, 0x3A9, 0x3C9}, {0x3C2, 0x3A3, 0x3C2}, {0x386, 0x386, 0x3AC}, {0x3AC, 0x386, 0x3AC},
        {0x3B0, 0x3B0, 0x3B0},
        // Cyrillic, both blocks of lower case.
        {0x410, 0x410, 0x430}, {0x42F, 0x42F, 0x44F}, {0x430, 0x410, 0x430}, {0x44F, 0x42F, 0x44F},
        {0x400, 0x400, 0x450}, {0x40F, 0x40F, 0x45F}, {0x450, 0x400, 0x450}, {0x45F, 0x40F, 0x45F},
        {0x460, 0x460, 0x460},
    };
    for (const auto& [cp, up, low] : rows) {
        EXPECT_EQ(utf8::toUpper(cp), up) << std::hex << static_cast<std::uint32_t>(cp);
        EXPECT_EQ(utf8::toLower(cp), low) << std::hex << static_cast<std::uint32_t>(cp);
    }
}

}  // namespace
}  // namespace lorvane
