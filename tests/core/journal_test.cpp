#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/batch/journal.h"

namespace lorvane {
namespace {

TEST(JournalTextTest, EveryByteRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string cases[] = {"",         "/plain/a.jpg",     "tab\there", "line\nbreak\r", "back\\slash\\",
                                 "\xfe.jpg", "\xef\xbf\xbd.jpg", all};
    for (const std::string& bytes : cases) {
        const std::string text = EscapeJournalText(bytes);
        EXPECT_EQ(text.find_first_of("\t\n\r"), std::string::npos);
        std::string back;
        ASSERT_TRUE(UnescapeJournalText(text, back));
        EXPECT_EQ(back, bytes);
    }
    std::string out;
    for (const char* bad : {"\\", "\\q", "\\x4", "\\xg0"}) EXPECT_FALSE(UnescapeJournalText(bad, out)) << bad;
}

class JournalTest : public ::testing::Test {
public:
    std::string folder() const { return JoinPath(dir_.path().toStdString(), "state/lorvane"); }
    std::string file(std::string_view name) const { return JoinPath(dir_.path().toStdString(), name); }
    void make(std::string_view name, std::string_view content) { std::ofstream(file(name)) << content; }
    std::string content(std::string_view name) const {
        std::ifstream in(file(name));
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool exists(std::string_view name) const { return FileSystemService::Instance().FileExists(file(name)); }
    // Renames as a run does: the record first, then the move.
    void renameRun(std::initializer_list<std::pair<const char*, const char*>> renames, std::string_view command) {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), command)) << w.error();
        for (const auto& [from, to] : renames) {
            ASSERT_TRUE(w.WillRename(file(from), file(to)));
            ASSERT_TRUE(FileSystemService::Instance().Move(file(from), file(to)).ok());
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

TEST_F(JournalTest, UndoRevertsInReverseOrderAndMarksTheRun) {
    make("a", "A");
    make("b", "B");
    // a takes b's name after b moved on: only the reverse order brings both back.
    renameRun({{"b", "c"}, {"a", "b"}}, "lorvane rebuild\tx");
    std::vector<JournalRun> r = runs();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].command, "lorvane rebuild\tx");
    EXPECT_EQ(r[0].renames.size(), 2u);
    EXPECT_FALSE(r[0].undone);

    std::vector<std::string> seen;
    auto onItem = [&](const UndoItem& i) { seen.push_back(std::string(UndoOutcomeWord(i.outcome))); };
    EXPECT_TRUE(UndoRun(r[0], FileSystemService::Instance(), false, onItem).complete());  // preview
    EXPECT_TRUE(exists("c"));
    EXPECT_TRUE(UndoRun(r[0], FileSystemService::Instance(), true, onItem).complete());
    EXPECT_EQ(content("a"), "A");
    EXPECT_EQ(content("b"), "B");
    EXPECT_FALSE(exists("c"));
    EXPECT_TRUE(runs()[0].undone);
    EXPECT_EQ(seen, (std::vector<std::string>{"restored", "restored", "restored", "restored"}));
}

TEST_F(JournalTest, ATakenNameIsLeftAloneAndTheRunStaysOpen) {
    make("a", "A");
    renameRun({{"a", "b"}}, "run");
    make("a", "newer");  // someone used the old name since
    std::vector<JournalRun> r = runs();
    UndoOutcome outcome{};
    EXPECT_FALSE(
        UndoRun(r[0], FileSystemService::Instance(), true, [&](const UndoItem& i) { outcome = i.outcome; }).complete());
    EXPECT_EQ(outcome, UndoOutcome::Taken);
    EXPECT_EQ(content("a"), "newer");
    EXPECT_EQ(content("b"), "A");
    EXPECT_FALSE(runs()[0].undone);
}

TEST_F(JournalTest, ARunCutShortBeforeItsRenameUndoesWhatHappened) {
    make("a", "A");
    make("x", "X");
    {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), "run"));
        ASSERT_TRUE(w.WillRename(file("a"), file("b")));
        ASSERT_TRUE(FileSystemService::Instance().Move(file("a"), file("b")).ok());
        ASSERT_TRUE(w.WillRename(file("x"), file("y")));  // the crash came before this rename
    }
    // A partial last line, as a crash in the middle of a write leaves it.
    std::vector<JournalRun> r = runs();
    std::ofstream(r[0].file, std::ios::app) << "rename\t/trunc";
    r = runs();
    ASSERT_EQ(r[0].renames.size(), 2u);
    std::vector<UndoOutcome> outcomes;
    EXPECT_TRUE(
        UndoRun(r[0], FileSystemService::Instance(), true, [&](const UndoItem& i) { outcomes.push_back(i.outcome); })
            .complete());
    EXPECT_EQ(outcomes, (std::vector<UndoOutcome>{UndoOutcome::AlreadyThere, UndoOutcome::Restored}));
    EXPECT_EQ(content("a"), "A");
    EXPECT_EQ(content("x"), "X");
}

