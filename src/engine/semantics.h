// The semantic layer: validates, translates, reorders and consolidates a tree by the dictionary.
#pragma once

#include <string_view>

#include "engine/result.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

// The layer's one message box goes through this; the desktop program shows it,
// the command-line tool and tests answer it without a window.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showError(std::string_view text, std::string_view caption) = 0;
};

// Folds its findings into result (not reset). Does nothing on an empty tree.
void ApplySemantics(AttributeTree& tree, Result& result, const SemanticOptions& semanticOptions,
                    const DateOptions& dateOptions, MessageSink* sink = nullptr);

}  // namespace lorvane
