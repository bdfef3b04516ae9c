#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }
    QStringList folderFiles() const { return QDir(dir_.path() + "/lorvane").entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir_;
    QByteArray saved_;
    bool hadSaved_ = false;
};

// Texts that INI files treat specially, plus blanks, non-ASCII and the empty text; all but
// the empty text, quotes and backslashes are allowed in a delimiter or an attribute name.
const std::vector<std::string> kAwkwardTexts = {
    "",  ";", "=", "{", "}", "#", "\"", " ", "  padded  ", "a;b=c", "{[x]}", "@", "@Variant(0)", "a,b",
    "\\", "back\\slash", "Größe €", "Ωμέγα", "tab\there", "line\nbreak", "%General", "'quoted'",
};

TEST_F(SettingsStoreTest, SavedSettingsAndAwkwardTextsReadBackIdentically) {
    // Every setting away from its default, to a value it allows, so a key that is not
    // written or read back under the same address shows up as a difference.
    std::vector<std::string> allowed;
    for (const std::string& t : kAwkwardTexts)
        if (!t.empty() && t.find_first_of("\"\\") == std::string::npos) allowed.push_back(t);
    GlobalSettings written;
    int n = 0;
    for (const SettingDef& d : GlobalSettingTable()) {
        ++n;
        std::string value;
        if (d.kind == SettingKind::Choice)
            value = std::to_string((StoredValue(written, d)[0] - '0' + 1) % d.choices.size());
        else if (d.kind == SettingKind::Integer) value = std::to_string(d.limits.minimum > 0 ? 1000 + n : n * 1000 + 7);
        else if (d.kind == SettingKind::Text)
            value = allowed[static_cast<std::size_t>(n) % allowed.size()] + std::to_string(n);
        else continue;
        ASSERT_TRUE(ApplyStoredValue(written, d, value)) << d.key << "=" << value;
    }
    written.ParseMode = "Batch";
    written.BuildMode = "1.x";
    {
        IniSettingsStore store;
        SaveGlobalSettings(written, store);
        for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
            store.write("2.x", "Text" + std::to_string(i), kAwkwardTexts[i]);
        EXPECT_EQ(store.flush(), "");
    }
    IniSettingsStore store;
    GlobalSettings read;
    EXPECT_TRUE(LoadGlobalSettings(read, store).empty());
    EXPECT_EQ(read, written);
    for (std::size_t i = 0; i < kAwkwardTexts.size(); ++i)
        EXPECT_EQ(store.read("2.x", "Text" + std::to_string(i)).value_or("absent"), kAwkwardTexts[i]) << i;
}

// A stored value that does not convert, or lies outside its setting's range, gives the
// default and one warning naming the key and the value; its neighbours are read as stored.
TEST_F(SettingsStoreTest, ValuesThatDoNotConvertFallBackWithAWarningEach) {
    writeRawFile(
        "[%General]\nParseLengthMaximum=lots\nBuildLengthMaximum=150\nParseMode=bogus\n"
        "[Date]\nParseDateMaximumYear=2147483648\n[2.x]\nParse2xDelimiterStart=a,b\nParse2xStrictMode=7\n"
        "[Browser]\nFileListView=9\nIndicateLoaded=TRUE\nIndicateSelected=maybe\nWindowLeft=left\nWindowTop=nan\n"
        "WindowWidth=12.25\n[Editor]\nWindowState=2.5\n");
    IniSettingsStore store;
    GlobalSettings s;
    const std::vector<std::string> warnings = LoadGlobalSettings(s, store);
    const std::vector<std::string> expected = {"ParseLengthMaximum has the value \"lots\"",
                                               "General/ParseMode has the value \"bogus\"",
                                               "\"2147483648\", which is out of range",
                                               "2.x/Parse2xStrictMode has the value \"7\""};
    ASSERT_EQ(warnings.size(), expected.size());
    for (const std::string& w : expected)
        EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [&](auto& x) { return x.find(w) != x.npos; })) << w;
    GlobalSettings neighbours;
    neighbours.BuildLengthMaximum = 150;
    neighbours.Parse2xDelimiterStart = "a,b";
    EXPECT_EQ(s, neighbours);

    // Window values: integers, toggles and geometry, each with its default and the warnings so far.
    std::vector<std::string> window;
    const struct {
        char kind;
        const char *section, *key;
        float fallback, value;
        std::size_t warnings;
    } rows[] = {
        {'i', "Browser", "FileListView", 3, 3, 1}, {'i', "Editor", "WindowState", 1, 1, 2},
        {'t', "Browser", "IndicateLoaded", 0, 1, 2}, {'t', "Browser", "IndicateSelected", 0, 0, 3},  // the default
        {'t', "Browser", "LoadSubfolders", 0, 1, 3},  // absent: the default
        {'g', "Browser", "WindowLeft", 3, 3, 4}, {'g', "Browser", "WindowTop", 4, 4, 5},
        {'g', "Browser", "WindowWidth", 4, 12.25f, 5},
    };
    for (const auto& r : rows) {
        const float v = r.kind == 'i'
                            ? ReadWindowInteger(store, r.section, r.key, static_cast<int>(r.fallback), &window)
                        : r.kind == 't' ? ReadWindowToggle(store, r.section, r.key, &window)
                                        : ReadWindowGeometry(store, r.section, r.key, r.fallback, &window);
        EXPECT_EQ(v, r.value) << r.key;
        EXPECT_EQ(window.size(), r.warnings) << r.key;
    }
    EXPECT_NE(window[0].find("FileListView has the value \"9\""), std::string::npos) << window[0];
}

