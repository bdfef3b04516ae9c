#include "core/batch/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "core/batch/journal_lines.h"

namespace lorvane {

namespace {

constexpr std::string_view kHeader = "lorvane journal 2";
constexpr std::string_view kOldHeader = "lorvane journal 1";
constexpr std::string_view kSuffix = ".journal";
constexpr std::string_view kLockName = "lock";

std::string errnoText(int code) { return std::strerror(code); }

bool makeFolders(const std::string& path, std::string& error) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "Unable to create the folder \"" + part + "\": " + errnoText(errno);
            return false;
        }
    }
    return true;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The run files in folder, in name order.
std::vector<std::string> journalNames(const std::string& folder, std::string* error) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        if (errno != ENOENT && error) *error = "Unable to read the folder \"" + folder + "\": " + errnoText(errno);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.size() > kSuffix.size() && name.ends_with(kSuffix)) names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string_view parentOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// One line of a run file read into run: false when it is damaged.
bool readLine(std::string_view line, JournalRun& run, bool keepRenames, std::string& a, std::string& b) {
    const std::size_t tab = line.find('\t');
    const std::string_view kind = line.substr(0, tab);
    const std::string_view value = tab == std::string_view::npos ? std::string_view{} : line.substr(tab + 1);
    if (kind == "rename") {
        JournalEntry entry;
        std::string_view fields[6];
        std::size_t n = 0;
        for (std::string_view rest = value; n < 6;) {
            const std::size_t t = rest.find('\t');
            fields[n++] = rest.substr(0, t);
            if (t == std::string_view::npos) break;
            rest.remove_prefix(t + 1);
        }
        if ((n != 2 && n != 6) || !UnescapeJournalText(fields[0], a) || !UnescapeJournalText(fields[1], b))
            return false;
        ++run.files;
        if (!keepRenames) return true;
        if (n == 6) {
            char* end = nullptr;
            entry.file.device = std::strtoull(std::string(fields[2]).c_str(), &end, 10);
            entry.file.inode = std::strtoull(std::string(fields[3]).c_str(), &end, 10);
            entry.file.size = std::strtoll(std::string(fields[4]).c_str(), &end, 10);
            entry.file.modifiedNs = std::strtoll(std::string(fields[5]).c_str(), &end, 10);
        }
        entry.oldPath = a;
        entry.newPath = b;
        run.renames.push_back(std::move(entry));
    } else if (kind == "arrived") {
        // The file a cross-file-system move made, in place of the one recorded.
        if (!keepRenames || run.renames.empty()) return true;
        FileIdentity& id = run.renames.back().file;
        std::string_view rest = value;
        std::int64_t* const fields[] = {nullptr, nullptr, &id.size, &id.modifiedNs};
        for (int n = 0; n < 4; ++n) {
            const std::size_t t = rest.find('\t');
            const std::string field(rest.substr(0, t));
            if (n == 0) id.device = std::strtoull(field.c_str(), nullptr, 10);
            else if (n == 1) id.inode = std::strtoull(field.c_str(), nullptr, 10);
            else *fields[n] = std::strtoll(field.c_str(), nullptr, 10);
            if (t == std::string_view::npos) return n == 3;
            rest.remove_prefix(t + 1);
        }
        return false;
    } else if (kind == "moveto") {
        return UnescapeJournalText(value, run.moveTo);
    } else if (kind == "failed") {
        if (run.files > 0) --run.files;
        if (keepRenames && !run.renames.empty()) run.renames.pop_back();
    } else if (kind == "undone") {
        run.undone = true;
    } else if (kind == "seq") {
        run.sequence = std::strtoll(std::string(value).c_str(), nullptr, 10);
    } else if (kind == "utc") {
        run.utc = value;
    } else if (kind == "when") {
        run.when = value;
    } else if (kind == "command") {
        return UnescapeJournalText(value, run.command);
    } else {
        return false;
    }
    return true;
}

// Reads a run file: the header always; the records when whole, else only until
// the first one (the undone mark is then looked for at the end).
bool readRun(JournalRun& run, bool whole, bool keepRenames) {
    run.files = 0;
    run.renames.clear();
    run.undone = false;
    run.damage.clear();
    bool first = true, damaged = false;
    std::string a, b;
    const bool read = ForEachJournalLine(run.file, [&](std::string_view line) {
        if (first) {
            first = false;
            if (line != kHeader && line != kOldHeader) {
                run.damage = "it is not a lorvane journal";
                return false;
            }
            return true;
        }
        if (!whole && (line.starts_with("rename\t") || line.starts_with("failed") || line.starts_with("arrived")))
            return false;
        if (!readLine(line, run, keepRenames, a, b)) damaged = true;
        return true;
    });
    if (!read) {
        run.damage = "it cannot be read: " + errnoText(errno);
        return false;
    }
    if (first && run.damage.empty()) run.damage = "it is empty";
    if (damaged && run.damage.empty()) run.damage = "some of its lines are damaged";
    if (!whole && run.damage.empty()) {
        // The undone mark is the last line a run file gets.
        std::string tail;
        if (ReadJournalTail(run.file, 4096, tail) && tail.find("\nundone\t") != std::string::npos) run.undone = true;
    }
    return run.damage.empty();
}

