// The file operations on temporary folders: the trash, links, and a Move journalled
// and undone (the Browser's tests fail files in the middle of a run).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include "core/batch/file_actions.h"
#include "core/batch/journal.h"
#include "core/batch/journalled_run.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

// The file's content, or "-" when there is none.
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return in ? s.str() : "-";
}
void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}
std::string names(const std::string& folder) {
    return QDir(QString::fromStdString(folder)).entryList(QDir::Files, QDir::Name).join(' ').toStdString();
}

class FileActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(src_)) && QDir().mkpath(QString::fromStdString(dst_)));
        ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (root_ + "/state").c_str(), 1);
    }
    void TearDown() override {
        FileSystemService::SetTestHooks({});
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_STATE_HOME");
    }
    // Moves files a, b and c of src to dst in a journalled run.
    bool move() {
        struct : BatchHost {
            bool Progress(std::int32_t, std::int32_t) override { return true; }
            bool ContinueAfterRenameFailure(const FileRow&, const FsError&, bool) override { return true; }
        } host;
        std::vector<FileRow> rows(3);
        std::vector<FileRow*> selected;
        for (FileRow& r : rows) {
            r.Text = std::string(1, char('a' + selected.size())) + ".jpg", r.Path = src_, r.Key = src_ + "/" + r.Text;
            writeFile(r.Key, r.Text);
            selected.push_back(&r);
        }
        RowParser parser(settings_, nullptr, files_);
        FileActionStep step(FileAction::Move, dst_);
        return RunJournalled(parser, files_, host, step, selected, {false, true, "test", {}}).started;
    }

    QTemporaryDir dir_;
    std::string root_ = QDir(dir_.path()).canonicalPath().toStdString(), src_ = root_ + "/src", dst_ = root_ + "/dst";
    GlobalSettings settings_;
    testing::FakeFileSystem files_;
    const FileSystem& fs_ = FileSystemService::Instance();
};

// The trash keeps each file with its info, also a name not UTF-8 and a second of a name;
// without a trash the file stays. A shortcut never replaces an entry.
TEST_F(FileActionsTest, TrashAndLinksKeepWhatRestoringNeeds) {
    const std::string raw = "\xfe a.jpg", trash = root_ + "/data/Trash";
    for (int i = 0; i < 2; ++i) {
        writeFile(src_ + "/" + raw, "one");
        ASSERT_TRUE(fs_.Trash(src_ + "/" + raw).ok());
    }
    EXPECT_EQ(readFile(src_ + "/" + raw) + readFile(trash + "/files/" + raw) + readFile(trash + "/files/\xfe a.2.jpg"),
              "-oneone");
    const std::string opening = "[Trash Info]\nPath=" + src_ + "/%FE%20a.jpg\nDeletionDate=";
    EXPECT_EQ(readFile(trash + "/info/\xfe a.2.jpg.trashinfo").substr(0, opening.size()), opening);
    for (const std::string& name : {raw, std::string("\xfe a.2.jpg")})  // Qt cannot name these to remove them
        for (const std::string& path : {trash + "/files/" + name, trash + "/info/" + name + ".trashinfo"})
            ::unlink(path.c_str());

    writeFile(src_ + "/a.jpg", "a");
    writeFile(dst_ + "/b.lnk", "mine");
    EXPECT_EQ(fs_.Link(src_ + "/a.jpg", dst_ + "/b.lnk").code, EEXIST);
    EXPECT_EQ(readFile(dst_ + "/b.lnk"), "mine");
    // A trash folder that is a link is not ours: nothing goes through it.
    FileSystemService::TestHooks homeOnly;
    homeOnly.homeTrashOnly = true;
    FileSystemService::SetTestHooks(homeOnly);
    ASSERT_TRUE(::rmdir((trash + "/files").c_str()) == 0 && ::symlink(dst_.c_str(), (trash + "/files").c_str()) == 0);
    EXPECT_EQ(fs_.Trash(src_ + "/a.jpg").description, "There is no trash on the file system that holds the file");
    FileSystemService::SetTestHooks({});
    EXPECT_EQ(readFile(src_ + "/a.jpg") + readFile(dst_ + "/a.jpg"), "a-");

    struct stat shm = {}, here = {};
    if (::stat("/dev/shm", &shm) || ::stat(root_.c_str(), &here) || shm.st_dev == here.st_dev) GTEST_SKIP();
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/lorvane-XXXXXX"));
    ::setenv("XDG_DATA_HOME", elsewhere.path().toUtf8().constData(), 1);
    FileSystemService::TestHooks noTrash;
    noTrash.homeTrashOnly = true;
    FileSystemService::SetTestHooks(noTrash);
    EXPECT_EQ(fs_.Trash(src_ + "/a.jpg").description, "There is no trash on the file system that holds the file");
    EXPECT_EQ(readFile(src_ + "/a.jpg"), "a");
}

// A Move is undone, also across file systems (a new file there, named in the journal);
// undo takes a file back only from the run's own destination.
TEST_F(FileActionsTest, AMoveIsUndoneFromItsDestinationOnly) {
    for (const bool across : {false, true}) {
        FileSystemService::TestHooks hooks;
        hooks.copyAcrossFileSystems = across;
        FileSystemService::SetTestHooks(hooks);
        ASSERT_TRUE(move());
        FileSystemService::SetTestHooks({});
        UndoChoice choice = FindRunToUndo(JournalFolder());
        ASSERT_NE(choice.run(), nullptr);
        EXPECT_EQ(choice.run()->moveTo + "|" + names(dst_), dst_ + "|a.jpg b.jpg c.jpg");
        for (const std::string& moveTo : {std::string(), src_}) {  // without the run's destination, or another
            choice.run()->moveTo = moveTo;
            EXPECT_EQ(UndoRun(*choice.run(), files_, false, {}).left, 3) << across;
        }
        choice.run()->moveTo = dst_;
        EXPECT_EQ(UndoRun(*choice.run(), files_, true, {}).restored, 3) << across;
        EXPECT_EQ(names(src_) + "|" + names(dst_), "a.jpg b.jpg c.jpg|") << across;
    }
}

}  // namespace
}  // namespace lorvane
