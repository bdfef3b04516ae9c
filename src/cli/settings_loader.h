// The settings a command runs with: the user's store, then --set overrides.
#pragma once

#include <string>
#include <vector>

#include "engine/settings.h"

namespace lorvane::cli {

struct Override {
    std::string key, value;
};

// --set KEY=VALUE for a command's options, collecting into overrides.
struct OptionSpec;
OptionSpec SetOption(std::vector<Override>& overrides);

// Splits "KEY=VALUE" at the first "="; returns an error text, or empty.
std::string ParseOverride(std::string_view text, std::vector<Override>& overrides);

// Loads the store (its warnings go to stderr, once each), then applies the
// overrides in order. Returns an error text naming the key or value, or empty.
std::string LoadEffectiveSettings(GlobalSettings& settings, const std::vector<Override>& overrides,
                                  std::string* storePath = nullptr, bool* storeExists = nullptr);

// Applies one --set value; an error text naming the key and the value when it does
// not convert or is not a value the setting allows, else empty.
std::string ApplyOverride(GlobalSettings& settings, const Override& override);

}  // namespace lorvane::cli
