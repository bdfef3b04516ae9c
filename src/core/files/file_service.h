// The file-system service: the one object through which every window tests,
// lists, renames, copies, moves and deletes files and folders.
//
// Paths are byte strings as Linux has them (UTF-8 in practice, any bytes but NUL).
// Folder paths carry no trailing slash except the root "/". A path holding a NUL
// byte is refused by every call, since the system would read it cut short. Failures come back as an FsError whose
// description is the platform's own text for the error (strerror), so that the
// callers can put it into their messages.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/dates.h"

namespace lorvane {

struct FsError {
    int code = 0;              // errno value; 0 for success
    std::string operation;     // "move", "copy", "delete", "read"
    std::string path;          // the file or folder operated on
    std::string destination;   // move and copy: where it was going
    std::string description;   // the platform's description, e.g. "File exists"

    bool ok() const { return code == 0; }
    bool failed() const { return code != 0; }
    // "Unable to move the file "/a/b.jpg" to "/a/c.jpg" due to the following error: File exists"
    std::string message() const;
};

struct FileInfo {
    std::string Name;           // with its extension, without a folder
    std::string ParentFolder;   // path of the folder that holds the file
    std::string Path;           // ParentFolder, "/" and Name
    std::string Type;           // human-readable type description
    std::int64_t Size = 0;      // bytes
    DateTime DateCreated{};     // local time, whole seconds
    DateTime DateLastModified{};
};

struct FolderInfo {
    std::string Path;                     // no trailing slash except "/"
    std::vector<std::string> Files;       // names of the regular files directly in the folder
    std::vector<std::string> SubFolders;  // names of the folders directly in it (symbolic links excluded)

    std::size_t Count() const { return Files.size(); }
};

// Whether two names differ at most in letter case (never for names that are not UTF-8).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// Folder and name joined with one "/" (the root keeps its single slash).
std::string JoinPath(std::string_view folder, std::string_view name);
// Absolute against the working folder, with "." and doubled or trailing slashes
// removed and symbolic links kept as written. ".." means what the kernel makes of
// it: the parent of where the path so far leads, so "a/link/.." is the folder
// holding the link's target, not "a". A ".." after a part that does not lead to a
// folder stays, for the kernel to refuse when the path is used.
std::string CleanPath(std::string_view path);

// A folder's listing read a part at a time (FileSystem::ReadFolderPart), so that
// the next folder of a walk can be read in pieces between other work. Once done,
// folder holds what GetFolder gives, or error says why there is none.
class FolderReading {
public:
    explicit FolderReading(std::string path);
    ~FolderReading();
    FolderReading(const FolderReading&) = delete;
    FolderReading& operator=(const FolderReading&) = delete;

    const std::string& path() const { return path_; }
    bool done() const { return done_; }
    FsError error;
    FolderInfo folder;

private:
    friend class FileSystem;
    friend class FileSystemService;
    struct Stream;  // the open folder, in the service's own terms
    std::string path_;
    std::unique_ptr<Stream> stream_;
    bool done_ = false;
    // The folder's last change when the reading began, and whether that was long
    // enough before it for a later change to show as a different time.
    std::int64_t changedNs_ = 0;
    bool stampTrusted_ = false;
};

// A folder held open while the files of its listing are read one after another.
class OpenFolder {
public:
    // path as FolderInfo gives it (clean); not open when it cannot be opened, and
    // then reading its files goes by their paths.
    explicit OpenFolder(std::string_view path);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }  // -1 when not open

private:
    std::string path_;
    int fd_ = -1;
};

// While one of these lives, this thread's renames and LookAtEntry reach a name
// from its folder held open rather than by walking the whole path again, the
// last folder used being kept: a batch run renames thousands of files in one
// folder. The folder is taken to stay where it is meanwhile; it is closed when
// the last hold goes, so nothing keeps a folder (or its file system) busy after.
class FolderHold {
public:
    FolderHold();
    ~FolderHold();
    FolderHold(const FolderHold&) = delete;
    FolderHold& operator=(const FolderHold&) = delete;
};

// lstat: the entry at path itself (a link is not followed), through a FolderHold's
// folder when one is held. False when there is none (errno says why).
bool LookAtEntry(const std::string& path, struct ::stat& st);

