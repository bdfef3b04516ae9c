#include <string>

#include "engine/dictionary.h"
#include "engine/format2x.h"
#include "engine/short_message.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

// The three forms of Extension are compared directly: cheaper than a dictionary lookup.
bool isExtension(std::string_view name) {
    static const AttributeEntry& extension = LookupAttribute("Extension");
    return extension.hasForm(name);
}

int charLength(std::string_view s) { return static_cast<int>(utf8::length(s)); }

class Builder2x {
public:
    Builder2x(std::string& out, AttributeTree& tree, Result& result, const Delimiters2x& d, bool allowIllegal,
              bool allowLabel)
        : out_(out), tree_(tree), result_(result), d_(d), allowIllegal_(allowIllegal), allowLabel_(allowLabel) {
        for (std::string_view delim : {d.start, d.end, d.label, d.value})
            suspect_[static_cast<unsigned char>(delim[0])] = 1;
        if (!allowIllegal)
            for (char c : kIllegalCharacters) suspect_[static_cast<unsigned char>(c)] = 1;
    }

    void attributes(int first, int level);

private:
    void report(Status s, std::string_view message, int node, int position, int length) {
        ReportNodeStatus(s, message, tree_, node, position, length, result_);
    }
    // Reports a delimiter found in the node's text at its first occurrence.
    void delimiterCheck(int node, std::string_view delim, Status s, std::string_view message) {
        const std::string& text = tree_[node].text;
        if (auto p = text.find(delim); p != std::string::npos)
            report(s, message, node, utf8::position(text, p), charLength(delim));
    }
    void illegalCheck(int node, std::string_view message) {
        if (allowIllegal_) return;
        if (int p = FindIllegalCharacter(tree_[node].text)) report(Status::Fail, message, node, p, 1);
    }
    void value(int node, bool first, int level);
    // Most texts hold neither a delimiter nor an illegal character; one pass over the
    // bytes tells, and only the others go through the checks one by one. Eight bytes
    // are tested with one branch, as most texts are a word or two.
    bool suspect(int node) const {
        const std::string& text = tree_[node].text;
        const auto* s = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t n = text.size();
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8)
            if (suspect_[s[i]] | suspect_[s[i + 1]] | suspect_[s[i + 2]] | suspect_[s[i + 3]] | suspect_[s[i + 4]] |
                suspect_[s[i + 5]] | suspect_[s[i + 6]] | suspect_[s[i + 7]])
                return true;
        unsigned char any = 0;
        for (; i < n; ++i) any |= suspect_[s[i]];
        return any != 0;
    }

    std::string& out_;
    AttributeTree& tree_;
    Result& result_;
    const Delimiters2x& d_;
    bool allowIllegal_, allowLabel_;
    unsigned char suspect_[256] = {};  // 1 for bytes that may begin a delimiter or are illegal
};

void Builder2x::attributes(int first, int level) {
    for (int a = first; a; a = tree_[a].next) {
        const std::string_view name = utf8::trimSpaces(tree_[a].text);
        if (isExtension(name)) continue;
        if (name.empty()) report(Status::Warn, "Attribute name is empty", a, 1, 0);
        if (suspect(a)) {
            illegalCheck(a, "Illegal character in attribute name");
            delimiterCheck(a, d_.start, Status::Fail, "Start delimiter in attribute name");
            delimiterCheck(a, d_.end, Status::Fail, "End delimiter in attribute name");
            delimiterCheck(a, d_.label, Status::Fail, "Label delimiter in attribute name");
            delimiterCheck(a, d_.value, Status::Fail, "Value delimiter in attribute name");
        }

        out_ += d_.start;
        out_ += utf8::trimSpaces(tree_[a].tag);
        if (tree_[a].children == 0) report(Status::Warn, "Attribute has no values", a, 0, 0);
        for (int v = tree_[a].child; v; v = tree_[v].next) value(v, v == tree_[a].child, level);
        out_ += d_.end;
    }
}

