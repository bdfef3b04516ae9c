#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/files/file_service.h"

namespace lorvane {
namespace {

using namespace std::chrono;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

// Names in a folder that our own copies use while unfinished.
std::vector<std::string> leftovers(const std::string& folder) {
    FolderInfo info;
    std::vector<std::string> found;
    if (FileSystemService::Instance().GetFolder(folder, info).failed()) return found;
    for (const auto& n : info.Files)
        if (n.starts_with(".lorvane-")) found.push_back(n);
    return found;
}

class FileServiceTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string at(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
    std::string make(const std::string& name, const std::string& content) {
        writeFile(at(name), content);
        return at(name);
    }
    FileSystemService& fs = FileSystemService::Instance();
    QTemporaryDir dir_;
};

TEST(PathsTest, CleanAndJoin) {
    // Parts that do not exist: "." and slashes go, ".." stays for the kernel to refuse.
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"/", "/"},
        {"//", "/"},
        {"/..", "/"},
        {"/../..", "/"},
        {"/nonexistent-a/b/", "/nonexistent-a/b"},
        {"/nonexistent-a//b", "/nonexistent-a/b"},
        {"/nonexistent-a/./b", "/nonexistent-a/b"},
        {"/nonexistent-a/../b", "/nonexistent-a/../b"},
        {"/nonexistent-a/b/..", "/nonexistent-a/b/.."},
        {"/nonexistent-a/../..", "/nonexistent-a/../.."},
        {"/x/{DT=2004}.jpg", "/x/{DT=2004}.jpg"},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanPath(c.in), c.out) << c.in;
    // Relative paths are taken from the working folder.
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(CleanPath("sub/./f.txt"), CleanPath(std::string(cwd) + "/sub/f.txt"));
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinPath("/x", "a.jpg"), "/x/a.jpg");
}

