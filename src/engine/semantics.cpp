#include "engine/semantics.h"

namespace lorvane {

// Placeholder until the semantic layer lands: no findings, tree unchanged.
void ApplySemantics(AttributeTree&, Result&, const SemanticOptions&, const DateOptions&, MessageSink*) {}

}  // namespace lorvane
