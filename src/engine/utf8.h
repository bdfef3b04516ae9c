// UTF-8 helpers. The engine works on bytes for speed; everything a user sees
// (positions, lengths) is counted in characters, so these convert between the two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lorvane::utf8 {

// True when the byte starts a character (is not a continuation byte).
constexpr bool isLead(unsigned char c) { return (c & 0xC0) != 0x80; }

// Number of characters in valid UTF-8 text.
std::size_t length(std::string_view text);

// 1-based character position of the character that starts at byte offset `offset`.
int position(std::string_view text, std::size_t offset);

// Byte offset of the 1-based character position `pos` (text.size() when past the end).
std::size_t offsetOf(std::string_view text, int pos);

// Byte length of the character that starts with this lead byte (1 for bad bytes).
std::size_t sequenceLength(unsigned char lead);

// Strict validation: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValid(std::string_view text);

// Decodes the character that starts at byte offset i (i < text.size()) and moves i
// past it. A bad or cut-off sequence reads as its one lead byte.
char32_t decode(std::string_view text, std::size_t& i);

// Code point of the first character, 0 for empty text.
char32_t firstCodePoint(std::string_view text);

// Appends the encoding of one code point.
void append(std::string& out, char32_t cp);

// Simple case mapping for ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic;
// other characters are kept as they are.
char32_t toUpper(char32_t cp);
// toUpper for an ASCII byte, inline for the loops that compare texts letter by letter.
constexpr unsigned char asciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c;
}
char32_t toLower(char32_t cp);
std::string upper(std::string_view text);
std::string lower(std::string_view text);
void upperInto(std::string_view text, std::string& out);
// Appends the lower-case form of text to out (which must not hold text).
void appendLower(std::string_view text, std::string& out);
// Comparisons of texts a user typed with texts of a name, letter case ignored as
// toUpper folds it.
bool equalIgnoringCase(std::string_view a, std::string_view b);
bool containsIgnoringCase(std::string_view text, std::string_view part);

// Leading and trailing blanks (U+0020 only) removed. Inline: it is called for
// nearly every node text by every pass.
inline std::string_view trimSpaces(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.substr(b, e - b);
}

}  // namespace lorvane::utf8
