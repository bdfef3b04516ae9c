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

#include "core/rows/file_rows.h"
#include "core/event_pacer.h"
#include "core/rows/folder_loader.h"

namespace lorvane {
namespace {

TEST(BrowserColumnsTest, SizeColumn) {
    struct Case {
        std::int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "000,000 KB"},
        {511, "000,000 KB"},
        {512, "000,000 KB"},   // half: to the even neighbour 0
        {1536, "000,002 KB"},  // half: to the even neighbour 2
        {2560, "000,002 KB"},
        {1023, "000,001 KB"},
        {13005, "000,013 KB"},  // 12.7 KB
        {12800, "000,012 KB"},  // exactly 12.5 KB
        {12801, "000,013 KB"},
        {999999LL * 1024, "999,999 KB"},
        {1000000LL * 1024, "1,000,000 KB"},
        {1234567LL * 1024 + 700, "1,234,568 KB"},
    };
    std::string out = "left over";
    for (const auto& c : cases) {
        FormatSizeColumn(c.bytes, out);
        EXPECT_EQ(out, c.text) << c.bytes;
    }
}

TEST(BrowserColumnsTest, LengthCountsAndPanels) {
    std::string out;
    FormatLengthColumn("", out);
    EXPECT_EQ(out, "000");
    FormatLengthColumn("a.jpg", out);
    EXPECT_EQ(out, "005");
    FormatLengthColumn("Größe €.jpg", out);  // characters, not bytes
    EXPECT_EQ(out, "011");
    FormatLengthColumn(std::string(1234, 'x'), out);
    EXPECT_EQ(out, "1234");

    EXPECT_EQ(FormatCount(0), "0");
    EXPECT_EQ(FormatCount(999), "999");
    EXPECT_EQ(FormatCount(1024), "1,024");
    EXPECT_EQ(FormatCount(1234567), "1,234,567");
    EXPECT_EQ(FormatLoadedPanel(0), "0 files");
    EXPECT_EQ(FormatLoadedPanel(1), "1 file");
    EXPECT_EQ(FormatLoadedPanel(1234), "1,234 files");
    EXPECT_EQ(FormatSelectedPanel(3), "3 selected ");
}

TEST(BrowserColumnsTest, ColumnsByKey) {
    FileRow row;
    for (std::string_view key : kBrowserColumns) ASSERT_NE(row.column(key), nullptr) << key;
    EXPECT_EQ(row.column("Name"), &row.Text);
    EXPECT_EQ(row.column("Size"), &row.Size);
    EXPECT_EQ(row.column("Chronology"), &row.Chronology);
    EXPECT_EQ(row.column("size"), nullptr);  // keys are exact
    EXPECT_EQ(row.column("Key"), nullptr);
}

struct RowCase {
    const char* name;
    const char* status;
    int icon;
    const char* message;
    const char* chronology;
};

// Parses every case with one parser, twice through, so that whatever one row
// leaves behind would show in the next.
void expectRows(RowParser& parser, const std::vector<RowCase>& cases) {
    FileRow row;
    for (int round = 0; round < 2; ++round) {
        for (const auto& c : cases) {
            row.Text = c.name;
            parser.ParseItem(row);
            EXPECT_EQ(row.Status, c.status) << c.name;
            EXPECT_EQ(row.Icon, c.icon) << c.name;
            EXPECT_EQ(row.Message, c.message) << c.name;
            EXPECT_EQ(row.Chronology, c.chronology) << c.name;
        }
    }
}

TEST(RowParserTest, StatusMessageAndChronology) {
    const GlobalSettings settings;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    expectRows(
        parser,
        {
            {"{DT=2004-07-15@14-30}{SN=12}.jpg", "Good", 1, "Lorvane Data 2.x", "2004/07/15 14:30:00 0012 0000 0000"},
            {"Harbour walk.jpg", "Fail", 3, "Missing start delimiter \"{\"", "0000/00/00 00:00:00 0000 0000 0000"},
            {"{DT=1999-12-31@23-59-59}.png", "Good", 1, "Lorvane Data 2.x", "1999/12/31 23:59:59 0000 0000 0000"},
            // A semantic finding decides the status; the key is still taken.
            {"{SN}{DT=2004}.jpg", "Warn", 2, "Sequence Number attribute should have at least 1 value",
             "2004/01/01 00:00:00 0000 0000 0000"},
            // Consolidated into one attribute: only its first value counts, and it is unusable.
            {"{DT=2004}{SN=abc}{SN=5}.jpg", "Warn", 2, "Integer value must be a number between 0 and 2,147,483,647",
             "2004/01/01 00:00:00 0000 0000 0000"},
        });
}

// Without consolidation the attributes stay apart and the first usable one wins.
TEST(RowParserTest, FirstUsableOccurrenceWins) {
    GlobalSettings settings;
    settings.SemanticsAttributeConsolidate = 0;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    const char* badDate = "Date value should begin with 4-digit year between 1900 and 2100";
    expectRows(parser,
               {
                   {"{Captured Date=x}{DT=2004-07-15}{DT=2001}{Sequence Number=12345}{CN=7}{VN=3}.jpg", "Warn", 2,
                    badDate, "2004/07/15 00:00:00 12345 0007 0003"},
                   {"{DT=2004}{SN=abc}{SN=5}{SN=6}.jpg", "Warn", 2,
                    "Integer value must be a number between 0 and 2,147,483,647", "2004/01/01 00:00:00 0005 0000 0000"},
                   // Only top-level attributes count; names are compared after translation.
                   {"{SU=Ann{DT=2004-01-01}}{seq#= 9 }.jpg", "Warn", 2, "Invalid attribute context",
                    "0000/00/00 00:00:00 0009 0000 0000"},
               });
    // The bare parse and build, without the semantic layer.
    parser.SetSemantics(false);
    expectRows(parser, {
                           {"{SN=abc}{SN=5}.jpg", "Good", 1, "Lorvane Data 2.x", "0000/00/00 00:00:00 0005 0000 0000"},
                       });
}

TEST(RowParserTest, ParseModeFromTheSettings) {
    GlobalSettings settings;
    RowParser parser(settings, nullptr, FileSystemService::Instance());
    FileRow row;
    row.Text = "{DT=2004}{SN=1}.jpg";
    parser.ParseItem(row);
    EXPECT_EQ(row.Status, "Good");
    settings.ParseMode = "Nonsense";
    parser.ParseItem(row);
    EXPECT_EQ(row.Status, "Fail");
    EXPECT_EQ(row.Message, "Invalid parse mode");
    EXPECT_EQ(row.Chronology, "0000/00/00 00:00:00 0000 0000 0000");
}

void writeFile(const std::string& path, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out << std::string(size, 'x');
}

class FolderLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string at(const std::string& rel) const { return dir_.path().toStdString() + "/" + rel; }
    void file(const std::string& rel, std::size_t size = 10) { writeFile(at(rel), size); }
    void folder(const std::string& rel) { ASSERT_EQ(::mkdir(at(rel).c_str(), 0755), 0); }
    std::vector<std::string> names(const std::vector<FileRow>& rows) {
        std::vector<std::string> out;
        for (const auto& r : rows) out.push_back(r.Key.substr(dir_.path().size() + 1));
        return out;
    }

