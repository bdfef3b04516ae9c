// One executable, several Qt Test classes: each file registers its class with
// LORVANE_QTEST(Class) and the shared main runs them all.
#pragma once

#include <QApplication>
#include <QTest>

#include <functional>
#include <vector>

namespace lorvane::testing {

using QtTestRunner = std::function<int(int, char**)>;

inline std::vector<QtTestRunner>& qtTestRegistry() {
    static std::vector<QtTestRunner> registry;
    return registry;
}

inline int registerQtTest(QtTestRunner runner) {
    qtTestRegistry().push_back(std::move(runner));
    return 0;
}

// Runs every registered class; the number of classes with failures is the exit code.
inline int runQtTests(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    for (auto& run : qtTestRegistry()) failed += run(argc, argv) != 0 ? 1 : 0;
    return failed;
}

}  // namespace lorvane::testing

#define LORVANE_QTEST(Class)                                                                            \
    static const int lorvaneQtTest##Class = ::lorvane::testing::registerQtTest([](int argc, char** argv) { \
        Class test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                         \
    })
