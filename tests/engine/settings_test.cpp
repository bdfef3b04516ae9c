#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "engine/settings.h"
#include "support/memory_settings_store.h"

namespace lorvane {
namespace {

using MemoryStore = MemorySettingsStore;

TEST(SettingsTable, SeventySevenKeysInFiveSections) {
    auto table = GlobalSettingTable();
    ASSERT_EQ(table.size(), 77u);
    std::map<std::string_view, int> perSection;
    std::set<std::string_view> keys;
    for (const auto& d : table) {
        ++perSection[d.section];
        EXPECT_TRUE(keys.insert(d.key).second) << "duplicate key " << d.key;
        if (d.kind == SettingKind::Choice || d.kind == SettingKind::ListText) {
            EXPECT_FALSE(d.choices.empty()) << d.key;
        }
    }
    EXPECT_EQ(perSection["General"], 16);
    EXPECT_EQ(perSection["1.x"], 18);
    EXPECT_EQ(perSection["2.x"], 11);
    EXPECT_EQ(perSection["Date"], 19);
    EXPECT_EQ(perSection["Semantics"], 13);
    EXPECT_EQ(ApplicationName(), "Lorvane Manager 2.1");
}

TEST(GlobalSettings, DefaultsAsDocumented) {
    GlobalSettings s;
    EXPECT_EQ(s.ParseMode, "(Auto)");
    EXPECT_EQ(s.ParseLengthMaximum, 200);
    EXPECT_EQ(s.ParseAllowIllegal, 0);
    EXPECT_EQ(s.BuildExtensionLengthMinimum, 2);
    EXPECT_EQ(s.Parse1xDelimiterTopic, "");
    EXPECT_EQ(s.Parse2xDelimiterStart, "{");
    EXPECT_EQ(s.Parse2xStrictMode, 1);
    EXPECT_EQ(s.ParseDateMinimumYear, 1900);
    EXPECT_EQ(s.SemanticsAttributeTranslateParse, 3);
    EXPECT_EQ(s.SemanticsAttributeReorder, 2);
    EXPECT_EQ(s.SemanticsValueReorder, 0);
}

TEST(GlobalSettings, SaveWritesAllInOrderAndLoadReadsBackIdentically) {
    GlobalSettings s;
    s.ParseMode = "Batch";
    s.Parse2xDelimiterValue = " ; ";
    s.Parse1xAttributeTopic = "Thema";
    s.ParseLengthMaximum = 2147483647;
    s.Parse2xStrictMode = 2;
    MemoryStore store;
    SaveGlobalSettings(s, store);
    ASSERT_EQ(store.writtenKeys().size(), 77u);
    EXPECT_EQ(store.writtenKeys().front(), "ParseMode");
    EXPECT_EQ(store.writtenKeys().back(), "SemanticsValueConsolidate");
    EXPECT_EQ(store.read("General", "ParseMode"), "Batch");  // list text, not an index
    EXPECT_EQ(store.read("2.x", "Parse2xStrictMode"), "2");  // choice as its index
    GlobalSettings back;
    EXPECT_TRUE(LoadGlobalSettings(back, store).empty());
    EXPECT_EQ(back, s);
}

TEST(GlobalSettings, UnconvertibleValueFallsBackWithOneWarning) {
    MemoryStore store;
    store.write("General", "ParseLengthMaximum", "lots");
    store.write("General", "BuildLengthMaximum", "99999999999");  // beyond 32 bits
    store.write("General", "ParseShowTreeLevels", " 7 ");
    GlobalSettings s;
    s.ParseLengthMaximum = 1;  // loading overwrites whatever was in memory
    auto warnings = LoadGlobalSettings(s, store);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("ParseLengthMaximum"), std::string::npos);
    EXPECT_NE(warnings[0].find("\"lots\", which is not a number"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("\"99999999999\", which is out of range"), std::string::npos) << warnings[1];
    EXPECT_EQ(s.ParseLengthMaximum, 200);
    EXPECT_EQ(s.BuildLengthMaximum, 200);
    EXPECT_EQ(s.ParseShowTreeLevels, 7);
}

// Each row: key, stored text, and a piece of the reason it is refused (empty: allowed).
struct LimitCase {
    const char* key;
    const char* stored;
    const char* problem;
};

const LimitCase kLimitCases[] = {
    {"Parse2xStrictMode", "2", ""},
    {"Parse2xStrictMode", "7", "is not one of its choices (0 \"Permissive\", 1 \"Tolerant\", 2 \"Strict\")"},
    {"Parse2xStrictMode", "-1", "is not one of its choices"},
    {"Parse2xStrictMode", "Strict", "is not a number"},
    {"Parse2xAllowLabelDelimiters", "2", "is not one of its choices"},
    {"SemanticsAttributeTranslateParse", "3", ""},
    {"SemanticsAttributeTranslateParse", "4", "is not one of its choices"},
    {"ParseMode", "Batch", ""},
    {"ParseMode", "bogus", "is not one of its choices (\"(Auto)\", \"1.x\", \"2.x\", \"Batch\")"},
    {"ParseMode", "batch", "is not one of its choices"},  // exact, as the format dispatch compares
    {"BuildMode", "Batch", "is not one of its choices"},
    {"ParseLengthMaximum", "0", ""},
    {"ParseLengthMaximum", "2147483647", ""},
    {"ParseLengthMaximum", "2147483648", "is out of range (0 to 2147483647)"},
    {"ParseLengthMaximum", "-1", "is out of range (0 to 2147483647)"},
    {"ParseLengthMaximum", "-99999999999", "is out of range"},
    {"ParseLengthMaximum", "12.5", "is not a number"},
    {"ParseLengthMaximum", "", "is not a number"},
    {"ParseDateMinimumYear", "1000", ""},
    {"ParseDateMinimumYear", "999", "is out of range (1000 to 9999)"},
    {"ParseDateMaximumYear", "10000", "is out of range (1000 to 9999)"},
    {"Parse2xDelimiterStart", "[[", ""},
    {"Parse2xDelimiterStart", "<<", "contains a character that is not allowed in file names (one of"},
    {"Parse2xDelimiterStart", "", "may not be empty"},
    {"Build2xDelimiterValue", "", "may not be empty"},
    {"Parse2xDelimiterEnd", "a:b", "contains a character that is not allowed in file names"},
    {"Parse1xDelimiterTopic", "", ""},
    {"BuildDateDelimiterDate", "/", "contains a character that is not allowed"},
    {"Parse1xAttributeDate", "Größe", ""},
    {"Parse1xAttributeDate", "", "may not be empty"},
    {"Parse1xAttributeTopic", "12345678901234567890", ""},
    {"Parse1xAttributeTopic", "123456789012345678901", "is longer than 20 characters"},
    {"Parse1xAttributeSerial", "Se*rial", "contains a character"},
};

TEST(SettingLimits, EachSettingRefusesWhatItDoesNotAllow) {
    for (const LimitCase& c : kLimitCases) {
        const SettingDef* def = FindGlobalSetting(c.key);
        ASSERT_NE(def, nullptr) << c.key;
        const std::string problem = StoredValueProblem(*def, c.stored);
        GlobalSettings s;
        const GlobalSettings before = s;
        const bool applied = ApplyStoredValue(s, *def, c.stored);
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.key << "=" << c.stored;
            EXPECT_TRUE(applied) << c.key << "=" << c.stored;
            EXPECT_EQ(StoredValue(s, *def), c.stored);
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.key << "=" << c.stored << ": " << problem;
            EXPECT_FALSE(applied) << c.key << "=" << c.stored;
            EXPECT_EQ(s, before) << c.key << "=" << c.stored;
        }
    }
}

TEST(SettingLimits, EveryDefaultIsAllowed) {
    for (const SettingDef& d : GlobalSettingTable()) EXPECT_EQ(StoredValueProblem(d, d.defaultValue), "") << d.key;
}

TEST(GlobalSettings, ValueOutsideItsLimitsFallsBackWithAWarningNamingKeyAndValue) {
    MemoryStore store;
    store.write("2.x", "Parse2xStrictMode", "7");
    store.write("General", "ParseMode", "bogus");
    store.write("Date", "ParseDateMinimumYear", "1500");
    GlobalSettings s;
    auto warnings = LoadGlobalSettings(s, store);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].substr(0, warnings[0].find(',')), "Setting General/ParseMode has the value \"bogus\"");
    EXPECT_NE(warnings[0].find("using the default \"(Auto)\""), std::string::npos) << warnings[0];
    EXPECT_EQ(warnings[1].substr(0, warnings[1].find(',')), "Setting 2.x/Parse2xStrictMode has the value \"7\"");
    EXPECT_NE(warnings[1].find("using the default \"1\""), std::string::npos) << warnings[1];
    EXPECT_EQ(s.Parse2xStrictMode, 1);
    EXPECT_EQ(s.ParseMode, "(Auto)");
    EXPECT_EQ(s.ParseDateMinimumYear, 1500);
}

