#include "core/settings_store.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <charconv>
#include <cmath>

namespace lorvane {

namespace {

QString qKey(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

std::string statusText(QSettings::Status status) {
    switch (status) {
        case QSettings::NoError: return {};
        case QSettings::AccessError: return "the file cannot be read or written";
        case QSettings::FormatError: return "the file is not a valid settings file";
    }
    return "unknown error";
}

std::string path(const QSettings& s) { return s.fileName().toStdString(); }

void warn(std::vector<std::string>* warnings, std::string_view section, std::string_view key,
          const std::string& stored, std::string_view what) {
    if (!warnings) return;
    warnings->push_back("Setting " + std::string(section) + "/" + std::string(key) + " has the value \"" + stored +
                        "\", which is not " + std::string(what) + "; using the default");
}

}  // namespace

QString DefaultSettingsFilePath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/lorvane/") + QString::fromStdString(ApplicationName()) + QStringLiteral(".ini");
}

IniSettingsStore::IniSettingsStore() : IniSettingsStore(DefaultSettingsFilePath()) {}

IniSettingsStore::IniSettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

IniSettingsStore::~IniSettingsStore() = default;

std::optional<std::string> IniSettingsStore::read(std::string_view section, std::string_view key) const {
    const QString k = qKey(section, key);
    if (!settings_->contains(k)) return std::nullopt;
    const QVariant v = settings_->value(k);
    // A hand-edited value with bare commas reads as a list; keep the text the user wrote.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(',')).toStdString();
    return v.toString().toStdString();
}

void IniSettingsStore::write(std::string_view section, std::string_view key, std::string_view value) {
    settings_->setValue(qKey(section, key), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

std::string IniSettingsStore::flush() {
    settings_->sync();
    std::string problem = statusText(settings_->status());
    if (problem.empty()) return {};
    return "Unable to save the settings to \"" + path(*settings_) + "\": " + problem;
}

std::string IniSettingsStore::openProblem() const {
    std::string problem = statusText(settings_->status());
    if (problem.empty()) return {};
    return "Unable to read the settings from \"" + path(*settings_) + "\": " + problem + "; using the defaults";
}

QString IniSettingsStore::filePath() const { return settings_->fileName(); }

// --- Per-window keys ---

std::string ReadWindowText(const SettingsStore& store, std::string_view section, std::string_view key,
                           std::string_view defaultValue) {
    auto stored = store.read(section, key);
    return stored ? *stored : std::string(defaultValue);
}

bool ReadWindowToggle(const SettingsStore& store, std::string_view section, std::string_view key,
                      std::vector<std::string>* warnings) {
    const WindowSettingDef* def = FindWindowSetting(section, key);
    const bool fallback = def && DecodeToggle(def->defaultValue).value_or(false);
    auto stored = store.read(section, key);
    if (!stored) return fallback;
    if (auto v = DecodeToggle(*stored)) return *v;
    warn(warnings, section, key, *stored, "True or False");
    return fallback;
}

std::int32_t ReadWindowInteger(const SettingsStore& store, std::string_view section, std::string_view key,
                               std::int32_t defaultValue, std::vector<std::string>* warnings) {
    auto stored = store.read(section, key);
    if (!stored) return defaultValue;
    if (auto v = ParseInt32(*stored)) return *v;
    warn(warnings, section, key, *stored, "a number");
    return defaultValue;
}

float ReadWindowGeometry(const SettingsStore& store, std::string_view section, std::string_view key,
                         float defaultValue, std::vector<std::string>* warnings) {
    auto stored = store.read(section, key);
    if (!stored) return defaultValue;
    if (auto v = DecodeGeometry(*stored)) return *v;
    warn(warnings, section, key, *stored, "a number");
    return defaultValue;
}

void WriteWindowText(SettingsStore& store, std::string_view section, std::string_view key, std::string_view value) {
    store.write(section, key, value);
}

void WriteWindowToggle(SettingsStore& store, std::string_view section, std::string_view key, bool value) {
    store.write(section, key, EncodeToggle(value));
}

void WriteWindowInteger(SettingsStore& store, std::string_view section, std::string_view key, std::int32_t value) {
    store.write(section, key, std::to_string(value));
}

void WriteWindowGeometry(SettingsStore& store, std::string_view section, std::string_view key, float value) {
    store.write(section, key, EncodeGeometry(value));
}

std::string EncodeGeometry(float value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return "0";
    return std::string(buf, end);
}

std::optional<float> DecodeGeometry(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    float v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace lorvane
