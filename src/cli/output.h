// Standard output in large writes, and text made safe for a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lorvane::cli {

// Collects output and writes it in blocks; remembers a failed write.
class Output {
public:
    explicit Output(std::FILE* stream = stdout) : stream_(stream) { buffer_.reserve(kBlock); }
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::string& text() { return buffer_; }
    // Writes the block once it is large enough.
    void maybeFlush() {
        if (buffer_.size() >= kBlock) flush();
    }
    // Writes everything; false once any write has failed.
    bool flush() {
        if (!buffer_.empty()) ok_ = std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) == buffer_.size() && ok_;
        buffer_.clear();
        ok_ = std::fflush(stream_) == 0 && ok_;
        return ok_;
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::FILE* stream_;
    std::string buffer_;
    bool ok_ = true;
};

// Text as it may reach a terminal: control characters (line breaks, escape
// sequences, the C1 controls) each shown as "?", and a byte that is not UTF-8
// as U+FFFD, so that no name can move the cursor or change the terminal.
void AppendVisible(std::string& out, std::string_view text);
inline std::string Visible(std::string_view text) {
    std::string out;
    AppendVisible(out, text);
    return out;
}

}  // namespace lorvane::cli