TEST_F(SettingsStoreTest, StoredEncodingsAndWindowValuesReadBack) {
    GlobalSettings s;
    s.ParseMode = "Batch";
    s.Parse2xStrictMode = 2;
    s.SemanticsAttributeTranslateParse = 0;
    const std::string path = "/home/ann/Pictures/{Place=Harbour}; holiday";
    {
        IniSettingsStore store;
        SaveGlobalSettings(s, store);
        WriteWindowToggle(store, "Browser", "LoadSubfolders", false);
        WriteWindowToggle(store, "Editor", "IndicateLength", true);
        WriteWindowGeometry(store, "Viewer", "WindowLeft", 1234.5f);
        WriteWindowGeometry(store, "Viewer", "WindowTop", 0.1f);
        WriteWindowGeometry(store, "Viewer", "WindowWidth", -15.0f);
        WriteWindowInteger(store, "Viewer", "WindowState", 2);
        WriteWindowText(store, "Browser", "InputPath", path);
        ASSERT_EQ(store.flush(), "");
    }
    // List text as its text, choices as their index, toggles as words.
    const std::string text = rawFile();
    for (const char* line : {"ParseMode=Batch\n", "BuildMode=(Auto)\n", "Parse2xStrictMode=2\n", "[%General]", "[1.x]",
                             "SemanticsAttributeTranslateParse=0\n", "LoadSubfolders=False\n", "IndicateLength=True\n",
                             "[2.x]", "[Date]", "[Semantics]", "[Browser]", "[Editor]"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
    IniSettingsStore store;
    std::vector<std::string> warnings;
    for (auto [key, value] : {std::pair{"WindowLeft", 1234.5f}, {"WindowTop", 0.1f}, {"WindowWidth", -15.0f},
                              {"WindowHeight", 7.0f}})  // the last absent
        EXPECT_EQ(ReadWindowGeometry(store, "Viewer", key, 7.0f, &warnings), value) << key;
    EXPECT_EQ(ReadWindowInteger(store, "Viewer", "WindowState", 0, &warnings), 2);
    EXPECT_EQ(ReadWindowText(store, "Browser", "InputPath", "unused"), path);
    EXPECT_EQ(ReadWindowText(store, "Browser", "OutputPath", "/opt/lorvane/Sample"), "/opt/lorvane/Sample");
    EXPECT_TRUE(ReadWindowToggle(store, "Editor", "IndicateLength"));
    EXPECT_TRUE(warnings.empty());
}

TEST_F(SettingsStoreTest, FolderThatIsAFileOrUnreadableIsReported) {
    // The configuration folder is a plain file: nothing can be read or created there.
    ASSERT_TRUE(QFile(dir_.path() + "/blocked").open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", (dir_.path() + "/blocked").toUtf8());
    EXPECT_NE(IniSettingsStore().openProblem().find("Unable to read the settings"), std::string::npos);
    // Fine when opened; the folder is blocked before the save.
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    IniSettingsStore store;
    ASSERT_EQ(store.openProblem(), "");
    ASSERT_TRUE(QFile(dir_.path() + "/lorvane").open(QIODevice::WriteOnly));
    SaveGlobalSettings(GlobalSettings(), store);
    EXPECT_NE(store.flush().find("Unable to save the settings"), std::string::npos);

    if (::geteuid() == 0) return;  // permissions do not hold for root
    QFile::remove(dir_.path() + "/lorvane");
    writeRawFile("[2.x]\nParse2xStrictMode=2\n");
    const QByteArray folder = QFile::encodeName(dir_.path() + "/lorvane");
    ASSERT_EQ(::chmod(folder.constData(), 0), 0);
    IniSettingsStore unreadable;
    ::chmod(folder.constData(), 0700);
    EXPECT_NE(unreadable.openProblem().find("cannot be read"), std::string::npos) << unreadable.openProblem();
    EXPECT_FALSE(unreadable.canSave());
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
    const auto fifo = [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0600), 0); };
    const auto link = [](const char* to) {
        return [to](const QString& p) { ASSERT_EQ(::symlink(to, QFile::encodeName(p).constData()), 0); };
    };
    const struct {
        const char* what;
        std::function<void(const QString&)> make;
        const char* problem;
    } cases[] = {
        {"named pipe", fifo, "it is a named pipe"},
        {"link to a named pipe", [&](const QString& p) { fifo(p + ".pipe"), link("Lorvane Manager 2.1.ini.pipe")(p); },
         "it is a named pipe"},
        {"folder", [](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); }, "it is a folder"},
        {"device", link("/dev/zero"), "it is not a regular file"},
    };
    for (const auto& c : cases) {
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
    const QByteArray utf16 = QByteArray("\xFF\xFE") + QByteArray::fromRawData(
        reinterpret_cast<const char*>(u"[2.x]\nParse2xStrictMode=2\n"), 27 * 2);
    const struct {
        const char* what;
        QByteArray bytes;
        const char* problem;
    } cases[] = {
        {"broken section header", "; mine\n[2.x\nParse2xStrictMode=2\n[Browser]\nLoadSubfolders=True\n",
         "not a valid settings file"},
        {"UTF-16 with a byte order mark", utf16, "UTF-16"},
        {"UTF-16 without one", utf16.mid(2), "NUL bytes"},
        {"Latin-1", "[2.x]\nParse2xDelimiterStart=\xAB\n", "not UTF-8 text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeRawFile(c.bytes);
        IniSettingsStore store;
        EXPECT_NE(store.openProblem().find(c.problem), std::string::npos) << store.openProblem();
        EXPECT_NE(store.openProblem().find("; using the defaults"), std::string::npos) << store.openProblem();
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
        EXPECT_EQ(folderFiles().size(), 1);
    }
}

TEST_F(SettingsStoreTest, SaveReplacesTheFileAtomicallyAndKeepsOtherKeysAndChangesMadeMeanwhile) {
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
    EXPECT_EQ(folderFiles(), QStringList{"Lorvane Manager 2.1.ini"});

    WriteWindowInteger(again, "Browser", "WindowState", 2);
    writeRawFile("[Browser]\nFileListView=1\n");  // another run saved in between
    ASSERT_EQ(again.flush(), "");
    IniSettingsStore third;
    EXPECT_EQ(ReadWindowInteger(third, "Browser", "FileListView", 3), 1);
    EXPECT_EQ(ReadWindowInteger(third, "Browser", "WindowState", 0), 2);
}

TEST_F(SettingsStoreTest, AFileLargerThanFourMegabytesIsNoSettingsFile) {
    for (const qint64 size : {qint64(4) << 20, (qint64(4) << 20) + 1}) {
        writeRawFile("[2.x]\nParse2xStrictMode=2\n;" + QByteArray(size - 27, 'x'));
        EXPECT_EQ(IniSettingsStore().openProblem().find("too large") != std::string::npos, size > (4 << 20)) << size;
    }
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

}  // namespace
}  // namespace lorvane