bool runOrder(const JournalRun& x, const JournalRun& y) {
    if (x.sequence != y.sequence) return x.sequence < y.sequence;
    return x.file < y.file;  // journals without a sequence: by their names
}

std::string utcNow(timespec& ts) {
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::string nanos = std::to_string(ts.tv_nsec);
    nanos.insert(0, 9 - nanos.size(), '0');
    return std::to_string(ts.tv_sec) + "." + nanos;
}

}  // namespace

std::string JournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') return JoinPath(state, "lorvane");
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home && *home ? home : "/", ".local/state"), "lorvane");
}

FileIdentity IdentifyFile(const std::string& path) {
    struct stat st {};
    if (!LookAtEntry(path, st)) return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// --- The lock ---

JournalLock::~JournalLock() { Release(); }

void JournalLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_);  // closing drops the flock
    fd_ = -1;
}

bool JournalLock::Acquire(const std::string& folder, std::string_view holder, std::chrono::milliseconds wait) {
    Release();
    if (!makeFolders(folder, error_)) return false;
    const std::string path = JoinPath(folder, kLockName);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = "Unable to open the journal's lock \"" + path + "\": " + errnoText(errno);
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            // Whoever holds it wrote who it is.
            std::string who;
            char buf[512];
            const ssize_t n = ::pread(fd, buf, sizeof buf, 0);
            if (n > 0) who.assign(buf, static_cast<std::size_t>(n));
            while (!who.empty() && (who.back() == '\n' || who.back() == '\0')) who.pop_back();
            error_ = "another run is using the journal (" + (who.empty() ? std::string("unknown") : who) +
                     "); try again once it has finished";
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const std::string text = "process " + std::to_string(::getpid()) + ": " + std::string(holder) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, text.data(), text.size(), 0);
    fd_ = fd;
    error_.clear();
    return true;
}

// --- Writing ---

JournalWriter::~JournalWriter() { Close(); }

