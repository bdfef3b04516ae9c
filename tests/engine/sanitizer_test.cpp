// The sanitized build must stop at a finding: a report that lets the program go on
// leaves every test that runs into undefined behaviour green.
#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(SanitizedBuild, UndefinedBehaviourStopsTheProgram) {
#if defined(LORVANE_SANITIZED)
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    volatile int n = INT_MAX;
    EXPECT_DEATH(n = n + 1, "runtime error");
#else
    GTEST_SKIP() << "not a sanitized build";
#endif
}

}  // namespace
