#include "core/in_order_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace lorvane {
namespace {

// A worker held on its first item: the caller does its share of what it hands
// in once the worker is three quarters of the ring behind, and every item still
// has its in-order work done, and comes back, in the order handed in.
TEST(InOrderWorkerTest, ACallerAheadOfAHeldWorkerHelpsAndItemsStayInOrder) {
    struct Item {
        int n = 0;
        bool helped = false;
    };
    for (const int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        std::atomic<bool> held{jobs > 1};
        std::vector<int> worked;  // by the worker only, read once every item is back
        InOrderWorker<Item> w(
            jobs, 8,
            [&](Item& item) {
                while (held.load()) std::this_thread::yield();
                worked.push_back(item.n);
            },
            [](Item& item) { item.helped = true; });
        std::vector<int> back, helped;
        for (int n = 0; n < 8; ++n) {
            if (w.full()) {
                held = false;
                back.push_back(w.oldest(true)->n);
                w.pop();
            }
            w.next() = {n, false};
            w.submit();
        }
        held = false;
        while (Item* item = w.oldest(true)) {
            back.push_back(item->n);
            if (item->helped) helped.push_back(item->n);
            w.pop();
        }
        EXPECT_EQ(back, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(worked, back);
        EXPECT_EQ(helped, (jobs > 1 ? std::vector<int>{6, 7} : std::vector<int>{}));
    }
}

}  // namespace
}  // namespace lorvane
