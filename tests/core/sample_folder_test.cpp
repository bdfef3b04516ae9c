#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/sample_folder.h"

namespace lorvane {
namespace {

// A program folder "bin" in a tree where some of the candidate sample folders exist.
struct Layout {
    const char* name;
    bool besideProgram, installed, sourceTree;
    const char* expected;  // relative to the tree; empty for none
};

class SampleFolderTest : public ::testing::TestWithParam<Layout> {};

TEST_P(SampleFolderTest, TakesTheFirstThatExists) {
    const Layout& l = GetParam();
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    QDir root(tree.path());
    ASSERT_TRUE(root.mkpath("bin"));
    for (auto [wanted, folder] : {std::pair{l.besideProgram, "bin/sample"},
                                  std::pair{l.installed, "share/lorvane-manager/sample"},
                                  std::pair{l.sourceTree, "src/sample"}})
        if (wanted) {
            ASSERT_TRUE(root.mkpath(QString::fromLatin1(folder)));
        }

    const QString found = FindSampleFolder(root.filePath("bin"), root.filePath("src/sample"));
    const QString expected = *l.expected ? QDir::cleanPath(root.filePath(QString::fromLatin1(l.expected))) : QString();
    EXPECT_EQ(found.toStdString(), expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Layouts, SampleFolderTest,
                         ::testing::Values(Layout{"all", true, true, true, "bin/sample"},
                                           Layout{"installed", false, true, true, "share/lorvane-manager/sample"},
                                           Layout{"built", false, false, true, "src/sample"},
                                           Layout{"none", false, false, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SampleFolder, TheBuildKnowsTheSourceTreesFolder) {
    // The program run from its build folder starts on the sample names of its sources.
    EXPECT_TRUE(BuiltSampleFolder().endsWith(QStringLiteral("/sample")));
    EXPECT_TRUE(QDir(BuiltSampleFolder()).exists());
}

}  // namespace
}  // namespace lorvane
