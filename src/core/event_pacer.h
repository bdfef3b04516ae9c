// When a long loop on the window thread should let pending window events run: once
// an interval has passed since they last ran, not once per item. Per item is far
// too often for fast items (the event round costs more than the item) and a fixed
// count of items is too rarely for slow ones; time is what the user notices.
#pragma once

#include <chrono>
#include <functional>

namespace lorvane {

class EventPacer {
public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    // now is the clock to read; tests give one they move by hand.
    explicit EventPacer(std::chrono::milliseconds interval, Now now = {})
        : interval_(interval), now_(now ? std::move(now) : Now(&Clock::now)) {
        last_ = now_();
    }

    std::chrono::milliseconds interval() const { return interval_; }
    // Whether the interval has passed since the last Ran (or since construction).
    bool Due() const { return now_() - last_ >= interval_; }
    // Pending events have just run.
    void Ran() { last_ = now_(); }

private:
    std::chrono::milliseconds interval_;
    Now now_;
    Clock::time_point last_;
};

}  // namespace lorvane
