#include "engine/batch_output.h"

namespace lorvane {

// Placeholder until the batch-output parser lands.
void ParseBatchOutput(std::string_view, AttributeTree& tree, Result& result, bool, int, int) {
    tree.clear();
    result.reset();
    result.set(Status::Fail, "Serialized Batch Output File is not supported yet", 1, 0);
}

}  // namespace lorvane
