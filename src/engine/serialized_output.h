// Serialized Batch Output File names: parse only.
#pragma once

#include <string_view>

#include "engine/result.h"
#include "engine/tree.h"

namespace lorvane {

void ParseSerializedOutput(std::string_view fileName, AttributeTree& tree, Result& result, bool allowIllegal,
                      int maximumLength, int showLevels);

}  // namespace lorvane
