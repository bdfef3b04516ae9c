// The per-user settings store: an INI file in the user's configuration folder,
// addressed application name / section / key.
#pragma once

#include <QString>

#include <cstdint>
#include <map>
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

// The file is read once, when the store opens: only a regular file, opened without
// blocking (a named pipe or a device in its place would hang every start). A file
// that fails to load (unreadable, not a regular file, not UTF-8 text, malformed)
// gives the defaults and is never written over: the store then keeps this run's
// writes in memory only. Otherwise writes wait in memory until flush, which
// merges them into the file as it is on disk then, atomically (a temporary file
// renamed into place). Comments in the file do not survive a write.
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

    // Writes the values written since the store opened; touches nothing when there
    // are none or when the file failed to load. Returns an error text, or empty.
    std::string flush() override;
    // Why the file failed to load (ending "; using the defaults"), or empty.
    std::string openProblem() const;
    // False when the file failed to load, so nothing will be saved to it.
    bool canSave() const { return problem_.empty(); }

    QString filePath() const { return path_; }

private:
    QString path_;
    std::string problem_;
    std::map<QString, QString> loaded_, pending_;  // by QSettings key ("section/key")
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
