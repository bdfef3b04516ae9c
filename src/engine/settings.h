// The settings model: every global setting as one row of data, the in-memory
// values, the two derived records, and the per-window keys. No I/O here: the
// store is reached through the small SettingsStore interface.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/version.h"

namespace lorvane {

// Product title plus major and minor version; each minor version keeps its own settings.
constexpr std::string_view kProductTitle = "Lorvane Manager";
std::string ApplicationName();

struct GlobalSettings {
    // General
    std::string ParseMode, BuildMode;
    std::int32_t ParseLengthMaximum, BuildLengthMaximum, ParseAllowIllegal, BuildAllowIllegal,
        BuildExtensionLengthMinimum, BuildExtensionLengthMaximum, StartupOpenBrowser, StartupOpenEditor,
        StartupOpenViewer, RestoreWindowSizePosition, BrowserAutoLoadLastFolder, EditMoveNodeUpDownMode,
        EditAddNodeAutoEdit, ParseShowTreeLevels;
    // 1.x
    std::string Parse1xAttributeDate, Parse1xAttributeSerial, Parse1xAttributeTopic, Parse1xAttributeExtension,
        Parse1xDelimiterSerial, Parse1xDelimiterTopic, Parse1xDelimiterExtension, Build1xDelimiterSerial,
        Build1xDelimiterTopic, Build1xDelimiterExtension;
    std::int32_t Parse1xSerialMinimum, Parse1xSerialMaximum, Parse1xTopicLengthMaximum, Build1xSerialMinimum,
        Build1xSerialMaximum, Build1xTopicLengthMaximum, Build1xSpaceBeforeSerial, Build1xSpaceBeforeTopic;
    // 2.x
    std::string Parse2xDelimiterStart, Parse2xDelimiterEnd, Parse2xDelimiterLabel, Parse2xDelimiterValue,
        Build2xDelimiterStart, Build2xDelimiterEnd, Build2xDelimiterLabel, Build2xDelimiterValue;
    std::int32_t Parse2xAllowLabelDelimiters, Build2xAllowLabelDelimiters, Parse2xStrictMode;
    // Date
    std::string ParseDateDelimiterDate, ParseDateDelimiterDateComponent, ParseDateDelimiterTime,
        ParseDateDelimiterTimeComponent, ParseDateDelimiterRange, BuildDateDelimiterDate,
        BuildDateDelimiterDateComponent, BuildDateDelimiterTime, BuildDateDelimiterTimeComponent,
        BuildDateDelimiterRange;
    std::int32_t ParseDateMinimumYear, ParseDateMaximumYear, BuildDateOmitUnknownDate, BuildDateOmitUnknownTime,
        BuildDateOmitRedundantDate, BuildDateOmitRedundantTime, BuildDateInsertSpaceBetween,
        BuildDateInsertSpaceBefore, BuildDateInsertSpaceAfter;
    // Semantics
    std::int32_t SemanticsAttributeEnable, SemanticsAttributeValidateName, SemanticsAttributeValidateContext,
        SemanticsAttributeValidateStructure, SemanticsAttributeTranslateParse, SemanticsAttributeTranslateBuild,
        SemanticsAttributeReorder, SemanticsAttributeConsolidate, SemanticsValueEnable, SemanticsValueValidateFormat,
        SemanticsValueReformat, SemanticsValueReorder, SemanticsValueConsolidate;

