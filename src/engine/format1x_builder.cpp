#include <array>
#include <cstdio>
#include <string>

#include "engine/dates.h"
#include "engine/dictionary.h"
#include "engine/format1x.h"
#include "engine/short_message.h"
#include "engine/utf8.h"
#include "engine/values.h"

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

namespace {

enum Role { DateRole, SerialRole, TopicRole, ExtensionRole, RoleCount };

// Texts per role: the name in messages and the word in "Valid ... attribute/value".
constexpr std::array<std::string_view, RoleCount> kRoleName = {"Date", "Serial", "Topic", "Extension"};
constexpr std::array<std::string_view, RoleCount> kValidAttribute = {
    "Valid date attribute", "Valid serial attribute", "Valid topic attribute", "Valid extension attribute"};
constexpr std::array<std::string_view, RoleCount> kValidValue = {"Valid date value", "Valid serial value",
                                                                 "Valid topic value", "Valid extension value"};

int charLength(std::string_view s) { return static_cast<int>(utf8::length(s)); }

std::string roleText(Role role, std::string_view before, std::string_view after) {
    std::string m(before);
    m += kRoleName[role];
    m += after;
    return m;
}

void trimInPlace(std::string& text) {
    const std::string_view kept = utf8::trimSpaces(text);
    const std::size_t from = static_cast<std::size_t>(kept.data() - text.data());
    text.erase(from + kept.size());
    text.erase(0, from);
}

// ASCII in place (the usual extension); other text through a copy, since its length may change.
void upperInPlace(std::string& text) {
    bool ascii = true;
    for (char& c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
        else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
    }
    if (!ascii) text = utf8::upper(text);
}

// The number with at least three digits: 7 is written 007, 1234 stays 1234.
std::string zeroPadded(std::int32_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", static_cast<int>(n));
    return buf;
}

class Builder1x {
public:
    Builder1x(AttributeTree& tree, Result& result, const DateOptions& dateOptions, const Build1xOptions& o,
              Finding& finding, std::string& scratch)
        : tree_(tree), result_(result), dateOptions_(dateOptions), o_(o), finding_(finding), scratch_(scratch) {
        const std::string_view names[RoleCount] = {o.attributeDate, o.attributeSerial, o.attributeTopic,
                                                   o.attributeExtension};
        for (int r = 0; r < RoleCount; ++r) roleKey_[static_cast<std::size_t>(r)] = TranslateAttributeName(names[r]);
    }

    void attribute(int a);
    void assemble(std::string& out) const;
    bool recorded(Role r) const { return value_[r] != -1; }

private:
    void report(Status s, std::string_view message, int node, int position = 0, int length = 0) {
        ReportNodeStatus(s, message, tree_, node, position, length, result_);
    }
    // The value was already reported Good when it was recorded; a second Good report here
    // would clear the marks of the checks in between, and the node must keep showing them.
    void reportFinding(const Finding& f, int node) {
        if (f.status == Status::Good) return;
        report(f.status, f.message, node, f.position,
               ClippedLength(f.position, f.length, static_cast<int>(utf8::length(tree_[node].text))));
    }
    // Roles are tested in order; names the dictionary does not know all translate to empty text.
    int roleOf(int a) const {
        const std::string_view key = TranslateAttributeName(tree_[a].text);
        for (int r = 0; r < RoleCount; ++r)
            if (key == roleKey_[static_cast<std::size_t>(r)]) return r;
        return -1;
    }
    void dateValue(int v);
    void serialValue(int v);
    void topicValue(int v);

