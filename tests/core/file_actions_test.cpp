// The file operations of the batch run on temporary folders: the trash, links,
// a failure in the middle, previews, and a Move journalled and undone.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/batch/file_actions.h"
#include "core/batch/journal.h"
#include "core/batch/journalled_run.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "-";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
void writeFile(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

class Host : public BatchHost {
public:
    bool Progress(std::int32_t, std::int32_t) override { return true; }
    bool ContinueAfterRenameFailure(const FileRow& row, const FsError&, bool last) override {
        asked.push_back(row.Text + (last ? " last" : ""));
        return goOn;
    }
    void FileDone(const BatchFile& f) override { outcomes.push_back(f.oldName + " " + std::string(OutcomeWord(f.outcome))); }
    bool goOn = true;
    std::vector<std::string> asked, outcomes;
};

class FileActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath().toStdString();
        ASSERT_FALSE(root_.empty());
        fresh("0");
        ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
    }
    void TearDown() override {
        FileSystemService::SetTestHooks({});
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_STATE_HOME");
    }
    // New source and destination folders, inside the temporary one.
    void fresh(const std::string& name) {
        ::mkdir((root_ + "/" + name).c_str(), 0700);
        src_ = root_ + "/" + name + "/src";
        dst_ = root_ + "/" + name + "/dst";
        ::mkdir(src_.c_str(), 0700);
        ::mkdir(dst_.c_str(), 0700);
    }
    // Runs the action over files a, b and c of src (the fake failing its n-th change).
    RunResult run(FileAction action, bool preview = false, int failAt = 0, bool goOn = true) {
        rows_.clear();
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
            writeFile(src_ + "/" + n, n);
            FileRow r;
            r.Text = n;
            r.Path = src_;
            r.Key = src_ + "/" + n;
            rows_.push_back(r);
        }
        std::vector<FileRow*> selected;
        for (FileRow& r : rows_) selected.push_back(&r);
        files_.failChangeAt = failAt;
        files_.changes = 0;
        host_.goOn = goOn;
        RowParser parser(settings_, nullptr, files_);
        FileActionStep step(action, dst_);
        RunRequest request;
        request.preview = preview;
        request.command = "test";
        return RunJournalled(parser, files_, host_, step, selected, request);
    }
    std::string names(const std::string& folder) const {
        QStringList n = QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::System);
        n.sort();
        return n.join(' ').toStdString();
    }

    QTemporaryDir dir_;
    std::string root_, src_, dst_;
    GlobalSettings settings_;
    testing::FakeFileSystem files_;
    Host host_;
    std::vector<FileRow> rows_;
};

// Three files, the second failing: OK goes on, Cancel ends the run; each action's
// files afterwards, and where the rows say the files are.
TEST_F(FileActionsTest, AFailureInTheMiddleGoesOnOrEnds) {
    const struct {
        FileAction action;
        bool goOn;
        const char* src;
        const char* dst;
        const char* rowFolders;  // per row: s or d
    } rows[] = {
        {FileAction::Delete, true, "b.jpg", "", "sss"},
        {FileAction::Delete, false, "b.jpg c.jpg", "", "sss"},
        {FileAction::Copy, true, "a.jpg b.jpg c.jpg", "a.jpg c.jpg", "sss"},
        {FileAction::Copy, false, "a.jpg b.jpg c.jpg", "a.jpg", "sss"},
        {FileAction::Move, true, "b.jpg", "a.jpg c.jpg", "dsd"},
        {FileAction::Move, false, "b.jpg c.jpg", "a.jpg", "dss"},
        {FileAction::Link, true, "a.jpg b.jpg c.jpg", "a.jpg.lnk c.jpg.lnk", "sss"},
        {FileAction::Link, false, "a.jpg b.jpg c.jpg", "a.jpg.lnk", "sss"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(FileOperation(r.action).title) + (r.goOn ? " OK" : " Cancel"));
        fresh(std::to_string(&r - rows + 1));
        host_ = Host();
        const RunResult result = run(r.action, false, 2, r.goOn);
        EXPECT_EQ(names(src_), r.src);
        EXPECT_EQ(names(dst_), r.dst);
        std::string folders;
        for (const FileRow& row : rows_) folders += row.Path == dst_ && row.Key == dst_ + "/" + row.Text ? 'd' : 's';
        EXPECT_EQ(folders, r.rowFolders);
        EXPECT_EQ(host_.asked, std::vector<std::string>{"b.jpg"});
        EXPECT_EQ(host_.outcomes[1], "b.jpg failed");
        EXPECT_EQ(result.counters.notSaved, 1);
        EXPECT_EQ(result.counters.successes(), r.goOn ? 2 : 1);
    }
}

