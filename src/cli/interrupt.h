// Ctrl+C as Stop: while one of these lives, SIGINT sets a flag that a long
// loop reads, so the run ends between two files with its report. A reader of
// standard output that went away stops a run the same way.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

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

// SIGPIPE would end the process between two renames, without its report, once
// the reader of its output is gone ("| head -1"). While one of these lives the
// signal is ignored: writes fail instead, and a run asks closed() before each file.
class OutputClosedStop {
public:
    OutputClosedStop() {
        struct sigaction ignore{};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGPIPE, &ignore, &previous_);
    }
    ~OutputClosedStop() { ::sigaction(SIGPIPE, &previous_, nullptr); }
    OutputClosedStop(const OutputClosedStop&) = delete;
    OutputClosedStop& operator=(const OutputClosedStop&) = delete;

    // Standard output is a pipe that nobody reads any more: seen before the
    // next write, which may be a whole block of files away. Only a pipe or a
    // socket can lose its reader, so nothing else is asked (a file per file).
    static bool closed() {
        static const bool pipe = [] {
            struct stat st{};
            return ::fstat(STDOUT_FILENO, &st) != 0 || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
        }();
        if (!pipe) return false;
        pollfd p{STDOUT_FILENO, 0, 0};
        return ::poll(&p, 1, 0) == 1 && (p.revents & POLLERR) != 0;
    }

private:
    struct sigaction previous_{};
};

}  // namespace lorvane::cli
