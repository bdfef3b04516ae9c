#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}
std::string unreadable(const std::string& path, const char* why = "No such file or directory") {
    return "Unable to read \"" + path + "\" due to the following error: " + why;
}
// The fields of a file in one line, to compare two reads of it.
std::string fields(const FileInfo& f) {
    return f.Name + "|" + f.ParentFolder + "|" + f.Path + "|" + f.Type + "|" + std::to_string(f.Size) + "|" +
           std::to_string(f.DateCreated.time_since_epoch().count()) + "|" +
           std::to_string(f.DateLastModified.time_since_epoch().count());
}

class FileServiceTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string root() const { return dir_.path().toStdString(); }
    std::string at(const std::string& name) const { return root() + "/" + name; }
    std::string make(const std::string& name, const std::string& content) {
        writeFile(at(name), content);
        return at(name);
    }
    void mkdir(const std::string& name) { ASSERT_EQ(::mkdir(at(name).c_str(), 0755), 0); }
    void link(const std::string& to, const std::string& name) { ASSERT_EQ(::symlink(to.c_str(), at(name).c_str()), 0); }
    // Names in the folder that our own copies use while unfinished.
    std::vector<std::string> leftovers(const std::string& folder = {}) {
        FolderInfo info;
        std::vector<std::string> found;
        fs.GetFolder(folder.empty() ? root() : folder, info);
        for (const auto& n : info.Files)
            if (n.starts_with(".lorvane-")) found.push_back(n);
        return found;
    }
    FileSystemService& fs = FileSystemService::Instance();
    QTemporaryDir dir_;
};

TEST_F(FileServiceTest, CleanPathResolvesDotDotAsTheKernelDoes) {
    // Parts that do not exist: "." and slashes go, ".." stays for the kernel to refuse.
    const struct {
        const char *in, *out;
    } plain[] = {
        {"/", "/"}, {"//", "/"}, {"/..", "/"}, {"/../..", "/"}, {"/nonexistent-a/b/", "/nonexistent-a/b"},
        {"/nonexistent-a//b", "/nonexistent-a/b"}, {"/nonexistent-a/./b", "/nonexistent-a/b"},
        {"/nonexistent-a/../b", "/nonexistent-a/../b"}, {"/nonexistent-a/b/..", "/nonexistent-a/b/.."},
        {"/nonexistent-a/../..", "/nonexistent-a/../.."}, {"/x/{DT=2004}.jpg", "/x/{DT=2004}.jpg"},
    };
    for (const auto& c : plain) EXPECT_EQ(CleanPath(c.in), c.out) << c.in;
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinPath("/x", "a.jpg"), "/x/a.jpg");

    // ".." is where the kernel goes: after a link to a folder, the parent of its target
    // (a path without links); after a plain folder, the folder before it, earlier links kept.
    char* realRoot = ::realpath(root().c_str(), nullptr);
    ASSERT_NE(realRoot, nullptr);
    const std::string real = realRoot;
    std::free(realRoot);
    for (const char* f : {"a", "elsewhere", "elsewhere/target", "elsewhere/target/sub"}) mkdir(f);
    link(at("elsewhere/target"), "a/link");
    link("../elsewhere/target", "a/rel");
    make("elsewhere/mark.jpg", "E");
    make("a/mark.jpg", "A");
    const struct {
        std::string in, out;
    } cases[] = {
        {at("a/link/.."), real + "/elsewhere"},
        {at("a/link/../mark.jpg"), real + "/elsewhere/mark.jpg"},
        {at("a/rel/.."), real + "/elsewhere"},
        {at("a/link/../../a"), real + "/a"},
        {at("a/link//./sub/.."), at("a/link")},  // a plain folder after the link: the link stays
        {at("a/link/sub"), at("a/link/sub")},    // links are otherwise kept as written
        {at("a/link/"), at("a/link")},
        {at("a/mark.jpg/.."), at("a/mark.jpg/..")},  // not a folder: the kernel refuses it
        {at("a/missing/.."), at("a/missing/..")},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanPath(c.in), c.out) << c.in;
    // The file reached is the one the cleaned path names.
    FileInfo f;
    ASSERT_TRUE(fs.GetFile(at("a/link/../mark.jpg"), f).ok());
    EXPECT_EQ(f.Path + readAll(f.Path), real + "/elsewhere/mark.jpgE");
}

