#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "core/event_pacer.h"
#include "core/rows/file_rows.h"
#include "core/rows/folder_loader.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

TEST(BrowserColumnsTest, SizeLengthAndCounts) {
    const struct {
        std::int64_t bytes;
        const char* text;
    } sizes[] = {
        {0, "000,000 KB"}, {511, "000,000 KB"}, {512, "000,000 KB"}, {1536, "000,002 KB"},  // halves to the even
        {2560, "000,002 KB"}, {1023, "000,001 KB"}, {13005, "000,013 KB"}, {12800, "000,012 KB"}, {12801, "000,013 KB"},
        {999999LL * 1024, "999,999 KB"}, {1000000LL * 1024, "1,000,000 KB"}, {1234567LL * 1024 + 700, "1,234,568 KB"},
    };
    std::string out = "left over";
    for (const auto& c : sizes) {
        FormatSizeColumn(c.bytes, out);
        EXPECT_EQ(out, c.text) << c.bytes;
    }
    const struct {
        std::string name;
        const char* length;
    } lengths[] = {{"", "000"}, {"a.jpg", "005"}, {"Größe €.jpg", "011"}, {std::string(1234, 'x'), "1234"}};
    for (const auto& c : lengths) {
        FormatLengthColumn(c.name, out);  // characters, not bytes
        EXPECT_EQ(out, c.length) << c.name;
    }
    EXPECT_EQ(FormatCount(0) + " " + FormatCount(999) + " " + FormatCount(1024) + " " + FormatCount(1234567),
              "0 999 1,024 1,234,567");
    EXPECT_EQ(FormatLoadedPanel(0) + "|" + FormatLoadedPanel(1) + "|" + FormatLoadedPanel(1234) + "|" +
                  FormatSelectedPanel(3),
              "0 files|1 file|1,234 files|3 selected ");
}

// Status, icon, message and chronology of a row. Every case goes through one parser per
// settings, twice, so that whatever one row leaves behind would show in the next.
TEST(RowParserTest, StatusMessageAndChronology) {
    const char* badDate = "Date value should begin with 4-digit year between 1900 and 2100";
    const char* badInteger = "Integer value must be a number between 0 and 2,147,483,647";
    const struct {
        const char *settings, *name, *status;
        int icon;
        const char *message, *chronology;
    } cases[] = {
        {"", "{DT=2004-07-15@14-30}{SN=12}.jpg", "Good", 1, "Lorvane Data 2.x", "2004/07/15 14:30:00 0012 0000 0000"},
        {"", "Harbour walk.jpg", "Fail", 3, "Missing start delimiter \"{\"", "0000/00/00 00:00:00 0000 0000 0000"},
        // A semantic finding decides the status; the key is still taken.
        {"", "{SN}{DT=2004}.jpg", "Warn", 2, "Sequence Number attribute should have at least 1 value",
         "2004/01/01 00:00:00 0000 0000 0000"},
        // Consolidated into one attribute: only its first value counts, and it is unusable.
        {"", "{DT=2004}{SN=abc}{SN=5}.jpg", "Warn", 2, badInteger, "2004/01/01 00:00:00 0000 0000 0000"},
        // Without consolidation the attributes stay apart and the first usable one wins.
        {"SemanticsAttributeConsolidate=0",
         "{Captured Date=x}{DT=2004-07-15}{DT=2001}{Sequence Number=12345}{CN=7}{VN=3}.jpg", "Warn", 2, badDate,
         "2004/07/15 00:00:00 12345 0007 0003"},
        {"SemanticsAttributeConsolidate=0", "{DT=2004}{SN=abc}{SN=5}{SN=6}.jpg", "Warn", 2, badInteger,
         "2004/01/01 00:00:00 0005 0000 0000"},
        // Only top-level attributes count; names are compared after translation.
        {"SemanticsAttributeConsolidate=0", "{SU=Ann{DT=2004-01-01}}{seq#= 9 }.jpg", "Warn", 2,
         "Invalid attribute context", "0000/00/00 00:00:00 0009 0000 0000"},
        // The bare parse and build, without the semantic layer.
        {"-", "{SN=abc}{SN=5}.jpg", "Good", 1, "Lorvane Data 2.x", "0000/00/00 00:00:00 0005 0000 0000"},
    };
    for (const char* settings : {"", "SemanticsAttributeConsolidate=0", "-"}) {
        const GlobalSettings s = testing::settingsWith(*settings == '-' ? "" : settings);
        RowParser parser(s, nullptr, FileSystemService::Instance());
        parser.SetSemantics(*settings != '-');
        FileRow row;
        for (int round = 0; round < 2; ++round)
            for (const auto& c : cases) {
                if (std::string_view(c.settings) != settings) continue;
                row.Text = c.name;
                parser.ParseItem(row);
                EXPECT_EQ(row.Status + " " + std::to_string(row.Icon) + " " + row.Message + " | " + row.Chronology,
                          std::string(c.status) + " " + std::to_string(c.icon) + " " + c.message + " | " + c.chronology)
                    << c.name;
            }
    }
}