    QTemporaryDir dir_;
    GlobalSettings settings_;
    RowParser parser_{settings_, nullptr, FileSystemService::Instance()};
    FolderLoader loader_{parser_};
};

TEST_F(FolderLoaderTest, RowsComeFolderFirstThenSubfoldersDepthFirst) {
    file("b.jpg");
    file("{DT=2004}{SN=3}.jpg", 13005);
    folder("sub1");
    file("sub1/x.jpg");
    folder("sub1/deeper");
    file("sub1/deeper/y.jpg");
    folder("Sub2");
    file("Sub2/z.jpg");
    folder("empty");

    std::vector<FileRow> rows;
    LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(o.folderExists);
    EXPECT_FALSE(o.cancelled);
    EXPECT_TRUE(o.countError.empty());
    EXPECT_TRUE(o.errors.empty());
    EXPECT_EQ(o.total, 5u);
    EXPECT_EQ(o.loaded, 5u);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"b.jpg", "{DT=2004}{SN=3}.jpg", "sub1/x.jpg", "sub1/deeper/y.jpg",
                                                     "Sub2/z.jpg"}));
    const FileRow& r = rows[1];
    EXPECT_EQ(r.Text, "{DT=2004}{SN=3}.jpg");
    EXPECT_EQ(r.Path, dir_.path().toStdString());
    EXPECT_EQ(r.Size, "000,013 KB");
    EXPECT_EQ(r.Length, "019");
    EXPECT_EQ(r.Status, "Good");
    EXPECT_EQ(r.Chronology, "2004/01/01 00:00:00 0003 0000 0000");
    EXPECT_FALSE(r.Type.empty());
    EXPECT_EQ(rows[3].Path, at("sub1/deeper"));
    EXPECT_EQ(rows[0].Status, "Fail");

    rows.clear();
    o = loader_.Load(dir_.path().toStdString() + "/", false, rows);
    EXPECT_EQ(o.total, 2u);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"b.jpg", "{DT=2004}{SN=3}.jpg"}));
}