// A preview changes nothing and still sees a name that is taken.
TEST_F(FileActionsTest, APreviewSeesTakenNamesAndChangesNothing) {
    for (const FileAction action : {FileAction::Delete, FileAction::Copy, FileAction::Move, FileAction::Link}) {
        SCOPED_TRACE(FileOperation(action).title);
        writeFile(dst_ + "/b.jpg", "x");
        writeFile(dst_ + "/b.jpg.lnk", "x");
        host_ = Host();
        run(action, true);
        EXPECT_EQ(names(src_), "a.jpg b.jpg c.jpg");
        EXPECT_EQ(names(dst_), "b.jpg b.jpg.lnk");
        EXPECT_EQ(host_.outcomes[1], action == FileAction::Delete ? "b.jpg processed" : "b.jpg failed");
        EXPECT_TRUE(host_.asked.empty());
        EXPECT_EQ(rows_[0].Key, src_ + "/a.jpg");
    }
}

// The trash keeps each file with its info, names that are not UTF-8 and a second
// file of the same name too; without a trash the file stays.
TEST_F(FileActionsTest, TrashKeepsWhatRestoringNeeds) {
    const FileSystem& fs = FileSystemService::Instance();
    const std::string raw = "\xfe a.jpg";
    for (int i = 0; i < 2; ++i) {
        writeFile(src_ + "/" + raw, "one");
        ASSERT_TRUE(fs.Trash(src_ + "/" + raw).ok());
    }
    EXPECT_FALSE(exists(src_ + "/" + raw));
    const std::string trash = root_ + "/data/Trash";
    EXPECT_EQ(readFile(trash + "/files/" + raw), "one");
    EXPECT_EQ(readFile(trash + "/files/\xfe a.2.jpg"), "one");
    const std::string info = readFile(trash + "/info/\xfe a.2.jpg.trashinfo");
    const std::string opening = "[Trash Info]\nPath=" + src_ + "/%FE%20a.jpg\nDeletionDate=";
    EXPECT_EQ(info.substr(0, opening.size()), opening);
    // Qt cannot name these to remove them with the temporary folder.
    for (const std::string& name : {raw, std::string("\xfe a.2.jpg")})
        for (const std::string& path : {trash + "/files/" + name, trash + "/info/" + name + ".trashinfo"})
            ::unlink(path.c_str());

    struct stat shm{}, here{};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(root_.c_str(), &here) != 0 || shm.st_dev == here.st_dev)
        GTEST_SKIP() << "no second file system to hold the home trash";
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/lorvane-XXXXXX"));
    ::setenv("XDG_DATA_HOME", elsewhere.path().toUtf8().constData(), 1);
    FileSystemService::TestHooks noTrash;
    noTrash.homeTrashOnly = true;
    FileSystemService::SetTestHooks(noTrash);
    writeFile(src_ + "/b.jpg", "two");
    const FsError e = fs.Trash(src_ + "/b.jpg");
    EXPECT_EQ(e.description, "There is no trash on the file system that holds the file");
    EXPECT_EQ(readFile(src_ + "/b.jpg"), "two");
}

// A shortcut points at the file's full path and never replaces an entry.
TEST_F(FileActionsTest, LinksPointAtTheFileAndReplaceNothing) {
    const FileSystem& fs = FileSystemService::Instance();
    writeFile(src_ + "/a.jpg", "a");
    ASSERT_TRUE(fs.Link(src_ + "/a.jpg", dst_ + "/a.jpg.lnk").ok());
    char target[PATH_MAX] = {};
    ASSERT_GT(::readlink((dst_ + "/a.jpg.lnk").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), src_ + "/a.jpg");
    writeFile(dst_ + "/b.lnk", "mine");
    EXPECT_EQ(fs.Link(src_ + "/a.jpg", dst_ + "/b.lnk").code, EEXIST);
    EXPECT_EQ(readFile(dst_ + "/b.lnk"), "mine");
}

// A Move is undone, also across file systems (a new file there, named in the
// journal); undo takes a file back only from the run's own destination.
TEST_F(FileActionsTest, AMoveIsUndoneFromItsDestinationOnly) {
    for (const bool across : {false, true}) {
        SCOPED_TRACE(across ? "across file systems" : "within one");
        FileSystemService::TestHooks hooks;
        hooks.copyAcrossFileSystems = across;
        FileSystemService::SetTestHooks(hooks);
        ASSERT_TRUE(run(FileAction::Move).started);
        FileSystemService::SetTestHooks({});
        EXPECT_EQ(names(dst_), "a.jpg b.jpg c.jpg");
        UndoChoice choice = FindRunToUndo(JournalFolder());
        ASSERT_NE(choice.run(), nullptr);
        EXPECT_EQ(choice.run()->moveTo, dst_);
        const UndoTally t = UndoRun(*choice.run(), files_, true, {});
        EXPECT_EQ(t.restored, 3);
        EXPECT_EQ(names(src_), "a.jpg b.jpg c.jpg");
        EXPECT_EQ(names(dst_), "");
    }
    // The same records without the destination (or with another) are refused.
    ASSERT_TRUE(run(FileAction::Move).started);
    UndoChoice choice = FindRunToUndo(JournalFolder());
    for (const std::string& moveTo : {std::string(), src_}) {
        choice.run()->moveTo = moveTo;
        const UndoTally t = UndoRun(*choice.run(), files_, false, {});
        EXPECT_EQ(t.restored, 0);
        EXPECT_EQ(t.left, 3);
    }
}

}  // namespace
}  // namespace lorvane
