#include "cli/settings_loader.h"

#include <QFileInfo>

#include <cstdio>

#include "cli/arguments.h"
#include "engine/settings_checks.h"
#include "core/settings_store.h"

namespace lorvane::cli {

OptionSpec SetOption(std::vector<Override>& overrides) {
    return {"--set", "", 1, "KEY=VALUE",
            [&overrides](std::span<const std::string_view> v) { return ParseOverride(v[0], overrides); }};
}

std::string ParseOverride(std::string_view text, std::vector<Override>& overrides) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos || eq == 0) return "--set needs KEY=VALUE, not \"" + std::string(text) + "\"";
    overrides.push_back({std::string(text.substr(0, eq)), std::string(text.substr(eq + 1))});
    return {};
}

std::string ApplyOverride(GlobalSettings& settings, const Override& o) {
    const SettingDef* def = FindGlobalSetting(o.key);
    if (!def) return "Unknown setting key \"" + o.key + "\" (lorvane settings lists them all)";
    if (ApplyStoredValue(settings, *def, o.value)) return {};
    // The store would fall back to the default here; on the command line it is a mistake to point out.
    return "--set " + o.key + ": the value \"" + o.value + "\" " + StoredValueProblem(*def, o.value);
}

std::string LoadEffectiveSettings(GlobalSettings& settings, const std::vector<Override>& overrides,
                                  std::string* storePath, bool* storeExists) {
    IniSettingsStore store;
    if (storePath) *storePath = store.filePath().toStdString();
    if (storeExists) *storeExists = QFileInfo::exists(store.filePath());
    if (auto problem = store.openProblem(); !problem.empty()) std::fprintf(stderr, "lorvane: %s\n", problem.c_str());
    for (const std::string& w : LoadGlobalSettings(settings, store)) std::fprintf(stderr, "lorvane: %s\n", w.c_str());
    if (overrides.empty()) return {};
    for (const Override& o : overrides)
        if (auto error = ApplyOverride(settings, o); !error.empty()) return error;
    // Checked once all are applied, so that raising the maximum year and then the
    // minimum is fine. Only the checks an overridden setting takes part in: an odd
    // value in the store elsewhere is not the override's to answer for, and must
    // not hide the contradiction an override makes.
    std::vector<std::string_view> changed;
    for (const Override& o : overrides) changed.push_back(o.key);
    if (const SettingCheck problem = CheckSettingsTogether(settings, changed)) return "--set: " + problem->message;
    return {};
}

}  // namespace lorvane::cli
