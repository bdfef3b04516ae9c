// Undefined behaviour on every input: tools/fuzz.sh runs it once first and requires
// it to fail, so a build that lets sanitizer findings pass is caught before it fuzzes.
#include <climits>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) {
    volatile int n = INT_MAX;
    volatile int overflowed = n + 1;
    (void)overflowed;
    return 0;
}