void Builder2x::value(int v, bool first, int level) {
    const std::string_view text = utf8::trimSpaces(tree_[v].text);
    if (text.empty()) report(Status::Warn, "Attribute value is empty", v, 1, 0);
    if (suspect(v)) {
        illegalCheck(v, "Illegal character in attribute value");
        delimiterCheck(v, d_.start, Status::Fail, "Start delimiter in attribute value");
        delimiterCheck(v, d_.end, Status::Fail, "End delimiter in attribute value");
        if (!allowLabel_) delimiterCheck(v, d_.label, Status::Warn, "Label delimiter in attribute value");
        delimiterCheck(v, d_.value, Status::Fail, "Value delimiter in attribute value");
    }

    out_ += first ? d_.label : d_.value;
    out_ += text;  // the checks only mark nodes: the text is as it was
    if (const int sub = tree_[v].child) {
        // The parser would refuse the name, so it is not written any further.
        if (level == kAttributeLevelsMaximum) return report(Status::Fail, kNestedTooDeeply, sub, 0, 0);
        attributes(sub, level + 1);
    }
}

}  // namespace

void Build2x(std::string& fileName, AttributeTree& tree, Result& result, const Delimiters2x& delimiters,
             bool allowIllegal, bool allowLabelDelimiters, int maximumLength, int extensionLengthMinimum,
             int extensionLengthMaximum) {
    fileName.clear();
    if (tree.empty()) {
        result.status = Status::Fail;
        result.message = "Tree is empty";
        return;
    }
    const int root = tree.root();
    if (auto m = EmptyDelimiterMessage(delimiters); !m.empty()) {
        ReportNodeStatus(Status::Fail, m, tree, root, 0, 0, result);
        return;
    }
    auto report = [&](Status s, std::string_view message, int node, int position, int length) {
        ReportNodeStatus(s, message, tree, node, position, length, result);
    };

    // Extension checks, over the whole tree in Index order.
    int extensions = 0, extensionValue = 0;
    for (int i = 1; i <= tree.count(); ++i) {
        if (!tree[i].isAttribute() || !isExtension(tree[i].text)) continue;
        if (++extensions > 1) {
            report(Status::Fail, "There may only be one Extension attribute", i, 0, 0);
            continue;
        }
        report(Status::Good, "Valid extension attribute", i, 0, 0);
        if (!tree[tree[i].parent].isRoot()) report(Status::Fail, "Extension may not be a sub-attribute", i, 0, 0);
        if (tree[i].children == 0) {
            report(Status::Warn, "Extension attribute should have a value", i, 0, 0);
            continue;
        }
        for (int v = tree[i].child; v; v = tree[v].next) {
            if (v != tree[i].child) {
                report(Status::Fail, "Extension may not have more than one value", v, 0, 0);
                continue;
            }
            report(Status::Good, "Valid extension value", v, 0, 0);
            extensionValue = v;
            const std::string& text = tree[v].text;
            if (auto p = text.find('.'); p != std::string::npos)
                report(Status::Fail, "Extension value contains a period", v, utf8::position(text, p), 1);
            if (!allowIllegal) {
                if (int p = FindIllegalCharacter(text))
                    report(Status::Fail, "Extension value contains an illegal character", v, p, 1);
            }
            const int len = charLength(text);
            if (len < extensionLengthMinimum)
                report(Status::Warn,
                       ShortMessage() << "Extension value is less than " << extensionLengthMinimum << " characters long",
                       v, 1, len);
            if (len > extensionLengthMaximum)
                report(Status::Warn,
                       ShortMessage() << "Extension value is more than " << extensionLengthMaximum << " characters long",
                       v, 1, len);
            if (tree[v].child) report(Status::Fail, "Extension value may not have sub-attributes", tree[v].child, 0, 0);
        }
    }
    if (extensions == 0 && extensionLengthMinimum > 0)
        report(Status::Warn, "There should be an Extension attribute", root, 0, 0);

    Builder2x builder(fileName, tree, result, delimiters, allowIllegal, allowLabelDelimiters);
    if (tree[root].child) builder.attributes(tree[root].child, 1);
    if (fileName.empty()) report(Status::Fail, "There must be at least one non-Extension attribute", root, 0, 0);

    if (extensions == 1) {
        fileName += '.';
        if (extensionValue) utf8::appendLower(tree[extensionValue].text, fileName);
    }
    const int length = charLength(fileName);
    if (length > maximumLength)
        report(Status::Fail,
               ShortMessage() << "Filename is too long (Length=" << length << ", Maximum=" << maximumLength << ")",
               root, 0, 0);
}

}  // namespace lorvane
