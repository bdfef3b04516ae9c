#include "engine/utf8.h"

#include <cstdint>
#include <cstring>

namespace lorvane::utf8 {

std::size_t length(std::string_view text) {
    // Count continuation bytes (10xxxxxx) eight at a time: bit 7 set, bit 6 clear.
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t continuation = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s + i, 8);
        // One bit per continuation byte, summed by a multiply rather than std::popcount,
        // which without a popcnt target compiles to a library call.
        const std::uint64_t marks = ((w & ~(w << 1)) >> 7) & 0x0101010101010101ull;
        continuation += static_cast<std::size_t>((marks * 0x0101010101010101ull) >> 56);
    }
    for (; i < n; ++i) continuation += isLead(s[i]) ? 0 : 1;
    return n - continuation;
}

int position(std::string_view text, std::size_t offset) {
    if (offset > text.size()) offset = text.size();
    return static_cast<int>(length(text.substr(0, offset))) + 1;
}

std::size_t offsetOf(std::string_view text, int pos) {
    int seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLead(static_cast<unsigned char>(text[i])) && ++seen == pos) return i;
    }
    return text.size();
}

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

bool isValid(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Names are mostly ASCII: skip eight plain bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        unsigned char c = s[i];
        if (c < 0x80) { ++i; continue; }
        std::size_t len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
        else return false;
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

char32_t decode(std::string_view text, std::size_t& i) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t len = sequenceLength(c);
    if (i + len > text.size()) len = 1;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += len;
    return cp;
}

char32_t firstCodePoint(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t i = 0;
    return decode(text, i);
}

void append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t toUpper(char32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 0x20;
    if (cp < 0xB5) return cp;
    if (cp == 0xB5) return 0x39C;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    if (cp >= 0x100 && cp <= 0x17F) {
        // Latin Extended-A alternates upper/lower, with the odd runs 0x139-0x148 and 0x179-0x17E.
        bool oddLower = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
        if (cp == 0x131) return 'I';
        if (cp == 0x17F) return 'S';
        if (cp == 0x138 || cp == 0x149) return cp;
        if (oddLower ? (cp % 2 == 0) : (cp % 2 == 1)) return cp - 1;
        return cp;
    }
    if (cp >= 0x3B1 && cp <= 0x3C9) return cp == 0x3C2 ? 0x3A3 : cp - 0x20;
    if (cp >= 0x3AC && cp <= 0x3AF) return cp == 0x3AC ? 0x386 : cp - 0x25;
    if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;
    if (cp >= 0x450 && cp <= 0x45F) return cp - 0x50;
    return cp;
}

char32_t toLower(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
    if (cp < 0xC0) return cp;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    if (cp == 0x178) return 0xFF;
    if (cp >= 0x100 && cp <= 0x17F) {
        bool oddLower = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
        if (cp == 0x130) return 'i';
        if (cp == 0x138 || cp == 0x149) return cp;
        if (oddLower ? (cp % 2 == 1) : (cp % 2 == 0)) return cp + 1;
        return cp;
    }
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) return cp + 0x20;
    if (cp == 0x386) return 0x3AC;
    if (cp >= 0x388 && cp <= 0x38A) return cp + 0x25;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
    return cp;
}

void upperInto(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c));
            ++i;
        } else {
            append(out, toUpper(decode(text, i)));
        }
    }
}

std::string upper(std::string_view text) {
    std::string out;
    upperInto(text, out);
    return out;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (toUpper(decode(a, i)) != toUpper(decode(b, j))) return false;
    return i == a.size() && j == b.size();
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return upper(text).find(upper(part)) != std::string::npos;
}

void appendLower(std::string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c));
            ++i;
        } else {
            append(out, toLower(decode(text, i)));
        }
    }
}

std::string lower(std::string_view text) {
    std::string out;
    appendLower(text, out);
    return out;
}

}  // namespace lorvane::utf8
