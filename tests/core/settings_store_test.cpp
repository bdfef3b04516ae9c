#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <string>
#include <vector>

#include "core/settings_store.h"
#include "engine/settings.h"

namespace lorvane {
namespace {

// Every test gets its own configuration folder; the user's real store is never touched.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        hadSaved_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    }
    void TearDown() override {
        if (hadSaved_) qputenv("XDG_CONFIG_HOME", saved_);
        else qunsetenv("XDG_CONFIG_HOME");
    }
    QString iniPath() const { return dir_.path() + "/lorvane/Lorvane Manager 2.1.ini"; }
    void writeRawFile(const QByteArray& text) {
        ASSERT_TRUE(QDir().mkpath(dir_.path() + "/lorvane"));
        QFile f(iniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    std::string rawFile() const {
        QFile f(iniPath());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll().toStdString();
    }

    QTemporaryDir dir_;
    QByteArray saved_;
    bool hadSaved_ = false;
};

// Texts that INI files treat specially, plus blanks, non-ASCII and the empty text.
const std::vector<std::string> kAwkwardTexts = {
    "",  ";", "=", "{", "}", "#", "\"", " ", "  padded  ", "a;b=c", "{[x]}", "@", "@Variant(0)", "a,b",
    "\\", "back\\slash", "Größe €", "Ωμέγα", "tab\there", "line\nbreak", "%General", "'quoted'",
};

TEST_F(SettingsStoreTest, FileLivesInTheConfigurationFolderUnderTheApplicationName) {
    EXPECT_EQ(DefaultSettingsFilePath(), iniPath());
    IniSettingsStore store;
    EXPECT_EQ(store.filePath(), iniPath());
}

TEST_F(SettingsStoreTest, SavedSettingsReadBackIdentically) {
    // Change every setting away from its default so a key that is not written
    // or read back under the same address shows up as a difference.
    GlobalSettings written;
    int n = 0;
    for (const SettingDef& d : GlobalSettingTable()) {
        ++n;
        if (auto* m = std::get_if<std::string GlobalSettings::*>(&d.member))
            written.*(*m) = kAwkwardTexts[static_cast<std::size_t>(n) % kAwkwardTexts.size()] + std::to_string(n);
        else
            written.*std::get<std::int32_t GlobalSettings::*>(d.member) = (n % 2 ? -1 : 1) * (n * 1000 + 7);
    }
    written.ParseMode = "Batch";
    written.BuildMode = "1.x";
    ASSERT_NE(written, GlobalSettings());
    {
        IniSettingsStore store;
        SaveGlobalSettings(written, store);
        EXPECT_EQ(store.flush(), "");
    }
    IniSettingsStore store;
    GlobalSettings read;
    EXPECT_TRUE(LoadGlobalSettings(read, store).empty());
    EXPECT_EQ(read, written);
}

TEST_F(SettingsStoreTest, AwkwardTextsRoundTrip) {
    {
        IniSettingsStore store;
        for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
            store.write("2.x", "Text" + std::to_string(i), kAwkwardTexts[i]);
        ASSERT_EQ(store.flush(), "");
    }
    IniSettingsStore store;
    for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i) {
        auto v = store.read("2.x", "Text" + std::to_string(i));
        ASSERT_TRUE(v.has_value()) << i;
        EXPECT_EQ(*v, kAwkwardTexts[i]) << i;
    }
}

TEST_F(SettingsStoreTest, AbsentStoreGivesDefaultsAndCreatesNothing) {
    IniSettingsStore store;
    EXPECT_EQ(store.openProblem(), "");
    GlobalSettings s;
    s.ParseLengthMaximum = 5;
    s.Parse2xDelimiterStart = "<<";
    EXPECT_TRUE(LoadGlobalSettings(s, store).empty());
    EXPECT_EQ(s, GlobalSettings());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(SettingsStoreTest, NonNumberFallsBackToDefaultWithOneWarning) {
    writeRawFile("[%General]\nParseLengthMaximum=lots\nBuildLengthMaximum=150\n"
                 "[2.x]\nParse2xDelimiterStart=a,b\nParse2xStrictMode=2\n");
    IniSettingsStore store;
    GlobalSettings s;
    auto warnings = LoadGlobalSettings(s, store);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("ParseLengthMaximum"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("lots"), std::string::npos) << warnings[0];
    EXPECT_EQ(s.ParseLengthMaximum, 200);
    // Its neighbours are read as stored, a bare comma included.
    EXPECT_EQ(s.BuildLengthMaximum, 150);
    EXPECT_EQ(s.Parse2xDelimiterStart, "a,b");
    EXPECT_EQ(s.Parse2xStrictMode, 2);
}

TEST_F(SettingsStoreTest, StoredEncodings) {
    GlobalSettings s;
    s.ParseMode = "Batch";
    s.Parse2xStrictMode = 2;
    s.SemanticsAttributeTranslateParse = 0;
    {
        IniSettingsStore store;
        SaveGlobalSettings(s, store);
        WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
        WriteWindowToggle(store, "Editor", "IndicateLength", true);
        ASSERT_EQ(store.flush(), "");
    }
    const std::string text = rawFile();
    // List text as its text, choices as their index, toggles as words.
    EXPECT_NE(text.find("ParseMode=Batch\n"), std::string::npos) << text;
    EXPECT_NE(text.find("BuildMode=(Auto)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Parse2xStrictMode=2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("SemanticsAttributeTranslateParse=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("LoadSubfolders=False\n"), std::string::npos) << text;
    EXPECT_NE(text.find("IndicateLength=True\n"), std::string::npos) << text;
    for (const char* section : {"[%General]", "[1.x]", "[2.x]", "[Date]", "[Semantics]", "[Browser]", "[Editor]"})
        EXPECT_NE(text.find(section), std::string::npos) << section;
}

TEST_F(SettingsStoreTest, WindowToggles) {
    writeRawFile("[Browser]\nFileListGridlines=false\nIndicateLoaded=TRUE\nIndicateSelected=maybe\n");
    IniSettingsStore store;
    std::vector<std::string> warnings;
    EXPECT_FALSE(ReadWindowToggle(store, "Browser", "FileListGridlines", &warnings));
    EXPECT_TRUE(ReadWindowToggle(store, "Browser", "IndicateLoaded", &warnings));
    EXPECT_TRUE(warnings.empty());
    // Not convertible: the table's default (False) and one warning.
    EXPECT_FALSE(ReadWindowToggle(store, "Browser", "IndicateSelected", &warnings));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("IndicateSelected"), std::string::npos);
    // Absent: the table's defaults.
    EXPECT_TRUE(ReadWindowToggle(store, "Browser", "LoadSubfolders"));
    EXPECT_TRUE(ReadWindowToggle(store, "Editor", "IndicateLength"));
}

TEST_F(SettingsStoreTest, WindowGeometryStateAndPaths) {
    const std::string path = "/home/ann/Pictures/{Place=Harbour}; holiday";
    {
        IniSettingsStore store;
        WriteWindowGeometry(store, "Viewer", "WindowLeft", 1234.5f);
        WriteWindowGeometry(store, "Viewer", "WindowTop", 0.1f);
        WriteWindowGeometry(store, "Viewer", "WindowWidth", -15.0f);
        WriteWindowInteger(store, "Viewer", "WindowState", 2);
        WriteWindowText(store, "Browser", "InputPath", path);
        ASSERT_EQ(store.flush(), "");
    }
    IniSettingsStore store;
    std::vector<std::string> warnings;
    EXPECT_EQ(ReadWindowGeometry(store, "Viewer", "WindowLeft", 7.0f, &warnings), 1234.5f);
    EXPECT_EQ(ReadWindowGeometry(store, "Viewer", "WindowTop", 7.0f, &warnings), 0.1f);
    EXPECT_EQ(ReadWindowGeometry(store, "Viewer", "WindowWidth", 7.0f, &warnings), -15.0f);
    EXPECT_EQ(ReadWindowGeometry(store, "Viewer", "WindowHeight", 7.0f, &warnings), 7.0f);  // absent
    EXPECT_EQ(ReadWindowInteger(store, "Viewer", "WindowState", 0, &warnings), 2);
    EXPECT_EQ(ReadWindowText(store, "Browser", "InputPath", "unused"), path);
    EXPECT_EQ(ReadWindowText(store, "Browser", "OutputPath", "/opt/lorvane/Sample"), "/opt/lorvane/Sample");
    EXPECT_TRUE(warnings.empty());
}

TEST_F(SettingsStoreTest, BadGeometryAndStateFallBack) {
    writeRawFile("[Editor]\nWindowLeft=left\nWindowTop=nan\nWindowState=2.5\n");
    IniSettingsStore store;
    std::vector<std::string> warnings;
    EXPECT_EQ(ReadWindowGeometry(store, "Editor", "WindowLeft", 3.0f, &warnings), 3.0f);
    EXPECT_EQ(ReadWindowGeometry(store, "Editor", "WindowTop", 4.0f, &warnings), 4.0f);
    EXPECT_EQ(ReadWindowInteger(store, "Editor", "WindowState", 1, &warnings), 1);
    EXPECT_EQ(warnings.size(), 3u);
}

TEST_F(SettingsStoreTest, UnwritableFolderIsReportedNotIgnored) {
    // The configuration folder is a plain file: the store cannot be created.
    QFile blocker(dir_.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", (dir_.path() + "/blocked").toUtf8());
    IniSettingsStore store;
    SaveGlobalSettings(GlobalSettings(), store);
    const std::string problem = store.flush();
    EXPECT_NE(problem.find("Unable to save the settings"), std::string::npos) << problem;
}

}  // namespace
}  // namespace lorvane