    AttributeTree& tree_;
    Result& result_;
    const DateOptions& dateOptions_;
    const Build1xOptions& o_;
    Finding& finding_;
    std::string& scratch_;
    std::array<std::string_view, RoleCount> roleKey_{};
    int value_[RoleCount] = {-1, -1, -1, -1};
};

void Builder1x::attribute(int a) {
    const int found = roleOf(a);
    if (found < 0) {
        std::string m = "Only ";
        m += o_.attributeDate;
        m += ", ";
        m += o_.attributeSerial;
        m += ", ";
        m += o_.attributeTopic;
        m += " and ";
        m += o_.attributeExtension;
        m += " attributes may be included";
        return report(Status::Fail, m, a);
    }
    const Role role = static_cast<Role>(found);
    report(Status::Good, kValidAttribute[role], a);
    if (recorded(role)) return report(Status::Fail, roleText(role, "There may only be one ", " attribute"), a);
    if (tree_[a].children == 0) return report(Status::Fail, roleText(role, "", " attribute must have a value"), a);
    if (tree_[a].children > 1) return report(Status::Fail, roleText(role, "", " attribute may only have one value"), a);

    const int v = tree_[a].child;
    value_[role] = v;
    report(Status::Good, kValidValue[role], v);
    std::string& text = tree_[v].text;
    trimInPlace(text);
    if (role == ExtensionRole) upperInPlace(text);

    if (role == ExtensionRole) {
        if (auto p = text.find('.'); p != std::string::npos)
            report(Status::Fail, "Extension value contains a period", v, utf8::position(text, p), 1);
    }
    if (!o_.allowIllegal) {
        if (int p = FindIllegalCharacter(text))
            report(Status::Fail, roleText(role, "", " value contains an illegal character"), v, p, 1);
    }
    if (text.empty()) report(Status::Fail, roleText(role, "", " value is empty"), v, 1, 0);
    if (role == ExtensionRole) {
        const int length = charLength(text);
        if (length < o_.extensionLengthMinimum)
            report(Status::Warn,
                   ShortMessage() << "Extension value is less than " << o_.extensionLengthMinimum << " characters long",
                   v, 1, length);
        if (length > o_.extensionLengthMaximum)
            report(Status::Warn,
                   ShortMessage() << "Extension value is more than " << o_.extensionLengthMaximum << " characters long",
                   v, 1, length);
    }
    if (tree_[v].child) report(Status::Fail, roleText(role, "", " value may not have sub-attributes"), tree_[v].child);

    switch (role) {
        case DateRole: return dateValue(v);
        case SerialRole: return serialValue(v);
        case TopicRole: return topicValue(v);
        case ExtensionRole:
        case RoleCount: return;
    }
}

// Rewritten in the build style, so the name always carries the configured date form.
void Builder1x::dateValue(int v) {
    DateTime earliest, latest;
    Finding& f = finding_;
    ValidateDateValue(tree_[v].text, earliest, latest, f, dateOptions_);
    reportFinding(f, v);
    if (f.status != Status::Fail) BuildDateText(earliest, latest, dateOptions_, tree_[v].text);
}

void Builder1x::serialValue(int v) {
    std::int32_t number = -1;
    Finding& f = finding_;
    ValidateIntegerValue(tree_[v].text, number, f);
    reportFinding(f, v);
    if (f.status != Status::Fail) tree_[v].text = zeroPadded(number);
    if (number < o_.serialMinimum || number > o_.serialMaximum)
        report(Status::Fail,
               "Serial must be a number between " + std::to_string(o_.serialMinimum) + " and " +
                   std::to_string(o_.serialMaximum),
               v);
}

void Builder1x::topicValue(int v) {
    std::string& topic = scratch_;
    Finding& f = finding_;
    ValidateTextValue(tree_[v].text, topic, f);
    reportFinding(f, v);
    if (f.status != Status::Fail) tree_[v].text = topic;
    const int length = charLength(topic);
    if (length > o_.topicLengthMaximum)
        report(Status::Fail,
               "Topic (Length=" + std::to_string(length) + ") too long (Maximum=" +
                   std::to_string(o_.topicLengthMaximum) + ")",
               v);
    // Without a topic delimiter the parser finds a topic only by its first letter.
    if (o_.delimiterTopic.empty()) {
        const char32_t first = utf8::toUpper(utf8::firstCodePoint(topic));
        if (first < U'A' || first > U'Z')
            report(Status::Fail, "Topic must begin with a letter when Topic Delimiter is blank", v, 1, 1);
    }
}

void Builder1x::assemble(std::string& out) const {
    out.clear();
    if (recorded(DateRole)) out += tree_[value_[DateRole]].text;
    if (recorded(SerialRole)) {
        if (isOn(o_.spaceBeforeSerial)) out += ' ';
        out += o_.delimiterSerial;
        out += tree_[value_[SerialRole]].text;
    }
    if (recorded(TopicRole)) {
        if (isOn(o_.spaceBeforeTopic)) out += ' ';
        out += o_.delimiterTopic;
        out += tree_[value_[TopicRole]].text;
    }
    if (recorded(ExtensionRole)) {
        out += o_.delimiterExtension;
        out += utf8::lower(tree_[value_[ExtensionRole]].text);
    }
}

}  // namespace

void Build1x(std::string& fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Build1xOptions& options) {
    fileName.clear();
    if (tree.empty()) {
        result.status = Status::Fail;
        result.message = "Tree is empty";
        return;
    }
    const int root = tree.root();
    if (tree[root].children == 0) {
        ReportNodeStatus(Status::Fail, "There must be at least one non-Extension attribute", tree, root, 0, 0, result);
        return;
    }

    // Kept per thread between calls: the values' finding and the topic would otherwise
    // take heap memory for every name. Nothing here calls back out of the engine.
    thread_local Finding finding;
    thread_local std::string scratch;
    Builder1x builder(tree, result, dateOptions, options, finding, scratch);
    for (int a = tree[root].child; a; a = tree[a].next) builder.attribute(a);
    if (options.extensionLengthMinimum > 0 && !builder.recorded(ExtensionRole))
        ReportNodeStatus(Status::Warn, "There should be an Extension attribute", tree, root, 0, 0, result);
    if (!builder.recorded(DateRole) && !builder.recorded(SerialRole) && !builder.recorded(TopicRole))
        ReportNodeStatus(Status::Fail, "There must be at least one non-Extension attribute", tree, root, 0, 0, result);

    builder.assemble(fileName);
    const int length = charLength(fileName);
    if (length > options.maximumLength)
        ReportNodeStatus(Status::Fail,
                         ShortMessage() << "Filename is too long (Length=" << length
                                        << ", Maximum=" << options.maximumLength << ")",
                         tree, root, 0, 0, result);
}

}  // namespace lorvane