class FolderLoaderTest : public ::testing::Test {
protected:
    // One thread: the progress and stop cases count the rows between two calls,
    // which a worker reading ahead moves (its rows are those of one thread: cli list_jobs).
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        loader_.SetJobs(1);
    }
    std::string root() const { return dir_.path().toStdString(); }
    std::string at(const std::string& rel) const { return root() + "/" + rel; }
    // Entries ending in "/" are folders, the others files of ten bytes.
    void make(std::initializer_list<std::string> entries) {
        for (const std::string& e : entries)
            if (e.ends_with('/')) ASSERT_EQ(::mkdir(at(e).c_str(), 0755), 0) << e;
            else std::ofstream(at(e)) << std::string(10, 'x');
    }
    std::vector<std::string> names(const std::vector<FileRow>& rows) {
        std::vector<std::string> out;
        for (const auto& r : rows) out.push_back(r.Key.substr(root().size() + 1));
        return out;
    }
    // A chain of folders below start whose paths grow past what the system takes by path,
    // made and removed through open folders; its first folder is "ddd...".
    struct DeepChain {
        std::vector<int> fds;
        std::string part = std::string(200, 'd');
        DeepChain(const std::string& start, int levels) {
            fds.push_back(::open(start.c_str(), O_RDONLY | O_DIRECTORY));
            for (int i = 0; i < levels && fds.back() >= 0; ++i) {
                ::mkdirat(fds.back(), part.c_str(), 0755);
                fds.push_back(::openat(fds.back(), part.c_str(), O_RDONLY | O_DIRECTORY));
            }
            EXPECT_GE(fds.back(), 0);
        }
        ~DeepChain() {
            for (std::size_t i = fds.size() - 1; i > 0; --i) {
                ::close(fds[i]);
                ::unlinkat(fds[i - 1], part.c_str(), AT_REMOVEDIR);
            }
            ::close(fds[0]);
        }
    };

    QTemporaryDir dir_;
    GlobalSettings settings_;
    RowParser parser_{settings_, nullptr, FileSystemService::Instance()};
    FolderLoader loader_{parser_};
};

TEST_F(FolderLoaderTest, RowsComeFolderFirstThenSubfoldersDepthFirst) {
    make({"b.jpg", "sub1/", "sub1/x.jpg", "sub1/deeper/", "sub1/deeper/y.jpg", "Sub2/", "Sub2/z.jpg", "empty/"});
    std::ofstream(at("{DT=2004}{SN=3}.jpg")) << std::string(13005, 'x');
    std::vector<FileRow> rows;
    LoadOutcome o = loader_.Load(root(), true, rows);
    EXPECT_TRUE(o.folderExists && !o.cancelled && o.countError.empty() && o.errors.empty());
    EXPECT_EQ(o.total, 5u);
    EXPECT_EQ(o.loaded, 5u);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"b.jpg", "{DT=2004}{SN=3}.jpg", "sub1/x.jpg", "sub1/deeper/y.jpg",
                                                     "Sub2/z.jpg"}));
    const FileRow& r = rows[1];
    EXPECT_EQ(r.Text + "|" + r.Path + "|" + r.Size + "|" + r.Length + "|" + r.Status + "|" + r.Chronology,
              "{DT=2004}{SN=3}.jpg|" + root() + "|000,013 KB|019|Good|2004/01/01 00:00:00 0003 0000 0000");
    EXPECT_FALSE(r.Type.empty());
    EXPECT_EQ(rows[3].Path, at("sub1/deeper"));

    // Names only: the same rows without asking each file or the type table, so no size or type.
    std::vector<FileRow> byName;
    loader_.SetNamesOnly(true);
    loader_.Load(root(), true, byName);
    ASSERT_EQ(byName.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::string_view column : kBrowserColumns)
            EXPECT_EQ(*byName[i].column(column), column == "Size" || column == "Type" ? "" : *rows[i].column(column))
                << column;

    rows.clear();
    o = loader_.Load(root() + "/", false, rows);
    EXPECT_EQ(o.total, 2u);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"b.jpg", "{DT=2004}{SN=3}.jpg"}));
    o = loader_.Load(at("missing"), true, rows);
    EXPECT_FALSE(o.folderExists);
    EXPECT_TRUE(o.countError.empty());
}

