#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/dates.h"
#include "engine/format1x.h"
#include "engine/short_message.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool isLetter(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'); }

// An empty delimiter (0) never matches.
bool is(char32_t c, char32_t delimiter) { return delimiter != 0 && c == delimiter; }

// The name as characters, one per lead byte (the way utf8::length counts), so that
// positions here are the character positions the user sees.
void decodeInto(std::string_view text, std::u32string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i + 1;
        while (j < text.size() && !utf8::isLead(static_cast<unsigned char>(text[j]))) ++j;
        out.push_back(utf8::firstCodePoint(text.substr(i, j - i)));
        i = j;
    }
}

void encodeInto(std::u32string_view text, std::string& out) {
    out.clear();
    for (char32_t c : text) utf8::append(out, c);
}
void encodeInto(std::string_view asciiText, std::string& out) { out.assign(asciiText); }

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

template <typename Chars>
Chars trimmed(Chars s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

ShortMessage lengthMessage(std::string_view what, std::size_t length, int maximum, std::string_view maximumLabel) {
    ShortMessage m;
    m << what << " (Length=" << static_cast<int>(length) << maximumLabel << maximum << ")";
    return m;
}

// Chars is the decoded body, or the body itself when it is all ASCII (most names are),
// which saves decoding it. Without successMessages a token that reads well leaves its
// message empty, for callers that only report errors.
template <typename Chars>
class Tokenizer1x {
public:
    Tokenizer1x(Chars body, const Tokenizer1xSettings& s, bool successMessages = true)
        : s_(body), d_(s), successMessages_(successMessages) {}

    void next(int& p, Token1x& t) const {
        t.values[0] = t.values[1] = t.values[2] = -1;
        t.topic.clear();
        while (at(p) == U' ') ++p;
        t.start = p;
        if (past(p)) return succeed(t, Token1xKind::End, "Successfully reached end of filename");
        const char32_t c = at(p);
        if (is(c, d_.date)) return date(++p, t, true);
        if (is(c, d_.dateComponent)) {
            ++p;
            return fail(t, "Invalid use of Date Separator");
        }
        if (is(c, d_.time)) return time(++p, t, true);
        if (is(c, d_.timeComponent)) {
            ++p;
            return fail(t, "Invalid use of Time Separator");
        }
        if (is(c, d_.range)) {
            ++p;
            t.values[0] = static_cast<std::int32_t>(c);
            return succeed(t, Token1xKind::Range, "Successfully parsed Range");
        }
        if (is(c, d_.serial)) {
            ++p;
            if (!isDigit(at(p))) return fail(t, "No valid Serial Number following Serial Delimiter");
            return serial(p, t);
        }
        if (is(c, d_.topic)) {
            ++p;
            const Chars run = topicRun(p);
            if (run.empty()) {
                ++p;
                return fail(t, "No valid Topic following Topic Delimiter");
            }
            if (tooLong(run))
                return fail(t, ShortMessage() << "Topic too long (Maximum Topic Length = " << d_.topicLengthMaximum
                                              << ")");
            return topic(run, t);
        }
        if (!d_.date && digits(p, 4) && inRange(value(p, 4), d_.minimumYear, d_.maximumYear)) return date(p, t, false);
        if (!d_.time && digits(p, 2) && inRange(value(p, 2), 0, 23)) return time(p, t, false);
        if (isDigit(c) && !d_.serial) return serial(p, t);
        if (!d_.topic && isLetter(c)) {
            const Chars run = topicRun(p);
            if (tooLong(run))
                return fail(t, lengthMessage("Topic too long", run.size(), d_.topicLengthMaximum, ", Maximum= "));
            return topic(run, t);
        }
        ++p;
        fail(t, "Invalid character");
    }

private:
    bool past(int p) const { return p < 1 || static_cast<std::size_t>(p) > s_.size(); }
    char32_t at(int p) const { return past(p) ? U'\0' : static_cast<char32_t>(s_[static_cast<std::size_t>(p - 1)]); }
    bool digits(int p, int n) const {
        for (int i = 0; i < n; ++i)
            if (!isDigit(at(p + i))) return false;
        return true;
    }
    int value(int p, int n) const {
        int v = 0;
        for (int i = 0; i < n; ++i) v = v * 10 + static_cast<int>(at(p + i) - U'0');
        return v;
    }
    static bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }
    bool tooLong(Chars run) const {
        return run.size() > static_cast<std::size_t>(std::max(d_.topicLengthMaximum, 0));
    }

    void succeed(Token1x& t, Token1xKind kind, std::string_view message) const {
        t.kind = kind;
        if (successMessages_) t.message.assign(message);
        else t.message.clear();
    }
    // The caller has already moved the position as far as the error's span reaches.
    static void fail(Token1x& t, std::string_view message) {
        t.kind = Token1xKind::Error;
        t.message.assign(message);
    }

    // Two digits from lo to hi at p: consumed into `out`.
    bool component(int& p, int lo, int hi, std::int32_t& out) const {
        if (!digits(p, 2) || !inRange(value(p, 2), lo, hi)) return false;
        out = value(p, 2);
        p += 2;
        return true;
    }

    void date(int& p, Token1x& t, bool delimited) const {
        if (delimited && !(digits(p, 4) && inRange(value(p, 4), d_.minimumYear, d_.maximumYear))) {
            p += 4;
            return fail(t, "No valid 4-digit Year following Date Delimiter");
        }
        t.values[0] = value(p, 4);
        p += 4;
        succeed(t, Token1xKind::Date, "Successfully parsed Date");
        if (!d_.dateComponent) {
            // Compact form: digits that make no month or day are left for the next token.
            if (component(p, 1, 12, t.values[1])) component(p, 1, LastDayOfMonth(t.values[0], t.values[1]), t.values[2]);
            return;
        }
        if (at(p) != d_.dateComponent) return;
        ++p;
        if (!component(p, 1, 12, t.values[1])) {
            p += 2;
            return fail(t, "No valid 2-digit Month following Date Delimiter, Year, and Date Separator");
        }
        if (at(p) != d_.dateComponent) return;
        ++p;
        if (!component(p, 1, LastDayOfMonth(t.values[0], t.values[1]), t.values[2])) {
            p += 2;
            return fail(t,
                        "No valid 2-digit Day following Date Delimiter, Year, Date Separator, Month, and Date "
                        "Separator");
        }
    }

    void time(int& p, Token1x& t, bool delimited) const {
        if (delimited && !(digits(p, 2) && inRange(value(p, 2), 0, 23))) {
            p += 2;
            return fail(t, "No valid 2-digit Hour following Time Delimiter");
        }
        t.values[0] = value(p, 2);
        p += 2;
        succeed(t, Token1xKind::Time, "Successfully parsed Time");
        if (!d_.timeComponent) {
            // Compact form: second 60 is accepted here only.
            if (component(p, 0, 59, t.values[1])) component(p, 0, 60, t.values[2]);
            return;
        }
        if (at(p) != d_.timeComponent) return;
        ++p;
        if (!component(p, 0, 59, t.values[1])) {
            p += 2;
            return fail(t, "No valid 2-digit Minute following Time Delimiter, Hour, and Time Separator");
        }
        if (at(p) != d_.timeComponent) return;
        ++p;
        if (!component(p, 0, 59, t.values[2])) {
            p += 2;
            return fail(t,
                        "No valid 2-digit Second following Time Delimiter, Hour, Time Separator, Minute, and Time "
                        "Separator");
        }
    }

    // A run of digits at p (at least one). A run too long for the number type reads as the
    // largest number, so it is reported as larger than the maximum.
    void serial(int& p, Token1x& t) const {
        std::int64_t v = 0;
        while (isDigit(at(p))) {
            v = std::min<std::int64_t>(v * 10 + (at(p) - U'0'), std::numeric_limits<std::int32_t>::max());
            ++p;
        }
        t.values[0] = static_cast<std::int32_t>(v);
        if (v < d_.serialMinimum) return fail(t, "Invalid Serial Number (smaller than Minimum Serial Number)");
        if (v > d_.serialMaximum) return fail(t, "Invalid Serial Number (larger than Maximum Serial Number)");
        succeed(t, Token1xKind::Serial, "Successfully parsed Serial");
    }

    // Everything up to the next date, time, range or serial delimiter, letters always
    // included; returned trimmed, with p left after the run.
    Chars topicRun(int& p) const {
        const int from = p;
        while (!past(p)) {
            const char32_t c = at(p);
            if (!isLetter(c) && (is(c, d_.date) || is(c, d_.time) || is(c, d_.range) || is(c, d_.serial))) break;
            ++p;
        }
        return trimmed(s_.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(p - from)));
    }

    void topic(Chars run, Token1x& t) const {
        encodeInto(run, t.topic);
        succeed(t, Token1xKind::Topic, "Successfully parsed Topic");
    }

    Chars s_;
    const Tokenizer1xSettings& d_;
    bool successMessages_;
};

