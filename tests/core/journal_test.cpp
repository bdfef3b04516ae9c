#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/batch/journal.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

TEST(JournalTextTest, EveryByteRoundTrips) {
    std::string all, out;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    for (const std::string& bytes : {std::string(), std::string("tab\there"), std::string("line\nbreak\r"),
                                     std::string("back\\slash\\"), std::string("\xfe.jpg"), all}) {
        const std::string text = EscapeJournalText(bytes);
        EXPECT_EQ(text.find_first_of("\t\n\r"), std::string::npos);
        ASSERT_TRUE(UnescapeJournalText(text, out));
        EXPECT_EQ(out, bytes);
    }
    for (const char* bad : {"\\", "\\q", "\\x4", "\\xg0"}) EXPECT_FALSE(UnescapeJournalText(bad, out)) << bad;
    // A text cut inside an escape is read no further than its end, whatever follows in memory.
    EXPECT_FALSE(UnescapeJournalText(std::string_view("\\x41").substr(0, 3), out));
}

// A fresh temp folder per row, with the journal under state/lorvane.
class JournalTest : public ::testing::Test {
public:
    void fresh() {
        QTemporaryDir next;
        dir_.swap(next);
    }
    std::string root() const { return dir_.path().toStdString(); }
    std::string folder() const { return JoinPath(root(), "state/lorvane"); }
    std::string file(std::string_view name) const { return JoinPath(root(), name); }
    void make(std::string_view name, std::string_view content) { std::ofstream(file(name)) << content; }
    void mkdir(std::string_view name) { ASSERT_EQ(::mkdir(file(name).c_str(), 0700), 0); }
    void journal(std::string_view name, std::string_view text) {
        std::filesystem::create_directories(folder());
        std::ofstream(JoinPath(folder(), name)) << text;
    }
    std::string content(std::string_view name) const {
        std::ifstream in(file(name));
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool exists(std::string_view name) const { return FileSystemService::Instance().FileExists(file(name)); }
    // Every file outside the journal, with its content.
    std::map<std::string, std::string> tree() const {
        std::map<std::string, std::string> t;
        for (const auto& e : std::filesystem::recursive_directory_iterator(root()))
            if (e.is_regular_file() && !e.path().string().starts_with(JoinPath(root(), "state")))
                t[e.path().string()] = content(e.path().string().substr(root().size() + 1));
        return t;
    }
    // Renames as a run does: the record first, then the move; "!" before the
    // old name marks a rename that failed, "^" one cut off before its move.
    void run(std::vector<std::pair<std::string, std::string>> renames, std::string_view command = "run") {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), command)) << w.error();
        for (auto [from, to] : renames) {
            const char mark = from[0];
            if (mark == '!' || mark == '^') from.erase(0, 1);
            ASSERT_TRUE(w.WillRename(file(from), file(to)));
            if (mark == '^') return;  // killed: the writer is never closed
            if (mark == '!') w.RenameFailed();
            else ASSERT_TRUE(FileSystemService::Instance().Move(file(from), file(to)).ok());
        }
        ASSERT_TRUE(w.Close());
    }
    std::vector<JournalRun> runs() {
        std::vector<std::string> errors;
        auto r = ReadJournal(folder(), errors);
        EXPECT_TRUE(errors.empty()) << errors.front();
        return r;
    }
    QTemporaryDir dir_;
};

using O = UndoOutcome;

