#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "engine/utf8.h"

namespace lorvane {

namespace {

// Far beyond any settings file the program writes; a larger file is something else.
constexpr qint64 kLargestSettingsFile = 4 << 20;

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

void warn(std::vector<std::string>* warnings, std::string_view section, std::string_view key,
          const std::string& stored, std::string_view what) {
    if (!warnings) return;
    warnings->push_back("Setting " + std::string(section) + "/" + std::string(key) + " has the value \"" + stored +
                        "\", which is not " + std::string(what) + "; using the default");
}

// A hand-edited value with bare commas reads as a list; keep the text the user wrote.
QString valueText(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

struct FileContents {
    bool absent = false;
    QByteArray bytes;
    std::string problem;  // why the file cannot be a settings file, or empty
};

// Reads the file without ever blocking: opened non-blocking and used only when it
// is a regular file, so a named pipe or a device in its place is refused, not waited on.
FileContents readSettingsFile(const QString& path) {
    FileContents c;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT) c.absent = true;
        else if (e == EACCES) c.problem = "the file or its folder cannot be read (permission denied)";
        else c.problem = std::string("the file cannot be opened (") + std::strerror(e) + ")";
        return c;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        c.problem = std::string("the file cannot be examined (") + std::strerror(errno) + ")";
    } else if (S_ISFIFO(st.st_mode)) {
        c.problem = "it is a named pipe, not a regular file";
    } else if (S_ISDIR(st.st_mode)) {
        c.problem = "it is a folder, not a file";
    } else if (!S_ISREG(st.st_mode)) {
        c.problem = "it is not a regular file";
    } else if (st.st_size > kLargestSettingsFile) {
        c.problem = "it is too large to be a settings file";
    } else {
        char buf[1 << 14];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                c.problem = std::string("the file cannot be read (") + std::strerror(errno) + ")";
                break;
            }
            if (n == 0) break;
            c.bytes.append(buf, n);
            if (c.bytes.size() > kLargestSettingsFile) {
                c.problem = "it is too large to be a settings file";
                break;
            }
        }
    }
    ::close(fd);
    if (!c.problem.empty()) return c;
    // The text itself: UTF-16 (with or without a byte order mark) would otherwise be
    // read as garbage without a word, and other bytes would be rewritten as U+FFFD.
    if (c.bytes.startsWith("\xFF\xFE") || c.bytes.startsWith("\xFE\xFF"))
        c.problem = "it is UTF-16 text; settings files are UTF-8 text";
    else if (c.bytes.contains('\0'))
        c.problem = "it holds NUL bytes (UTF-16 text?); settings files are UTF-8 text";
    else if (!utf8::isValid(std::string_view(c.bytes.constData(), static_cast<std::size_t>(c.bytes.size()))))
        c.problem = "it is not UTF-8 text";
    return c;
}

// Parses a copy, so that what is parsed is exactly what was checked above.
std::string parseSettings(const QByteArray& bytes, std::map<QString, QString>& values) {
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/lorvane-settings-XXXXXX.ini"));
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        return "a working copy of the file cannot be made in " + QDir::tempPath().toStdString();
    QSettings ini(copy.fileName(), QSettings::IniFormat);
    // The file is parsed at the first access, and only then is its status known.
    const QStringList keys = ini.allKeys();
    if (std::string problem = statusText(ini.status()); !problem.empty()) return problem;
    for (const QString& k : keys) values[k] = valueText(ini.value(k));
    return {};
}

}  // namespace

QString DefaultSettingsFilePath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/lorvane/") + QString::fromStdString(ApplicationName()) + QStringLiteral(".ini");
}

IniSettingsStore::IniSettingsStore() : IniSettingsStore(DefaultSettingsFilePath()) {}

IniSettingsStore::IniSettingsStore(const QString& filePath) : path_(filePath) {
    FileContents file = readSettingsFile(path_);
    if (file.problem.empty() && !file.absent) file.problem = parseSettings(file.bytes, loaded_);
    problem_ = file.problem;
    // Nothing of a file that failed to load is used: the defaults, as the message says.
    if (!problem_.empty()) loaded_.clear();
}

IniSettingsStore::~IniSettingsStore() = default;

std::optional<std::string> IniSettingsStore::read(std::string_view section, std::string_view key) const {
    const QString k = qKey(section, key);
    auto it = pending_.find(k);
    if (it == pending_.end()) it = loaded_.find(k);
    if (it == loaded_.end()) return std::nullopt;
    return it->second.toStdString();
}

void IniSettingsStore::write(std::string_view section, std::string_view key, std::string_view value) {
    pending_[qKey(section, key)] = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

std::string IniSettingsStore::flush() {
    // A value written as it was read changes nothing; leaving the file alone then keeps
    // its comments and layout through sessions in which nothing changed.
    std::erase_if(pending_, [this](const auto& entry) {
        auto it = loaded_.find(entry.first);
        return it != loaded_.end() && it->second == entry.second;
    });
    if (!canSave() || pending_.empty()) return {};
    const std::string where = "Unable to save the settings to \"" + path_.toStdString() + "\": ";
    // The file may have changed since it was read; it is merged into, so it must still load.
    FileContents now = readSettingsFile(path_);
    if (!now.problem.empty()) return where + now.problem + "; the file is left as it is";
    QSettings ini(path_, QSettings::IniFormat);
    (void)ini.allKeys();  // parses the file, which sets the status
    if (std::string problem = statusText(ini.status()); !problem.empty())
        return where + problem + "; the file is left as it is";
    // A temporary file renamed into place: a crash or a full disk leaves the old file whole.
    ini.setAtomicSyncRequired(true);
    for (const auto& [k, v] : pending_) ini.setValue(k, v);
    ini.sync();
    if (std::string problem = statusText(ini.status()); !problem.empty()) return where + problem;
    for (const auto& [k, v] : pending_) loaded_[k] = v;
    pending_.clear();
    return {};
}

std::string IniSettingsStore::openProblem() const {
    if (problem_.empty()) return {};
    return "Unable to read the settings from \"" + path_.toStdString() + "\": " + problem_ + "; using the defaults";
}

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
    const WindowSettingDef* def = FindWindowSetting(section, key);
    const std::int32_t largest = def ? def->largest : std::numeric_limits<std::int32_t>::max();
    const auto v = ParseInt32(*stored);
    if (v && *v >= 0 && *v <= largest) return *v;
    warn(warnings, section, key, *stored,
         v || IsOutOfRangeInteger(*stored) ? "a number from 0 to " + std::to_string(largest) : std::string("a number"));
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
