#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
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
protected:
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
