#include "engine/settings.h"

#include <charconv>
#include <limits>

#include "engine/tree.h"
#include "engine/utf8.h"

namespace lorvane {

std::string ApplicationName() {
    return std::string(kProductTitle) + " " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

namespace {

using K = SettingKind;
using SV = std::string_view;

constexpr SV kParseModes[] = {"(Auto)", "1.x", "2.x", "Batch"};
constexpr SV kBuildModes[] = {"(Auto)", "1.x", "2.x"};
constexpr SV kNoYes[] = {"No", "Yes"};
constexpr SV kAutoYes[] = {"(Auto)", "Yes"};
constexpr SV kMoveModes[] = {"Siblings", "Cousins"};
constexpr SV kStrictModes[] = {"Permissive", "Tolerant", "Strict"};
constexpr SV kNoWarnFail[] = {"No", "Warn if invalid", "Fail if invalid"};
constexpr SV kTranslate[] = {"No", "Short Name", "Medium Name", "Long Name"};
constexpr SV kAttributeOrder[] = {"No", "Alphabetical Order", "Preferred Order"};
constexpr SV kValueOrder[] = {"No", "Alphabetical Order"};
constexpr std::span<const SV> kNone{};

// What each kind of row allows beyond its kind (a choice's range is its list).
constexpr SettingLimits kFromChoices{};
constexpr SettingLimits kCount{.minimum = 0};
constexpr SettingLimits kYear{.minimum = 1000, .maximum = 9999};
// Delimiters end up in file names: no character a file name may not hold.
constexpr SettingLimits kDelimiter{.refuseIllegal = true};
// An empty 2.x delimiter would match everywhere.
constexpr SettingLimits kDelimiter2x{.minimumLength = 1, .refuseIllegal = true};
constexpr SettingLimits kAttributeName{.minimumLength = 1, .maximumLength = 20, .refuseIllegal = true};

#define LV_SETTING(section, key, kind, def, choices, caption, limits) \
    SettingDef { section, #key, kind, def, choices, caption, &GlobalSettings::key, limits }

const SettingDef kGlobal[] = {
    // General
    LV_SETTING("General", ParseMode, K::ListText, "(Auto)", kParseModes, "Lorvane Data filename format", kFromChoices),
    LV_SETTING("General", BuildMode, K::ListText, "(Auto)", kBuildModes, "Lorvane Data filename format", kFromChoices),
    LV_SETTING("General", ParseLengthMaximum, K::Integer, "200", kNone, "Maximum filename length", kCount),
    LV_SETTING("General", BuildLengthMaximum, K::Integer, "200", kNone, "Maximum filename length", kCount),
    LV_SETTING("General", ParseAllowIllegal, K::Choice, "0", kNoYes, "Allow illegal characters", kFromChoices),
    LV_SETTING("General", BuildAllowIllegal, K::Choice, "0", kNoYes, "Allow illegal characters", kFromChoices),
    LV_SETTING("General", BuildExtensionLengthMinimum, K::Integer, "2", kNone, "Minimum extension length", kCount),
    LV_SETTING("General", BuildExtensionLengthMaximum, K::Integer, "3", kNone, "Maximum extension length", kCount),
    LV_SETTING("General", StartupOpenBrowser, K::Choice, "1", kAutoYes, "Open Browser", kFromChoices),
    LV_SETTING("General", StartupOpenEditor, K::Choice, "1", kAutoYes, "Open Editor", kFromChoices),
    LV_SETTING("General", StartupOpenViewer, K::Choice, "1", kNoYes, "Open Viewer", kFromChoices),
    LV_SETTING("General", RestoreWindowSizePosition, K::Choice, "1", kNoYes, "Restore window sizes and positions", kFromChoices),
    LV_SETTING("General", BrowserAutoLoadLastFolder, K::Choice, "1", kNoYes, "Auto-load last used folder in Browser", kFromChoices),
    LV_SETTING("General", EditMoveNodeUpDownMode, K::Choice, "1", kMoveModes, "Move nodes up/down within", kFromChoices),
    LV_SETTING("General", EditAddNodeAutoEdit, K::Choice, "1", kNoYes, "Edit new nodes on insert", kFromChoices),
    LV_SETTING("General", ParseShowTreeLevels, K::Integer, "4", kNone, "Tree levels to show on parse", kCount),
    // 1.x
    LV_SETTING("1.x", Parse1xAttributeDate, K::Text, "Date", kNone, "Date attribute name", kAttributeName),
    LV_SETTING("1.x", Parse1xAttributeSerial, K::Text, "Serial", kNone, "Serial attribute name", kAttributeName),
    LV_SETTING("1.x", Parse1xAttributeTopic, K::Text, "Topic", kNone, "Topic attribute name", kAttributeName),
    LV_SETTING("1.x", Parse1xAttributeExtension, K::Text, "Extension", kNone, "Extension attribute name", kAttributeName),
    LV_SETTING("1.x", Parse1xDelimiterSerial, K::Text, "#", kNone, "Serial delimiter", kDelimiter),
    LV_SETTING("1.x", Parse1xDelimiterTopic, K::Text, "", kNone, "Topic delimiter", kDelimiter),
    LV_SETTING("1.x", Parse1xDelimiterExtension, K::Text, ".", kNone, "Extension delimiter", kDelimiter),
    LV_SETTING("1.x", Build1xDelimiterSerial, K::Text, "#", kNone, "Serial delimiter", kDelimiter),
    LV_SETTING("1.x", Build1xDelimiterTopic, K::Text, "", kNone, "Topic delimiter", kDelimiter),
    LV_SETTING("1.x", Build1xDelimiterExtension, K::Text, ".", kNone, "Extension delimiter", kDelimiter),
    LV_SETTING("1.x", Parse1xSerialMinimum, K::Integer, "1", kNone, "Minimum Serial Number", kCount),
    LV_SETTING("1.x", Parse1xSerialMaximum, K::Integer, "999", kNone, "Maximum Serial Number", kCount),
    LV_SETTING("1.x", Parse1xTopicLengthMaximum, K::Integer, "150", kNone, "Maximum Topic length", kCount),
    LV_SETTING("1.x", Build1xSerialMinimum, K::Integer, "1", kNone, "Minimum Serial Number", kCount),
    LV_SETTING("1.x", Build1xSerialMaximum, K::Integer, "999", kNone, "Maximum Serial Number", kCount),
    LV_SETTING("1.x", Build1xTopicLengthMaximum, K::Integer, "150", kNone, "Maximum Topic length", kCount),
    LV_SETTING("1.x", Build1xSpaceBeforeSerial, K::Choice, "1", kNoYes, "Insert space before Serial Number", kFromChoices),
    LV_SETTING("1.x", Build1xSpaceBeforeTopic, K::Choice, "1", kNoYes, "Insert space before Topic", kFromChoices),
    // 2.x
    LV_SETTING("2.x", Parse2xDelimiterStart, K::Text, "{", kNone, "Attribute start delimiter", kDelimiter2x),
    LV_SETTING("2.x", Parse2xDelimiterEnd, K::Text, "}", kNone, "Attribute end delimiter", kDelimiter2x),
    LV_SETTING("2.x", Parse2xDelimiterLabel, K::Text, "=", kNone, "Attribute label delimiter", kDelimiter2x),
    LV_SETTING("2.x", Parse2xDelimiterValue, K::Text, ";", kNone, "Attribute value delimiter", kDelimiter2x),
    LV_SETTING("2.x", Build2xDelimiterStart, K::Text, "{", kNone, "Attribute start delimiter", kDelimiter2x),
    LV_SETTING("2.x", Build2xDelimiterEnd, K::Text, "}", kNone, "Attribute end delimiter", kDelimiter2x),
    LV_SETTING("2.x", Build2xDelimiterLabel, K::Text, "=", kNone, "Attribute label delimiter", kDelimiter2x),
    LV_SETTING("2.x", Build2xDelimiterValue, K::Text, ";", kNone, "Attribute value delimiter", kDelimiter2x),
    LV_SETTING("2.x", Parse2xAllowLabelDelimiters, K::Choice, "1", kNoYes, "Allow label delimiters in attribute values", kFromChoices),
    LV_SETTING("2.x", Build2xAllowLabelDelimiters, K::Choice, "1", kNoYes, "Allow label delimiters in attribute values", kFromChoices),
    LV_SETTING("2.x", Parse2xStrictMode, K::Choice, "1", kStrictModes, "Syntax rule enforcement", kFromChoices),
    // Date
    LV_SETTING("Date", ParseDateDelimiterDate, K::Text, "", kNone, "Date delimiter", kDelimiter),
    LV_SETTING("Date", ParseDateDelimiterDateComponent, K::Text, "-", kNone, "Date component delimiter", kDelimiter),
    LV_SETTING("Date", ParseDateDelimiterTime, K::Text, "@", kNone, "Time delimiter", kDelimiter),
    LV_SETTING("Date", ParseDateDelimiterTimeComponent, K::Text, "-", kNone, "Time component delimiter", kDelimiter),
    LV_SETTING("Date", ParseDateDelimiterRange, K::Text, "~", kNone, "Range delimiter", kDelimiter),
    LV_SETTING("Date", BuildDateDelimiterDate, K::Text, "", kNone, "Date delimiter", kDelimiter),
    LV_SETTING("Date", BuildDateDelimiterDateComponent, K::Text, "-", kNone, "Date component delimiter", kDelimiter),
    LV_SETTING("Date", BuildDateDelimiterTime, K::Text, "@", kNone, "Time delimiter", kDelimiter),
    LV_SETTING("Date", BuildDateDelimiterTimeComponent, K::Text, "-", kNone, "Time component delimiter", kDelimiter),
    LV_SETTING("Date", BuildDateDelimiterRange, K::Text, "~", kNone, "Range delimiter", kDelimiter),
    LV_SETTING("Date", ParseDateMinimumYear, K::Integer, "1900", kNone, "Minimum Year", kYear),
    LV_SETTING("Date", ParseDateMaximumYear, K::Integer, "2100", kNone, "Maximum Year", kYear),
    LV_SETTING("Date", BuildDateOmitUnknownDate, K::Choice, "1", kNoYes, "Omit unknown Date elements", kFromChoices),
    LV_SETTING("Date", BuildDateOmitUnknownTime, K::Choice, "1", kNoYes, "Omit unknown Time elements", kFromChoices),
    LV_SETTING("Date", BuildDateOmitRedundantDate, K::Choice, "1", kNoYes, "Omit redundant Latest Date", kFromChoices),
    LV_SETTING("Date", BuildDateOmitRedundantTime, K::Choice, "1", kNoYes, "Omit redundant Latest Time", kFromChoices),
    LV_SETTING("Date", BuildDateInsertSpaceBetween, K::Choice, "1", kNoYes, "Insert space between Date and Time", kFromChoices),
    LV_SETTING("Date", BuildDateInsertSpaceBefore, K::Choice, "1", kNoYes, "Insert space before Range delimiter", kFromChoices),
    LV_SETTING("Date", BuildDateInsertSpaceAfter, K::Choice, "1", kNoYes, "Insert space after Range delimiter", kFromChoices),
    // Semantics
    LV_SETTING("Semantics", SemanticsAttributeEnable, K::Choice, "1", kNoYes, "Enable attribute semantics", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeValidateName, K::Choice, "1", kNoWarnFail, "Validate attribute names", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeValidateContext, K::Choice, "1", kNoWarnFail, "Validate attribute contexts", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeValidateStructure, K::Choice, "1", kNoWarnFail, "Validate attribute structure", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeTranslateParse, K::Choice, "3", kTranslate, "Translate attributes on Parse/Edit", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeTranslateBuild, K::Choice, "1", kTranslate, "Translate attributes on Build", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeReorder, K::Choice, "2", kAttributeOrder, "Reorder attributes", kFromChoices),
    LV_SETTING("Semantics", SemanticsAttributeConsolidate, K::Choice, "1", kNoYes, "Consolidate duplicate attributes", kFromChoices),
    LV_SETTING("Semantics", SemanticsValueEnable, K::Choice, "1", kNoYes, "Enable value semantics", kFromChoices),
    LV_SETTING("Semantics", SemanticsValueValidateFormat, K::Choice, "1", kNoWarnFail, "Validate value formats", kFromChoices),
    LV_SETTING("Semantics", SemanticsValueReformat, K::Choice, "1", kNoYes, "Reformat values", kFromChoices),
    LV_SETTING("Semantics", SemanticsValueReorder, K::Choice, "0", kValueOrder, "Reorder values", kFromChoices),
    LV_SETTING("Semantics", SemanticsValueConsolidate, K::Choice, "1", kNoYes, "Consolidate duplicate values", kFromChoices),
};
#undef LV_SETTING

static_assert(std::size(kGlobal) == kGlobalSettingCount);


using W = WindowKeyKind;
using D = WindowDefault;
const WindowSettingDef kWindow[] = {
    {"Editor", "InputPath", W::Text, D::SampleFolder, ""},
    {"Editor", "IndicateLength", W::Toggle, D::Fixed, "True"},
    {"Browser", "FileListView", W::Integer, D::Fixed, "3", 3},
    {"Browser", "FileListGridlines", W::Toggle, D::Fixed, "True"},
    {"Browser", "IndicateLoaded", W::Toggle, D::Fixed, "True"},
    {"Browser", "IndicateSelected", W::Toggle, D::Fixed, "False"},
    {"Browser", "LoadSubfolders", W::Toggle, D::Fixed, "True"},
    {"Browser", "InputPath", W::Text, D::SampleFolder, ""},
    {"Browser", "OutputPath", W::Text, D::SampleFolder, ""},
    {"Editor", "WindowLeft", W::Geometry, D::CurrentWindow, ""},
    {"Editor", "WindowTop", W::Geometry, D::CurrentWindow, ""},
    {"Editor", "WindowWidth", W::Geometry, D::CurrentWindow, ""},
    {"Editor", "WindowHeight", W::Geometry, D::CurrentWindow, ""},
    {"Editor", "WindowState", W::WindowState, D::CurrentWindow, "", 2},
    {"Viewer", "WindowLeft", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowTop", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowWidth", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowHeight", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowState", W::WindowState, D::CurrentWindow, "", 2},
    {"Browser", "WindowLeft", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowTop", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowWidth", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowHeight", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowState", W::WindowState, D::CurrentWindow, "", 2},
};

}  // namespace

std::span<const SettingDef> GlobalSettingTable() { return kGlobal; }

const SettingDef* FindGlobalSetting(std::string_view key) {
    for (const auto& d : kGlobal)
        if (d.key == key) return &d;
    return nullptr;
}

std::span<const WindowSettingDef> WindowSettingTable() { return kWindow; }

const WindowSettingDef* FindWindowSetting(std::string_view section, std::string_view key) {
    for (const auto& d : kWindow)
        if (d.section == section && d.key == key) return &d;
    return nullptr;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    text = utf8::trimSpaces(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int32_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

bool IsOutOfRangeInteger(std::string_view text) {
    text = utf8::trimSpaces(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return !ParseInt32(text);
}

namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string choiceList(const SettingDef& def, bool withIndex) {
    std::string list;
    for (std::size_t i = 0; i < def.choices.size(); ++i) {
        if (i) list += ", ";
        if (withIndex) list += std::to_string(i) + " ";
        list += quoted(def.choices[i]);
    }
    return list;
}

}  // namespace

std::string StoredValueProblem(const SettingDef& def, std::string_view stored) {
    const SettingLimits& lim = def.limits;
    switch (def.kind) {
        case SettingKind::ListText:
            for (SV c : def.choices)
                if (c == stored) return {};
            return "is not one of its choices (" + choiceList(def, false) + ")";
        case SettingKind::Text: {
            const auto n = static_cast<std::int64_t>(utf8::length(stored));
            if (n < lim.minimumLength) return "may not be empty";
            if (lim.maximumLength >= 0 && n > lim.maximumLength)
                return "is longer than " + std::to_string(lim.maximumLength) + " characters";
            if (lim.refuseIllegal) {
                if (int at = FindIllegalCharacter(stored); at > 0)
                    return "contains a character that is not allowed in file names (one of " +
                           std::string(kIllegalCharacters) + ") at position " + std::to_string(at);
            }
            return {};
        }
        case SettingKind::Integer:
        case SettingKind::Choice: break;
    }
    const auto v = ParseInt32(stored);
    if (def.kind == SettingKind::Choice) {
        if (v && *v >= 0 && static_cast<std::size_t>(*v) < def.choices.size()) return {};
        if (!v && !IsOutOfRangeInteger(stored)) return "is not a number; its choices are " + choiceList(def, true);
        return "is not one of its choices (" + choiceList(def, true) + ")";
    }
    if (!v && !IsOutOfRangeInteger(stored)) return "is not a number";
    if (!v || *v < lim.minimum || *v > lim.maximum)
        return "is out of range (" + std::to_string(lim.minimum) + " to " + std::to_string(lim.maximum) + ")";
    return {};
}

std::string StoredValue(const GlobalSettings& s, const SettingDef& def) {
    if (auto* m = std::get_if<std::string GlobalSettings::*>(&def.member)) return s.*(*m);
    return std::to_string(s.*std::get<std::int32_t GlobalSettings::*>(def.member));
}

bool ApplyStoredValue(GlobalSettings& s, const SettingDef& def, std::string_view stored) {
    if (!StoredValueProblem(def, stored).empty()) return false;
    if (auto* m = std::get_if<std::string GlobalSettings::*>(&def.member)) (s.*(*m)).assign(stored);
    else s.*std::get<std::int32_t GlobalSettings::*>(def.member) = *ParseInt32(stored);
    return true;
}

GlobalSettings::GlobalSettings() {
    for (const auto& d : kGlobal) ApplyStoredValue(*this, d, d.defaultValue);
}

std::vector<std::string> LoadGlobalSettings(GlobalSettings& s, const SettingsStore& store) {
    std::vector<std::string> warnings;
    for (const auto& d : kGlobal) {
        auto stored = store.read(d.section, d.key);
        if (stored && ApplyStoredValue(s, d, *stored)) continue;
        ApplyStoredValue(s, d, d.defaultValue);
        if (stored)
            warnings.push_back("Setting " + std::string(d.section) + "/" + std::string(d.key) + " has the value " +
                               quoted(*stored) + ", which " + StoredValueProblem(d, *stored) +
                               "; using the default " + quoted(d.defaultValue));
    }
    return warnings;
}

void SaveGlobalSettings(const GlobalSettings& s, SettingsStore& store) {
    for (const auto& d : kGlobal) store.write(d.section, d.key, StoredValue(s, d));
}

DateOptions MakeDateOptions(const GlobalSettings& s) {
    using namespace date_opt;
    DateOptions o;
    auto code = [](const std::string& t) { return static_cast<std::int32_t>(utf8::firstCodePoint(t)); };
    o[ParseDate] = code(s.ParseDateDelimiterDate);
    o[ParseDateComponent] = code(s.ParseDateDelimiterDateComponent);
    o[ParseTime] = code(s.ParseDateDelimiterTime);
    o[ParseTimeComponent] = code(s.ParseDateDelimiterTimeComponent);
    o[ParseRange] = code(s.ParseDateDelimiterRange);
    o[BuildDate] = code(s.BuildDateDelimiterDate);
    o[BuildDateComponent] = code(s.BuildDateDelimiterDateComponent);
    o[BuildTime] = code(s.BuildDateDelimiterTime);
    o[BuildTimeComponent] = code(s.BuildDateDelimiterTimeComponent);
    o[BuildRange] = code(s.BuildDateDelimiterRange);
    o[MinimumYear] = s.ParseDateMinimumYear;
    o[MaximumYear] = s.ParseDateMaximumYear;
    o[OmitUnknownDate] = s.BuildDateOmitUnknownDate;
    o[OmitUnknownTime] = s.BuildDateOmitUnknownTime;
    o[OmitRedundantDate] = s.BuildDateOmitRedundantDate;
    o[OmitRedundantTime] = s.BuildDateOmitRedundantTime;
    o[InsertSpaceBetween] = s.BuildDateInsertSpaceBetween;
    o[InsertSpaceBefore] = s.BuildDateInsertSpaceBefore;
    o[InsertSpaceAfter] = s.BuildDateInsertSpaceAfter;
    return o;
}

SemanticOptions MakeSemanticOptions(const GlobalSettings& s, bool editMode) {
    using namespace sem_opt;
    SemanticOptions o;
    o[AttributeEnable] = s.SemanticsAttributeEnable;
    o[AttributeValidateName] = s.SemanticsAttributeValidateName;
    o[AttributeValidateContext] = s.SemanticsAttributeValidateContext;
    o[AttributeValidateStructure] = s.SemanticsAttributeValidateStructure;
    o[AttributeTranslateParse] = s.SemanticsAttributeTranslateParse;
    o[AttributeTranslateBuild] = s.SemanticsAttributeTranslateBuild;
    o[AttributeReorder] = editMode ? 0 : s.SemanticsAttributeReorder;
    o[AttributeConsolidate] = editMode ? 0 : s.SemanticsAttributeConsolidate;
    o[ValueEnable] = s.SemanticsValueEnable;
    o[ValueValidateFormat] = s.SemanticsValueValidateFormat;
    o[ValueReformat] = s.SemanticsValueReformat;
    o[ValueReorder] = editMode ? 0 : s.SemanticsValueReorder;
    o[ValueConsolidate] = editMode ? 0 : s.SemanticsValueConsolidate;
    return o;
}

std::optional<bool> DecodeToggle(std::string_view text) {
    std::string t = utf8::lower(utf8::trimSpaces(text));
    if (t == "true") return true;
    if (t == "false") return false;
    if (auto v = ParseInt32(t)) return *v != 0;
    return std::nullopt;
}

}  // namespace lorvane