// Undo renames back only what the run renamed, newest first, and marks the run
// undone only when nothing was left.
TEST_F(JournalTest, UndoOutcomes) {
    const struct {
        const char* what;
        std::function<void(JournalTest&)> setup;  // the run and what happened since
        std::vector<O> outcomes;
        bool complete;
        std::vector<std::pair<const char*, const char*>> after;  // file -> content ("" for none)
    } rows[] = {
        {"a chain: only the reverse order brings both back",
         [](JournalTest& t) { t.make("a", "A"), t.make("b", "B"), t.run({{"b", "c"}, {"a", "b"}}); },
         {O::Restored, O::Restored}, true, {{"a", "A"}, {"b", "B"}, {"c", ""}}},
        {"the old name was taken since",
         [](JournalTest& t) { t.make("a", "A"), t.run({{"a", "b"}}), t.make("a", "new"); },
         {O::Taken}, false, {{"a", "new"}, {"b", "A"}}},
        {"killed before its second move, with a torn last line",
         [](JournalTest& t) {
             t.make("a", "A"), t.make("x", "X"), t.run({{"a", "b"}, {"^x", "y"}});
             std::ofstream(t.runs()[0].file, std::ios::app) << "rename\t/trunc";
         },
         {O::AlreadyThere, O::Restored}, true, {{"a", "A"}, {"x", "X"}, {"b", ""}}},
        {"a failed rename is left out: b is never moved to a",
         [](JournalTest& t) {
             t.make("a", "A"), t.make("b", "B"), t.make("c", "C"), t.run({{"!a", "b"}, {"c", "d"}});
             ASSERT_EQ(::rename(t.file("a").c_str(), t.file("a2").c_str()), 0);
         },
         {O::Restored}, true, {{"a", ""}, {"b", "B"}, {"c", "C"}}},
        {"the undone mark goes on a line of its own after a torn line",
         [](JournalTest& t) {
             t.make("a", "A"), t.run({{"a", "b"}});
             std::ofstream(t.runs()[0].file, std::ios::app) << "rename\t/cut";
         },
         {O::Restored}, true, {{"a", "A"}}},
        {"through a link, untouched",
         [](JournalTest& t) { t.run({{"link/a", "link/b"}}); }, {O::Restored}, true,
         {{"photos/a", "A"}, {"photos/b", ""}}},
        {"through a link, the new name reused by hand",
         [](JournalTest& t) {
             t.run({{"link/a", "link/b"}});
             ASSERT_EQ(::rename(t.file("photos/b").c_str(), t.file("photos/moved").c_str()), 0);
             t.make("photos/b", "newcomer");
         },
         {O::Changed}, false, {{"photos/a", ""}, {"photos/b", "newcomer"}}},
        {"through a link that points elsewhere since",
         [](JournalTest& t) {
             t.run({{"link/a", "link/b"}});
             ASSERT_EQ(::unlink(t.file("link").c_str()), 0);
             t.mkdir("other"), t.make("other/b", "other");
             ASSERT_EQ(::symlink(t.file("other").c_str(), t.file("link").c_str()), 0);
         },
         {O::Restored}, true, {{"photos/a", "A"}, {"other/b", "other"}, {"other/a", ""}}},
        {"through a link, the file changed since",
         [](JournalTest& t) { t.run({{"link/a", "link/b"}}), t.make("photos/b", "edited and longer"); }, {O::Changed},
         false, {{"photos/b", "edited and longer"}, {"photos/a", ""}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        fresh();
        mkdir("photos"), make("photos/a", "A");
        ASSERT_EQ(::symlink(file("photos").c_str(), file("link").c_str()), 0);
        r.setup(*this);
        UndoChoice choice = FindRunToUndo(folder());
        ASSERT_TRUE(choice.run());
        const auto before = tree();
        std::vector<O> preview, seen;
        UndoRun(*choice.run(), FileSystemService::Instance(), false,
                [&](const UndoItem& i) { preview.push_back(i.outcome); });
        EXPECT_EQ(tree(), before) << "a preview changed files";
        EXPECT_EQ(UndoRun(*choice.run(), FileSystemService::Instance(), true,
                          [&](const UndoItem& i) { seen.push_back(i.outcome); })
                      .complete(),
                  r.complete);
        EXPECT_EQ(seen, r.outcomes);
        EXPECT_EQ(preview, r.outcomes);
        for (const auto& [name, text] : r.after) {
            if (*text) EXPECT_EQ(content(name), text) << name;
            else EXPECT_FALSE(exists(name)) << name;
        }
        EXPECT_EQ(runs().back().undone, r.complete);
        EXPECT_EQ(HasRunToUndo(folder()), !r.complete);
    }
    // The old name taken between undo's look and its move: "name taken", the file left.
    fresh();
    make("a", "A"), run({{"a", "b"}});
    testing::FakeFileSystem quicker;
    quicker.failChangeAt = 1, quicker.failErrno = EEXIST;
    std::vector<O> seen;
    UndoRun(*FindRunToUndo(folder()).run(), quicker, true, [&](const UndoItem& i) { seen.push_back(i.outcome); });
    EXPECT_EQ(seen, std::vector<O>{O::Taken});
    EXPECT_EQ(content("b"), "A");
}

// Which run undo takes, from run files written by hand; the rename lines are
// all from /a to /b, so none is ever carried out here.
TEST_F(JournalTest, WhichRunIsUndone) {
    const auto runFile = [](int seq, const char* command, const char* extra = "") {
        return "lorvane journal 2\nseq\t" + std::to_string(seq) + "\nutc\t1\nwhen\tthen\ncommand\t" + command +
               "\nrename\t/a\t/b\n" + extra;
    };
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;  // in the journal folder
        std::vector<std::string> listed;                          // commands, oldest first
        const char* chosen;                                       // "" for none
        const char* blocked;                                      // text in the reason, "" for none
    } rows[] = {
        {"by sequence, not by file name", {{"2-x.journal", runFile(1, "first")}, {"1-x.journal", runFile(2, "second")}},
         {"first", "second"}, "second", ""},
        {"an undone run is passed over",
         {{"1.journal", runFile(1, "first")}, {"2.journal", runFile(2, "second", "undone\t1\n")}},
         {"first", "second"}, "first", ""},
        {"only names ending in .journal are runs",
         {{"1.journal", runFile(1, "first")}, {".journal", "x"}, {"2.journal.bak", "x"}, {"3.journa", "x"}},
         {"first"}, "first", ""},
        {"a damaged newer run stops undo",
         {{"1.journal", runFile(1, "first")}, {"99-newest.journal", "lorvane journal 2\nseq\t9\nrename\tno\\q\n"}},
         {}, "", "99-newest.journal"},
        {"nothing to undo", {}, {}, "", ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        fresh();
        for (const auto& [name, text] : r.files) journal(name, text);
        UndoChoice choice = FindRunToUndo(folder());
        EXPECT_EQ(choice.run() ? choice.run()->command : "", r.chosen);
        EXPECT_EQ(choice.blocked.empty(), !*r.blocked);
        EXPECT_NE(choice.blocked.find(r.blocked), std::string::npos) << choice.blocked;
        EXPECT_EQ(HasRunToUndo(folder()), *r.chosen || *r.blocked);
        if (*r.blocked) continue;
        std::vector<std::string> listed;
        for (const JournalRun& run : runs()) listed.push_back(run.command);
        EXPECT_EQ(listed, r.listed);
    }
}

TEST_F(JournalTest, WrittenRunsReadBack) {
    make("a", "A");
    run({{"a", "b"}}, "lorvane rebuild\tx");
    run({{"b", "c"}}, "second");
    run({{"!c", "d"}}, "failed only");  // renamed nothing: no file
    {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), "opened only"));
    }
    const std::vector<JournalRun> r = runs();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].command, "lorvane rebuild\tx");
    EXPECT_EQ(r[0].sequence + 1, r[1].sequence);
    ASSERT_EQ(r[1].renames.size(), 1u);
    EXPECT_EQ(r[1].renames[0].oldPath, file("b"));
    EXPECT_EQ(r[1].renames[0].newPath, file("c"));
    EXPECT_FALSE(r[1].undone);
    // A file of another format, even one that reads like a run, is no run; a FIFO is not read at all.
    journal("9.journal", "lorvane journal 3\nseq\t9\ncommand\tother\nrename\t/a\t/b\n");
    ASSERT_EQ(::mkfifo(JoinPath(folder(), "8.journal").c_str(), 0600), 0);
    std::vector<std::string> errors;
    ReadJournal(folder(), errors);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE((errors[0] + errors[1]).find("it is not a lorvane journal"), std::string::npos) << errors[0];
    EXPECT_NE((errors[0] + errors[1]).find("it cannot be read"), std::string::npos) << errors[1];

    make("plain", "");
    JournalWriter w;
    EXPECT_FALSE(w.Open(file("plain") + "/lorvane", "run"));
    EXPECT_NE(w.error().find("Unable to create the folder"), std::string::npos) << w.error();
    JournalLock lock;
    EXPECT_FALSE(lock.Acquire(file("plain") + "/lorvane", "run", std::chrono::milliseconds(0)));
    EXPECT_NE(lock.error().find("Unable to create the folder"), std::string::npos) << lock.error();
}