TEST_F(FolderLoaderTest, ProgressAndStop) {
    std::vector<LoadProgress> seen;
    loader_.SetProgress([&](const LoadProgress& p) { seen.push_back({p.phase, p.count, p.total, {}}); });
    std::vector<FileRow> rows;
    loader_.Load(root(), true, rows);
    EXPECT_EQ(seen.size(), 1u);  // an empty folder: counted, and the loading phase is skipped

    make({"a.jpg", "b.jpg", "c.jpg", "s/", "s/d.jpg"});
    seen.clear();
    loader_.Load(root(), true, rows);
    // One call per folder counted, then one per row with the running count.
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[1].phase, LoadProgress::Phase::Counting);
    EXPECT_EQ(seen[1].count, 3u);
    for (std::size_t i = 2; i < 6; ++i) {
        EXPECT_EQ(seen[i].phase, LoadProgress::Phase::Loading);
        EXPECT_EQ(seen[i].count, i - 1);
        EXPECT_EQ(seen[i].total, 4u);
    }
    // Stop after the second row: the rows so far stay. Cancel while counting: no rows at all.
    std::atomic<bool> stop{false};
    loader_.SetStopFlag(&stop);
    for (const auto phase : {LoadProgress::Phase::Loading, LoadProgress::Phase::Counting}) {
        stop = false;
        loader_.SetProgress([&](const LoadProgress& p) {
            if (p.phase == phase && (p.count == 2 || phase == LoadProgress::Phase::Counting)) stop = true;
        });
        rows.clear();
        EXPECT_TRUE(loader_.Load(root(), true, rows).cancelled);
        EXPECT_EQ(rows.size(), phase == LoadProgress::Phase::Loading ? 2u : 0u);
    }
    // Without a count first the rows come as well, and a stop still says of how many.
    loader_.SetCountFirst(false);
    stop = false;
    loader_.SetProgress([&](const LoadProgress& p) { stop = stop || p.count == 2; });
    rows.clear();
    const LoadOutcome o = loader_.Load(root(), true, rows);
    EXPECT_TRUE(o.cancelled);
    EXPECT_EQ(std::to_string(rows.size()) + " of " + std::to_string(o.total), "2 of 4");
}

// Paced by a clock that only the rows move: however long a row takes, events run
// within the interval plus one row's work, and never before the interval is up,
// so fast rows do not pay for a round of events each.
TEST_F(FolderLoaderTest, PacedProgressRunsByTimeNotPerRow) {
    using namespace std::chrono_literals;
    using Clock = EventPacer::Clock;
    make({"s/"});
    for (int i = 0; i < 100; ++i) make({(i < 60 ? "f" : "s/g") + std::to_string(i) + ".jpg"});
    for (const auto rowWork : {1ms, 7ms, 49ms, 50ms, 120ms}) {
        SCOPED_TRACE(rowWork.count());
        Clock::time_point now{};
        EventPacer pacer(50ms, [&] { return now; });
        loader_.SetPacer(&pacer);
        std::vector<Clock::time_point> rounds;
        loader_.SetProgress([&](const LoadProgress& p) {
            if (p.phase == LoadProgress::Phase::Loading) rounds.push_back(now);
        });
        const LoadOutcome o = loader_.Load(root(), true, [&](const FileRow&) { now += rowWork; });
        EXPECT_EQ(o.loaded, 100u);
        ASSERT_FALSE(rounds.empty());
        EXPECT_EQ(rounds.front(), Clock::time_point{} + rowWork);  // the new caption shows at once
        // The last round, once all rows are in, comes when they are.
        EXPECT_EQ(rounds.back(), now);
        for (std::size_t i = 1; i < rounds.size(); ++i) {
            EXPECT_LE(rounds[i] - rounds[i - 1], 50ms + rowWork) << i;
            if (i + 1 < rounds.size()) {
                EXPECT_GE(rounds[i] - rounds[i - 1], 50ms) << i;
            }
        }
    }

    // Counting goes by the same clock: here reading the time costs 10 ms, so 40
    // folders give a round about every fifth folder rather than one each.
    for (int i = 0; i < 40; ++i) make({"s/t" + std::to_string(i) + "/"});
    Clock::time_point now{};
    EventPacer pacer(50ms, [&] { return now += 10ms; });
    loader_.SetPacer(&pacer);
    int counting = 0;
    std::atomic<bool> stop{false};
    loader_.SetStopFlag(&stop);
    loader_.SetProgress([&](const LoadProgress& p) {
        if (p.phase == LoadProgress::Phase::Counting) ++counting;
        else stop = true;  // a Stop pressed in the first round of the loading phase
    });
    std::vector<FileRow> rows;
    EXPECT_TRUE(loader_.Load(root(), true, rows).cancelled);
    EXPECT_GE(counting, 4);
    EXPECT_LE(counting, 12);
    EXPECT_EQ(rows.size(), 1u);
}