// The two ends of the span as they are read, before completion.
struct Reading {
    DateParts earliest, latest;
    bool rangeSeen = false;
    std::int32_t serial = 0;
    std::string topic;
};

// The order rules: a token that breaks them becomes an error.
void applyToken(Token1x& t, Reading& r, int topicLengthMaximum) {
    auto error = [&](std::string_view message) {
        t.kind = Token1xKind::Error;
        t.message.assign(message);
    };
    switch (t.kind) {
        case Token1xKind::Date:
            if (!r.rangeSeen) {
                if (r.earliest.year != -1) return error("Second Date not preceded by Range Delimiter");
                r.earliest.year = t.values[0], r.earliest.month = t.values[1], r.earliest.day = t.values[2];
            } else {
                if (r.latest.year != -1) return error("More than one Latest Date");
                if (r.latest.hour != -1) return error("Latest Date preceded by Latest Time");
                r.latest.year = t.values[0], r.latest.month = t.values[1], r.latest.day = t.values[2];
            }
            return;
        case Token1xKind::Time:
            if (!r.rangeSeen) {
                if (r.earliest.year == -1) return error("Earliest Time not preceded by Earliest Date");
                if (r.earliest.hour != -1) return error("Second Time not preceded by Range Delimiter");
                r.earliest.hour = t.values[0], r.earliest.minute = t.values[1], r.earliest.second = t.values[2];
            } else {
                if (r.latest.hour != -1) return error("More than one Latest Time");
                r.latest.hour = t.values[0], r.latest.minute = t.values[1], r.latest.second = t.values[2];
            }
            return;
        case Token1xKind::Range:
            if (r.rangeSeen) return error("More than one Range Delimiter");
            if (r.earliest.year == -1) return error("Range Delimiter not preceded by Earliest Date");
            r.rangeSeen = true;
            return;
        case Token1xKind::Serial:
            if (r.serial != 0) return error("More than one Serial Number");
            if (t.values[0] <= 0) return error("Invalid Serial Number (must be greater than zero)");
            r.serial = t.values[0];
            return;
        case Token1xKind::Topic: {
            std::string joined(utf8::trimSpaces(r.topic));
            joined += ' ';
            joined += utf8::trimSpaces(t.topic);
            r.topic.assign(utf8::trimSpaces(joined));
            const std::size_t length = utf8::length(r.topic);
            if (length > static_cast<std::size_t>(std::max(topicLengthMaximum, 0)))
                return error(lengthMessage("Topic too long", length, topicLengthMaximum, ", Maximum="));
            return;
        }
        case Token1xKind::End:
        case Token1xKind::Error: return;
    }
}

