// Names or paths from standard input, as `check -` and the batch commands'
// "-" read them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace lorvane::cli {

// Reads standard input one name at a time into a reused buffer. A name is kept only
// up to keep bytes, a bound far above any the caller accepts; the rest of it is
// read and counted but not kept, so any input runs in constant memory.
class NameReader {
public:
    NameReader(char separator, std::size_t keep) : separator_(separator), keep_(keep) {}

    // name: the name, or the start of one cut short (cut); for a cut name, lengths
    // holds the characters of the whole and of its last path component, counted to its end.
    struct Lengths {
        std::size_t chars = 0, componentChars = 0;
    };
    bool next(std::string_view& name, bool& cut, Lengths& lengths) {
        name_.clear();
        cut = false;
        lengths = {};
        bool any = false, ended = false;
        while (!ended) {
            if (begin_ == end_ && !fill()) break;
            any = true;
            const char* from = chunk_ + begin_;
            const std::size_t left = end_ - begin_;
            const void* hit = std::memchr(from, separator_, left);
            std::size_t n = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - from) : left;
            begin_ += hit ? n + 1 : n;
            ended = hit != nullptr;
            if (!cut && name_.size() + n <= keep_) {
                name_.append(from, n);
                continue;
            }
            if (!cut) {
                // The start that fits is kept, so that the refusal can say which name it was.
                cut = true;
                const std::size_t room = keep_ - name_.size();
                name_.append(from, room);
                count(name_, lengths);
                from += room;
                n -= room;
            }
            count(std::string_view(from, n), lengths);
        }
        if (!any) return false;
        // Lists written on other systems end their lines with CR LF.
        if (separator_ == '\n') {
            if (!cut && !name_.empty() && name_.back() == '\r') name_.pop_back();
            else if (cut && last_ == '\r') {
                --lengths.chars;
                if (lengths.componentChars > 0) --lengths.componentChars;
            }
        }
        name = name_;
        return true;
    }
    bool failed() const { return std::ferror(stdin) != 0; }

private:
    bool fill() {
        begin_ = 0;
        end_ = std::fread(chunk_, 1, sizeof chunk_, stdin);
        return end_ > 0;
    }
    // Characters of the name and after its last '/', carried on over the text that follows.
    void count(std::string_view text, Lengths& lengths) {
        for (const char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
            ++lengths.chars;
            lengths.componentChars = c == '/' ? 0 : lengths.componentChars + 1;
        }
        if (!text.empty()) last_ = text.back();
    }

    char separator_;
    std::size_t keep_;
    std::string name_;
    char chunk_[1 << 16];
    std::size_t begin_ = 0, end_ = 0;
    char last_ = 0;  // the last byte counted: a cut name's last byte
};

}  // namespace lorvane::cli
