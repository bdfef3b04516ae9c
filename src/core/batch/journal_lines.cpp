#include "core/batch/journal_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/batch/journal.h"

namespace lorvane {

namespace {

// Open without blocking (a FIFO put in its place must not hang undo), and only a regular file.
int openRegular(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

}  // namespace

bool ForEachJournalLine(const std::string& path, const std::function<bool(std::string_view)>& onLine) {
    const int fd = openRegular(path);
    if (fd < 0) return false;
    char buf[65536];
    std::string carry;  // the start of a line that runs past the block
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            errno = e;
            return false;
        }
        if (n == 0) break;
        std::string_view block(buf, static_cast<std::size_t>(n));
        for (std::size_t end; (end = block.find('\n')) != std::string_view::npos; block.remove_prefix(end + 1)) {
            bool more;
            if (carry.empty()) {
                more = onLine(block.substr(0, end));
            } else {
                carry.append(block.substr(0, end));
                more = onLine(carry);
                carry.clear();
            }
            if (!more) {
                ::close(fd);
                return true;
            }
        }
        carry.append(block);
    }
    ::close(fd);
    return true;
}

bool ReadJournalTail(const std::string& path, std::size_t bytes, std::string& out) {
    const int fd = openRegular(path);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
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

std::string EscapeJournalText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendJournalText(out, bytes);
    return out;
}

void AppendJournalText(std::string& out, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    // Paths with nothing to escape, nearly all of them, go in whole.
    const auto plain = [](unsigned char c) { return c >= 0x20 && c != 0x7f && c != '\\'; };
    std::size_t run = 0;
    while (run < bytes.size() && plain(static_cast<unsigned char>(bytes[run]))) ++run;
    out.append(bytes.data(), run);
    for (const char ch : bytes.substr(run)) {
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

}  // namespace lorvane
