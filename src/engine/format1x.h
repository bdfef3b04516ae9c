// Lorvane Data 1.x: positional names (date or date range, serial, topic, extension).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/result.h"
#include "engine/settings.h"
#include "engine/tree.h"

namespace lorvane {

// The 1.x parameters, taken from the settings by the dispatch.
struct Parse1xOptions {
    bool allowIllegal = false;
    int maximumLength = 200;
    int showLevels = 4;
    std::string_view attributeDate, attributeSerial, attributeTopic, attributeExtension;
    std::string_view delimiterSerial, delimiterTopic, delimiterExtension;
    int serialMinimum = 1, serialMaximum = 999, topicLengthMaximum = 150;
};

struct Build1xOptions {
    bool allowIllegal = false;
    int maximumLength = 200;
    int extensionLengthMinimum = 2, extensionLengthMaximum = 3;
    std::string_view attributeDate, attributeSerial, attributeTopic, attributeExtension;
    std::string_view delimiterSerial, delimiterTopic, delimiterExtension;
    int serialMinimum = 1, serialMaximum = 999, topicLengthMaximum = 150;
    int spaceBeforeSerial = 1, spaceBeforeTopic = 1;
};

Parse1xOptions MakeParse1xOptions(const GlobalSettings& s);
Build1xOptions MakeBuild1xOptions(const GlobalSettings& s);

// --- The tokenizer, exposed for tests and tools ---

enum class Token1xKind { Date, Time, Range, Serial, Topic, End, Error };

struct Token1x {
    Token1xKind kind = Token1xKind::End;
    int start = 0;  // 1-based character position of the token's first character, after spaces
    std::string message;
    // Date: year, month, day; Time: hour, minute, second; Serial: the number;
    // Range: the delimiter's code point. -1 where the token carries nothing.
    std::int32_t values[3] = {-1, -1, -1};
    std::string topic;  // Topic only: the run, trimmed of spaces
};

// The single-character delimiters the tokenizer tells apart, as code points (0: none, never matches).
struct Tokenizer1xSettings {
    char32_t date = 0, dateComponent = 0, time = 0, timeComponent = 0, range = 0, serial = 0, topic = 0;
    int minimumYear = 1900, maximumYear = 2100;
    int serialMinimum = 1, serialMaximum = 999, topicLengthMaximum = 150;
};
Tokenizer1xSettings MakeTokenizer1xSettings(const DateOptions& dateOptions, const Parse1xOptions& options);

// Reads one token of the body (the name without its extension, as characters) from the
// 1-based position and leaves the position on the first character after what it consumed.
void Next1xToken(std::u32string_view body, int& position, Token1x& token, const Tokenizer1xSettings& settings);

// Fills the tree ("Good", position and length 0) or empties it ("Fail"); result is overwritten.
void Parse1x(std::string_view fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Parse1xOptions& options);
// Writes the tree as a 1.x name, normalising the value texts in the tree on the way;
// findings are added to the result (not reset) and marked on their nodes.
void Build1x(std::string& fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Build1xOptions& options);

}  // namespace lorvane