    GlobalSettings();  // every setting at its default
    bool operator==(const GlobalSettings&) const = default;
};

// Switch settings count as on only when exactly 1.
constexpr bool isOn(std::int32_t v) { return v == 1; }

enum class SettingKind { Integer, Choice, Text, ListText };

// What a setting allows beyond its kind. Integers: minimum to maximum. Choices and
// list texts: an entry of their list (the range fields are unused). Texts: a length
// in characters (maximumLength -1: no limit), and no illegal filename character
// when refuseIllegal is set. The store, --set and the Options dialog share these.
struct SettingLimits {
    std::int32_t minimum = std::numeric_limits<std::int32_t>::min();
    std::int32_t maximum = std::numeric_limits<std::int32_t>::max();
    std::int32_t minimumLength = 0, maximumLength = -1;
    bool refuseIllegal = false;
};

struct SettingDef {
    std::string_view section;
    std::string_view key;
    SettingKind kind;
    std::string_view defaultValue;            // in stored encoding
    std::span<const std::string_view> choices;  // choice / list text entries
    std::string_view caption;                 // Options dialog row
    std::variant<std::int32_t GlobalSettings::*, std::string GlobalSettings::*> member;
    SettingLimits limits;
};

constexpr std::size_t kGlobalSettingCount = 77;
// In load/save order: General, 1.x, 2.x, Date, Semantics.
std::span<const SettingDef> GlobalSettingTable();
const SettingDef* FindGlobalSetting(std::string_view key);

// Stored text <-> value. ApplyStoredValue changes nothing and returns false when the
// text does not convert or is a value the setting does not allow.
std::string StoredValue(const GlobalSettings& s, const SettingDef& def);
bool ApplyStoredValue(GlobalSettings& s, const SettingDef& def, std::string_view stored);

// Why a stored text is not a value the setting allows, phrased to follow "the value
// \"...\"" (for example "is not a number", "is out of range (1000 to 9999)"), or
// empty when it is allowed.
std::string StoredValueProblem(const SettingDef& def, std::string_view stored);

// Integer conversion used for stored numbers: optional blanks and sign, decimal digits, 32-bit range.
std::optional<std::int32_t> ParseInt32(std::string_view text);
// True when the text has the form ParseInt32 reads but the number does not fit 32 bits.
bool IsOutOfRangeInteger(std::string_view text);

// The per-user store, addressed application name / section / key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> read(std::string_view section, std::string_view key) const = 0;
    virtual void write(std::string_view section, std::string_view key, std::string_view value) = 0;
    // For a store that holds writes back: makes them lasting now. An error text, or empty.
    virtual std::string flush() { return {}; }
};

// Reads every global setting (absent keys keep the default). A stored value that
// does not convert or is not allowed keeps the default; one warning per such key,
// naming the key and the value, is returned.
std::vector<std::string> LoadGlobalSettings(GlobalSettings& s, const SettingsStore& store);
void SaveGlobalSettings(const GlobalSettings& s, SettingsStore& store);

// --- Derived records ---

struct DateOptions {
    std::array<std::int32_t, 19> v{};
    std::int32_t& operator[](std::size_t i) { return v[i]; }
    std::int32_t operator[](std::size_t i) const { return v[i]; }
    bool operator==(const DateOptions&) const = default;
};
namespace date_opt {
enum : std::size_t {
    ParseDate = 0, ParseDateComponent, ParseTime, ParseTimeComponent, ParseRange,
    BuildDate, BuildDateComponent, BuildTime, BuildTimeComponent, BuildRange,
    MinimumYear, MaximumYear,
    OmitUnknownDate, OmitUnknownTime, OmitRedundantDate, OmitRedundantTime,
    InsertSpaceBetween, InsertSpaceBefore, InsertSpaceAfter,
};
}

struct SemanticOptions {
    std::array<std::int32_t, 13> v{};
    std::int32_t& operator[](std::size_t i) { return v[i]; }
    std::int32_t operator[](std::size_t i) const { return v[i]; }
    bool operator==(const SemanticOptions&) const = default;
};
namespace sem_opt {
enum : std::size_t {
    AttributeEnable = 0, AttributeValidateName, AttributeValidateContext, AttributeValidateStructure,
    AttributeTranslateParse, AttributeTranslateBuild, AttributeReorder, AttributeConsolidate,
    ValueEnable, ValueValidateFormat, ValueReformat, ValueReorder, ValueConsolidate,
};
}

// A delimiter's code is the Unicode code point of its first character; empty gives 0.
DateOptions MakeDateOptions(const GlobalSettings& s);
// Edit mode zeroes the two reorder and the two consolidate switches.
SemanticOptions MakeSemanticOptions(const GlobalSettings& s, bool editMode);

// --- Per-window settings ---

enum class WindowKeyKind { Text, Toggle, Integer, Geometry, WindowState };
enum class WindowDefault { Fixed, SampleFolder, CurrentWindow };

struct WindowSettingDef {
    std::string_view section;
    std::string_view key;
    WindowKeyKind kind;
    WindowDefault defaultSource;
    std::string_view defaultValue;  // for Fixed
    std::int32_t largest = std::numeric_limits<std::int32_t>::max();  // integers and states: 0 to this
};
std::span<const WindowSettingDef> WindowSettingTable();
const WindowSettingDef* FindWindowSetting(std::string_view section, std::string_view key);

// Toggles are stored as "True"/"False"; reading accepts either word in any case.
constexpr std::string_view EncodeToggle(bool v) { return v ? "True" : "False"; }
std::optional<bool> DecodeToggle(std::string_view text);

}  // namespace lorvane