// Letter case is folded the Unicode way and compared by UTF-16 code unit, for ASCII and
// other names alike and for the two mixed; what is not a file or folder is left out.
TEST_F(FileServiceTest, ListingSortsIgnoringCaseAndSkipsWhatIsNotAFileOrFolder) {
    const std::vector<std::string> sorted = {
        ".hidden", "_x.txt", "_\u00e9.txt", "A.txt",  // 'A' as 'a', after '_', also beside other letters
        "Ab.txt", "ab.txt", "A\u00e9.txt",            // equal but for case: byte order
        "eve.txt", "link.txt", "link.txx", "long-name-2004-a.txt",  // letter case past eight equal bytes:
        "LONG-NAME-2004-B.txt", "long-name-2004-b.txt",             // equal but for case again
        "STRASSE.txt", "Straße.txt", "Zed.txt",                      // 's' before the unfolded 'ß'
        "\u00e9", "\u00c9a",  // equal as far as the shorter goes: the shorter first, whatever the bytes
        "ÉCOLE.txt", "émile.txt", "über.txt",  // é and É fold together, after every ASCII letter
        "\xF0\x9F\x98\x80.txt",  // U+1F600 as a surrogate pair sorts before U+FF21
        "\xEF\xBC\xA1.txt",      // fullwidth A
    };
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        if (*it != "link.txt") make(*it, "x");
    for (const char* f : {"Sub", "another"}) mkdir(f);
    make("Sub/inner.txt", "i");
    link(at("A.txt"), "link.txt");
    link(at("Sub"), "linkdir");
    link(at("nowhere"), "dangling");
    ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);

    FolderInfo f;
    ASSERT_TRUE(fs.GetFolder(root() + "/", f).ok());
    EXPECT_EQ(f.Path, root());
    EXPECT_EQ(f.Files, sorted);
    EXPECT_EQ(f.Count(), sorted.size());
    EXPECT_EQ(f.SubFolders, (std::vector<std::string>{"another", "Sub"}));
    // Counting sees the same entries.
    std::size_t files = 0;
    std::vector<std::string> subFolders{"stale"};
    ASSERT_TRUE(fs.CountFolder(root(), files, subFolders).ok());
    EXPECT_EQ(files, sorted.size());
    EXPECT_EQ(subFolders, f.SubFolders);
    EXPECT_EQ(fs.CountFolder(at("nope"), files, subFolders).message(), unreadable(at("nope")));
    FolderInfo missing;
    EXPECT_EQ(fs.GetFolder(at("nope"), missing).message(), unreadable(at("nope")));
    EXPECT_EQ(fs.GetFolder(at("A.txt"), missing).code, ENOTDIR);
}

TEST_F(FileServiceTest, FileFieldsByPathAndByOpenFolder) {
    const std::string p = make("{DT=2004-07-15}.jpg", std::string(3000, 'x'));
    std::tm lt{};  // a known local time, as the file's last-modified time
    lt.tm_year = 2004 - 1900, lt.tm_mon = 6, lt.tm_mday = 15, lt.tm_hour = 14, lt.tm_min = 30, lt.tm_sec = 5;
    lt.tm_isdst = -1;
    const struct timespec times[2] = {{std::mktime(&lt), 0}, {std::mktime(&lt), 999999999}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);

    FileInfo f;
    ASSERT_TRUE(fs.GetFile(root() + "//./{DT=2004-07-15}.jpg", f).ok());
    EXPECT_EQ(f.Name + "|" + f.ParentFolder + "|" + f.Path, "{DT=2004-07-15}.jpg|" + root() + "|" + p);
    EXPECT_EQ(f.Size, 3000);
    EXPECT_EQ(f.DateLastModified, sys_days{2004y / 7 / 15} + 14h + 30min + 5s);  // fraction dropped
    // Birth time where the file system keeps one (just now), else no later than the content change.
    EXPECT_TRUE(f.DateCreated == f.DateLastModified || f.DateCreated > sys_days{2020y / 1 / 1});
    EXPECT_NE(f.Type.find("JPEG"), std::string::npos) << f.Type;

    // By open folder and name, as a listing gives them; a name that is not a plain name is a path.
    const OpenFolder folder(root());
    ASSERT_GE(folder.descriptor(), 0);
    FileInfo g;
    g.Path = "left over from another file";
    for (const char* name : {"{DT=2004-07-15}.jpg", "./{DT=2004-07-15}.jpg"}) {
        ASSERT_TRUE(fs.GetFile(folder, name, g).ok());
        EXPECT_EQ(fields(g), fields(f)) << name;
    }
    EXPECT_EQ(fs.GetFile(folder, "none.jpg", g).message(), unreadable(at("none.jpg")));
    mkdir("d");
    EXPECT_EQ(fs.GetFile(at("d"), g).description, "Is a directory");
    EXPECT_EQ(fs.GetFile(folder, "d", g).description, "Is a directory");

    // Only the last extension counts, in any case.
    EXPECT_EQ(fs.TypeDescription("a.zqxw") + fs.TypeDescription("b.tar.ZqXw"), "ZQXW FileZQXW File");
    for (const char* name : {"plainname", "trailingdot.", ".hidden"}) EXPECT_EQ(fs.TypeDescription(name), "File");
}

