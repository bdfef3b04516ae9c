#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/format2x.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

// One parse. The running position is a byte offset into the body; it is turned into
// a character position only when a finding is reported.
class Parser2x {
public:
    Parser2x(std::string_view body, AttributeTree& tree, const Delimiters2x& d, bool allowLabel, int strict,
             int showLevels)
        : body_(body), tree_(tree), d_(d), allowLabel_(allowLabel), strict_(strict == Strict),
          permissive_(strict == Permissive), showLevels_(showLevels) {
        for (std::string_view delim : {d.start, d.end, d.label, d.value})
            mayStart_[static_cast<unsigned char>(delim[0])] = true;
#if defined(__SSE2__)
        first_[0] = _mm_set1_epi8(d.start[0]);
        first_[1] = _mm_set1_epi8(d.end[0]);
        first_[2] = _mm_set1_epi8(d.label[0]);
        first_[3] = _mm_set1_epi8(d.value[0]);
#endif
    }

    void attributes(int parent, int level);

    bool failed() const { return !message_.empty(); }
    // The finding's message: its fixed text, then the delimiter it names (if any) in quotes.
    void writeMessage(std::string& out) const {
        out.assign(message_);
        if (!named_.empty()) {
            out += '"';
            out += named_;
            out += '"';
        }
    }
    int position() const { return utf8::position(body_, pos_); }
    bool atBodyEnd() const { return pos_ == body_.size(); }
    int length() const { return length_; }
    int counter = 0;

private:
    bool at(std::string_view delim) const {
        return pos_ < body_.size() && body_[pos_] == delim[0] &&
               (delim.size() == 1 || body_.substr(pos_).starts_with(delim));
    }
    bool atEnd() const { return pos_ >= body_.size(); }
    // Moves past the current byte and every following byte that cannot begin a delimiter.
    // Stopping inside a multi-byte character is harmless: delimiters begin with a lead byte.
    // Scans with locals: a store to pos_ inside the loop would make the compiler reload
    // everything a char may alias.
    void advanceChar() {
        const char* s = body_.data();
        const std::size_t n = body_.size();
        std::size_t p = pos_ + 1;
#if defined(__SSE2__)
        // Sixteen bytes at a time against the four first bytes: a word or two is found
        // in one step, without a branch per byte.
        while (p + 16 <= n) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, first_[0]), _mm_cmpeq_epi8(chunk, first_[1])),
                                             _mm_or_si128(_mm_cmpeq_epi8(chunk, first_[2]), _mm_cmpeq_epi8(chunk, first_[3])));
            if (const int mask = _mm_movemask_epi8(hit)) {
                pos_ = p + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
                return;
            }
            p += 16;
        }
#endif
        while (p < n && !mayStart_[static_cast<unsigned char>(s[p])]) ++p;
        pos_ = p;
    }
    void fail(std::string_view message, std::string_view span) {
        message_ = message;
        named_ = {};
        length_ = static_cast<int>(utf8::length(span));
    }
    void failCaret(std::string_view message, std::string_view named = {}) {
        message_ = message;
        named_ = named;
        length_ = 0;
    }
    // Skips a stray delimiter or space between attributes; in strict mode it is an error.
    bool extraneous(std::string_view token, std::string_view message) {
        if (!at(token)) return false;
        if (strict_) fail(message, token);
        else pos_ += token.size();
        return true;
    }

    std::string_view body_;
    AttributeTree& tree_;
    const Delimiters2x d_;  // a copy: one load less for every delimiter test
    bool allowLabel_, strict_, permissive_;
    int showLevels_;
    std::size_t pos_ = 0;
    bool mayStart_[256] = {};
#if defined(__SSE2__)
    __m128i first_[4];  // each delimiter's first byte, in every lane
#endif
    std::string_view message_, named_;  // fixed texts: nothing is built until the result is
    int length_ = 0;
};

