// The record every parse, build and validation fills, and the three status words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lorvane {

enum class Status : std::uint8_t { Good, Warn, Fail };

constexpr std::string_view statusWord(Status s) {
    switch (s) {
        case Status::Good: return "Good";
        case Status::Warn: return "Warn";
        case Status::Fail: return "Fail";
    }
    return "Fail";
}

// Exact, case-sensitive: any other word is not a status.
constexpr std::optional<Status> statusFromWord(std::string_view w) {
    if (w == "Good") return Status::Good;
    if (w == "Warn") return Status::Warn;
    if (w == "Fail") return Status::Fail;
    return std::nullopt;
}

// What a finding is, for callers that must tell findings apart: they compare the
// code, never the message. Most findings need none.
enum class ResultCode : std::uint8_t {
    None,
    // A parser refused the name before reading it (the same in every format).
    FilenameEmpty,
    FilenameTooLong,
    IllegalCharacter,
};

// Positions are 1-based characters of the examined text; length 0 is a caret.
// (32-bit rather than 16-bit so names longer than 32,767 characters still report truthfully.)
struct Result {
    Status status = Status::Good;
    ResultCode code = ResultCode::None;  // set with the message it stands for
    std::string message;
    int nodeIndex = 0;
    int position = 0;
    int length = 0;

    void reset() {
        status = Status::Good;
        code = ResultCode::None;
        message.clear();
        nodeIndex = position = length = 0;
    }
    void set(Status s, std::string_view msg, int pos, int len, ResultCode c = ResultCode::None) {
        status = s;
        code = c;
        message.assign(msg);
        position = pos;
        length = len;
    }
    bool good() const { return status == Status::Good; }
    bool failed() const { return status == Status::Fail; }
    void clipTo(int textLength);
};

// A range that names characters of a node's text stops at the text's end
// (the date reader marks four year places even in a shorter value).
constexpr int ClippedLength(int position, int length, int textLength) {
    if (position < 1 || position + length - 1 <= textLength) return length;
    return position > textLength ? 0 : textLength - position + 1;
}

inline void Result::clipTo(int textLength) { length = ClippedLength(position, length, textLength); }

// The single-value validators return this shape; the message is filled also for Good.
using Finding = Result;

}  // namespace lorvane