bool JournalWriter::Open(const std::string& folder, std::string_view command, std::string_view moveTo) {
    Close();
    if (!makeFolders(folder, error_)) return false;
    PruneJournal(folder);
    std::int64_t sequence = 0;
    for (const JournalRun& r : ListJournal(folder, false)) sequence = std::max(sequence, r.sequence);

    timespec ts{};
    const std::string utc = utcNow(ts);
    std::tm tm{};
    gmtime_r(&ts.tv_sec, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ-", &tm);
    // The process id and a counter keep apart runs that still meet.
    const std::string stem = JoinPath(folder, stamp + utc.substr(utc.find('.') + 1) + "-" + std::to_string(::getpid()));
    for (int n = 0; n < 100 && fd_ < 0; ++n) {
        path_ = stem + "-" + (n < 10 ? "0" : "") + std::to_string(n) + std::string(kSuffix);
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        error_ = "Unable to create the journal \"" + path_ + "\": " + errnoText(errno);
        return false;
    }
    folder_ = folder;
    records_ = 0;
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::string head(kHeader);
    head += "\nseq\t" + std::to_string(sequence + 1) + "\nutc\t" + utc + "\nwhen\t" + when + "\ncommand\t" +
            EscapeJournalText(command) + "\n";
    if (!moveTo.empty()) {
        // Resolved as the records' folders are, so that undo compares like with like.
        char* real = ::realpath(std::string(moveTo).c_str(), nullptr);
        head += "moveto\t" + EscapeJournalText(real ? std::string_view(real) : moveTo) + "\n";
        std::free(real);
    }
    // The run's file must exist durably before its first rename.
    if (!writeAll(head) || ::fsync(fd_) != 0) {
        error_ = "Unable to write the journal \"" + path_ + "\": " + errnoText(errno);
        return false;
    }
    syncFolder(folder_);
    return true;
}

bool JournalWriter::writeAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

const std::string& JournalWriter::resolved(std::string_view path, std::string& out) {
    const std::string_view folder = parentOf(path);
    if (folder != linkFolder_) {
        // Undo must find the folder itself, not what a link to it points at by then.
        linkFolder_ = folder;
        char* real = ::realpath(linkFolder_.c_str(), nullptr);
        realFolder_ = real ? real : linkFolder_;
        std::free(real);
    }
    // Made in place: out's room serves every record.
    out.assign(realFolder_);
    if (out.empty() || out.back() != '/') out += '/';
    out += path.substr(folder.size() + (folder == "/" ? 0 : 1));
    return out;
}

bool JournalWriter::WillRename(std::string_view oldPath, std::string_view newPath) {
    if (fd_ < 0) {
        error_ = "the journal is not open";
        return false;
    }
    oldReal_.assign(oldPath);
    const FileIdentity id = IdentifyFile(oldReal_);
    recorded_ = id;
    const auto folderOf = [](std::string_view p) { return p.substr(0, p.rfind('/') + 1); };
    withinFolder_ = folderOf(oldPath) == folderOf(newPath);
    line_ = "rename\t";
    AppendJournalText(line_, resolved(oldPath, oldReal_));
    line_ += '\t';
    AppendJournalText(line_, resolved(newPath, newReal_));
    for (const auto n : {static_cast<std::int64_t>(id.device), static_cast<std::int64_t>(id.inode), id.size,
                         id.modifiedNs}) {
        char digits[24];
        line_ += '\t';
        line_.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    }
    line_ += '\n';
    if (!writeAll(line_)) {
        error_ = "Unable to write the journal \"" + path_ + "\": " + errnoText(errno);
        return false;
    }
    ++records_;
    return true;
}

void JournalWriter::RenameFailed() {
    // Should this line not get written, undo still finds the file at its old path
    // and its new one not its own: it then leaves both alone.
    if (fd_ < 0 || records_ == 0 || !writeAll("failed\n")) return;
    --records_;
}

void JournalWriter::Renamed(std::string_view newPath) {
    // A rename within one folder never leaves its file system: nothing to look at.
    if (fd_ < 0 || records_ == 0 || withinFolder_) return;
    const FileIdentity now = IdentifyFile(std::string(newPath));
    if (!now.known() || now == recorded_) return;
    // Not written: undo finds another file than the one recorded and leaves it alone.
    (void)writeAll("arrived\t" + std::to_string(now.device) + "\t" + std::to_string(now.inode) + "\t" +
                   std::to_string(now.size) + "\t" + std::to_string(now.modifiedNs) + "\n");
}

bool JournalWriter::Close() {
    if (fd_ < 0) return true;
    // No sync here: each record reached the file before its rename, and the
    // file system commits the records' data no later than the renames that
    // follow them, so the journal is as durable as the renames it describes.
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (records_ == 0) {
        ::unlink(path_.c_str());
        syncFolder(folder_);
    }
    return closed;
}

// --- Reading ---

std::vector<JournalRun> ListJournal(const std::string& folder, bool counts, std::string* folderError) {
    std::vector<JournalRun> runs;
    for (const std::string& name : journalNames(folder, folderError)) {
        JournalRun run;
        run.file = JoinPath(folder, name);
        readRun(run, counts, false);
        runs.push_back(std::move(run));
    }
    std::stable_sort(runs.begin(), runs.end(), runOrder);
    return runs;
}

bool ReadJournalRun(JournalRun& run) { return readRun(run, true, true); }

std::vector<JournalRun> ReadJournal(const std::string& folder, std::vector<std::string>& errors) {
    std::string folderError;
    std::vector<JournalRun> runs = ListJournal(folder, false, &folderError);
    if (!folderError.empty()) errors.push_back(folderError);
    for (JournalRun& r : runs)
        if (!ReadJournalRun(r)) errors.push_back("The journal \"" + r.file + "\" cannot be used: " + r.damage);
    return runs;
}

void PruneJournal(const std::string& folder) {
    const std::vector<JournalRun> runs = ListJournal(folder, false);
    if (runs.size() <= static_cast<std::size_t>(kKeepRuns)) return;
    const std::int64_t cutoff = static_cast<std::int64_t>(std::time(nullptr)) - std::int64_t{kKeepDays} * 86400;
    bool removed = false;
    for (std::size_t i = 0; i + kKeepRuns < runs.size(); ++i) {
        const JournalRun& r = runs[i];
        if (!r.damage.empty() || r.utc.empty()) continue;
        if (std::strtoll(r.utc.c_str(), nullptr, 10) >= cutoff) continue;
        removed = ::unlink(r.file.c_str()) == 0 || removed;
    }
    if (removed) syncFolder(folder);
}

}  // namespace lorvane
