// A settings store that lives in memory only: for renders and tests that must
// neither read nor change the user's settings.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "engine/settings.h"

namespace lorvane {

class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view section, std::string_view key) const override {
        auto it = values_.find({std::string(section), std::string(key)});
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void write(std::string_view section, std::string_view key, std::string_view value) override {
        values_[{std::string(section), std::string(key)}] = std::string(value);
    }
    std::size_t size() const { return values_.size(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace lorvane
