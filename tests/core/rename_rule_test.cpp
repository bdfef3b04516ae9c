#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <sys/stat.h>

#include <fstream>
#include <string>

#include "core/rename_rule.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

TEST(RenameRuleTest, RefusesNamesThatCannotBeGivenInPlace) {
    struct Case {
        std::string name;
        NameRefusal refusal;
        const char* text;
    } cases[] = {
        {"{SU=Ann}.jpg", NameRefusal::None, ""},
        {"...", NameRefusal::None, ""},
        {".hidden", NameRefusal::None, ""},
        {"\xFE.jpg", NameRefusal::None, ""},  // any bytes but "/" and NUL
        {"", NameRefusal::Empty, "A file name cannot be empty"},
        {".", NameRefusal::Dot, "A file name cannot be \".\" or \"..\""},
        {"..", NameRefusal::Dot, "A file name cannot be \".\" or \"..\""},
        {"a/b.jpg", NameRefusal::Slash, "A file name cannot contain \"/\""},
        {"/", NameRefusal::Slash, "A file name cannot contain \"/\""},
        {std::string("a\0b.jpg", 7), NameRefusal::Nul, "A file name cannot contain a NUL character"},
        {std::string(1, '\0'), NameRefusal::Nul, "A file name cannot contain a NUL character"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JudgeNewFileName(c.name), c.refusal) << c.name;
        EXPECT_EQ(NameRefusalText(JudgeNewFileName(c.name)), c.text) << c.name;
    }
}

TEST(RenameRuleTest, RenamesInPlaceNeverReplacingAndNeverAskingForARefusedName) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    for (const char* n : {"a.jpg", "taken.jpg"}) std::ofstream(JoinPath(folder, n)) << n;
    mkdir(JoinPath(folder, "sub").c_str(), 0700);
    testing::FakeFileSystem files;
    const std::string a = JoinPath(folder, "a.jpg");

    // Into a subfolder, empty, "..": refused before the file system is asked.
    for (const char* refused : {"sub/a.jpg", "", ".."}) {
        const RenameResult r = RenameFile(files, a, folder, refused);
        EXPECT_NE(r.refusal, NameRefusal::None) << refused;
        EXPECT_FALSE(r.ok());
    }
    EXPECT_EQ(files.changes, 0);

    const RenameResult taken = RenameFile(files, a, folder, "taken.jpg");
    EXPECT_EQ(taken.error.description, "File exists");
    std::ifstream kept(JoinPath(folder, "taken.jpg"));
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "taken.jpg");

    files.failChangeAt = files.changes + 1;
    const RenameResult denied = RenameFile(files, a, folder, "b.jpg");
    EXPECT_EQ(denied.error.description, "Permission denied");

    const RenameResult done = RenameFile(files, a, folder, "b.jpg");
    EXPECT_TRUE(done.ok());
    EXPECT_EQ(done.newPath, JoinPath(folder, "b.jpg"));
    EXPECT_TRUE(FileSystemService::Instance().FileExists(done.newPath));
    EXPECT_FALSE(FileSystemService::Instance().FileExists(a));
}

}  // namespace
}  // namespace lorvane
