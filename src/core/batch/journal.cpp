#include "core/batch/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unordered_set>

#include "core/batch/preview_folder.h"

namespace lorvane {

namespace {

constexpr std::string_view kHeader = "lorvane journal 1\n";
constexpr std::string_view kSuffix = ".journal";

std::string errnoText(int code) { return std::strerror(code); }

std::string localTime(std::time_t t, const char* format) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    return std::string(buf, std::strftime(buf, sizeof buf, format, &tm));
}

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

bool readFile(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    out.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// The run files in folder, oldest first (their names begin with the time).
std::vector<std::string> journalNames(const std::string& folder, std::string* error = nullptr) {
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

// The last bytes of a regular file.
bool readTail(const std::string& path, std::size_t bytes, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        const auto size = static_cast<std::size_t>(st.st_size);
        const std::size_t from = size > bytes ? size - bytes : 0;
        out.resize(size - from);
        const ssize_t n = ::pread(fd, out.data(), out.size(), static_cast<off_t>(from));
        ok = n >= 0;
        out.resize(ok ? static_cast<std::size_t>(n) : 0);
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::string JournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') return JoinPath(state, "lorvane");
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home && *home ? home : "/", ".local/state"), "lorvane");
}

std::string EscapeJournalText(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c < 0x20 || c == 0x7f) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

bool UnescapeJournalText(std::string_view text, std::string& bytes) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case '\\': bytes += '\\'; break;
            case 't': bytes += '\t'; break;
            case 'n': bytes += '\n'; break;
            case 'r': bytes += '\r'; break;
            case 'x': {
                if (i + 2 >= text.size()) return false;
                const int hi = hex(text[i + 1]), lo = hex(text[i + 2]);
                if (hi < 0 || lo < 0) return false;
                bytes += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default: return false;
        }
    }
    return true;
}

JournalWriter::~JournalWriter() { Close(); }