// What the rest of the program needs of the file system. The service below is
// the real one; tests hand in a fake that can fail a chosen operation.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Never fail. A symbolic link counts as what it points to.
    virtual bool FileExists(std::string_view path) const = 0;
    virtual bool FolderExists(std::string_view path) const = 0;
    // Whether anything at all has that path: a file, a folder, a FIFO, a symbolic
    // link even to nothing. Such a path is taken for a rename that never replaces.
    virtual bool EntryExists(std::string_view path) const = 0;

    virtual FsError GetFile(std::string_view path, FileInfo& file) const = 0;
    // The same for a name straight from a listing of an open folder (one of its
    // Files): the path needs no cleaning, the file is found from the folder rather
    // than by walking the whole path again, and file's strings are reused in place.
    virtual FsError GetFile(const OpenFolder& folder, std::string_view name, FileInfo& file) const = 0;
    // What a row of a listing needs of one of its files: that it is a regular file
    // (or a link to one), and its size; its dates are not read.
    virtual FsError GetFileSize(const OpenFolder& folder, std::string_view name, std::int64_t& size) const;
    // Files and subfolders in name order, ignoring letter case (ties in byte order),
    // so that a folder lists the same way on every run.
    virtual FsError GetFolder(std::string_view path, FolderInfo& folder) const = 0;
    // Reads about `entries` more entries of the reading's folder (here all of them
    // at once: the service reads a part at a time); true once the reading is done.
    virtual bool ReadFolderPart(FolderReading& reading, std::size_t entries) const;
    // Whether the reading's folder may have changed since the reading began, so
    // that a listing read ahead is read again (here always: nothing tells).
    virtual bool FolderChangedSince(const FolderReading& reading) const;
    // What counting needs of a folder, from the same entries as GetFolder: the
    // number of its files (left unsorted, which is most of the cost) and its
    // subfolders in GetFolder's order.
    virtual FsError CountFolder(std::string_view path, std::size_t& files,
                                std::vector<std::string>& subFolders) const = 0;

    // Renames or moves a file. Never replaces an existing file. A destination that
    // is the file's own path succeeds and changes nothing; one that differs only in
    // letter case renames even where the file system ignores case. Across file
    // systems the file is copied, verified and only then removed at the source;
    // any failure leaves the source as it was and no partial copy behind.
    virtual FsError Move(std::string_view source, std::string_view destination) const = 0;
    // Copies a file (content, permissions, last-modified time). An existing
    // destination makes it fail unless overwrite is true; the copy appears under
    // its name only once complete and verified.
    virtual FsError Copy(std::string_view source, std::string_view destination, bool overwrite) const = 0;
    virtual FsError Delete(std::string_view path) const = 0;
    // Moves a file into the desktop's trash (the freedesktop.org trash: the home
    // trash for files on its file system, else the trash at the top of the file's
    // own file system), from where it can be restored. Fails, leaving the file,
    // where there is no trash to reach.
    virtual FsError Trash(std::string_view path) const = 0;
    // Makes a symbolic link at linkPath pointing at target; never replaces an entry.
    virtual FsError Link(std::string_view target, std::string_view linkPath) const = 0;

    // Description shown in the "Type" column for a file name: by its last
    // extension, "<EXT> File" for an unknown one, "File" without one.
    virtual std::string TypeDescription(std::string_view fileName) const = 0;
};

// Splits a file path into the full path of its folder (no trailing separator,
// except the root) and its name, byte for byte; a path the file system cannot
// read still splits at its last slash.
void SplitFilePath(const FileSystem& files, std::string_view path, std::string& folder, std::string& name);

class FileSystemService final : public FileSystem {
public:
    // The program-wide object.
    static FileSystemService& Instance();

    bool FileExists(std::string_view path) const override;
    bool FolderExists(std::string_view path) const override;
    bool EntryExists(std::string_view path) const override;
    FsError GetFile(std::string_view path, FileInfo& file) const override;
    FsError GetFile(const OpenFolder& folder, std::string_view name, FileInfo& file) const override;
    FsError GetFileSize(const OpenFolder& folder, std::string_view name, std::int64_t& size) const override;
    FsError GetFolder(std::string_view path, FolderInfo& folder) const override;
    bool ReadFolderPart(FolderReading& reading, std::size_t entries) const override;
    bool FolderChangedSince(const FolderReading& reading) const override;
    FsError CountFolder(std::string_view path, std::size_t& files, std::vector<std::string>& subFolders) const override;
    FsError Move(std::string_view source, std::string_view destination) const override;
    FsError Copy(std::string_view source, std::string_view destination, bool overwrite) const override;
    FsError Delete(std::string_view path) const override;
    FsError Trash(std::string_view path) const override;
    FsError Link(std::string_view target, std::string_view linkPath) const override;
    std::string TypeDescription(std::string_view fileName) const override;

    // For tests: reaching the routes a move takes on other file systems, and a
    // moment at which another program could replace the source.
    struct TestHooks {
        bool copyAcrossFileSystems = false;  // move by copy even within one file system
        bool renameWithoutNoReplace = false;  // as where the kernel lacks the flag: link, then unlink
        // After the file is linked or copied to its new name, before the old name is removed.
        std::function<void(const std::string& source)> beforeRemovingSource;
        bool homeTrashOnly = false;  // as where no file system but the home's has a trash
    };
    static void SetTestHooks(TestHooks hooks);

private:
    FileSystemService() = default;
    // TypeDescription's answer for an extension, from the table shared by the threads.
    std::string typeOfExtension(std::string_view extension) const;

    mutable std::mutex typeMutex_;
    mutable std::unordered_map<std::string, std::string> typeCache_;  // lower-case extension -> description
};

}  // namespace lorvane