// Reads the tokens of the whole body into reading. False when one is an error: token
// holds it and p the position after it.
template <typename Chars>
bool readTokens(Chars body, const Tokenizer1xSettings& settings, int topicLengthMaximum, Reading& reading,
                Token1x& token, int& p) {
    if (body.empty()) return true;
    const Tokenizer1x<Chars> tokenizer(body, settings, false);
    do {
        tokenizer.next(p, token);
        applyToken(token, reading, topicLengthMaximum);
    } while (token.kind != Token1xKind::End && token.kind != Token1xKind::Error);
    return token.kind != Token1xKind::Error;
}

char32_t delimiterCode(std::string_view setting) { return setting.empty() ? 0 : utf8::firstCodePoint(setting); }

}  // namespace

Tokenizer1xSettings MakeTokenizer1xSettings(const DateOptions& dateOptions, const Parse1xOptions& options) {
    const DateDelimiters d = ParseDelimiters(dateOptions);
    Tokenizer1xSettings s;
    s.date = d.date;
    s.dateComponent = d.dateComponent;
    s.time = d.time;
    s.timeComponent = d.timeComponent;
    s.range = d.range;
    s.serial = delimiterCode(options.delimiterSerial);
    s.topic = delimiterCode(options.delimiterTopic);
    s.minimumYear = dateOptions[date_opt::MinimumYear];
    s.maximumYear = dateOptions[date_opt::MaximumYear];
    s.serialMinimum = options.serialMinimum;
    s.serialMaximum = options.serialMaximum;
    s.topicLengthMaximum = options.topicLengthMaximum;
    return s;
}

