#include "cli/output.h"

#include <unistd.h>

#include "engine/utf8.h"

namespace lorvane::cli {

TerminalProgress::TerminalProgress() : terminal_(::isatty(STDERR_FILENO) != 0) {}

bool TerminalProgress::due() const { return terminal_ && (!shown_ || pacer_.Due()); }

void TerminalProgress::show(const std::string& text) {
    if (!terminal_) return;
    pacer_.Ran();
    shown_ = true;
    std::string line = "\r\033[K";
    AppendVisible(line, text);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void TerminalProgress::clear() {
    if (shown_) std::fputs("\r\033[K", stderr);
    shown_ = false;
}

namespace {

// Unicode's Bidi_Control characters (ALM, LRM, RLM, the embeddings, overrides and
// isolates): a terminal would show the text after them reordered.
bool bidiControl(std::string_view c) {
    if (c.size() == 2) return c == "\xD8\x9C";
    if (c.size() != 3 || c[0] != '\xE2') return false;
    const auto b1 = static_cast<unsigned char>(c[1]), b2 = static_cast<unsigned char>(c[2]);
    if (b1 == 0x80) return b2 == 0x8E || b2 == 0x8F || (b2 >= 0xAA && b2 <= 0xAE);
    return b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9;
}

}  // namespace

void AppendVisible(std::string& out, std::string_view text) {
    // A run of printable ASCII, most names, goes in whole.
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) >= 0x20 && static_cast<unsigned char>(text[i]) < 0x7F)
        ++i;
    out.append(text.data(), i);
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t len = utf8::sequenceLength(c);
        const bool valid = len > 1 && i + len <= text.size() && utf8::isValid(text.substr(i, len));
        // C1 controls are U+0080 to U+009F: C2 80 to C2 9F.
        const bool c1 = valid && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (valid && !c1 && !bidiControl(text.substr(i, len))) out.append(text.substr(i, len));
        else out += '?';
        i += valid ? len : 1;
    }
}

}  // namespace lorvane::cli