TEST(DateOptions, FirstCharacterCodesLimitsAndSwitches) {
    GlobalSettings s;
    s.ParseDateDelimiterRange = "~~x";
    s.BuildDateDelimiterTime = "\xC2\xB7";  // a middle dot: its code point
    s.BuildDateInsertSpaceAfter = 0;
    DateOptions o = MakeDateOptions(s);
    EXPECT_EQ(o[date_opt::ParseDate], 0);  // empty: none
    EXPECT_EQ(o[date_opt::ParseDateComponent], '-');
    EXPECT_EQ(o[date_opt::ParseTime], '@');
    EXPECT_EQ(o[date_opt::ParseRange], '~');
    EXPECT_EQ(o[date_opt::BuildTime], 0xB7);
    EXPECT_EQ(o[date_opt::MinimumYear], 1900);
    EXPECT_EQ(o[date_opt::MaximumYear], 2100);
    EXPECT_EQ(o[date_opt::OmitUnknownDate], 1);
    EXPECT_EQ(o[date_opt::InsertSpaceAfter], 0);
}

TEST(SemanticOptions, EditModeZeroesExactlyReorderAndConsolidate) {
    GlobalSettings s;
    s.SemanticsValueReorder = 1;
    SemanticOptions full = MakeSemanticOptions(s, false);
    SemanticOptions edit = MakeSemanticOptions(s, true);
    const std::set<std::size_t> zeroed = {6, 7, 11, 12};
    for (std::size_t i = 0; i < 13; ++i) {
        if (zeroed.count(i)) {
            EXPECT_NE(full[i], 0) << i;
            EXPECT_EQ(edit[i], 0) << i;
        } else {
            EXPECT_EQ(edit[i], full[i]) << i;
        }
    }
    EXPECT_EQ(full[sem_opt::AttributeTranslateParse], 3);
}

TEST(WindowSettings, KeysAndToggleEncoding) {
    EXPECT_EQ(WindowSettingTable().size(), 24u);
    const auto* view = FindWindowSetting("Browser", "FileListView");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->defaultValue, "3");
    EXPECT_EQ(FindWindowSetting("Editor", "InputPath")->defaultSource, WindowDefault::SampleFolder);
    EXPECT_EQ(FindWindowSetting("Viewer", "InputPath"), nullptr);
    EXPECT_EQ(EncodeToggle(true), "True");
    EXPECT_EQ(DecodeToggle("False"), false);
    EXPECT_EQ(DecodeToggle("true"), true);
    EXPECT_EQ(DecodeToggle("maybe"), std::nullopt);
}

}  // namespace
}  // namespace lorvane