// The subfolder is read ahead while the folder before it loads; what comes into it
// meanwhile is listed all the same: when it changed an hour ago, and when it
// changed just now (within a step of the clock its change time is taken from).
TEST_F(FolderLoaderTest, FilesThatGoOrComeDuringTheLoad) {
    for (const std::string top : {"aged", "new"}) {
        SCOPED_TRACE(top);
        const auto in = [&](std::vector<std::string> names) {
            for (std::string& n : names) n = top + "/" + n;
            return names;
        };
        make({top + "/", top + "/a.jpg", top + "/b.jpg", top + "/c.jpg", top + "/s/", top + "/s/d.jpg"});
        const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        if (top == "aged") {
            ASSERT_EQ(::utimensat(AT_FDCWD, at(top + "/s").c_str(), hourAgo, 0), 0);
        }
        // After the first row, one file goes away and the subfolder gains two.
        loader_.SetProgress([&](const LoadProgress& p) {
            if (p.phase == LoadProgress::Phase::Loading && p.count == 1 && p.total == 4) {
                ::unlink(at(top + "/b.jpg").c_str());
                make({top + "/s/e.jpg", top + "/s/f.jpg"});
            }
        });
        std::vector<FileRow> rows;
        LoadOutcome o = loader_.Load(at(top), true, rows);
        EXPECT_EQ(names(rows), in({"a.jpg", "c.jpg", "s/d.jpg", "s/e.jpg", "s/f.jpg"}));
        EXPECT_EQ(o.errors, std::vector<std::string>{"Unable to read \"" + at(top + "/b.jpg") +
                                                     "\" due to the following error: No such file or directory"});
        EXPECT_EQ(o.loaded, 5u);
        EXPECT_EQ(o.total, 5u);  // raised past the count rather than overrun
    }
}

// A folder whose path is longer than the system accepts cannot be counted: the load
// stops. The command-line list skips what it cannot count and lists the rest: also a
// folder removed just before it is counted, and one replaced by a file.
TEST_F(FolderLoaderTest, UnreadableFoldersStopTheLoadOrAreSkipped) {
    make({"a.jpg"});
    {
        DeepChain chain(root(), 25);
        std::vector<FileRow> rows;
        const LoadOutcome o = loader_.Load(root(), true, rows);
        EXPECT_TRUE(rows.empty());
        EXPECT_TRUE(o.countError.starts_with("Attempting to determine the number of files in \"" + root() + "/ddd"));
        EXPECT_TRUE(o.countError.ends_with("\" has resulted in the following error: File name too long"))
            << o.countError;
    }
    make({"gone/", "gone/inner/", "gone/inner/g.jpg", "kept/", "kept/k.jpg", "swapped/", "swapped/s.jpg", "z/",
          "z/last.jpg"});
    DeepChain chain(at("kept"), 21);
    loader_.SetSkipUnreadableFolders(true);
    loader_.SetProgress([&](const LoadProgress& p) {
        if (p.phase != LoadProgress::Phase::Counting) return;
        if (p.folder == at("gone")) {
            ::unlink(at("gone/inner/g.jpg").c_str());
            ::rmdir(at("gone/inner").c_str());
            ::rmdir(at("gone").c_str());
        } else if (p.folder == at("swapped")) {
            ::unlink(at("swapped/s.jpg").c_str());
            ::rmdir(at("swapped").c_str());
            make({"swapped"});
        }
    });
    std::vector<FileRow> rows;
    const LoadOutcome o = loader_.Load(root(), true, rows);
    EXPECT_TRUE(o.countError.empty()) << o.countError;
    EXPECT_EQ(names(rows), (std::vector<std::string>{"a.jpg", "swapped", "kept/k.jpg", "z/last.jpg"}));
    ASSERT_EQ(o.errors.size(), 3u);
    EXPECT_EQ(o.errors[0],
              "Unable to read \"" + at("gone") + "\" due to the following error: No such file or directory");
    EXPECT_TRUE(o.errors[1].starts_with("Unable to read \"" + at("kept/ddd"))) << o.errors[1];
    EXPECT_TRUE(o.errors[1].ends_with("\" due to the following error: File name too long")) << o.errors[1];
    EXPECT_EQ(o.errors[2], "Unable to read \"" + at("swapped") + "\" due to the following error: Not a directory");
    EXPECT_EQ(o.loaded, 4u);
}

}  // namespace
}  // namespace lorvane
