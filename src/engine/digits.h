// Zero-padded decimal numbers appended to a text. By hand rather than through
// printf: dates, serials and the Browser's columns write them for every name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lorvane {

// n with at least minDigits digits, zeros in front ("0012"), a minus sign before a
// negative n; with grouped, a comma between groups of three digits ("000,013").
inline void AppendZeroPadded(std::string& out, std::int64_t n, int minDigits, bool grouped = false) {
    std::uint64_t v = n < 0 ? static_cast<std::uint64_t>(-(n + 1)) + 1 : static_cast<std::uint64_t>(n);
    char digits[40];  // 20 digits, 6 commas, and zeros up to the widest padding asked for
    char* first = digits + sizeof digits;
    int count = 0;
    const auto put = [&](char c) {
        if (grouped && count > 0 && count % 3 == 0) *--first = ',';
        *--first = c;
        ++count;
    };
    do {
        put(static_cast<char>('0' + v % 10));
        v /= 10;
    } while (v > 0);
    while (count < minDigits && first - digits > 2) put('0');
    if (n < 0) out += '-';
    out.append(first, static_cast<std::size_t>(digits + sizeof digits - first));
}

}  // namespace lorvane