// A move takes only a free name, or its own; refused, every name keeps what it
// held. Each row starts from a.jpg holding "A"; "?" in after is any entry.
TEST_F(FileServiceTest, MoveTakesOnlyAFreeName) {
    using T = FileServiceTest;
    const auto none = [](T&) {};
    const auto sub = [](T& t) { t.mkdir("sub"); };
    const auto file = [](const char* name, const char* text) { return [=](T& t) { t.make(name, text); }; };
    const auto hard = [](const char* name) {
        return [=](T& t) { ASSERT_EQ(::link(t.at("a.jpg").c_str(), t.at(name).c_str()), 0); };
    };
    const struct {
        const char* what;
        std::function<void(T&)> setup;
        std::string from, to;
        int code;
        std::vector<std::pair<const char*, const char*>> after;  // name -> content, "" for none
    } rows[] = {
        {"onto another file", file("b.jpg", "B"), "a.jpg", "b.jpg", EEXIST, {{"a.jpg", "A"}, {"b.jpg", "B"}}},
        {"onto a second name of the file", hard("h.jpg"), "a.jpg", "h.jpg", EEXIST, {{"a.jpg", "A"}, {"h.jpg", "A"}}},
        {"onto a second name of the file in another folder", [&](T& t) { sub(t), hard("sub/a.jpg")(t); }, "a.jpg",
         "sub/a.jpg", EEXIST, {{"a.jpg", "A"}, {"sub/a.jpg", "A"}}},
        {"onto a folder", [](T& t) { t.mkdir("d.jpg"); }, "a.jpg", "d.jpg", EEXIST, {{"a.jpg", "A"}, {"d.jpg", "?"}}},
        {"case only", none, "a.jpg", "A.JPG", 0, {{"a.jpg", ""}, {"A.JPG", "A"}}},
        {"case only onto another file", file("A.jpg", "u"), "a.jpg", "A.jpg", EEXIST, {{"a.jpg", "A"}, {"A.jpg", "u"}}},
        {"case only onto a second name", hard("A.jpg"), "a.jpg", "A.jpg", EEXIST, {{"a.jpg", "A"}, {"A.jpg", "A"}}},
        {"into another folder", sub, "a.jpg", "sub/a.jpg", 0, {{"a.jpg", ""}, {"sub/a.jpg", "A"}}},
        {"into a missing folder", none, "a.jpg", "nofolder/a.jpg", ENOENT, {{"a.jpg", "A"}}},
        {"a folder", sub, "sub", "sub2", EISDIR, {{"sub", "?"}, {"sub2", ""}}},
        {"a missing file onto itself", none, "gone.jpg", "gone.jpg", ENOENT, {{"a.jpg", "A"}}},
        {"onto itself", none, "a.jpg", "a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, through ..", sub, "a.jpg", "sub/../a.jpg", 0, {{"a.jpg", "A"}}},
        {"onto itself, through a linked folder", [](T& t) { t.link(t.root(), "alias"); }, "a.jpg", "alias/a.jpg", 0,
         {{"a.jpg", "A"}}},
        {".. after a linked folder is where the link leads",
         [](T& t) { t.mkdir("sub"), t.mkdir("sub/inner"), t.link(t.at("sub/inner"), "elink"); }, "a.jpg",
         "elink/../a.jpg", 0, {{"a.jpg", ""}, {"sub/a.jpg", "A"}}},
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
            // Moved, or left, the file is the one it was: never a copy.
            struct stat st{};
            if (std::string_view(text) == "A" && ::stat(at(name).c_str(), &st) == 0) {
                EXPECT_EQ(st.st_ino, before.st_ino);
            }
        }
        EXPECT_TRUE(leftovers().empty());
    }
    const std::string a = make("a.jpg", "A"), b = make("b.jpg", "B");
    EXPECT_EQ(fs.Move(a, b).message(),
              "Unable to move the file \"" + a + "\" to \"" + b + "\" due to the following error: File exists");
}