void Next1xToken(std::u32string_view body, int& position, Token1x& token, const Tokenizer1xSettings& settings) {
    Tokenizer1x<std::u32string_view>(body, settings).next(position, token);
}

void Parse1x(std::string_view fileName, AttributeTree& tree, Result& result, const DateOptions& dateOptions,
             const Parse1xOptions& options) {
    result.reset();
    InitializeTree(tree, options.showLevels);
    auto failWith = [&](std::string_view message, int position, int length, ResultCode code = ResultCode::None) {
        tree.clear();
        result.set(Status::Fail, message, position, length, code);
    };

    const int nameLength = static_cast<int>(utf8::length(fileName));
    if (!CheckFilenameBasics(fileName, nameLength, options.allowIllegal, options.maximumLength,
                             "Filename contains an illegal character", tree, result))
        return;

    // The extension is split off at the last period, whatever the extension delimiter holds.
    const std::size_t dot = fileName.rfind('.');
    const std::string_view bodyText = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view{} : fileName.substr(dot);

    const Tokenizer1xSettings settings = MakeTokenizer1xSettings(dateOptions, options);
    Reading reading;
    Token1x token;
    int p = 1;
    bool read;
    if (isAscii(bodyText)) {
        read = readTokens(bodyText, settings, options.topicLengthMaximum, reading, token, p);
    } else {
        std::u32string body;
        decodeInto(bodyText, body);
        read = readTokens(std::u32string_view(body), settings, options.topicLengthMaximum, reading, token, p);
    }
    if (!read) {
        // An error's move may reach past the body; select no further than the name's end.
        const int end = std::min(p, nameLength + 1);
        return failWith(token.message, token.start, end - token.start);
    }
    if (reading.earliest.year == -1)
        return failWith(ShortMessage() << "Filename must contain a Year between " << settings.minimumYear << " and "
                                       << settings.maximumYear,
                        1, static_cast<int>(utf8::length(bodyText)));

    CompleteDateSpan(reading.earliest, reading.latest);
    const auto earliest = MakeDateTime(reading.earliest), latest = MakeDateTime(reading.latest);
    if (!earliest || !latest) return failWith("Filename contains an invalid Date/Time", 1, nameLength);
    if (*latest < *earliest) return failWith("Latest Date/Time earlier than Earliest Date/Time", 1, nameLength);

    const int root = tree.root();
    auto attribute = [&](std::string_view name) {
        const int a = tree.addChild(root, name, image::AttributeGood);
        tree[a].tag.assign(name);
        tree[a].expanded = options.showLevels > 1;
        return a;
    };
    // Each value is written straight into its node's text, reusing the node's buffer.
    auto value = [&](int a) -> std::string& {
        const int v = tree.addChild(a, "", image::ValueGood);
        tree[v].expanded = options.showLevels > 2;
        return tree[v].text;
    };
    BuildDateText(*earliest, *latest, dateOptions, value(attribute(options.attributeDate)));
    if (reading.serial > 0) value(attribute(options.attributeSerial)) = std::to_string(reading.serial);
    if (!reading.topic.empty()) value(attribute(options.attributeTopic)).assign(reading.topic);
    if (!extension.empty()) {
        const int a = attribute(options.attributeExtension);
        if (extension.size() > 1) utf8::upperInto(extension.substr(1), value(a));
    }
}

}  // namespace lorvane
