#include "core/rows/select_files.h"

#include "engine/dictionary.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

constexpr bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Every delimiter is ASCII or Latin-1 (two bytes, C2 or C3 first), so the
// character on either side of an occurrence is read without decoding the text.
bool delimiterBefore(std::string_view text, std::size_t at) {
    const auto last = static_cast<unsigned char>(text[at - 1]);
    if (last < 0x80) return IsWordDelimiter(last);
    if (at < 2 || !isContinuation(last)) return false;
    const auto lead = static_cast<unsigned char>(text[at - 2]);
    return (lead == 0xC2 || lead == 0xC3) && IsWordDelimiter(char32_t((lead & 0x1F) << 6 | (last & 0x3F)));
}

bool delimiterAt(std::string_view text, std::size_t at) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (first < 0x80) return IsWordDelimiter(first);
    if (first != 0xC2 && first != 0xC3) return false;
    if (at + 1 >= text.size() || !isContinuation(static_cast<unsigned char>(text[at + 1]))) return false;
    return IsWordDelimiter(char32_t((first & 0x1F) << 6 | (text[at + 1] & 0x3F)));
}

// Whether s occurs in t. As a search for a position: an empty text holds no
// position, so nothing occurs in it; an empty s occurs in every other text.
bool occurs(std::string_view t, std::string_view s) { return !t.empty() && t.find(s) != std::string_view::npos; }

// Upper case as the engine maps it, but a byte that is not part of a valid
// character (a name that is not UTF-8) stays itself and takes no neighbour with it.
void upperKeepingBytes(std::string_view text, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(utf8::asciiUpper(c)));
            ++i;
            continue;
        }
        const std::size_t len = utf8::sequenceLength(c);
        if (len > 1 && i + len <= text.size() && utf8::isValid(text.substr(i, len))) {
            utf8::append(out, utf8::toUpper(utf8::decode(text, i)));
        } else {
            out.push_back(static_cast<char>(c));
            ++i;
        }
    }
}

}  // namespace

bool IsWordDelimiter(char32_t c) {
    if (c == ' ') return true;
    if ((c >= 33 && c <= 47) || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || (c >= 123 && c <= 126)) return true;
    switch (c) {
        case U'¢':
        case U'£':
        case U'¥':
        case U'ª':
        case U'º':
        case U'¿':
        case U'¬':
        case U'½':
        case U'¼':
        case U'¡':
        case U'«':
        case U'»':
        case U'±':
        case U'÷':
        case U'°':
        case U'·':
        case U'²': return true;
        default: return false;
    }
}

std::int32_t FindWholeWord(std::string_view text, std::string_view word) {
    if (text.empty()) return 0;
    std::size_t p = text.find(word);
    while (p != std::string_view::npos) {
        const std::size_t end = p + word.size();
        if ((p == 0 || delimiterBefore(text, p)) && (end >= text.size() || delimiterAt(text, end)))
            return utf8::position(text, p);
        // The next search starts one character on.
        const std::size_t next = p + utf8::sequenceLength(static_cast<unsigned char>(text[p]));
        if (next >= text.size()) return 0;
        p = text.find(word, next);
    }
    return 0;
}

SelectMatcher::SelectMatcher(const SelectRequest& request)
    : request_(request),
      filename_(prepare(request.filename)),
      label_(prepare(request.labelText)),
      value_(prepare(request.valueText)),
      contextLabelUpper_(utf8::upper(request.contextLabel)),
      contextValueUpper_(utf8::upper(request.contextValue)),
      contextLongName_(TranslateAttributeName(request.contextLabel)) {}

SelectMatcher::Needle SelectMatcher::prepare(const TextSearch& search) {
    return {search, utf8::upper(search.text), TranslateAttributeName(search.text)};
}

bool SelectMatcher::textMatches(std::string_view tested, const Needle& n, bool byDictionary) {
    const bool exact = n.search.matchCase;
    if (!exact) upperKeepingBytes(tested, scratch_);
    const std::string_view t = exact ? tested : std::string_view(scratch_);
    const std::string_view s = exact ? std::string_view(n.search.text) : std::string_view(n.upper);
    if (n.search.wholeWord) return FindWholeWord(t, s) >= 1;
    // Date, DT and Captured Date name one attribute, so each finds the others.
    return occurs(t, s) || (byDictionary && !n.longName.empty() && TranslateAttributeName(tested) == n.longName);
}

