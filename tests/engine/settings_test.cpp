#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/settings.h"
#include "support/memory_settings_store.h"

namespace lorvane {
namespace {

// Each row: key, stored text, and a piece of the reason it is refused (empty: allowed).
TEST(SettingLimits, EachSettingRefusesWhatItDoesNotAllow) {
    const std::tuple<const char*, std::string_view, const char*> rows[] = {
        {"Parse2xStrictMode", "0", ""},
        {"Parse2xStrictMode", "2", ""},
        {"Parse2xStrictMode", "-1", "is not one of its choices"},
        {"Parse2xStrictMode", "3", "is not one of its choices (0 \"Permissive\", 1 \"Tolerant\", 2 \"Strict\")"},
        {"Parse2xStrictMode", "Strict",
         "is not a number; its choices are 0 \"Permissive\", 1 \"Tolerant\", 2 \"Strict\""},
        {"ParseMode", "batch", "is not one of its choices"},  // exact, as the format dispatch compares
        {"BuildMode", "Batch", "is not one of its choices"},
        {"ParseLengthMaximum", "0", ""},
        {"ParseLengthMaximum", "2147483647", ""},
        {"ParseLengthMaximum", "10000000000", "is out of range (0 to 2147483647)"},
        {"ParseLengthMaximum", " +7 ", ""},
        {"ParseLengthMaximum", "2147483648", "is out of range (0 to 2147483647)"},
        {"ParseLengthMaximum", "-1", "is out of range (0 to 2147483647)"},
        {"ParseLengthMaximum", "12.5", "is not a number"},
        {"Parse2xDelimiterStart", std::string_view("[[<", 2), ""},  // a view judged by its own characters only
        {"Parse2xDelimiterStart", "<<", "contains a character that is not allowed in file names (one of"},
        {"Parse2xDelimiterStart", "", "may not be empty"},
        {"Parse1xDelimiterTopic", "", ""},
        {"Parse1xAttributeDate", "Gr\xC3\xB6\xC3\x9F\x65", ""},
        {"Parse1xAttributeTopic", "12345678901234567890", ""},
        {"Parse1xAttributeTopic", "123456789012345678901", "is longer than 20 characters"},
    };
    for (const auto& [key, stored, expected] : rows) {
        SCOPED_TRACE(std::string(key) + "=" + std::string(stored));
        const SettingDef* def = FindGlobalSetting(key);
        ASSERT_NE(def, nullptr);
        const std::string problem = StoredValueProblem(*def, stored);
        GlobalSettings s;
        const bool applied = ApplyStoredValue(s, *def, stored);
        EXPECT_EQ(problem.substr(0, std::string(expected).size()), expected) << problem;
        EXPECT_EQ(problem.empty(), !*expected) << problem;
        EXPECT_TRUE(applied == !*expected && (applied || s == GlobalSettings()));  // a refused value changes nothing
    }
}

TEST(SettingLimits, EveryDefaultIsAllowed) {
    for (const SettingDef& d : GlobalSettingTable()) EXPECT_EQ(StoredValueProblem(d, d.defaultValue), "") << d.key;
}

// Loading reads every stored value it allows; any other falls back to the default,
// whatever the memory held, with one warning that names key, value and reason.
TEST(GlobalSettings, LoadTakesAllowedValuesAndWarnsOfTheOthers) {
    // Section, key, the stored text, the value loaded, the warning (empty: none).
    const std::tuple<const char*, const char*, const char*, const char*, const char*> rows[] = {
        {"General", "ParseShowTreeLevels", " 7 ", "7", ""},
        {"General", "ParseMode", "bogus", "(Auto)",
         "Setting General/ParseMode has the value \"bogus\", which is not one of its choices (\"(Auto)\", \"1.x\", "
         "\"2.x\", \"Batch\"); using the default \"(Auto)\""},
        {"2.x", "Parse2xStrictMode", "7", "1",
         "Setting 2.x/Parse2xStrictMode has the value \"7\", which is not one of its choices (0 \"Permissive\", 1 "
         "\"Tolerant\", 2 \"Strict\"); using the default \"1\""},
    };
    for (const auto& [section, key, stored, loaded, warning] : rows) {
        MemorySettingsStore store;
        store.write(section, key, stored);
        GlobalSettings s;
        const SettingDef& def = *FindGlobalSetting(key);
        ApplyStoredValue(s, def, def.kind == SettingKind::ListText ? "Batch" : "2");
        const auto warnings = LoadGlobalSettings(s, store);
        EXPECT_EQ(StoredValue(s, def), loaded);
        EXPECT_EQ(warnings.empty() ? "" : warnings[0], warning);
        EXPECT_LE(warnings.size(), 1u);
    }
}

TEST(GlobalSettings, SaveWritesAllInOrderAndLoadReadsBackIdentically) {
    GlobalSettings s;
    s.ParseMode = "Batch";
    s.Parse2xDelimiterValue = " ; ";
    s.Parse1xAttributeTopic = "Thema";
    s.ParseLengthMaximum = 2147483647;
    s.Parse2xStrictMode = 2;
    MemorySettingsStore store;
    SaveGlobalSettings(s, store);
    EXPECT_EQ(store.writtenKeys().front(), "ParseMode");
    EXPECT_EQ(store.writtenKeys().back(), "SemanticsValueConsolidate");
    EXPECT_EQ(store.read("General", "ParseMode"), "Batch");  // list text, not an index
    EXPECT_EQ(store.read("2.x", "Parse2xStrictMode"), "2");  // choice as its index
    GlobalSettings back;
    EXPECT_TRUE(LoadGlobalSettings(back, store).empty());
    EXPECT_EQ(back, s);
}

TEST(WindowSettings, TogglesReadEitherWordInAnyCaseOrANumber) {
    const std::pair<const char*, std::optional<bool>> rows[] = {
        {"False", false}, {"true", true}, {" TRUE ", true}, {"0", false}, {"2", true}, {"maybe", {}}, {"", {}}};
    for (const auto& [text, value] : rows) EXPECT_EQ(DecodeToggle(text), value) << text;
    EXPECT_EQ(DecodeToggle(EncodeToggle(false)), false);
}

}  // namespace
}  // namespace lorvane