TEST_F(FileServiceTest, CopyKeepsExistingFilesAndDeleteTakesOnlyFiles) {
    const std::string a = make("a.jpg", "new content"), b = make("b.jpg", "old");
    const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, a.c_str(), times, 0), 0);
    EXPECT_EQ(fs.Copy(a, b, false).message(),
              "Unable to copy the file \"" + a + "\" to \"" + b + "\" due to the following error: File exists");
    EXPECT_EQ(readAll(b), "old");
    ASSERT_TRUE(fs.Copy(a, at("c.jpg"), false).ok());
    EXPECT_EQ(readAll(at("c.jpg")), "new content");
    struct stat st{};
    ASSERT_EQ(::stat(at("c.jpg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
    // Onto itself: refused, the file intact.
    EXPECT_TRUE(fs.Copy(a, a, false).failed());
    EXPECT_EQ(readAll(a), "new content");
    EXPECT_EQ(fs.Copy(at("none.jpg"), at("d.jpg"), false).code, ENOENT);
    EXPECT_EQ(fs.Copy(a, at("nofolder/d.jpg"), false).code, ENOENT);
    EXPECT_EQ(fs.Copy("", at("d.jpg"), false).code, ENOENT);
    // A copy that does not verify (this file reports size 0 but has content) is
    // abandoned: the original stays and no partial copy remains.
    if (exists("/proc/self/status")) {
        EXPECT_EQ(fs.Move("/proc/self/status", at("status")).description,
                  "The copy does not have the size of the original");
    }
    EXPECT_FALSE(exists(at("status")));
    EXPECT_TRUE(leftovers().empty());

    ASSERT_TRUE(fs.Delete(a).ok());
    EXPECT_FALSE(exists(a));
    EXPECT_EQ(fs.Delete(a).message(),
              "Unable to delete the file \"" + a + "\" due to the following error: No such file or directory");
    mkdir("sub");
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
};

TEST_P(MoveRaceTest, TheSourceIsRemovedOnlyWhileItIsTheFileMoved) {
    const struct {
        const char* what;
        std::function<void(MoveRaceTest&, const std::string&)> meanwhile;
        int code;
        const char* source;  // its content after, "" for none
    } rows[] = {
        {"untouched", nullptr, 0, ""},
        {"replaced", [](MoveRaceTest& t, const std::string& s) {
             writeFile(t.at("s.jpg.tmp"), "newer");
             ASSERT_EQ(::rename(t.at("s.jpg.tmp").c_str(), s.c_str()), 0);
         }, EAGAIN, "newer"},
        {"removed", [](MoveRaceTest&, const std::string& s) { ASSERT_EQ(::unlink(s.c_str()), 0); }, EAGAIN, ""},
        // Only a copy can tell: a link is the file itself.
        {"written in place", [](MoveRaceTest&, const std::string& s) { writeFile(s, "old and more"); }, EAGAIN,
         "old and more"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        if (!GetParam().copyAcrossFileSystems && *r.source == 'o') continue;
        const std::string s = make("s.jpg", "old" + std::string(3 << 20, 'x'));
        const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, s.c_str(), times, 0), 0);
        ASSERT_EQ(::chmod(s.c_str(), 0640), 0);
        FileSystemService::TestHooks hooks = GetParam();
        hooks.beforeRemovingSource = [&](const std::string& path) {
            if (path == s && r.meanwhile) r.meanwhile(*this, s);
        };
        FileSystemService::SetTestHooks(std::move(hooks));
        const FsError e = fs.Move(s, at("d.jpg"));
        FileSystemService::SetTestHooks({});
        EXPECT_EQ(e.code, r.code);
        EXPECT_EQ(exists(at("d.jpg")), r.code == 0);
        if (*r.source) EXPECT_EQ(readAll(s).substr(0, 12), r.source);
        else EXPECT_FALSE(exists(s));
        EXPECT_TRUE(leftovers().empty());
        if (r.code == EAGAIN && *r.source == 'n') {
            EXPECT_EQ(e.message(), "Unable to move the file \"" + s + "\" to \"" + at("d.jpg") +
                                       "\" due to the following error: The file was replaced by another program during "
                                       "the move; both files were left as they were");
        }
        if (r.code == 0) {  // the moved file keeps its mode and time
            struct stat st{};
            ASSERT_EQ(::stat(at("d.jpg").c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0640u);
            EXPECT_EQ(st.st_mtim.tv_sec, 1100000000);
            EXPECT_EQ(readAll(at("d.jpg")), "old" + std::string(3 << 20, 'x'));
        }
        ::unlink(at("d.jpg").c_str());
        ::unlink(s.c_str());
    }
}

// A case-only move steps aside through a free name; a file put in place of the source
// meanwhile is kept, and the refusal says so.
TEST_F(FileServiceTest, ACaseOnlyMoveStepsAsideAndKeepsAFileThatReplacedTheSource) {
    const std::string a = make("a.jpg", "A");
    ASSERT_EQ(::link(a.c_str(), at("A.jpg").c_str()), 0);  // as a file system that ignores case sees it
    FileSystemService::SetTestHooks({false, true, [&](const std::string& path) {
                                         if (path != a) return;
                                         writeFile(at("n.tmp"), "new");
                                         ::rename(at("n.tmp").c_str(), a.c_str());
                                     }});
    const FsError e = fs.Move(a, at("A.jpg"));
    FileSystemService::SetTestHooks({});
    EXPECT_EQ(e.code, EAGAIN);
    EXPECT_NE(e.message().find("was replaced by another program"), std::string::npos) << e.message();
    EXPECT_EQ(readAll(a) + readAll(at("A.jpg")), "newA");
    EXPECT_TRUE(leftovers().empty());
}

// On either route a taken name, or a missing folder, refuses the move and copies nothing.
TEST_P(MoveRaceTest, TakesOnlyAFreeName) {
    const std::string s = make("s.jpg", "S"), d = make("d.jpg", "D");
    FileSystemService::SetTestHooks(GetParam());
    EXPECT_EQ(fs.Move(s, d).code, EEXIST);
    EXPECT_EQ(fs.Move(s, at("none/d.jpg")).code, ENOENT);
    FileSystemService::SetTestHooks({});
    EXPECT_EQ(readAll(s) + readAll(d), "SD");
    EXPECT_TRUE(leftovers().empty());
}

INSTANTIATE_TEST_SUITE_P(Routes, MoveRaceTest,
                         ::testing::Values(FileSystemService::TestHooks{true, false, {}},
                                           FileSystemService::TestHooks{false, true, {}}),
                         [](const auto& i) { return std::string(i.param.copyAcrossFileSystems ? "Copy" : "Link"); });

// The system would read a path only up to a NUL byte: "a.jpg\0x" would reach
// "a.jpg". Every call refuses such a path and touches nothing.
TEST_F(FileServiceTest, PathsWithNulAreRefused) {
    const std::string a = make("a.jpg", "A"), cut = a + std::string("\0x", 2), newCut = at(std::string("b.jpg\0x", 7));
    const std::string folderCut = root() + std::string("\0/x", 3);
    FileInfo f;
    FolderInfo folder;
    std::size_t files = 0;
    std::vector<std::string> subFolders;
    const FsError errors[] = {
        fs.Move(cut, at("b.jpg")), fs.Move(a, newCut), fs.Copy(cut, at("b.jpg"), false), fs.Copy(a, newCut, true),
        fs.Delete(cut), fs.GetFile(cut, f), fs.GetFile(OpenFolder(folderCut), "a.jpg", f),
        fs.GetFile(OpenFolder(root()), std::string("a.jpg\0x", 7), f), fs.GetFolder(folderCut, folder),
        fs.CountFolder(folderCut, files, subFolders),
    };
    for (const FsError& e : errors)
        EXPECT_EQ(e.description + " " + std::to_string(e.code), "The path contains a NUL character 22") << &e - errors;
    EXPECT_FALSE(fs.FileExists(cut));
    EXPECT_FALSE(fs.FolderExists(folderCut));
    ASSERT_TRUE(fs.GetFolder(root(), folder).ok());
    EXPECT_EQ(folder.Files, std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(readAll(a), "A");
}

}  // namespace
}  // namespace lorvane