bool JournalWriter::Open(const std::string& folder, std::string_view command) {
    Close();
    if (!makeFolders(folder, error_)) return false;
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    const std::time_t now = ts.tv_sec;
    // Names sort by time to the nanosecond; the process id and a counter keep
    // runs apart that still meet.
    std::string nanos = std::to_string(ts.tv_nsec);
    nanos.insert(0, 9 - nanos.size(), '0');
    const std::string stem =
        JoinPath(folder, localTime(now, "%Y%m%d-%H%M%S-") + nanos + "-" + std::to_string(::getpid()));
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
    std::string head(kHeader);
    head += "when\t" + localTime(now, "%Y-%m-%d %H:%M:%S") + "\n";
    head += "command\t" + EscapeJournalText(command) + "\n";
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

bool JournalWriter::WillRename(std::string_view oldPath, std::string_view newPath) {
    if (fd_ < 0) {
        error_ = "the journal is not open";
        return false;
    }
    line_ = "rename\t";
    line_ += EscapeJournalText(oldPath);
    line_ += '\t';
    line_ += EscapeJournalText(newPath);
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
    // and its new one not its own: it then leaves both alone, as for a taken name.
    if (fd_ < 0 || records_ == 0 || !writeAll("failed\n")) return;
    --records_;
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

std::vector<JournalRun> ReadJournal(const std::string& folder, std::vector<std::string>& errors) {
    std::vector<JournalRun> runs;
    std::string error;
    const std::vector<std::string> names = journalNames(folder, &error);
    if (!error.empty()) errors.push_back(error);

    std::string text, a, b;
    for (const std::string& name : names) {
        JournalRun run;
        run.file = JoinPath(folder, name);
        if (!readFile(run.file, text) || !text.starts_with(kHeader)) {
            errors.push_back("Unable to read the journal \"" + run.file + "\"");
            continue;
        }
        std::string_view rest = std::string_view(text).substr(kHeader.size());
        bool ok = true;
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            // A last line without its end was cut short by a crash: its rename was never made.
            if (end == std::string_view::npos) break;
            const std::string_view line = rest.substr(0, end);
            rest.remove_prefix(end + 1);
            const std::size_t tab = line.find('\t');
            const std::string_view kind = line.substr(0, tab);
            const std::string_view value = tab == std::string_view::npos ? std::string_view{} : line.substr(tab + 1);
            if (kind == "when") run.when = value;
            else if (kind == "command") ok = UnescapeJournalText(value, run.command) && ok;
            else if (kind == "undone") run.undone = true;
            else if (kind == "failed" && !run.renames.empty()) run.renames.pop_back();
            else if (kind == "rename") {
                const std::size_t split = value.find('\t');
                if (split == std::string_view::npos || !UnescapeJournalText(value.substr(0, split), a) ||
                    !UnescapeJournalText(value.substr(split + 1), b)) {
                    ok = false;
                    continue;
                }
                run.renames.push_back({a, b});
            }
        }
        if (!ok) errors.push_back("Some lines of the journal \"" + run.file + "\" could not be read");
        runs.push_back(std::move(run));
    }
    return runs;
}

std::string_view UndoOutcomeWord(UndoOutcome outcome) {
    switch (outcome) {
        case UndoOutcome::Restored: return "restored";
        case UndoOutcome::AlreadyThere: return "already there";
        case UndoOutcome::Taken: return "name taken";
        case UndoOutcome::Missing: return "missing";
        case UndoOutcome::Failed: return "failed";
    }
    return "failed";
}

UndoTally UndoRun(JournalRun& run, const FileSystem& files, bool apply,
                  const std::function<void(const UndoItem&)>& onItem,
                  const std::function<bool(std::int32_t, std::int32_t)>& progress) {
    UndoTally tally;
    tally.total = static_cast<std::int32_t>(run.renames.size());
    UndoItem item;
    PreviewFolder picture(files);
    std::int32_t done = 0;
    for (auto it = run.renames.rbegin(); it != run.renames.rend(); ++it) {
        if (progress && !progress(++done, tally.total)) {
            tally.stopped = true;
            break;
        }
        item.entry = *it;
        item.error = {};
        const bool atNew = picture.Exists(it->newPath);
        const bool atOld = picture.Exists(it->oldPath);
        if (it->oldPath == it->newPath || (!atNew && atOld)) {
            item.outcome = UndoOutcome::AlreadyThere;
        } else if (!atNew) {
            item.outcome = UndoOutcome::Missing;
        } else if (atOld) {
            item.outcome = UndoOutcome::Taken;
        } else if (!apply) {
            item.outcome = UndoOutcome::Restored;
            picture.Move(it->newPath, it->oldPath);
        } else if (item.error = files.Move(it->newPath, it->oldPath); item.error.failed()) {
            item.outcome = item.error.code == EEXIST ? UndoOutcome::Taken : UndoOutcome::Failed;
        } else {
            item.outcome = UndoOutcome::Restored;
        }
        if (item.outcome == UndoOutcome::Restored) ++tally.restored;
        else if (item.outcome == UndoOutcome::AlreadyThere) ++tally.already;
        else ++tally.left;
        if (onItem) onItem(item);
    }
    if (apply && tally.complete()) {
        // Marked only when everything is back, so that undo can be tried again
        // once a taken name is freed.
        const int fd = ::open(run.file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd >= 0) {
            const std::string line = "undone\t" + localTime(std::time(nullptr), "%Y-%m-%d %H:%M:%S") + "\n";
            const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
            ::fsync(fd);
            ::close(fd);
            run.undone = tally.marked = written;
        }
    }
    return tally;
}

UndoChoice FindRunToUndo(const std::string& folder) {
    UndoChoice choice;
    choice.runs = ReadJournal(folder, choice.errors);
    for (std::size_t i = choice.runs.size(); i-- > 0;)
        if (!choice.runs[i].undone) {
            choice.latest = i;
            break;
        }
    return choice;
}

bool HasRunToUndo(const std::string& folder) {
    std::vector<std::string> names = journalNames(folder);
    std::string tail;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        // The undone mark is the last line a journal gets.
        const std::string path = JoinPath(folder, *it);
        if (!readTail(path, 4096, tail)) return true;  // unreadable: let undo say what is wrong
        if (tail.find("\nundone\t") == std::string::npos) return true;
    }
    return false;
}

std::string RunFolders(const JournalRun& run) {
    std::vector<std::string_view> folders;
    for (const JournalEntry& e : run.renames) {
        const std::string_view path = e.oldPath;
        const std::size_t slash = path.rfind('/');
        const std::string_view folder = slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    if (folders.empty()) return {};
    std::string text = "\"" + std::string(folders.front()) + "\"";
    if (folders.size() == 2) text += " and 1 other folder";
    else if (folders.size() > 2) text += " and " + std::to_string(folders.size() - 1) + " other folders";
    return text;
}

std::string UndoQuestion(const JournalRun& run) {
    const std::size_t n = run.renames.size();
    std::string text = "Are you sure you want to undo the batch rename of " + run.when;
    if (const std::string folders = RunFolders(run); !folders.empty()) text += " in " + folders;
    text += " (" + std::to_string(n) + (n == 1 ? " file, " : " files, ") + run.command + ")?";
    return text;
}

std::string UndoReport(const JournalRun& run, const UndoTally& t, bool apply) {
    std::string text = apply ? "Restored " : "Would restore ";
    text += std::to_string(t.restored) + " of " + std::to_string(t.restored + t.left) + " files of the run of " +
            run.when + " (" + run.command + ")";
    if (const std::string folders = RunFolders(run); !folders.empty()) text += " in " + folders;
    if (t.left) text += "; the others could not be restored";
    if (t.already)
        text += "; " + std::to_string(t.already) + " already had " + (t.already == 1 ? "its" : "their") + " old name";
    if (t.stopped) {
        const std::int32_t untried = t.total - t.restored - t.already - t.left;
        text += "; stopped with " + std::to_string(untried) + (untried == 1 ? " file" : " files") + " not tried";
    }
    if (t.left || t.stopped) text += "; undo again once that is resolved";
    return text;
}

}  // namespace lorvane
