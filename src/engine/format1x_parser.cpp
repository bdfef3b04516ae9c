#include "engine/format1x.h"

namespace lorvane {

// Placeholder until the 1.x parser lands: the format is simply not reachable.
void Parse1x(std::string_view, AttributeTree& tree, Result& result, const DateOptions&, const Parse1xOptions&) {
    tree.clear();
    result.reset();
    result.set(Status::Fail, "Lorvane Data 1.x is not supported yet", 1, 0);
}

}  // namespace lorvane
