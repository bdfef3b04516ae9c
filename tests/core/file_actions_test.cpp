// The file operations on temporary folders: the trash, links, and a Move
// journalled and undone (the Browser's tests fail files in the middle of a run).
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
    bool ContinueAfterRenameFailure(const FileRow&, const FsError&, bool) override { return true; }
};

class FileActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath().toStdString();
        ASSERT_FALSE(root_.empty());
        src_ = root_ + "/src";
        dst_ = root_ + "/dst";
        ::mkdir(src_.c_str(), 0700);
        ::mkdir(dst_.c_str(), 0700);
        ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
    }
    void TearDown() override {
        FileSystemService::SetTestHooks({});
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_STATE_HOME");
    }
    // Runs the action over files a, b and c of src.
    RunResult run(FileAction action) {
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
        RowParser parser(settings_, nullptr, files_);
        FileActionStep step(action, dst_);
        RunRequest request;
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