TEST_F(FolderLoaderTest, NamesOnlyGivesTheSameRowsWithoutAskingEachFile) {
    file("b.jpg");
    file("{DT=2004}{SN=3}.jpg", 13005);
    folder("sub1");
    file("sub1/x.jpg");
    std::vector<FileRow> full, names;
    loader_.Load(dir_.path().toStdString(), true, full);
    loader_.SetNamesOnly(true);
    const LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, names);
    EXPECT_EQ(o.loaded, 3u);
    ASSERT_EQ(names.size(), full.size());
    for (std::size_t i = 0; i < full.size(); ++i) {
        for (std::string_view column : kBrowserColumns)
            if (column != "Size") {
                EXPECT_EQ(*names[i].column(column), *full[i].column(column)) << column;
            }
        EXPECT_EQ(names[i].Key, full[i].Key);
        EXPECT_EQ(names[i].Size, "");
    }
}

TEST_F(FolderLoaderTest, EmptyAndMissingFolders) {
    std::vector<FileRow> rows;
    int loadingCalls = 0;
    loader_.SetProgress([&](const LoadProgress& p) { loadingCalls += p.phase == LoadProgress::Phase::Loading; });
    LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(o.folderExists);
    EXPECT_EQ(o.total, 0u);
    EXPECT_EQ(loadingCalls, 0);  // the loading phase is skipped
    o = loader_.Load(at("missing"), true, rows);
    EXPECT_FALSE(o.folderExists);
    EXPECT_TRUE(o.countError.empty());
    EXPECT_TRUE(rows.empty());
}

