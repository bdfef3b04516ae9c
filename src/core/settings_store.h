// The per-user settings store: an INI file in the user's configuration folder,
// addressed application name / section / key.
#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace lorvane {

// <config>/lorvane/<application name>.ini, where <config> is the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config). Computed at each call
// so that a changed XDG_CONFIG_HOME (tests) is honoured.
QString DefaultSettingsFilePath();

class IniSettingsStore final : public SettingsStore {
public:
    // The user's store for this application name.
    IniSettingsStore();
    explicit IniSettingsStore(const QString& filePath);
    ~IniSettingsStore() override;

    IniSettingsStore(const IniSettingsStore&) = delete;
    IniSettingsStore& operator=(const IniSettingsStore&) = delete;

    std::optional<std::string> read(std::string_view section, std::string_view key) const override;
    void write(std::string_view section, std::string_view key, std::string_view value) override;

    // Writes pending changes to disk. Returns an error text, or empty when all is well.
    std::string flush();
    // A problem found while opening the file (unreadable, malformed), or empty.
    std::string openProblem() const;

    QString filePath() const;

private:
    std::unique_ptr<QSettings> settings_;
};

// --- Per-window keys ---
// Each reader takes the window's own default (its designed geometry, its current
// state, the sample folder) for keys whose default depends on the window, and the
// table's fixed default otherwise. A stored value that does not convert yields the
// default and, when warnings is given, one warning.

std::string ReadWindowText(const SettingsStore& store, std::string_view section, std::string_view key,
                           std::string_view defaultValue);
bool ReadWindowToggle(const SettingsStore& store, std::string_view section, std::string_view key,
                      std::vector<std::string>* warnings = nullptr);
std::int32_t ReadWindowInteger(const SettingsStore& store, std::string_view section, std::string_view key,
                               std::int32_t defaultValue, std::vector<std::string>* warnings = nullptr);
float ReadWindowGeometry(const SettingsStore& store, std::string_view section, std::string_view key,
                         float defaultValue, std::vector<std::string>* warnings = nullptr);

void WriteWindowText(SettingsStore& store, std::string_view section, std::string_view key, std::string_view value);
void WriteWindowToggle(SettingsStore& store, std::string_view section, std::string_view key, bool value);
void WriteWindowInteger(SettingsStore& store, std::string_view section, std::string_view key, std::int32_t value);
void WriteWindowGeometry(SettingsStore& store, std::string_view section, std::string_view key, float value);

// Shortest decimal text that reads back as the same single-precision number.
std::string EncodeGeometry(float value);
std::optional<float> DecodeGeometry(std::string_view text);

}  // namespace lorvane
