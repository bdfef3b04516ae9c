#include "editor/text_positions.h"

#include <algorithm>

namespace lorvane {

int Utf16OffsetOf(const QString& text, int chars) {
    int i = 0;
    for (int c = 0; c < chars && i < text.size(); ++c)
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
    return i;
}

int CharacterCount(const QString& text) {
    int n = 0;
    for (int i = 0; i < text.size(); ++n)
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
    return n;
}

Utf16Range Utf16RangeOf(const QString& text, int position, int length) {
    const int first = std::max(position - 1, 0);
    const int start = Utf16OffsetOf(text, first);
    const int end = Utf16OffsetOf(text, first + std::max(length, 0));
    return {start, end - start};
}

}  // namespace lorvane
