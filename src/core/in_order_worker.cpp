#include "core/in_order_worker.h"

#include <cstdlib>
#include <string_view>

namespace lorvane {

int DefaultJobs() {
    if (const char* text = std::getenv("LORVANE_JOBS")) {
        int n = 0;
        for (const char c : std::string_view(text)) {
            if (c < '0' || c > '9' || n > 1000) {
                n = 0;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (n > 0) return n > 2 ? 2 : n;
    }
    return std::thread::hardware_concurrency() > 1 ? 2 : 1;
}

int EffectiveJobs(int requested) {
    if (requested <= 0) return DefaultJobs();
    return requested > 2 ? 2 : requested;
}

}  // namespace lorvane
