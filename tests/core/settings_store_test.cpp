#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <QFileInfo>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
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

// The awkward texts a delimiter or an attribute name may hold (no illegal characters).
const std::vector<std::string> kAllowedTexts = {
    ";", "=", "{", "}", "#", " ", "  padded  ", "a;b=c", "{[x]}", "@", "@Variant(0)", "a,b",
    "Größe €", "Ωμέγα", "tab\there", "line\nbreak", "%General", "'quoted'",
};

TEST_F(SettingsStoreTest, FileLivesInTheConfigurationFolderUnderTheApplicationName) {
    EXPECT_EQ(DefaultSettingsFilePath(), iniPath());
    IniSettingsStore store;
    EXPECT_EQ(store.filePath(), iniPath());
}

TEST_F(SettingsStoreTest, SavedSettingsReadBackIdentically) {
    // Change every setting away from its default so a key that is not written
    // or read back under the same address shows up as a difference.
    // Every value is one its setting allows, so loading keeps it.
    GlobalSettings written;
    int n = 0;
    for (const SettingDef& d : GlobalSettingTable()) {
        ++n;
        std::string value;
        if (d.kind == SettingKind::Choice) value = std::to_string((StoredValue(written, d)[0] - '0' + 1) % d.choices.size());
        else if (d.kind == SettingKind::Integer) value = std::to_string(d.limits.minimum > 0 ? 1000 + n : n * 1000 + 7);
        else if (d.kind == SettingKind::Text)
            value = kAllowedTexts[static_cast<std::size_t>(n) % kAllowedTexts.size()] + std::to_string(n);
        else continue;
        ASSERT_TRUE(ApplyStoredValue(written, d, value)) << d.key << "=" << value;
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

TEST_F(SettingsStoreTest, FolderThatIsAFileIsReportedAtOpenAndAtSave) {
    // The configuration folder is a plain file: nothing can be read or created there.
    QFile blocker(dir_.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", (dir_.path() + "/blocked").toUtf8());
    {
        IniSettingsStore store;
        EXPECT_NE(store.openProblem().find("Unable to read the settings"), std::string::npos) << store.openProblem();
    }
    // Fine when opened; the folder is blocked before the save.
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    IniSettingsStore store;
    ASSERT_EQ(store.openProblem(), "");
    QFile lorvaneBlocker(dir_.path() + "/lorvane");
    ASSERT_TRUE(lorvaneBlocker.open(QIODevice::WriteOnly));
    lorvaneBlocker.close();
    SaveGlobalSettings(GlobalSettings(), store);
    const std::string problem = store.flush();
    EXPECT_NE(problem.find("Unable to save the settings"), std::string::npos) << problem;
}

// Runs make() off this thread and gives up after a few seconds: opening a named pipe
// for reading blocks until a writer comes, so a store that tried would hang the test.
// A writer that opens and closes at once lets such a reader go again.
template <typename Make>
auto withoutHanging(const QString& path, Make make) {
    auto result = std::async(std::launch::async, make);
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "opening the store blocked on " << path.toStdString();
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    return result.get();
}

TEST_F(SettingsStoreTest, NonRegularFileIsNeverReadNorWritten) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> make;
        const char* problem;
    };
    const std::vector<Case> cases = {
        {"named pipe", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); },
         "it is a named pipe"},
        {"link to a named pipe",
         [this](const QString& p) {
             const QByteArray pipe = QFile::encodeName(dir_.path() + "/pipe");
             ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
             ASSERT_EQ(::symlink(pipe.constData(), QFile::encodeName(p).constData()), 0);
         },
         "it is a named pipe"},
        {"folder", [](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); }, "it is a folder"},
        {"device", [](const QString& p) { ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(p).constData()), 0); },
         "it is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(dir_.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir_.path() + "/lorvane"));
        c.make(iniPath());
        struct Outcome {
            std::string problem, flushed;
            bool canSave;
            GlobalSettings settings;
        };
        const QString path = iniPath();
        const Outcome o = withoutHanging(path, [path] {
            IniSettingsStore store;
            Outcome r{store.openProblem(), {}, store.canSave(), {}};
            r.settings.Parse2xStrictMode = 0;
            LoadGlobalSettings(r.settings, store);
            WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
            r.flushed = withoutHanging(path, [&store] { return store.flush(); });
            return r;
        });
        EXPECT_NE(o.problem.find(c.problem), std::string::npos) << o.problem;
        EXPECT_NE(o.problem.find("; using the defaults"), std::string::npos) << o.problem;
        EXPECT_FALSE(o.canSave);
        EXPECT_EQ(o.settings, GlobalSettings());
        EXPECT_EQ(o.flushed, "");
        // Still what it was: nothing renamed over it.
        EXPECT_FALSE(QFileInfo(iniPath()).isFile() && !QFileInfo(iniPath()).isSymLink());
    }
}

