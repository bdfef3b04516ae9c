// The sanitized build must stop at a finding: a report that lets the program go on
// leaves every test that runs into undefined behaviour green.
#include <gtest/gtest.h>

#include <climits>

namespace {

#if defined(LORVANE_SANITIZED)
int overflowed() {
    volatile int n = INT_MAX;
    return n + 1;
}
#endif

TEST(SanitizedBuild, UndefinedBehaviourStopsTheProgram) {
#if defined(LORVANE_SANITIZED)
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(overflowed(), "runtime error");
#else
    GTEST_SKIP() << "not a sanitized build";
#endif
}

}  // namespace