TEST_F(FolderLoaderTest, ProgressAndStop) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) file(n);
    folder("s");
    file("s/d.jpg");

    std::vector<LoadProgress> seen;
    loader_.SetProgress([&](const LoadProgress& p) { seen.push_back({p.phase, p.count, p.total, {}}); });
    std::vector<FileRow> rows;
    loader_.Load(dir_.path().toStdString(), true, rows);
    // One call per folder counted, then one per row with the running count.
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0].phase, LoadProgress::Phase::Counting);
    EXPECT_EQ(seen[1].phase, LoadProgress::Phase::Counting);
    EXPECT_EQ(seen[1].count, 3u);
    for (std::size_t i = 2; i < 6; ++i) {
        EXPECT_EQ(seen[i].phase, LoadProgress::Phase::Loading);
        EXPECT_EQ(seen[i].count, i - 1);
        EXPECT_EQ(seen[i].total, 4u);
    }

    // Stop after the second row: the rows so far stay.
    std::atomic<bool> stop{false};
    loader_.SetStopFlag(&stop);
    loader_.SetProgress([&](const LoadProgress& p) {
        if (p.phase == LoadProgress::Phase::Loading && p.count == 2) stop = true;
    });
    rows.clear();
    LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(o.cancelled);
    EXPECT_EQ(rows.size(), 2u);

    // Cancel while counting: no rows at all.
    stop = false;
    loader_.SetProgress([&](const LoadProgress& p) {
        if (p.phase == LoadProgress::Phase::Counting) stop = true;
    });
    rows.clear();
    o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(o.cancelled);
    EXPECT_TRUE(rows.empty());
}

// Paced by a clock that only the rows move: however long a row takes, events run
// within the interval plus one row's work, and never before the interval is up,
// so fast rows do not pay for a round of events each.
TEST_F(FolderLoaderTest, PacedProgressRunsByTimeNotPerRow) {
    using namespace std::chrono_literals;
    using Clock = EventPacer::Clock;
    for (int i = 0; i < 60; ++i) file("f" + std::to_string(i) + ".jpg");
    folder("s");
    for (int i = 0; i < 40; ++i) file("s/g" + std::to_string(i) + ".jpg");

    for (const auto rowWork : {1ms, 7ms, 49ms, 50ms, 120ms}) {
        SCOPED_TRACE(rowWork.count());
        Clock::time_point now{};
        EventPacer pacer(50ms, [&] { return now; });
        loader_.SetPacer(&pacer);
        std::vector<Clock::time_point> rounds;
        loader_.SetProgress([&](const LoadProgress& p) {
            if (p.phase == LoadProgress::Phase::Loading) rounds.push_back(now);
        });
        std::size_t rows = 0;
        const LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, [&](const FileRow&) {
            now += rowWork;
            ++rows;
        });
        EXPECT_EQ(rows, 100u);
        EXPECT_EQ(o.loaded, 100u);
        ASSERT_FALSE(rounds.empty());
        EXPECT_EQ(rounds.front(), Clock::time_point{} + rowWork);  // the new caption shows at once
        for (std::size_t i = 1; i < rounds.size(); ++i) {
            EXPECT_LE(rounds[i] - rounds[i - 1], 50ms + rowWork) << i;
            EXPECT_GE(rounds[i] - rounds[i - 1], 50ms) << i;
        }
        EXPECT_LT(now - rounds.back(), 50ms);
        const auto work = now - Clock::time_point{};
        EXPECT_LE(rounds.size(), static_cast<std::size_t>(work / 50ms) + 1);
    }

    // Counting goes by the same clock: here reading the time costs 10 ms, so 40
    // folders give a round about every fifth folder rather than one each.
    for (int i = 0; i < 40; ++i) folder("s/t" + std::to_string(i));
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
    const LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_GE(counting, 4);
    EXPECT_LE(counting, 12);
    EXPECT_TRUE(o.cancelled);
    EXPECT_EQ(rows.size(), 1u);
}

TEST_F(FolderLoaderTest, FilesThatGoOrComeDuringTheLoad) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) file(n);
    folder("s");
    file("s/d.jpg");
    // After the first row, one file goes away and the subfolder gains two.
    loader_.SetProgress([&](const LoadProgress& p) {
        if (p.phase == LoadProgress::Phase::Loading && p.count == 1 && p.total == 4) {
            ::unlink(at("b.jpg").c_str());
            file("s/e.jpg");
            file("s/f.jpg");
        }
    });
    std::vector<FileRow> rows;
    LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_EQ(names(rows), (std::vector<std::string>{"a.jpg", "c.jpg", "s/d.jpg", "s/e.jpg", "s/f.jpg"}));
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_EQ(o.errors[0],
              "Unable to read \"" + at("b.jpg") + "\" due to the following error: No such file or directory");
    EXPECT_EQ(o.loaded, 5u);
    EXPECT_EQ(o.total, 5u);  // raised past the count rather than overrun
}

