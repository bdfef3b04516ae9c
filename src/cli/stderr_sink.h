// The semantic layer's one message box, answered by the command-line tool as a line on stderr.
#pragma once

#include <cstdio>
#include <string_view>

#include "engine/semantics.h"

namespace lorvane::cli {

class StderrSink final : public MessageSink {
public:
    void showError(std::string_view text, std::string_view caption) override {
        std::fprintf(stderr, "lorvane: %.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
    }
};

}  // namespace lorvane::cli
