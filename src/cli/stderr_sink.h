// Lines on standard error: the semantic layer's one message box and every error
// the command-line tool reports.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/output.h"
#include "engine/semantics.h"

namespace lorvane::cli {

// "lorvane: " and the message, its names (file names, arguments) made safe for a
// terminal as --human writes them.
inline void PrintError(std::string_view message) {
    std::string line = "lorvane: ";
    AppendVisible(line, message);
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

class StderrSink final : public MessageSink {
public:
    void showError(std::string_view text, std::string_view caption) override {
        PrintError(std::string(caption) + ": " + std::string(text));
    }
};

}  // namespace lorvane::cli
