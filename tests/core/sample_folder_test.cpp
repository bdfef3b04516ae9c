#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/sample_folder.h"

namespace lorvane {
namespace {

// A program folder "bin" in a tree where some of the candidate sample folders exist:
// the first that exists is taken. The program run from its build folder starts on the
// sample names of its sources.
TEST(SampleFolderTest, TakesTheFirstThatExists) {
    for (auto [besideProgram, installed, sourceTree, expected] :
         {std::tuple{true, true, true, "bin/sample"}, {false, true, true, "share/lorvane-manager/sample"},
          {false, false, true, "src/sample"}, {false, false, false, ""}}) {
        QTemporaryDir tree;
        QDir root(tree.path());
        ASSERT_TRUE(root.mkpath("bin"));
        for (auto [wanted, folder] : {std::pair{besideProgram, "bin/sample"},
                                      {installed, "share/lorvane-manager/sample"}, {sourceTree, "src/sample"}})
            if (wanted) {
                ASSERT_TRUE(root.mkpath(QString::fromLatin1(folder)));
            }
        const QString found = FindSampleFolder(root.filePath("bin"), root.filePath("src/sample"));
        EXPECT_EQ(found.toStdString(), *expected ? QDir::cleanPath(root.filePath(expected)).toStdString() : "")
            << expected;
    }
    EXPECT_TRUE(BuiltSampleFolder().endsWith(QStringLiteral("/sample")));
    EXPECT_TRUE(QDir(BuiltSampleFolder()).exists());
}

}  // namespace
}  // namespace lorvane
