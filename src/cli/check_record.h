// What one `lorvane check` run found for one name; both writers print this.
#pragma once

#include <string>
#include <string_view>

#include "engine/result.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane::cli {

struct CheckRecord {
    std::string_view input;
    Result parse;
    std::string_view parseFormat;  // format code, or empty
    bool built = false;            // false: the parse failed, there is no build
    Result build;
    std::string_view buildFormat;  // format name, or empty
    std::string name;              // the built name, empty on "Fail"
    const AttributeTree* tree = nullptr;
    const DateOptions* dateOptions = nullptr;  // for reading date values back in the outline

    Status finalStatus() const { return built ? build.status : parse.status; }
};

}  // namespace lorvane::cli
