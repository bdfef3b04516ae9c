// Lorvane Data 1.x: positional names (date or date range, serial, topic, extension).
#pragma once

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

void Parse1x(std::string_view fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Parse1xOptions& options);
void Build1x(std::string& fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Build1xOptions& options);

}  // namespace lorvane
