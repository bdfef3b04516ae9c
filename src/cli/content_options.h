// The options add-content and remove-content share: fields of the request given
// once each and trimmed as the dialogs trim them when a field is left.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "core/batch/add_content.h"

namespace lorvane::cli {

// An option taking as many values as fields; given tells whether it came.
inline OptionSpec FieldOption(std::string_view name, std::string_view word, bool& given,
                              std::initializer_list<std::string*> fields) {
    std::vector<std::string*> out(fields);
    return {name, "", static_cast<int>(out.size()), word, [name, &given, out](std::span<const std::string_view> v) {
                if (given) return std::string(name) + " may be given only once";
                given = true;
                for (std::size_t i = 0; i < out.size(); ++i) *out[i] = ContentField(v[i]);
                return std::string();
            }};
}

}  // namespace lorvane::cli