TEST_F(SettingsStoreTest, FileThatFailedToLoadIsLeftByteIdentical) {
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* problem;
    };
    const QByteArray utf16 = QByteArray("\xFF\xFE") + QByteArray::fromRawData(
        reinterpret_cast<const char*>(u"[2.x]\nParse2xStrictMode=2\n"), 27 * 2);
    const std::vector<Case> cases = {
        {"broken section header", "; mine\n[2.x\nParse2xStrictMode=2\n[Browser]\nLoadSubfolders=True\n",
         "not a valid settings file"},
        {"UTF-16 with a byte order mark", utf16, "UTF-16"},
        {"UTF-16 without one", utf16.mid(2), "NUL bytes"},
        {"Latin-1", "[2.x]\nParse2xDelimiterStart=\xAB\n", "not UTF-8 text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeRawFile(c.bytes);
        IniSettingsStore store;
        const std::string problem = store.openProblem();
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_NE(problem.find("; using the defaults"), std::string::npos) << problem;
        // The message says defaults, so nothing of what could be parsed is applied.
        GlobalSettings s;
        EXPECT_TRUE(LoadGlobalSettings(s, store).empty());
        EXPECT_EQ(s, GlobalSettings());
        EXPECT_TRUE(ReadWindowToggle(store, "Browser", "LoadSubfolders"));
        // A session's window settings: kept in memory, never written over the file.
        WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
        WriteWindowGeometry(store, "Browser", "WindowLeft", 300.0f);
        EXPECT_FALSE(ReadWindowToggle(store, "Browser", "LoadSubfolders"));
        EXPECT_EQ(store.flush(), "");
        EXPECT_EQ(rawFile(), c.bytes.toStdString());
        EXPECT_EQ(QDir(dir_.path() + "/lorvane").entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(SettingsStoreTest, SaveReplacesTheFileAtomicallyAndKeepsOtherKeys) {
    writeRawFile("[Browser]\nLoadSubfolders=True\nInputPath=/home/ann\n");
    // A second name for the old file: a write in place would change what it shows.
    const QString before = dir_.path() + "/before.ini";
    ASSERT_EQ(::link(QFile::encodeName(iniPath()).constData(), QFile::encodeName(before).constData()), 0);
    IniSettingsStore store;
    ASSERT_EQ(store.openProblem(), "");
    WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
    ASSERT_EQ(store.flush(), "");
    QFile old(before);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll().toStdString(), "[Browser]\nLoadSubfolders=True\nInputPath=/home/ann\n");
    IniSettingsStore again;
    EXPECT_FALSE(ReadWindowToggle(again, "Browser", "LoadSubfolders"));
    EXPECT_EQ(ReadWindowText(again, "Browser", "InputPath", ""), "/home/ann");
    // Nothing left beside it: no temporary file, no lock.
    EXPECT_EQ(QDir(dir_.path() + "/lorvane").entryList(QDir::Files | QDir::Hidden),
              QStringList{"Lorvane Manager 2.1.ini"});
}

TEST_F(SettingsStoreTest, NothingChangedNothingWrittenCommentsKept) {
    const QByteArray text = "; my notes\n[Browser]\n; old view: 3\nFileListView=2\nLoadSubfolders=False\n";
    writeRawFile(text);
    {
        IniSettingsStore store;
        ASSERT_EQ(store.openProblem(), "");
        // What a session writes when the user changed nothing.
        WriteWindowInteger(store, "Browser", "FileListView", 2);
        WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
        ASSERT_EQ(store.flush(), "");
    }
    EXPECT_EQ(rawFile(), text.toStdString());
}

TEST_F(SettingsStoreTest, ChangesMadeOnDiskMeanwhileAreKept) {
    writeRawFile("[Browser]\nFileListView=2\n");
    IniSettingsStore store;
    WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
    writeRawFile("[Browser]\nFileListView=1\n");  // another run saved in between
    ASSERT_EQ(store.flush(), "");
    IniSettingsStore again;
    EXPECT_EQ(ReadWindowInteger(again, "Browser", "FileListView", 3), 1);
    EXPECT_FALSE(ReadWindowToggle(again, "Browser", "LoadSubfolders"));
}

TEST_F(SettingsStoreTest, UnreadableFolderIsReported) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not hold for root";
    writeRawFile("[2.x]\nParse2xStrictMode=2\n");
    const QByteArray folder = QFile::encodeName(dir_.path() + "/lorvane");
    ASSERT_EQ(::chmod(folder.constData(), 0), 0);
    IniSettingsStore store;
    const std::string problem = store.openProblem();
    ::chmod(folder.constData(), 0700);
    EXPECT_NE(problem.find("cannot be read"), std::string::npos) << problem;
    EXPECT_FALSE(store.canSave());
}

TEST_F(SettingsStoreTest, OutOfRangeValuesFallBackWithAWarningEach) {
    writeRawFile("[2.x]\nParse2xStrictMode=7\n[%General]\nParseMode=bogus\nParseLengthMaximum=2147483648\n"
                 "[Browser]\nFileListView=9\nWindowState=-1\n");
    IniSettingsStore store;
    GlobalSettings s;
    auto warnings = LoadGlobalSettings(s, store);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("General/ParseMode has the value \"bogus\""), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("\"2147483648\", which is out of range"), std::string::npos) << warnings[1];
    EXPECT_NE(warnings[2].find("2.x/Parse2xStrictMode has the value \"7\""), std::string::npos) << warnings[2];
    EXPECT_EQ(s, GlobalSettings());
    std::vector<std::string> windowWarnings;
    EXPECT_EQ(ReadWindowInteger(store, "Browser", "FileListView", 3, &windowWarnings), 3);
    EXPECT_EQ(ReadWindowInteger(store, "Browser", "WindowState", 0, &windowWarnings), 0);
    ASSERT_EQ(windowWarnings.size(), 2u);
    EXPECT_NE(windowWarnings[0].find("FileListView has the value \"9\""), std::string::npos) << windowWarnings[0];
}

}  // namespace
}  // namespace lorvane
