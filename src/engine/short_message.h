// A finding's message assembled on the stack from fixed texts, dictionary names and
// numbers. Findings are reported for every name and most lose to an earlier one, so
// building them in heap strings would allocate for text that is thrown away.
#pragma once

#include <charconv>
#include <cstddef>
#include <string_view>

namespace lorvane {

class ShortMessage {
public:
    // Every message put together here is far shorter than the buffer; text beyond it is dropped.
    ShortMessage& operator<<(std::string_view text) {
        const std::size_t n = text.size() < kCapacity - size_ ? text.size() : kCapacity - size_;
        text.copy(text_ + size_, n);
        size_ += n;
        return *this;
    }
    ShortMessage& operator<<(int n) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
    std::string_view view() const { return {text_, size_}; }
    operator std::string_view() const { return view(); }

private:
    static constexpr std::size_t kCapacity = 160;
    char text_[kCapacity];
    std::size_t size_ = 0;
};

}  // namespace lorvane
