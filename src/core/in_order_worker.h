// Work handed to one worker thread and taken back in the order it was handed in,
// a bounded number of items in flight: the thread that reads folders and calls
// the kernel goes on with the next files while the engine's row work runs beside
// it, in constant memory. With one job there is no thread, and each item's work
// runs as it is handed in.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace lorvane {

// Threads for row work: LORVANE_JOBS when it holds a positive number, otherwise
// two where the machine has more than one core, else one.
int DefaultJobs();
// 1 or 2: requested when positive (more than two counts as two, the pipeline
// having one worker), otherwise DefaultJobs().
int EffectiveJobs(int requested);

template <typename Item>
class InOrderWorker {
public:
    using Work = std::function<void(Item&)>;

    // capacity: a power of two, the items in flight at most. help: when given, the
    // caller runs it on an item it hands in while the worker is three quarters of
    // the ring or more behind, before the worker sees the item (work still runs on it,
    // in order, after), so that a worker slower than the caller does not hold it
    // up: only for a part of the work that depends on nothing but its item.
    InOrderWorker(int jobs, std::uint32_t capacity, Work work, Work help = {})
        : items_(capacity), errors_(capacity), work_(std::move(work)), help_(std::move(help)) {
        if (EffectiveJobs(jobs) > 1) thread_ = std::thread([this] { run(); });
    }
    ~InOrderWorker() {
        if (!thread_.joinable()) return;
        // Work still in flight is dropped: what comes after a stop is never used.
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quit_.store(true);
        }
        workCv_.notify_one();
        thread_.join();
    }
    InOrderWorker(const InOrderWorker&) = delete;
    InOrderWorker& operator=(const InOrderWorker&) = delete;

    bool threaded() const { return thread_.joinable(); }
    bool full() const { return handedIn_ - taken_ == items_.size(); }
    bool empty() const { return handedIn_ == taken_; }

    // The item to fill next; not when full().
    Item& next() { return items_[handedIn_ & (items_.size() - 1)]; }
    // Hands in the item next() gave.
    void submit() {
        // From three quarters behind (measured best): the caller takes its share
        // of a worker that cannot keep up, and the rest of the ring still holds
        // work for the worker while the caller is busy with the kernel.
        if (help_ && threaded() && handedIn_ - done_.load(std::memory_order_relaxed) >= items_.size() / 4 * 3)
            help_(next());
        ++handedIn_;
        if (!threaded()) {
            runOne(handedIn_ - 1);
            return;
        }
        submitted_.store(handedIn_);
        // A sleeping worker is woken once half the items wait for it, not for
        // each one: a wake is a system call on this thread.
        if (handedIn_ - done_.load(std::memory_order_relaxed) >= items_.size() / 2) wakeWorker();
    }

    // The oldest item handed in, once its work is done: waiting for it when wait
    // is true, otherwise nullptr while it is still in work; nullptr when empty().
    Item* oldest(bool wait) {
        if (empty()) return nullptr;
        if (threaded() && done_.load(std::memory_order_acquire) == taken_) {
            if (!wait) return nullptr;
            // Asleep when full, until half is done: one wake for many items.
            waitForDone(full() && items_.size() > 1 ? static_cast<std::uint32_t>(items_.size() / 2) : 1);
        }
        const std::uint32_t at = taken_ & (items_.size() - 1);
        if (errors_[at]) std::rethrow_exception(std::exchange(errors_[at], nullptr));
        return &items_[at];
    }
    // Frees the item oldest() gave.
    void pop() { ++taken_; }

private:
    void runOne(std::uint32_t n) {
        const std::uint32_t at = n & (items_.size() - 1);
        if (!threaded()) {
            work_(items_[at]);
            return;
        }
        try {
            work_(items_[at]);
        } catch (...) {
            errors_[at] = std::current_exception();
        }
    }

    void wakeWorker() {
        if (!workerWaiting_.load()) return;
        { const std::lock_guard<std::mutex> lock(mutex_); }
        workCv_.notify_one();
    }

    // A short while (some microseconds, a row or two) in which the other thread is
    // likely to get on: cheaper than sleeping and being woken, which is a system
    // call each and, on a busy machine, a wait for a core.
    template <typename Ready>
    static bool spinUntil(Ready ready) {
        for (int i = 0; i < 200; ++i) {
            if (ready()) return true;
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
        return ready();
    }

    // Until the oldest item is done, or asleep until `count` items past the last
    // one taken are.
    void waitForDone(std::uint32_t count) {
        wakeWorker();
        if (spinUntil([&] { return done_.load(std::memory_order_acquire) != taken_; })) return;
        std::unique_lock<std::mutex> lock(mutex_);
        wanted_.store(taken_ + count);
        callerWaiting_.store(true);
        doneCv_.wait(lock, [&] { return done_.load() - taken_ >= count; });
        callerWaiting_.store(false);
    }

    void run() {
        std::uint32_t n = 0;
        for (;;) {
            if (n == submitted_.load()) {
                if (!spinUntil([&] { return n != submitted_.load(std::memory_order_acquire) || quit_.load(); })) {
                    std::unique_lock<std::mutex> lock(mutex_);
                    workerWaiting_.store(true);
                    workCv_.wait(lock, [&] { return quit_.load() || n != submitted_.load(); });
                    workerWaiting_.store(false);
                }
                if (quit_.load()) return;
            }
            for (const std::uint32_t last = submitted_.load(); n != last;) {
                if (quit_.load(std::memory_order_relaxed)) return;
                runOne(n);
                done_.store(++n);
                // Only the item the caller waits for wakes it.
                if (callerWaiting_.load() && wanted_.load() == n) {
                    { const std::lock_guard<std::mutex> lock(mutex_); }
                    doneCv_.notify_one();
                }
            }
        }
    }

    std::vector<Item> items_;
    std::vector<std::exception_ptr> errors_;
    Work work_, help_;
    std::uint32_t handedIn_ = 0, taken_ = 0;  // the caller's own counts
    std::atomic<std::uint32_t> submitted_{0}, done_{0}, wanted_{0};
    std::atomic<bool> workerWaiting_{false}, callerWaiting_{false};
    std::mutex mutex_;
    std::condition_variable workCv_, doneCv_;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

}  // namespace lorvane
