#include "engine/format1x.h"

namespace lorvane {

Parse1xOptions MakeParse1xOptions(const GlobalSettings& s) {
    Parse1xOptions o;
    o.allowIllegal = isOn(s.ParseAllowIllegal);
    o.maximumLength = s.ParseLengthMaximum;
    o.showLevels = s.ParseShowTreeLevels;
    o.attributeDate = s.Parse1xAttributeDate;
    o.attributeSerial = s.Parse1xAttributeSerial;
    o.attributeTopic = s.Parse1xAttributeTopic;
    o.attributeExtension = s.Parse1xAttributeExtension;
    o.delimiterSerial = s.Parse1xDelimiterSerial;
    o.delimiterTopic = s.Parse1xDelimiterTopic;
    o.delimiterExtension = s.Parse1xDelimiterExtension;
    o.serialMinimum = s.Parse1xSerialMinimum;
    o.serialMaximum = s.Parse1xSerialMaximum;
    o.topicLengthMaximum = s.Parse1xTopicLengthMaximum;
    return o;
}

Build1xOptions MakeBuild1xOptions(const GlobalSettings& s) {
    Build1xOptions o;
    o.allowIllegal = isOn(s.BuildAllowIllegal);
    o.maximumLength = s.BuildLengthMaximum;
    o.extensionLengthMinimum = s.BuildExtensionLengthMinimum;
    o.extensionLengthMaximum = s.BuildExtensionLengthMaximum;
    o.attributeDate = s.Parse1xAttributeDate;
    o.attributeSerial = s.Parse1xAttributeSerial;
    o.attributeTopic = s.Parse1xAttributeTopic;
    o.attributeExtension = s.Parse1xAttributeExtension;
    o.delimiterSerial = s.Build1xDelimiterSerial;
    o.delimiterTopic = s.Build1xDelimiterTopic;
    o.delimiterExtension = s.Build1xDelimiterExtension;
    o.serialMinimum = s.Build1xSerialMinimum;
    o.serialMaximum = s.Build1xSerialMaximum;
    o.topicLengthMaximum = s.Build1xTopicLengthMaximum;
    o.spaceBeforeSerial = s.Build1xSpaceBeforeSerial;
    o.spaceBeforeTopic = s.Build1xSpaceBeforeTopic;
    return o;
}

// Placeholder until the 1.x builder lands.
void Build1x(std::string& fileName, AttributeTree&, Result& result, const DateOptions&, const Build1xOptions&) {
    fileName.clear();
    result.status = Status::Fail;
    result.message = "Lorvane Data 1.x is not supported yet";
}

}  // namespace lorvane
