// The semantic layer: validates, translates, reorders and consolidates a tree by the dictionary.
#pragma once

#include <string_view>

#include "engine/result.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

// The layer's one message box goes through this; the desktop program shows it,
// the command-line tool and tests answer it without a window. The box only
// informs (its one answer is OK), so without a sink processing simply goes on.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showError(std::string_view text, std::string_view caption) = 0;
};

// Folds its findings into result (not reset). Does nothing on an empty tree or
// when both attribute and value processing are off.
void ApplySemantics(AttributeTree& tree, Result& result, const SemanticOptions& semanticOptions,
                    const DateOptions& dateOptions, MessageSink* sink = nullptr);

// Processes the attributes under parent (the root or a value node) and, depth
// first, everything below them. dateCounter counts top-level Captured Date
// attributes. Nodes may be merged away: indices after a removed node move down,
// and result.nodeIndex is kept pointing at the node its finding concerns.
void ProcessSemantics(AttributeTree& tree, int parent, Result& result, int& dateCounter,
                      const SemanticOptions& semanticOptions, const DateOptions& dateOptions,
                      MessageSink* sink = nullptr);

}  // namespace lorvane
