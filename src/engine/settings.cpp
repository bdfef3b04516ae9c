#include "engine/settings.h"

#include <charconv>
#include <limits>

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

#define LV_SETTING(section, key, kind, def, choices, caption) \
    SettingDef { section, #key, kind, def, choices, caption, &GlobalSettings::key }

const SettingDef kGlobal[] = {
    // General
    LV_SETTING("General", ParseMode, K::ListText, "(Auto)", kParseModes, "Lorvane Data filename format"),
    LV_SETTING("General", BuildMode, K::ListText, "(Auto)", kBuildModes, "Lorvane Data filename format"),
    LV_SETTING("General", ParseLengthMaximum, K::Integer, "200", kNone, "Maximum filename length"),
    LV_SETTING("General", BuildLengthMaximum, K::Integer, "200", kNone, "Maximum filename length"),
    LV_SETTING("General", ParseAllowIllegal, K::Choice, "0", kNoYes, "Allow illegal characters"),
    LV_SETTING("General", BuildAllowIllegal, K::Choice, "0", kNoYes, "Allow illegal characters"),
    LV_SETTING("General", BuildExtensionLengthMinimum, K::Integer, "2", kNone, "Minimum extension length"),
    LV_SETTING("General", BuildExtensionLengthMaximum, K::Integer, "3", kNone, "Maximum extension length"),
    LV_SETTING("General", StartupOpenBrowser, K::Choice, "1", kAutoYes, "Open Browser"),
    LV_SETTING("General", StartupOpenEditor, K::Choice, "1", kAutoYes, "Open Editor"),
    LV_SETTING("General", StartupOpenViewer, K::Choice, "1", kNoYes, "Open Viewer"),
    LV_SETTING("General", RestoreWindowSizePosition, K::Choice, "1", kNoYes, "Restore window sizes and positions"),
    LV_SETTING("General", BrowserAutoLoadLastFolder, K::Choice, "1", kNoYes, "Auto-load last used folder in Browser"),
    LV_SETTING("General", EditMoveNodeUpDownMode, K::Choice, "1", kMoveModes, "Move nodes up/down within"),
    LV_SETTING("General", EditAddNodeAutoEdit, K::Choice, "1", kNoYes, "Edit new nodes on insert"),
    LV_SETTING("General", ParseShowTreeLevels, K::Integer, "4", kNone, "Tree levels to show on parse"),
    // 1.x
    LV_SETTING("1.x", Parse1xAttributeDate, K::Text, "Date", kNone, "Date attribute name"),
    LV_SETTING("1.x", Parse1xAttributeSerial, K::Text, "Serial", kNone, "Serial attribute name"),
    LV_SETTING("1.x", Parse1xAttributeTopic, K::Text, "Topic", kNone, "Topic attribute name"),
    LV_SETTING("1.x", Parse1xAttributeExtension, K::Text, "Extension", kNone, "Extension attribute name"),
    LV_SETTING("1.x", Parse1xDelimiterSerial, K::Text, "#", kNone, "Serial delimiter"),
    LV_SETTING("1.x", Parse1xDelimiterTopic, K::Text, "", kNone, "Topic delimiter"),
    LV_SETTING("1.x", Parse1xDelimiterExtension, K::Text, ".", kNone, "Extension delimiter"),
    LV_SETTING("1.x", Build1xDelimiterSerial, K::Text, "#", kNone, "Serial delimiter"),
    LV_SETTING("1.x", Build1xDelimiterTopic, K::Text, "", kNone, "Topic delimiter"),
    LV_SETTING("1.x", Build1xDelimiterExtension, K::Text, ".", kNone, "Extension delimiter"),
    LV_SETTING("1.x", Parse1xSerialMinimum, K::Integer, "1", kNone, "Minimum Serial Number"),
    LV_SETTING("1.x", Parse1xSerialMaximum, K::Integer, "999", kNone, "Maximum Serial Number"),
    LV_SETTING("1.x", Parse1xTopicLengthMaximum, K::Integer, "150", kNone, "Maximum Topic length"),
    LV_SETTING("1.x", Build1xSerialMinimum, K::Integer, "1", kNone, "Minimum Serial Number"),
    LV_SETTING("1.x", Build1xSerialMaximum, K::Integer, "999", kNone, "Maximum Serial Number"),
    LV_SETTING("1.x", Build1xTopicLengthMaximum, K::Integer, "150", kNone, "Maximum Topic length"),
    LV_SETTING("1.x", Build1xSpaceBeforeSerial, K::Choice, "1", kNoYes, "Insert space before Serial Number"),
    LV_SETTING("1.x", Build1xSpaceBeforeTopic, K::Choice, "1", kNoYes, "Insert space before Topic"),
    // 2.x
    LV_SETTING("2.x", Parse2xDelimiterStart, K::Text, "{", kNone, "Attribute start delimiter"),
    LV_SETTING("2.x", Parse2xDelimiterEnd, K::Text, "}", kNone, "Attribute end delimiter"),
    LV_SETTING("2.x", Parse2xDelimiterLabel, K::Text, "=", kNone, "Attribute label delimiter"),
    LV_SETTING("2.x", Parse2xDelimiterValue, K::Text, ";", kNone, "Attribute value delimiter"),
    LV_SETTING("2.x", Build2xDelimiterStart, K::Text, "{", kNone, "Attribute start delimiter"),
    LV_SETTING("2.x", Build2xDelimiterEnd, K::Text, "}", kNone, "Attribute end delimiter"),
    LV_SETTING("2.x", Build2xDelimiterLabel, K::Text, "=", kNone, "Attribute label delimiter"),
    LV_SETTING("2.x", Build2xDelimiterValue, K::Text, ";", kNone, "Attribute value delimiter"),
    LV_SETTING("2.x", Parse2xAllowLabelDelimiters, K::Choice, "1", kNoYes, "Allow label delimiters in attribute values"),
    LV_SETTING("2.x", Build2xAllowLabelDelimiters, K::Choice, "1", kNoYes, "Allow label delimiters in attribute values"),
    LV_SETTING("2.x", Parse2xStrictMode, K::Choice, "1", kStrictModes, "Syntax rule enforcement"),
    // Date
    LV_SETTING("Date", ParseDateDelimiterDate, K::Text, "", kNone, "Date delimiter"),
    LV_SETTING("Date", ParseDateDelimiterDateComponent, K::Text, "-", kNone, "Date component delimiter"),
    LV_SETTING("Date", ParseDateDelimiterTime, K::Text, "@", kNone, "Time delimiter"),
    LV_SETTING("Date", ParseDateDelimiterTimeComponent, K::Text, "-", kNone, "Time component delimiter"),
    LV_SETTING("Date", ParseDateDelimiterRange, K::Text, "~", kNone, "Range delimiter"),
    LV_SETTING("Date", BuildDateDelimiterDate, K::Text, "", kNone, "Date delimiter"),
    LV_SETTING("Date", BuildDateDelimiterDateComponent, K::Text, "-", kNone, "Date component delimiter"),
    LV_SETTING("Date", BuildDateDelimiterTime, K::Text, "@", kNone, "Time delimiter"),
    LV_SETTING("Date", BuildDateDelimiterTimeComponent, K::Text, "-", kNone, "Time component delimiter"),
    LV_SETTING("Date", BuildDateDelimiterRange, K::Text, "~", kNone, "Range delimiter"),
    LV_SETTING("Date", ParseDateMinimumYear, K::Integer, "1900", kNone, "Minimum Year"),
    LV_SETTING("Date", ParseDateMaximumYear, K::Integer, "2100", kNone, "Maximum Year"),
    LV_SETTING("Date", BuildDateOmitUnknownDate, K::Choice, "1", kNoYes, "Omit unknown Date elements"),
    LV_SETTING("Date", BuildDateOmitUnknownTime, K::Choice, "1", kNoYes, "Omit unknown Time elements"),
    LV_SETTING("Date", BuildDateOmitRedundantDate, K::Choice, "1", kNoYes, "Omit redundant Latest Date"),
    LV_SETTING("Date", BuildDateOmitRedundantTime, K::Choice, "1", kNoYes, "Omit redundant Latest Time"),
    LV_SETTING("Date", BuildDateInsertSpaceBetween, K::Choice, "1", kNoYes, "Insert space between Date and Time"),
    LV_SETTING("Date", BuildDateInsertSpaceBefore, K::Choice, "1", kNoYes, "Insert space before Range delimiter"),
    LV_SETTING("Date", BuildDateInsertSpaceAfter, K::Choice, "1", kNoYes, "Insert space after Range delimiter"),
    // Semantics
    LV_SETTING("Semantics", SemanticsAttributeEnable, K::Choice, "1", kNoYes, "Enable attribute semantics"),
    LV_SETTING("Semantics", SemanticsAttributeValidateName, K::Choice, "1", kNoWarnFail, "Validate attribute names"),
    LV_SETTING("Semantics", SemanticsAttributeValidateContext, K::Choice, "1", kNoWarnFail, "Validate attribute contexts"),
    LV_SETTING("Semantics", SemanticsAttributeValidateStructure, K::Choice, "1", kNoWarnFail, "Validate attribute structure"),
    LV_SETTING("Semantics", SemanticsAttributeTranslateParse, K::Choice, "3", kTranslate, "Translate attributes on Parse/Edit"),
    LV_SETTING("Semantics", SemanticsAttributeTranslateBuild, K::Choice, "1", kTranslate, "Translate attributes on Build"),
    LV_SETTING("Semantics", SemanticsAttributeReorder, K::Choice, "2", kAttributeOrder, "Reorder attributes"),
    LV_SETTING("Semantics", SemanticsAttributeConsolidate, K::Choice, "1", kNoYes, "Consolidate duplicate attributes"),
    LV_SETTING("Semantics", SemanticsValueEnable, K::Choice, "1", kNoYes, "Enable value semantics"),
    LV_SETTING("Semantics", SemanticsValueValidateFormat, K::Choice, "1", kNoWarnFail, "Validate value formats"),
    LV_SETTING("Semantics", SemanticsValueReformat, K::Choice, "1", kNoYes, "Reformat values"),
    LV_SETTING("Semantics", SemanticsValueReorder, K::Choice, "0", kValueOrder, "Reorder values"),
    LV_SETTING("Semantics", SemanticsValueConsolidate, K::Choice, "1", kNoYes, "Consolidate duplicate values"),
};
#undef LV_SETTING

static_assert(std::size(kGlobal) == kGlobalSettingCount);

using W = WindowKeyKind;
using D = WindowDefault;
const WindowSettingDef kWindow[] = {
    {"Editor", "InputPath", W::Text, D::SampleFolder, ""},
    {"Editor", "IndicateLength", W::Toggle, D::Fixed, "True"},
    {"Browser", "FileListView", W::Integer, D::Fixed, "3"},
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
    {"Editor", "WindowState", W::WindowState, D::CurrentWindow, ""},
    {"Viewer", "WindowLeft", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowTop", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowWidth", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowHeight", W::Geometry, D::CurrentWindow, ""},
    {"Viewer", "WindowState", W::WindowState, D::CurrentWindow, ""},
    {"Browser", "WindowLeft", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowTop", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowWidth", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowHeight", W::Geometry, D::CurrentWindow, ""},
    {"Browser", "WindowState", W::WindowState, D::CurrentWindow, ""},
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

std::string StoredValue(const GlobalSettings& s, const SettingDef& def) {
    if (auto* m = std::get_if<std::string GlobalSettings::*>(&def.member)) return s.*(*m);
    return std::to_string(s.*std::get<std::int32_t GlobalSettings::*>(def.member));
}

bool ApplyStoredValue(GlobalSettings& s, const SettingDef& def, std::string_view stored) {
    if (auto* m = std::get_if<std::string GlobalSettings::*>(&def.member)) {
        (s.*(*m)).assign(stored);
        return true;
    }
    // Integers and choices: any 32-bit number is kept (a choice stored as 2 simply
    // counts as off where only 1 means on).
    auto v = ParseInt32(stored);
    if (!v) return false;
    s.*std::get<std::int32_t GlobalSettings::*>(def.member) = *v;
    return true;
}

GlobalSettings::GlobalSettings() {
    for (const auto& d : kGlobal) ApplyStoredValue(*this, d, d.defaultValue);
}

std::vector<std::string> LoadGlobalSettings(GlobalSettings& s, const SettingsStore& store) {
    std::vector<std::string> warnings;
    for (const auto& d : kGlobal) {
        auto stored = store.read(d.section, d.key);
        if (!stored) {
            ApplyStoredValue(s, d, d.defaultValue);
            continue;
        }
        if (!ApplyStoredValue(s, d, *stored)) {
            ApplyStoredValue(s, d, d.defaultValue);
            warnings.push_back("Setting " + std::string(d.section) + "/" + std::string(d.key) + " has the value \"" +
                               *stored + "\", which is not a number; using the default \"" +
                               std::string(d.defaultValue) + "\"");
        }
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
