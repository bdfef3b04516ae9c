// A deterministic corpus of realistic names for benchmarks: 2.x names of 3 to 12
// attributes with nesting and dates (60 to 200 characters), 1.x names, and names
// that fail to parse.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace lorvane::bench {

struct CorpusMix {
    int percent2x = 70;
    int percent1x = 20;  // the rest fail
};

std::vector<std::string> MakeCorpus(std::size_t count, unsigned seed = 2026, CorpusMix mix = {});

}  // namespace lorvane::bench