// A rename that failed stays out of the run: undo must not move the file that
// holds its new name (another file, which made the rename fail) to the old one.
TEST_F(JournalTest, AFailedRenameIsLeftOutOfTheRun) {
    make("a", "A");
    make("b", "B");
    make("c", "C");
    {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), "run"));
        ASSERT_TRUE(w.WillRename(file("a"), file("b")));  // refused: b is taken
        w.RenameFailed();
        ASSERT_TRUE(w.WillRename(file("c"), file("d")));
        ASSERT_TRUE(FileSystemService::Instance().Move(file("c"), file("d")).ok());
        ASSERT_TRUE(w.Close());
    }
    ASSERT_TRUE(FileSystemService::Instance().Move(file("a"), file("a2")).ok());  // a is free meanwhile
    std::vector<JournalRun> r = runs();
    ASSERT_EQ(r.size(), 1u);
    ASSERT_EQ(r[0].renames.size(), 1u);
    EXPECT_EQ(r[0].renames[0].oldPath, file("c"));
    EXPECT_TRUE(UndoRun(r[0], FileSystemService::Instance(), true, [](const UndoItem&) {}).complete());
    EXPECT_EQ(content("b"), "B");  // not moved to a
    EXPECT_FALSE(exists("a"));
    EXPECT_EQ(content("c"), "C");

    // A run whose every rename failed leaves no file.
    {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), "run"));
        ASSERT_TRUE(w.WillRename(file("b"), file("c")));
        w.RenameFailed();
        ASSERT_TRUE(w.Close());
    }
    EXPECT_EQ(runs().size(), 1u);
}

TEST_F(JournalTest, ARunThatRenamedNothingLeavesNoFile) {
    {
        JournalWriter w;
        ASSERT_TRUE(w.Open(folder(), "run"));
    }
    EXPECT_TRUE(runs().empty());
}

TEST_F(JournalTest, RunsAreListedOldestFirstAndAnUnwritableFolderIsAnError) {
    make("a", "A");
    renameRun({{"a", "b"}}, "first");
    renameRun({{"b", "c"}}, "second");
    std::vector<JournalRun> r = runs();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].command, "first");
    EXPECT_EQ(r[1].command, "second");

    make("plain", "");
    JournalWriter w;
    EXPECT_FALSE(w.Open(file("plain") + "/lorvane", "run"));
    EXPECT_NE(w.error().find("Unable to create the folder"), std::string::npos) << w.error();
}

