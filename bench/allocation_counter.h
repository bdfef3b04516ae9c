// Counts heap allocations in the benchmark program (a replacement global operator new).
#pragma once

#include <cstdint>

namespace lorvane::bench {

// Every operator new call since the program started.
std::uint64_t AllocationsSoFar();

}  // namespace lorvane::bench