// ".." is where the kernel goes: after a link to a folder, the parent of its
// target; after a plain folder, the folder before it, links earlier in the path kept.
TEST_F(FileServiceTest, CleanPathResolvesDotDotAsTheKernelDoes) {
    // Where a link was followed the path is the target's own, without links.
    char* realRoot = ::realpath(dir_.path().toUtf8().constData(), nullptr);
    ASSERT_NE(realRoot, nullptr);
    const std::string root = realRoot;
    std::free(realRoot);
    auto real = [&](const std::string& name) { return root + "/" + name; };
    ASSERT_EQ(::mkdir(at("a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(at("elsewhere").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(at("elsewhere/target").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(at("elsewhere/target/sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(at("elsewhere/target").c_str(), at("a/link").c_str()), 0);
    ASSERT_EQ(::symlink("../elsewhere/target", at("a/rel").c_str()), 0);
    make("elsewhere/mark.jpg", "E");
    make("a/mark.jpg", "A");
    struct Case {
        std::string in, out;
    } cases[] = {
        {at("a/link/.."), real("elsewhere")},
        {at("a/link/../mark.jpg"), real("elsewhere/mark.jpg")},
        {at("a/rel/.."), real("elsewhere")},
        {at("a/link/../../a"), root + "/a"},
        {at("a/link//./sub/.."), at("a/link")},  // a plain folder after the link: the link stays
        {at("a/link/sub"), at("a/link/sub")},    // links are otherwise kept as written
        {at("a/link/"), at("a/link")},
        {at("a/mark.jpg/.."), at("a/mark.jpg/..")},  // not a folder: the kernel refuses it
        {at("a/missing/.."), at("a/missing/..")},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanPath(c.in), c.out) << c.in;
    // The kernel agrees: the file reached is the one the cleaned path names.
    FileInfo f;
    ASSERT_TRUE(fs.GetFile(at("a/link/../mark.jpg"), f).ok());
    EXPECT_EQ(f.Path, real("elsewhere/mark.jpg"));
    EXPECT_EQ(readAll(f.Path), "E");
    FolderInfo folder;
    ASSERT_TRUE(fs.GetFolder(at("a/link/.."), folder).ok());
    EXPECT_EQ(folder.Path, real("elsewhere"));
    EXPECT_EQ(folder.Files, std::vector<std::string>{"mark.jpg"});

    // Relative to the working folder alike.
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(::chdir(at("a").c_str()), 0);
    const std::string relative = CleanPath("link/..");
    ASSERT_EQ(::chdir(saved), 0);
    EXPECT_EQ(relative, real("elsewhere"));
}

TEST_F(FileServiceTest, ExistenceTests) {
    make("f.txt", "x");
    ASSERT_EQ(::mkdir(at("sub").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(at("f.txt").c_str(), at("lf").c_str()), 0);
    ASSERT_EQ(::symlink(at("missing").c_str(), at("dangling").c_str()), 0);
    struct Case {
        std::string path;
        bool file, folder;
    } cases[] = {
        {at("f.txt"), true, false}, {at("sub"), false, true},    {at("sub/"), false, true},
        {at("lf"), true, false},    {at("dangling"), false, false}, {at("missing"), false, false},
        {"", false, false},         {at("f.txt/x"), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fs.FileExists(c.path), c.file) << c.path;
        EXPECT_EQ(fs.FolderExists(c.path), c.folder) << c.path;
    }
}

TEST_F(FileServiceTest, ListingSortsIgnoringCaseAndSkipsWhatIsNotAFileOrFolder) {
    for (const char* n : {"c.txt", "B.txt", "a.txt", "b.txt", ".hidden"}) make(n, n);
    ASSERT_EQ(::mkdir(at("Sub").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(at("another").c_str(), 0755), 0);
    make("Sub/inner.txt", "i");
    ASSERT_EQ(::symlink(at("a.txt").c_str(), at("link.txt").c_str()), 0);
    ASSERT_EQ(::symlink(at("Sub").c_str(), at("linkdir").c_str()), 0);
    ASSERT_EQ(::symlink(at("nowhere").c_str(), at("dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);

    FolderInfo f;
    ASSERT_TRUE(fs.GetFolder(dir_.path().toStdString() + "/", f).ok());
    EXPECT_EQ(f.Path, dir_.path().toStdString());
    EXPECT_EQ(f.Files, (std::vector<std::string>{".hidden", "a.txt", "B.txt", "b.txt", "c.txt", "link.txt"}));
    EXPECT_EQ(f.Count(), 6u);
    EXPECT_EQ(f.SubFolders, (std::vector<std::string>{"another", "Sub"}));

    // Counting sees the same entries.
    std::size_t files = 0;
    std::vector<std::string> subFolders{"stale"};
    ASSERT_TRUE(fs.CountFolder(dir_.path().toStdString(), files, subFolders).ok());
    EXPECT_EQ(files, 6u);
    EXPECT_EQ(subFolders, f.SubFolders);
    EXPECT_EQ(fs.CountFolder(at("nope"), files, subFolders).message(),
              "Unable to read \"" + at("nope") + "\" due to the following error: No such file or directory");

    FolderInfo missing;
    const FsError e = fs.GetFolder(at("nope"), missing);
    EXPECT_EQ(e.code, ENOENT);
    EXPECT_EQ(e.message(),
              "Unable to read \"" + at("nope") + "\" due to the following error: No such file or directory");
    EXPECT_EQ(fs.GetFolder(at("a.txt"), missing).code, ENOTDIR);
}

// Letter case is folded the Unicode way and compared by UTF-16 code unit, for
// ASCII and other names alike and for the two mixed.
TEST_F(FileServiceTest, ListingOrderBeyondAscii) {
    const std::vector<std::string> sorted = {
        "_x.txt", "A.txt",         // 'A' as 'a', after '_'
        "Ab.txt", "ab.txt",        // equal but for case: byte order
        "eve.txt", "STRASSE.txt",  // 's' before the unfolded 'ß'
        "Straße.txt", "Zed.txt",
        "ÉCOLE.txt", "émile.txt",  // é and É fold together, after every ASCII letter
        "über.txt",
        "\xF0\x9F\x98\x80.txt",  // U+1F600 as a surrogate pair sorts before U+FF21
        "\xEF\xBC\xA1.txt",      // fullwidth A
    };
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) make(*it, "x");
    FolderInfo f;
    ASSERT_TRUE(fs.GetFolder(dir_.path().toStdString(), f).ok());
    EXPECT_EQ(f.Files, sorted);
}

TEST_F(FileServiceTest, FileFields) {
    const std::string p = make("{DT=2004-07-15}.jpg", std::string(3000, 'x'));
    // A known local time, set as the file's last-modified time.
    std::tm lt{};
    lt.tm_year = 2004 - 1900;
    lt.tm_mon = 6;
    lt.tm_mday = 15;
    lt.tm_hour = 14;
    lt.tm_min = 30;
    lt.tm_sec = 5;
    lt.tm_isdst = -1;
    const struct timespec times[2] = {{std::mktime(&lt), 0}, {std::mktime(&lt), 999999999}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);

    FileInfo f;
    ASSERT_TRUE(fs.GetFile(dir_.path().toStdString() + "//./{DT=2004-07-15}.jpg", f).ok());
    EXPECT_EQ(f.Name, "{DT=2004-07-15}.jpg");
    EXPECT_EQ(f.ParentFolder, dir_.path().toStdString());
    EXPECT_EQ(f.Path, p);
    EXPECT_EQ(f.Size, 3000);
    EXPECT_EQ(f.DateLastModified, sys_days{2004y / 7 / 15} + 14h + 30min + 5s);  // fraction dropped
    // Birth time where the file system keeps one (just now), else no later than the content change.
    EXPECT_TRUE(f.DateCreated == f.DateLastModified || f.DateCreated > sys_days{2020y / 1 / 1})
        << f.DateCreated.time_since_epoch().count();
    EXPECT_NE(f.Type.find("JPEG"), std::string::npos) << f.Type;

    // By open folder and name, as a listing gives them: the same fields.
    const OpenFolder folder(dir_.path().toStdString());
    ASSERT_GE(folder.descriptor(), 0);
    FileInfo g;
    g.Path = "left over from another file";
    ASSERT_TRUE(fs.GetFile(folder, "{DT=2004-07-15}.jpg", g).ok());
    EXPECT_EQ(g.Name, f.Name);
    EXPECT_EQ(g.ParentFolder, f.ParentFolder);
    EXPECT_EQ(g.Path, f.Path);
    EXPECT_EQ(g.Size, f.Size);
    EXPECT_EQ(g.DateLastModified, f.DateLastModified);
    EXPECT_EQ(g.DateCreated, f.DateCreated);
    EXPECT_EQ(g.Type, f.Type);
    // A name that is not a plain name is resolved as a path.
    ASSERT_TRUE(fs.GetFile(folder, "./{DT=2004-07-15}.jpg", g).ok());
    EXPECT_EQ(g.Path, p);
    EXPECT_EQ(g.ParentFolder, dir_.path().toStdString());

    FileInfo missing;
    EXPECT_EQ(fs.GetFile(folder, "none.jpg", missing).message(),
              "Unable to read \"" + at("none.jpg") + "\" due to the following error: No such file or directory");
    // A folder that could not be opened reports what its path does.
    const OpenFolder gone(at("gone"));
    EXPECT_EQ(gone.descriptor(), -1);
    EXPECT_EQ(fs.GetFile(gone, "x.jpg", missing).message(),
              "Unable to read \"" + at("gone/x.jpg") + "\" due to the following error: No such file or directory");
    EXPECT_EQ(fs.GetFile(at("none.jpg"), missing).code, ENOENT);
    ASSERT_EQ(::mkdir(at("d").c_str(), 0755), 0);
    EXPECT_EQ(fs.GetFile(at("d"), missing).description, "Is a directory");
    EXPECT_EQ(fs.GetFile(folder, "d", missing).description, "Is a directory");
}

TEST_F(FileServiceTest, TypeDescriptions) {
    EXPECT_EQ(fs.TypeDescription("a.zqxw"), "ZQXW File");
    EXPECT_EQ(fs.TypeDescription("plainname"), "File");
    EXPECT_EQ(fs.TypeDescription("trailingdot."), "File");
    EXPECT_NE(fs.TypeDescription("a.png"), fs.TypeDescription("a.jpg"));
    EXPECT_EQ(fs.TypeDescription("A.JPG"), fs.TypeDescription("a.jpg"));
    EXPECT_EQ(fs.TypeDescription("a.ZqXw"), "ZQXW File");  // the remembered answer, not the first spelling
    // Only the last extension counts, whatever the rest of the name looks like.
    EXPECT_EQ(fs.TypeDescription("x.tar.gz"), fs.TypeDescription("y.gz"));
    EXPECT_EQ(fs.TypeDescription("README.txt"), fs.TypeDescription("notes.txt"));
}

// A move takes only a free name, or its own; refused, every name keeps what it
// held. Each row starts from a.jpg holding "A"; "?" in after is any entry.
TEST_F(FileServiceTest, MoveTakesOnlyAFreeName) {
    using T = FileServiceTest;
    const auto none = [](T&) {};
    const auto sub = [](T& t) { ASSERT_EQ(::mkdir(t.at("sub").c_str(), 0755), 0); };
    const auto hardLink = [](const char* name) {
        return [=](T& t) { ASSERT_EQ(::link(t.at("a.jpg").c_str(), t.at(name).c_str()), 0); };
    };
    const struct {
        const char* what;
        std::function<void(T&)> setup;
        std::string from, to;
        int code;
        std::vector<std::pair<const char*, const char*>> after;  // name -> content, "" for none
    } rows[] = {
        {"onto another file", [](T& t) { t.make("b.jpg", "B"); }, "a.jpg", "b.jpg", EEXIST, {{"a.jpg", "A"}, {"b.jpg", "B"}}},
        {"onto a second name of the same file", hardLink("hard.jpg"), "a.jpg", "hard.jpg", EEXIST,
         {{"a.jpg", "A"}, {"hard.jpg", "A"}}},
        {"onto a folder", [](T& t) { ASSERT_EQ(::mkdir(t.at("dir.jpg").c_str(), 0755), 0); }, "a.jpg", "dir.jpg", EEXIST,
         {{"a.jpg", "A"}, {"dir.jpg", "?"}}},
        {"case only", none, "a.jpg", "A.JPG", 0, {{"a.jpg", ""}, {"A.JPG", "A"}}},
        {"case only onto a separate file", [](T& t) { t.make("A.jpg", "upper"); }, "a.jpg", "A.jpg", EEXIST,
         {{"a.jpg", "A"}, {"A.jpg", "upper"}}},
        {"case only onto a second name of the same file", hardLink("A.jpg"), "a.jpg", "A.jpg", EEXIST,
         {{"a.jpg", "A"}, {"A.jpg", "A"}}},
        {"into another folder", sub, "a.jpg", "sub/a.jpg", 0, {{"a.jpg", ""}, {"sub/a.jpg", "A"}}},
        {"into a missing folder", none, "a.jpg", "nofolder/a.jpg", ENOENT, {{"a.jpg", "A"}}},
        {"a folder", sub, "sub", "sub2", EISDIR, {{"sub", "?"}, {"sub2", ""}}},
        {"a missing file onto itself", none, "gone.jpg", "gone.jpg", ENOENT, {{"a.jpg", "A"}}},
        {"onto itself", none, "a.jpg", "a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, doubled slash", none, "a.jpg", "/a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, through .", none, "a.jpg", "./a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, through ..", sub, "a.jpg", "sub/../a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, through a linked folder",
         [](T& t) { ASSERT_EQ(::symlink(t.dir_.path().toUtf8().constData(), t.at("alias").c_str()), 0); }, "a.jpg",
         "alias/a.jpg", 0, {{"a.jpg", "A"}}},
        {".. after a linked folder is where the link leads",
         [](T& t) {
             ASSERT_EQ(::mkdir(t.at("sub").c_str(), 0755), 0);
             ASSERT_EQ(::mkdir(t.at("sub/inner").c_str(), 0755), 0);
             ASSERT_EQ(::symlink(t.at("sub/inner").c_str(), t.at("elink").c_str()), 0);
         },
         "a.jpg", "elink/../a.jpg", 0, {{"a.jpg", ""}, {"sub/a.jpg", "A"}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        QTemporaryDir fresh;
        dir_.swap(fresh);
        make("a.jpg", "A");
        struct stat before{};
        ASSERT_EQ(::stat(at("a.jpg").c_str(), &before), 0);
        r.setup(*this);
        EXPECT_EQ(fs.Move(at(r.from), at(r.to)).code, r.code);
        for (const auto& [name, text] : r.after) {
            SCOPED_TRACE(name);
            if (!*text) EXPECT_FALSE(exists(at(name)));
            else if (std::string_view(text) == "?") EXPECT_TRUE(exists(at(name)));
            else EXPECT_EQ(readAll(at(name)), text);
            struct stat st{};
            // Moved, or left, the file is the one it was: never a copy.
            if (std::string_view(text) == "A" && ::stat(at(name).c_str(), &st) == 0) EXPECT_EQ(st.st_ino, before.st_ino);
        }
        FolderInfo listed;
        ASSERT_TRUE(fs.GetFolder(dir_.path().toStdString(), listed).ok());
        for (const auto& n : listed.Files) EXPECT_FALSE(n.starts_with(".lorvane-")) << n;
    }
    // What a refusal says.
    const std::string a = make("a.jpg", "A"), b = make("b.jpg", "B");
    EXPECT_EQ(fs.Move(a, b).message(),
              "Unable to move the file \"" + a + "\" to \"" + b + "\" due to the following error: File exists");
    EXPECT_EQ(fs.Move(a, at("nofolder/a.jpg")).description, "No such file or directory");
}

TEST_F(FileServiceTest, MoveAcrossFileSystems) {
    struct stat tmpSt{}, shmSt{};
    if (::stat("/dev/shm", &shmSt) != 0 || ::stat(dir_.path().toUtf8().constData(), &tmpSt) != 0 ||
        shmSt.st_dev == tmpSt.st_dev)
        GTEST_SKIP() << "/dev/shm is missing or on the same file system as the temporary folder";
    QTemporaryDir other("/dev/shm/lorvane-test-XXXXXX");
    ASSERT_TRUE(other.isValid());
    const std::string there = other.path().toStdString();

    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 % 251);
    const std::string p = make("big.jpg", big);
    ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);

    // An existing destination: nothing is copied, nothing left over.
    writeFile(there + "/taken.jpg", "T");
    EXPECT_EQ(fs.Move(p, there + "/taken.jpg").code, EEXIST);
    EXPECT_EQ(readAll(there + "/taken.jpg"), "T");
    // A destination folder that does not exist.
    EXPECT_EQ(fs.Move(p, there + "/none/big.jpg").code, ENOENT);
    EXPECT_EQ(readAll(p), big);
    EXPECT_TRUE(leftovers(there).empty());

    ASSERT_TRUE(fs.Move(p, there + "/big.jpg").ok());
    EXPECT_FALSE(exists(p));
    EXPECT_EQ(readAll(there + "/big.jpg"), big);
    struct stat st{};
    ASSERT_EQ(::stat((there + "/big.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
    EXPECT_TRUE(leftovers(there).empty());

    // A copy that does not verify (this file reports size 0 but has content) is
    // abandoned: the original stays and no partial copy remains.
    if (exists("/proc/self/status")) {
        const FsError v = fs.Move("/proc/self/status", at("status"));
        EXPECT_EQ(v.description, "The copy does not have the size of the original");
        EXPECT_FALSE(exists(at("status")));
        EXPECT_TRUE(leftovers(dir_.path().toStdString()).empty());
        EXPECT_TRUE(exists("/proc/self/status"));
    }

    // And back again.
    ASSERT_TRUE(fs.Move(there + "/big.jpg", p).ok());
    EXPECT_EQ(readAll(p), big);
}

TEST_F(FileServiceTest, CopyKeepsExistingFilesUnlessAsked) {
    const std::string a = make("a.jpg", "new content"), b = make("b.jpg", "old");
    const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), times, 0), 0);

    const FsError e = fs.Copy(a, b, false);
    EXPECT_EQ(e.code, EEXIST);
    EXPECT_EQ(e.message(), "Unable to copy the file \"" + a + "\" to \"" + b +
                               "\" due to the following error: File exists");
    EXPECT_EQ(readAll(b), "old");

    ASSERT_TRUE(fs.Copy(a, b, true).ok());
    EXPECT_EQ(readAll(b), "new content");
    ASSERT_TRUE(fs.Copy(a, at("c.jpg"), false).ok());
    EXPECT_EQ(readAll(at("c.jpg")), "new content");
    EXPECT_EQ(readAll(a), "new content");
    struct stat st{};
    ASSERT_EQ(::stat(at("c.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);

    // Onto itself: refused, the file intact.
    EXPECT_TRUE(fs.Copy(a, a, true).failed());
    EXPECT_TRUE(fs.Copy(a, a, false).failed());
    EXPECT_EQ(readAll(a), "new content");
    EXPECT_EQ(fs.Copy(at("none.jpg"), at("d.jpg"), false).code, ENOENT);
    EXPECT_EQ(fs.Copy(a, at("nofolder/d.jpg"), false).code, ENOENT);
    EXPECT_TRUE(leftovers(dir_.path().toStdString()).empty());
}

TEST_F(FileServiceTest, RelativePathsWorkFromTheWorkingFolder) {
    make("r.jpg", "R");
    char saved[4096];
    ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(::chdir(dir_.path().toUtf8().constData()), 0);
    const bool copied = fs.Copy("r.jpg", "r2.jpg", false).ok();
    const bool moved = fs.Move("r2.jpg", "r3.jpg").ok();
    FileInfo f;
    const bool got = fs.GetFile("r3.jpg", f).ok();
    ASSERT_EQ(::chdir(saved), 0);
    EXPECT_TRUE(copied);
    EXPECT_TRUE(moved);
    ASSERT_TRUE(got);
    EXPECT_EQ(f.Path, at("r3.jpg"));
    EXPECT_EQ(readAll(at("r3.jpg")), "R");
    EXPECT_TRUE(leftovers(dir_.path().toStdString()).empty());
}

TEST_F(FileServiceTest, Delete) {
    const std::string p = make("d.jpg", "D");
    ASSERT_TRUE(fs.Delete(p).ok());
    EXPECT_FALSE(exists(p));
    const FsError e = fs.Delete(p);
    EXPECT_EQ(e.message(),
              "Unable to delete the file \"" + p + "\" due to the following error: No such file or directory");
    ASSERT_EQ(::mkdir(at("sub").c_str(), 0755), 0);
    EXPECT_EQ(fs.Delete(at("sub")).description, "Is a directory");
    EXPECT_TRUE(exists(at("sub")));
}

// A move by copy (another file system) or by link and unlink (a file system
// without no-replace rename) removes the old name only while it still holds the
// file that was moved. Another program saving over it meanwhile (write a new
// file, rename it over the old) keeps its file; the move fails and takes back
// its copy or link.
class MoveRaceTest : public FileServiceTest, public ::testing::WithParamInterface<FileSystemService::TestHooks> {
protected:
    void TearDown() override { FileSystemService::SetTestHooks({}); }
    // Hooks for this route, with what to do when the source is about to be removed.
    void route(std::function<void()> meanwhile) {
        FileSystemService::TestHooks hooks = GetParam();
        const std::string source = at("s.jpg");
        hooks.beforeRemovingSource = [source, meanwhile](const std::string& path) {
            if (path == source && meanwhile) meanwhile();
        };
        FileSystemService::SetTestHooks(std::move(hooks));
    }
};

TEST_P(MoveRaceTest, UntouchedSourceIsMoved) {
    const std::string s = make("s.jpg", "old");
    route({});
    ASSERT_TRUE(fs.Move(s, at("d.jpg")).ok());
    EXPECT_FALSE(exists(s));
    EXPECT_EQ(readAll(at("d.jpg")), "old");
    EXPECT_TRUE(leftovers(dir_.path().toStdString()).empty());
}

TEST_P(MoveRaceTest, SourceReplacedMeanwhileIsKept) {
    const std::string s = make("s.jpg", "old");
    route([&] {
        writeFile(at("s.jpg.tmp"), "newer");
        ASSERT_EQ(::rename(at("s.jpg.tmp").c_str(), s.c_str()), 0);
    });
    const FsError e = fs.Move(s, at("d.jpg"));
    EXPECT_EQ(e.code, EAGAIN);
    EXPECT_EQ(e.message(), "Unable to move the file \"" + s + "\" to \"" + at("d.jpg") +
                               "\" due to the following error: The file was replaced by another program during "
                               "the move; both files were left as they were");
    EXPECT_EQ(readAll(s), "newer");
    EXPECT_FALSE(exists(at("d.jpg")));
    EXPECT_TRUE(leftovers(dir_.path().toStdString()).empty());
}

TEST_P(MoveRaceTest, SourceRemovedMeanwhileLeavesNoCopy) {
    const std::string s = make("s.jpg", "old");
    route([&] { ASSERT_EQ(::unlink(s.c_str()), 0); });
    EXPECT_EQ(fs.Move(s, at("d.jpg")).code, EAGAIN);
    EXPECT_FALSE(exists(at("d.jpg")));
}

INSTANTIATE_TEST_SUITE_P(Routes, MoveRaceTest,
                         ::testing::Values(FileSystemService::TestHooks{true, false, {}},
                                           FileSystemService::TestHooks{false, true, {}}),
                         [](const ::testing::TestParamInfo<FileSystemService::TestHooks>& info) {
                             return std::string(info.param.copyAcrossFileSystems ? "Copy" : "LinkThenUnlink");
                         });

// The copy's route also notices a source written in place after it was copied.
TEST_F(FileServiceTest, MoveByCopyKeepsASourceChangedInPlace) {
    const std::string s = make("s.jpg", "old");
    FileSystemService::SetTestHooks({true, false, [&](const std::string& path) {
                                         if (path == s) writeFile(s, "old and more");
                                     }});
    const FsError e = fs.Move(s, at("d.jpg"));
    FileSystemService::SetTestHooks({});
    EXPECT_EQ(e.code, EAGAIN);
    EXPECT_EQ(readAll(s), "old and more");
    EXPECT_FALSE(exists(at("d.jpg")));
}

// The system would read a path only up to a NUL byte: "a.jpg\0x" would reach
// "a.jpg". Every call refuses such a path and touches nothing.
TEST_F(FileServiceTest, PathsWithNulAreRefused) {
    const std::string a = make("a.jpg", "A");
    const std::string cut = a + std::string("\0x", 2);
    const std::string newCut = at(std::string("b.jpg\0x", 7));
    const std::string folderCut = dir_.path().toStdString() + std::string("\0/x", 3);
    const std::string nulText = "The path contains a NUL character";
    FileInfo f;
    FolderInfo folder;
    std::size_t files = 0;
    std::vector<std::string> subFolders;
    const OpenFolder open(folderCut);
    struct Case {
        const char* what;
        FsError e;
    } cases[] = {
        {"move from", fs.Move(cut, at("b.jpg"))},
        {"move to", fs.Move(a, newCut)},
        {"copy from", fs.Copy(cut, at("b.jpg"), false)},
        {"copy to", fs.Copy(a, newCut, true)},
        {"delete", fs.Delete(cut)},
        {"get file", fs.GetFile(cut, f)},
        {"get file by folder", fs.GetFile(open, "a.jpg", f)},
        {"get file by name", fs.GetFile(OpenFolder(dir_.path().toStdString()), std::string("a.jpg\0x", 7), f)},
        {"get folder", fs.GetFolder(folderCut, folder)},
        {"count folder", fs.CountFolder(folderCut, files, subFolders)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.e.code, EINVAL) << c.what;
        EXPECT_EQ(c.e.description, nulText) << c.what;
    }
    EXPECT_FALSE(fs.FileExists(cut));
    EXPECT_FALSE(fs.FolderExists(folderCut));
    EXPECT_EQ(readAll(a), "A");
    EXPECT_FALSE(exists(at("b.jpg")));
    FolderInfo after;
    ASSERT_TRUE(fs.GetFolder(dir_.path().toStdString(), after).ok());
    EXPECT_EQ(after.Files, std::vector<std::string>{"a.jpg"});
}

// A name that is not UTF-8 (0xFE) beside the name its display text reads as
// (U+FFFD): every call reaches the file its bytes name.
TEST_F(FileServiceTest, NamesThatAreNotUtf8ReachTheirOwnFile) {
    const std::string bad = "\xFE.jpg", lookAlike = "\xEF\xBF\xBD.jpg";
    make(bad, "bytes");
    make(lookAlike, "replacement");
    const std::string folder = dir_.path().toStdString();

    FolderInfo listing;
    ASSERT_TRUE(fs.GetFolder(folder, listing).ok());
    ASSERT_EQ(listing.Files.size(), 2u);
    EXPECT_NE(std::find(listing.Files.begin(), listing.Files.end(), bad), listing.Files.end());
    EXPECT_TRUE(fs.FileExists(at(bad)));
    FileInfo f;
    ASSERT_TRUE(fs.GetFile(at(bad), f).ok());
    EXPECT_EQ(f.Name, bad);
    EXPECT_EQ(f.Size, 5);
    ASSERT_TRUE(fs.GetFile(OpenFolder(folder), bad, f).ok());
    EXPECT_EQ(f.Path, at(bad));
    EXPECT_EQ(f.Size, 5);

    // Moving one onto the other is refused, not taken for a change of letter case.
    EXPECT_EQ(fs.Move(at(bad), at(lookAlike)).code, EEXIST);
    ASSERT_EQ(::link(at(bad).c_str(), at("\xFF.jpg").c_str()), 0);
    EXPECT_EQ(fs.Move(at(bad), at("\xFF.jpg")).code, EEXIST);
    ASSERT_EQ(::unlink(at("\xFF.jpg").c_str()), 0);

    ASSERT_TRUE(fs.Copy(at(bad), at("copy.jpg"), false).ok());
    EXPECT_EQ(readAll(at("copy.jpg")), "bytes");
    ASSERT_TRUE(fs.Move(at(bad), at("moved\xFE.jpg")).ok());
    EXPECT_EQ(readAll(at("moved\xFE.jpg")), "bytes");
    FileSystemService::SetTestHooks({true, false, {}});
    const bool movedBack = fs.Move(at("moved\xFE.jpg"), at(bad)).ok();
    FileSystemService::SetTestHooks({});
    ASSERT_TRUE(movedBack);
    EXPECT_EQ(readAll(at(bad)), "bytes");
    ASSERT_TRUE(fs.Delete(at(bad)).ok());
    EXPECT_FALSE(exists(at(bad)));
    EXPECT_EQ(readAll(at(lookAlike)), "replacement");
}

}  // namespace
}  // namespace lorvane