bool SelectMatcher::NameMatches(std::string_view fileName) { return textMatches(fileName, filename_, false); }

bool SelectMatcher::contextPasses(const AttributeTree& tree, const Node& a) {
    switch (request_.context) {
        case ContextCriterion::Any: return true;
        case ContextCriterion::TopLevel: return a.parent == tree.root();
        case ContextCriterion::SubAttributeOf: break;
    }
    if (a.parent == 0 || a.parent == tree.root()) return false;
    const Node& value = tree[a.parent];
    if (!request_.contextValue.empty()) {
        utf8::upperInto(value.text, scratch_);
        if (scratch_ != contextValueUpper_) return false;
    }
    if (request_.contextLabel.empty() || value.parent == 0) return true;
    const Node& parent = tree[value.parent];
    utf8::upperInto(parent.text, scratch_);
    return scratch_ == contextLabelUpper_ ||
           (!contextLongName_.empty() && TranslateAttributeName(parent.text) == contextLongName_);
}

bool SelectMatcher::labelPasses(const Node& a) {
    switch (request_.label) {
        case LabelCriterion::Any: return true;
        case LabelCriterion::Empty: return utf8::trimSpaces(a.text).empty();
        case LabelCriterion::Unrecognized: return TranslateAttributeName(a.text).empty();
        case LabelCriterion::Contains: return textMatches(a.text, label_, true);
    }
    return false;
}

bool SelectMatcher::valuePasses(const AttributeTree& tree, const Node& a) {
    switch (request_.value) {
        case ValueCriterion::Any: return true;
        case ValueCriterion::None: return a.child == 0;
        case ValueCriterion::Empty:
            for (int v = a.child; v; v = tree[v].next)
                if (utf8::trimSpaces(tree[v].text).empty()) return true;
            return false;
        case ValueCriterion::Contains:
            for (int v = a.child; v; v = tree[v].next)
                if (textMatches(tree[v].text, value_, true)) return true;
            return false;
    }
    return false;
}

bool SelectMatcher::TreeMatches(const AttributeTree& tree) {
    for (int i = 1; i <= tree.count(); ++i) {
        const Node& a = tree[i];
        if (a.isAttribute() && contextPasses(tree, a) && labelPasses(a) && valuePasses(tree, a)) return true;
    }
    return false;
}

bool SelectExamines(SelectAction action, bool selected) {
    switch (action) {
        case SelectAction::NewSelection: return true;
        case SelectAction::AddToSelection: return !selected;
        case SelectAction::Subselect:
        case SelectAction::RemoveFromSelection: return selected;
    }
    return false;
}

bool SelectOutcome(SelectAction action, bool selected, bool matches) {
    switch (action) {
        case SelectAction::NewSelection: return matches;
        case SelectAction::AddToSelection: return selected || matches;
        case SelectAction::Subselect: return selected && matches;
        case SelectAction::RemoveFromSelection: return selected && !matches;
    }
    return selected;
}

bool RunSelectFiles(const SelectRequest& request, std::span<FileRow* const> rows, RowParser& parser,
                    const SelectProgress& progress) {
    SelectMatcher matcher(request);
    const auto total = static_cast<std::int32_t>(rows.size());
    for (std::int32_t i = 0; i < total; ++i) {
        if (!progress(i + 1, total)) return false;
        FileRow& row = *rows[static_cast<std::size_t>(i)];
        if (!SelectExamines(request.action, row.Selected)) continue;
        bool matches;
        if (request.tab == SelectTab::ByFilename) {
            matches = matcher.NameMatches(row.Text);
        } else {
            // A name that did not parse, or parsed to a bare root, never matches.
            parser.ParseItem(row);
            matches = parser.result().status != Status::Fail && parser.workTree().count() >= 2 &&
                      matcher.TreeMatches(parser.workTree());
        }
        row.Selected = SelectOutcome(request.action, row.Selected, matches);
    }
    return true;
}

}  // namespace lorvane
