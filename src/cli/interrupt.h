// Ctrl+C as Stop: while one of these lives, SIGINT sets a flag that a long
// loop reads, so the run ends between two files with its report.
#pragma once

#include <signal.h>

#include <atomic>

namespace lorvane::cli {

class InterruptStop {
public:
    InterruptStop() {
        flag().store(false);
        struct sigaction action{};
        action.sa_handler = &InterruptStop::onSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptStop() { ::sigaction(SIGINT, &previous_, nullptr); }
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    static std::atomic<bool>& flag() {
        static std::atomic<bool> stop{false};
        return stop;
    }
    bool stopped() const { return flag().load(std::memory_order_relaxed); }

private:
    static void onSignal(int) { flag().store(true); }
    struct sigaction previous_{};
};

}  // namespace lorvane::cli
