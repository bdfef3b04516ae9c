// A settings store that lives in memory only: for renders, benchmarks and tests
// that must neither read nor change the user's settings. It remembers the order of
// the writes, for tests of the order settings are saved in.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

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
        writtenKeys_.emplace_back(key);
    }
    std::size_t size() const { return values_.size(); }
    // The keys in the order they were written, a key again each time it was.
    const std::vector<std::string>& writtenKeys() const { return writtenKeys_; }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::vector<std::string> writtenKeys_;
};

}  // namespace lorvane
