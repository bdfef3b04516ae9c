// The engine counts characters; Qt's text widgets count UTF-16 units. Characters
// beyond the Basic Multilingual Plane take two units, so positions are converted.
#pragma once

#include <QString>

namespace lorvane {

// UTF-16 offset of the character at 0-based character position `chars` (clamped to the text).
int Utf16OffsetOf(const QString& text, int chars);

// Number of characters (code points) in the text.
int CharacterCount(const QString& text);

// Selects `length` characters from 1-based character `position` in a line edit's
// terms: start and length in UTF-16 units.
struct Utf16Range {
    int start = 0, length = 0;
};
Utf16Range Utf16RangeOf(const QString& text, int position, int length);

}  // namespace lorvane
