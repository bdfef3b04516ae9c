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
    using R = NameRefusal;
    const char *dot = "A file name cannot be \".\" or \"..\"", *slash = "A file name cannot contain \"/\"",
               *nul = "A file name cannot contain a NUL character";
    const struct {
        std::string name;
        NameRefusal refusal;
        const char* text;
    } cases[] = {
        {"{SU=Ann}.jpg", R::None, ""}, {"...", R::None, ""}, {".hidden", R::None, ""},
        {"\xFE.jpg", R::None, ""},  // any bytes but "/" and NUL
        {"", R::Empty, "A file name cannot be empty"}, {".", R::Dot, dot}, {"..", R::Dot, dot},
        {"a/b.jpg", R::Slash, slash}, {"/", R::Slash, slash}, {std::string("a\0b.jpg", 7), R::Nul, nul},
        {std::string(1, '\0'), R::Nul, nul},
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
        EXPECT_TRUE(r.refusal != NameRefusal::None && !r.ok()) << refused;
    }
    EXPECT_EQ(files.changes, 0);

    EXPECT_EQ(RenameFile(files, a, folder, "taken.jpg").error.description, "File exists");
    std::string content;
    std::ifstream(JoinPath(folder, "taken.jpg")) >> content;
    EXPECT_EQ(content, "taken.jpg");
    files.failChangeAt = files.changes + 1;
    EXPECT_EQ(RenameFile(files, a, folder, "b.jpg").error.description, "Permission denied");

    const RenameResult done = RenameFile(files, a, folder, "b.jpg");
    EXPECT_TRUE(done.ok());
    EXPECT_EQ(done.newPath, JoinPath(folder, "b.jpg"));
    EXPECT_TRUE(FileSystemService::Instance().FileExists(done.newPath));
    EXPECT_FALSE(FileSystemService::Instance().FileExists(a));
}

}  // namespace
}  // namespace lorvane