// Undo renames back only the file the run renamed, and only runs in their order.
// Each case makes one run a -> b in "photos" (reached through the link "link"),
// then does what a user or another program did before the undo.
TEST_F(JournalTest, UndoMovesOnlyTheFileTheRunRenamed) {
    const struct {
        const char* what;
        std::function<void(JournalTest&)> meanwhile;
        UndoOutcome outcome;
        std::vector<std::pair<const char*, const char*>> after;  // file -> content ("" for none)
    } cases[] = {
        {"untouched", [](JournalTest&) {}, UndoOutcome::Restored, {{"photos/a", "A"}, {"photos/b", ""}}},
        {"new name reused by hand",
         [](JournalTest& t) {
             ASSERT_EQ(::rename(t.file("photos/b").c_str(), t.file("photos/moved").c_str()), 0);
             t.make("photos/b", "newcomer");
         },
         UndoOutcome::Changed, {{"photos/a", ""}, {"photos/b", "newcomer"}}},
        {"the link pointed elsewhere",
         [](JournalTest& t) {
             ASSERT_EQ(::unlink(t.file("link").c_str()), 0);
             ASSERT_EQ(::mkdir(t.file("other").c_str(), 0700), 0);
             t.make("other/b", "other");
             ASSERT_EQ(::symlink(t.file("other").c_str(), t.file("link").c_str()), 0);
         },
         UndoOutcome::Restored, {{"photos/a", "A"}, {"other/b", "other"}, {"other/a", ""}}},
        {"the file changed since", [](JournalTest& t) { t.make("photos/b", "edited and longer"); },
         UndoOutcome::Changed, {{"photos/b", "edited and longer"}, {"photos/a", ""}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir fresh;
        dir_.swap(fresh);
        ASSERT_EQ(::mkdir(file("photos").c_str(), 0700), 0);
        ASSERT_EQ(::symlink(file("photos").c_str(), file("link").c_str()), 0);
        make("photos/a", "A");
        renameRun({{"link/a", "link/b"}}, "run");
        k.meanwhile(*this);
        UndoChoice choice = FindRunToUndo(folder());
        ASSERT_TRUE(choice.run());
        std::vector<UndoOutcome> seen;
        UndoRun(*choice.run(), FileSystemService::Instance(), true,
                [&](const UndoItem& i) { seen.push_back(i.outcome); });
        EXPECT_EQ(seen, std::vector<UndoOutcome>{k.outcome});
        for (const auto& [name, text] : k.after) {
            if (*text) EXPECT_EQ(content(name), text) << name;
            else EXPECT_FALSE(exists(name)) << name;
        }
    }
}

TEST_F(JournalTest, RecordsNoRunCouldHaveMadeAreRefused) {
    make("a", "A");
    ASSERT_EQ(::mkdir(file("elsewhere").c_str(), 0700), 0);
    renameRun({{"a", "b"}}, "run");
    const FileIdentity b = IdentifyFile(file("b"));
    const std::string id = "\t" + std::to_string(b.device) + "\t" + std::to_string(b.inode) + "\t" +
                           std::to_string(b.size) + "\t" + std::to_string(b.modifiedNs);
    const std::string file0 = runs()[0].file;
    const struct {
        const char* what;
        std::string line;
    } rows[] = {
        {"into another folder", "rename\t" + file("elsewhere/a") + "\t" + file("b") + id},
        {"without identity", "rename\t" + file("a") + "\t" + file("b")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        std::ofstream(file0) << "lorvane journal 2\nseq\t1\nutc\t1\nwhen\tthen\ncommand\thand\n" << r.line << "\n";
        UndoChoice choice = FindRunToUndo(folder());
        ASSERT_TRUE(choice.run());
        const UndoTally t = UndoRun(*choice.run(), FileSystemService::Instance(), true, {});
        EXPECT_EQ(t.left, 1);
        EXPECT_EQ(content("b"), "A");
        EXPECT_FALSE(exists("a"));
        EXPECT_FALSE(exists("elsewhere/a"));
    }
}

TEST_F(JournalTest, RunsGoBySequenceAndADamagedNewerOneStopsUndo) {
    make("a", "A");
    make("x", "X");
    renameRun({{"a", "b"}}, "first");
    renameRun({{"x", "y"}}, "second");
    std::vector<JournalRun> r = runs();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].sequence + 1, r[1].sequence);
    // File names no longer decide the order (a clock or time zone may have moved).
    ASSERT_EQ(::rename(r[1].file.c_str(), (folder() + "/0-second.journal").c_str()), 0);
    UndoChoice choice = FindRunToUndo(folder());
    ASSERT_TRUE(choice.run());
    EXPECT_EQ(choice.run()->command, "second");

    std::ofstream(folder() + "/99-newest.journal") << "lorvane journal 2\nseq\t9\nrename\tno\\q\n";
    choice = FindRunToUndo(folder());
    EXPECT_FALSE(choice.run());
    EXPECT_NE(choice.blocked.find("99-newest.journal"), std::string::npos) << choice.blocked;
    EXPECT_TRUE(HasRunToUndo(folder()));
}

TEST_F(JournalTest, TheUndoneMarkIsALineOfItsOwnAfterATornLine) {
    make("a", "A");
    renameRun({{"a", "b"}}, "run");
    std::ofstream(runs()[0].file, std::ios::app) << "rename\t/cut";
    UndoChoice choice = FindRunToUndo(folder());
    ASSERT_TRUE(choice.run());
    const UndoTally t = UndoRun(*choice.run(), FileSystemService::Instance(), true, {});
    EXPECT_TRUE(t.marked);
    EXPECT_TRUE(runs()[0].undone);
    EXPECT_FALSE(HasRunToUndo(folder()));
}

TEST_F(JournalTest, RunsAndUndosTakeTurnsThroughTheLock) {
    JournalLock first, second;
    ASSERT_TRUE(first.Acquire(folder(), "lorvane rebuild x"));
    EXPECT_FALSE(second.Acquire(folder(), "undo", std::chrono::milliseconds(100)));
    EXPECT_NE(second.error().find("lorvane rebuild x"), std::string::npos) << second.error();
    first.Release();
    EXPECT_TRUE(second.Acquire(folder(), "undo", std::chrono::milliseconds(100)));
}

TEST_F(JournalTest, OldRunsArePrunedByCountAndAge) {
    // Past the newest runs kept, only those older than the days kept go.
    ASSERT_EQ(::mkdir(JoinPath(dir_.path().toStdString(), "state").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(folder().c_str(), 0700), 0);
    const long old = static_cast<long>(std::time(nullptr)) - (kKeepDays + 1) * 86400L;
    for (int i = 1; i <= kKeepRuns + 2; ++i) {
        const long utc = i == 1 ? static_cast<long>(std::time(nullptr)) : old;  // the oldest run is recent
        std::ofstream(folder() + "/" + std::to_string(1000 + i) + ".journal")
            << "lorvane journal 2\nseq\t" << i << "\nutc\t" << utc << "\nrename\t/a\t/b\n";
    }
    PruneJournal(folder());
    const std::vector<JournalRun> left = runs();
    ASSERT_EQ(left.size(), static_cast<std::size_t>(kKeepRuns + 1));
    EXPECT_EQ(left.front().sequence, 1);  // young enough to stay
    EXPECT_EQ(left[1].sequence, 3);       // the second, old and past the newest kept, went
}

TEST(JournalFolderTest, FollowsXdgStateHome) {
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string keep = saved ? saved : "";
    setenv("XDG_STATE_HOME", "/tmp/st", 1);
    EXPECT_EQ(JournalFolder(), "/tmp/st/lorvane");
    setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored, as the base directory rules say
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(JournalFolder(), "/home/u/.local/state/lorvane");
    if (saved) setenv("XDG_STATE_HOME", keep.c_str(), 1);
    else unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace lorvane
