#include "cli/output.h"

#include "engine/utf8.h"

namespace lorvane::cli {

void AppendVisible(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t len = utf8::sequenceLength(c);
        const std::string_view sequence = text.substr(i, len);
        if (len < 2 || sequence.size() != len || !utf8::isValid(sequence)) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        std::size_t k = 0;
        const char32_t cp = utf8::decode(sequence, k);
        if (cp >= 0x80 && cp < 0xA0) out += '?';
        else out += sequence;
        i += len;
    }
}

}  // namespace lorvane::cli