TEST_F(JournalTest, RecordsNoRunCouldHaveMadeAreRefused) {
    make("a", "A");
    mkdir("elsewhere");
    run({{"a", "b"}});
    const FileIdentity b = IdentifyFile(file("b"));
    const std::string id = "\t" + std::to_string(b.device) + "\t" + std::to_string(b.inode) + "\t" +
                           std::to_string(b.size) + "\t" + std::to_string(b.modifiedNs);
    const std::string runFile = runs()[0].file;
    for (const std::string& line : {"rename\t" + file("elsewhere/a") + "\t" + file("b") + id,  // into another folder
                                    "rename\t" + file("a") + "\t" + file("b")}) {             // without identity
        SCOPED_TRACE(line);
        std::ofstream(runFile) << "lorvane journal 2\nseq\t1\nutc\t1\nwhen\tthen\ncommand\thand\n" << line << "\n";
        UndoChoice choice = FindRunToUndo(folder());
        ASSERT_TRUE(choice.run());
        EXPECT_EQ(UndoRun(*choice.run(), FileSystemService::Instance(), true, {}).left, 1);
        EXPECT_EQ(content("b"), "A");
        EXPECT_FALSE(exists("a"));
        EXPECT_FALSE(exists("elsewhere/a"));
    }
}

TEST_F(JournalTest, OldRunsArePrunedByCountAndAge) {
    // Past the newest runs kept, only those older than the days kept go.
    const long now = static_cast<long>(std::time(nullptr)), old = now - (kKeepDays + 1) * 86400L;
    for (int i = 1; i <= kKeepRuns + 2; ++i)
        journal(std::to_string(1000 + i) + ".journal", "lorvane journal 2\nseq\t" + std::to_string(i) + "\nutc\t" +
                                                           std::to_string(i == 1 ? now : old) + "\nrename\t/a\t/b\n");
    PruneJournal(folder());
    const std::vector<JournalRun> left = runs();
    ASSERT_EQ(left.size(), static_cast<std::size_t>(kKeepRuns + 1));
    EXPECT_EQ(left.front().sequence, 1);  // young enough to stay
    EXPECT_EQ(left[1].sequence, 3);       // the second, old and past the newest kept, went
}

// An absolute XDG_STATE_HOME, else the home folder's, else the root's.
TEST(JournalFolderTest, FollowsXdgStateHome) {
    const auto env = [](const char* name) { return std::string(getenv(name) ? getenv(name) : "-"); };
    const std::string keep[] = {env("XDG_STATE_HOME"), env("HOME")};
    for (auto [state, home, folder] : {std::tuple{"/tmp/st", "/home/u", "/tmp/st/lorvane"},
                                       {"relative", "/home/u", "/home/u/.local/state/lorvane"},
                                       {"", "", "/.local/state/lorvane"}, {"-", "-", "/.local/state/lorvane"}}) {
        for (auto [name, value] : {std::pair{"XDG_STATE_HOME", state}, {"HOME", home}})
            if (std::string_view(value) == "-") unsetenv(name);
            else setenv(name, value, 1);
        EXPECT_EQ(JournalFolder(), folder) << state << " " << home;
    }
    for (auto [name, value] : {std::pair{"XDG_STATE_HOME", keep[0]}, {"HOME", keep[1]}})
        if (value == "-") unsetenv(name);
        else setenv(name, value.c_str(), 1);
}

}  // namespace
}  // namespace lorvane