// A folder whose path is longer than the system accepts cannot be counted.
TEST_F(FolderLoaderTest, CountingErrorStopsTheLoad) {
    file("a.jpg");
    const std::string part(200, 'd');
    int fd = ::open(dir_.path().toUtf8().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    std::vector<int> fds{fd};
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(::mkdirat(fds.back(), part.c_str(), 0755), 0);
        fds.push_back(::openat(fds.back(), part.c_str(), O_RDONLY | O_DIRECTORY));
        ASSERT_GE(fds.back(), 0);
    }
    std::vector<FileRow> rows;
    const LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(o.countError.starts_with("Attempting to determine the number of files in \"" +
                                         dir_.path().toStdString() + "/ddd"))
        << o.countError;
    EXPECT_TRUE(o.countError.ends_with("\" has resulted in the following error: File name too long")) << o.countError;
    // Take the chain down from the bottom; a path-based removal could not reach it.
    for (std::size_t i = fds.size() - 1; i > 0; --i) {
        ::close(fds[i]);
        ASSERT_EQ(::unlinkat(fds[i - 1], part.c_str(), AT_REMOVEDIR), 0);
    }
    ::close(fds[0]);
}

// The command-line list skips what it cannot count and lists the rest: a folder
// removed just before it is counted, one replaced by a file, one whose path is
// too long.
TEST_F(FolderLoaderTest, SkippingUnreadableFoldersListsTheRest) {
    file("a.jpg");
    for (const char* f : {"gone", "gone/inner", "kept", "swapped", "z"}) folder(f);
    file("gone/inner/g.jpg");
    file("kept/k.jpg");
    file("swapped/s.jpg");
    file("z/last.jpg");
    const std::string part(200, 'd');
    std::string deep = "kept";
    for (int i = 0; i < 25; ++i) {
        deep += "/" + part;
        const std::string path = at(deep);
        if (path.size() >= 4000) break;  // the next one is past what the system takes by path
        folder(deep);
    }
    int fd = ::open(at(deep.substr(0, deep.rfind('/'))).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::mkdirat(fd, part.c_str(), 0755), 0);
    const int deepest = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(deepest, 0);
    ASSERT_EQ(::mkdirat(deepest, part.c_str(), 0755), 0);

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
            file("swapped");
        }
    });
    std::vector<FileRow> rows;
    const LoadOutcome o = loader_.Load(dir_.path().toStdString(), true, rows);
    EXPECT_TRUE(o.countError.empty()) << o.countError;
    EXPECT_EQ(names(rows), (std::vector<std::string>{"a.jpg", "swapped", "kept/k.jpg", "z/last.jpg"}));
    ASSERT_EQ(o.errors.size(), 3u);
    EXPECT_EQ(o.errors[0],
              "Unable to read \"" + at("gone") + "\" due to the following error: No such file or directory");
    EXPECT_TRUE(o.errors[1].starts_with("Unable to read \"" + at("kept/ddd"))) << o.errors[1];
    EXPECT_TRUE(o.errors[1].ends_with("\" due to the following error: File name too long")) << o.errors[1];
    EXPECT_EQ(o.errors[2], "Unable to read \"" + at("swapped") + "\" due to the following error: Not a directory");
    EXPECT_EQ(o.loaded, 4u);

    ASSERT_EQ(::unlinkat(deepest, part.c_str(), AT_REMOVEDIR), 0);
    ::close(deepest);
    ASSERT_EQ(::unlinkat(fd, part.c_str(), AT_REMOVEDIR), 0);
    ::close(fd);
}

}  // namespace
}  // namespace lorvane