void Parser2x::attributes(int parent, int level) {
    for (;;) {
        if (atEnd()) return;
        if (extraneous(d_.end, "Extraneous end delimiter") || extraneous(d_.label, "Extraneous label delimiter") ||
            extraneous(d_.value, "Extraneous value delimiter") || extraneous(" ", "Extraneous space")) {
            if (failed()) return;
            continue;
        }
        if (at(d_.start)) {
            pos_ += d_.start.size();
        } else if (!permissive_) {
            return failCaret("Missing start delimiter ", d_.start);
        }

        // The name runs up to the label delimiter.
        const std::size_t nameStart = pos_;
        while (!atEnd()) {
            if (at(d_.start)) {
                if (strict_) fail("Start delimiter in attribute name", d_.start);
                break;
            }
            if (at(d_.value)) {
                if (strict_) fail("Value delimiter in attribute name", d_.value);
                break;
            }
            if (at(d_.end)) {
                if (strict_) failCaret("Missing label delimiter ", d_.label);
                break;
            }
            if (at(d_.label)) break;
            advanceChar();
        }
        const std::string_view name = utf8::trimSpaces(body_.substr(nameStart, pos_ - nameStart));
        if (strict_ && !failed()) {
            if (name.empty()) failCaret("Missing attribute name");
            else if (atEnd()) failCaret("Missing label delimiter ", d_.label);
        }
        if (failed()) return;

        ++counter;
        const int attr = tree_.addChild(parent, name, image::AttributeGood);
        tree_[attr].tag.assign(name);
        tree_[attr].expanded = 2 * level - 1 < showLevels_;

        // Values: label delimiter before the first, value delimiter before the rest.
        for (;;) {
            if (atEnd()) return;
            if (at(d_.end)) break;
            const bool atLabel = at(d_.label), atValue = !atLabel && at(d_.value);
            if (strict_ && !atLabel && !atValue) return;  // cannot happen: every strict stop is at one of these
            if (atLabel) pos_ += d_.label.size();
            else if (atValue) pos_ += d_.value.size();

            const std::size_t valueStart = pos_;
            while (!atEnd() && !at(d_.start) && !at(d_.end) && !at(d_.value)) {
                if (!allowLabel_ && at(d_.label)) {
                    fail("Label delimiter in attribute value", d_.label);
                    return;
                }
                advanceChar();
            }
            const std::string_view value = utf8::trimSpaces(body_.substr(valueStart, pos_ - valueStart));
            if (strict_) {
                if (value.empty()) return failCaret("Missing attribute value");
                if (atEnd()) return failCaret("Missing end delimiter ", d_.end);
            }
            const int val = tree_.addChild(attr, value, image::ValueGood);
            tree_[val].expanded = 2 * level < showLevels_;

            if (at(d_.start)) {
                if (level == kAttributeLevelsMaximum) return fail(kNestedTooDeeply, d_.start);
                attributes(val, level + 1);
                if (strict_ && !failed() && atEnd()) failCaret("Missing end delimiter ", d_.end);
                if (failed()) return;
            }
        }
        pos_ += d_.end.size();
        // A sub-attribute list ends where its value's list goes on or closes.
        if (level > 1 && (at(d_.value) || at(d_.end))) return;
    }
}

}  // namespace

std::string_view EmptyDelimiterMessage(const Delimiters2x& d) {
    if (d.start.empty()) return "Attribute start delimiter may not be empty";
    if (d.end.empty()) return "Attribute end delimiter may not be empty";
    if (d.label.empty()) return "Attribute label delimiter may not be empty";
    if (d.value.empty()) return "Attribute value delimiter may not be empty";
    return {};
}

void Parse2x(std::string_view fileName, AttributeTree& tree, Result& result, const Delimiters2x& delimiters,
             bool allowIllegal, bool allowLabelDelimiters, int strictMode, int maximumLength, int showLevels) {
    result.reset();
    result.position = 1;
    InitializeTree(tree, showLevels);
    auto failWith = [&](std::string_view message, int position, int length, ResultCode code = ResultCode::None) {
        tree.clear();
        result.set(Status::Fail, message, position, length, code);
    };

    const int nameLength = static_cast<int>(utf8::length(fileName));
    if (!CheckFilenameBasics(fileName, nameLength, allowIllegal, maximumLength, "Filename contains an illegal character",
                             tree, result))
        return;
    if (auto m = EmptyDelimiterMessage(delimiters); !m.empty()) return failWith(m, 1, 0);

    const std::size_t dot = fileName.rfind('.');
    const std::string_view body = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view{} : fileName.substr(dot);

    Parser2x parser(body, tree, delimiters, allowLabelDelimiters, strictMode, showLevels);
    if (!body.empty()) {
        if (body.front() == '.') return failWith("Filename may not begin with a period", 1, 0);
        parser.attributes(tree.root(), 1);
        if (parser.failed()) {
            tree.clear();
            result.set(Status::Fail, {}, parser.position(), parser.length());
            parser.writeMessage(result.message);
            return;
        }
    }
    if (!extension.empty()) {
        ++parser.counter;
        const int ext = tree.addChild(tree.root(), "Extension", image::AttributeGood);
        tree[ext].tag = "Extension";
        tree[ext].expanded = showLevels > 1;
        if (extension.size() > 1) {
            const int val = tree.addChild(ext, "", image::ValueGood);
            utf8::upperInto(extension.substr(1), tree[val].text);
            tree[val].expanded = showLevels > 2;
        }
    }
    if (parser.counter == 0) return failWith("Filename must contain at least one attribute", 1, 0);
    if (!extension.empty() && parser.counter == 1)
        return failWith("Filename must contain at least one non-Extension attribute", 1, 0);
    // The running position doubles as the result's position. A good parse leaves it at
    // the body's end, where the name's length gives it without counting again.
    result.position = parser.atBodyEnd() ? nameLength - static_cast<int>(utf8::length(extension)) + 1
                                         : parser.position();
}

}  // namespace lorvane
