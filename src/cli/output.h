// Standard output in large writes, and text made safe for a terminal.
#pragma once

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/event_pacer.h"

namespace lorvane::cli {

// Collects output and writes it in blocks; remembers a failed write.
class Output {
public:
    explicit Output(std::FILE* stream = stdout) : stream_(stream) { buffer_.reserve(kBlock + kRoom); }
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
        bool ok = buffer_.empty() || std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) == buffer_.size();
        buffer_.clear();
        ok = std::fflush(stream_) == 0 && ok;
        if (!ok && ok_) {
            ok_ = false;
            error_ = errno;
        }
        return ok_;
    }
    // A write failed because nobody reads the output any more (SIGPIPE ignored).
    bool closed() const { return error_ == EPIPE; }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    // Beyond a block, for the line that reaches it (a name is at most a few
    // hundred bytes, as JSON a few thousand): the buffer is not made to grow.
    static constexpr std::size_t kRoom = 1 << 13;
    std::FILE* stream_;
    std::string buffer_;
    bool ok_ = true;
    int error_ = 0;  // of the first failed write
};

// One progress line on standard error when it is a terminal, rewritten in
// place a few times a second, and gone once the work is done.
class TerminalProgress {
public:
    TerminalProgress();
    // Whether the line is shown and is due for new text (at most ten times a second).
    bool due() const;
    // Whether there is a line to show at all (standard error is a terminal).
    bool onTerminal() const { return terminal_; }
    void show(const std::string& text);
    void clear();

private:
    bool terminal_, shown_ = false;
    EventPacer pacer_{std::chrono::milliseconds(100)};
};

// Text for a terminal: every control character (C0, DEL, C1, the bidirectional
// ones such as U+202E) and every byte that is not part of valid UTF-8 written as
// "?", so that no name can move the cursor, break a line, start an escape
// sequence or show the text after it reordered. The outline and the error lines on
// standard error both write names this way.
void AppendVisible(std::string& out, std::string_view text);
inline std::string Visible(std::string_view text) {
    std::string out;
    AppendVisible(out, text);
    return out;
}

}  // namespace lorvane::cli
