// Checks shared by the fuzz targets. A broken invariant aborts, which libFuzzer
// reports with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/dictionary.h"
#include "engine/dispatch.h"
#include "engine/pipeline.h"
#include "engine/utf8.h"

namespace lorvane::fuzz {

[[noreturn]] inline void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void require(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) broken(what, detail);
}

// Texts and tags of every node, in tree order.
inline std::string shape(const AttributeTree& t, int n = -1) {
    if (n == -1) n = t.root();
    if (!n) return {};
    std::string out = t[n].text + "\x1F" + t[n].tag + "(";
    for (int c = t[n].child; c; c = t[c].next) out += shape(t, c) + ",";
    return out + ")";
}

// The shape a built name must read back to: the builder recognises the Extension
// attribute by any form of its name and writes it last as the file's extension
// in lower case, which the parser reads back as "Extension" with its value in
// upper case.
// Empty when the tree has more than one such attribute (the builder keeps one).
inline std::string roundTripShape(const AttributeTree& t) {
    const int root = t.root();
    if (!root) return {};
    std::string out = t[root].text + "\x1F" + t[root].tag + "(", extension;
    int extensions = 0;
    for (int c = t[root].child; c; c = t[c].next) {
        if (TranslateAttributeName(t[c].text) != "Extension") {
            out += shape(t, c) + ",";
            continue;
        }
        if (++extensions > 1) return {};
        extension =
            "Extension\x1F"
            "Extension(";
        for (int v = t[c].child; v; v = t[v].next) {
            // An empty extension is written as a bare period, which reads back as no value.
            if (t[v].text.empty() && !t[v].child) continue;
            // Written in lower case, read back in upper case: the read-back form is the
            // upper case of the lower case, which differs for a letter such as U+0130.
            extension += utf8::upper(utf8::lower(t[v].text)) + "\x1F" + t[v].tag + "(";
            for (int a = t[v].child; a; a = t[a].next) extension += shape(t, a) + ",";
            extension += "),";
        }
        extension += "),";
    }
    return out + extension + ")";
}

// A parse result: Fail leaves no tree, Good a rooted well-shaped tree; the finding
// lies inside the examined text (or just past its end, for a caret).
inline void checkParse(std::string_view name, const AttributeTree& tree, const Result& r) {
    const int len = static_cast<int>(utf8::isValid(name) ? utf8::length(name) : name.size());
    require(r.status == Status::Good || r.status == Status::Fail, "a parse is Good or Fail");
    if (r.status == Status::Fail) {
        require(tree.empty(), "a failed parse empties the tree", r.message);
        require(!r.message.empty(), "a failure says why");
        require(r.position >= 1 && r.position <= len + 1, "position inside the name", r.message);
        require(r.length >= 0 && r.position + r.length - 1 <= len, "length inside the name", r.message);
    } else {
        require(!tree.empty() && tree[tree.root()].text == "Filename", "a good parse has the root");
        require(tree.wellShaped(), "a good parse respects the shape rules");
        require(r.message.empty(), "Good carries no message");
    }
}

// A build result: positions lie inside the text of the node they name. A value's
// check counts its range in the text it checked, which a rewrite in standard form
// may have replaced since, so there only the signs are known.
inline void checkBuild(const AttributeTree& tree, const Result& r, const std::string& built) {
    require(statusFromWord(statusWord(r.status)).has_value(), "status is one of the three words");
    if (r.status == Status::Fail) require(built.empty(), "a failed build yields no name");
    if (r.nodeIndex) {
        require(r.nodeIndex >= 1 && r.nodeIndex <= tree.count(), "node index inside the tree");
        require(r.position >= 0 && r.length >= 0, "position and length not negative", r.message);
        if (tree[r.nodeIndex].isValue()) return;
        const int len = static_cast<int>(utf8::length(tree[r.nodeIndex].text));
        require(r.position >= 0 && r.position <= len + 1, "position inside the node text", r.message);
        require(r.length >= 0 && r.position + r.length - 1 <= len, "length inside the node text", r.message);
    }
}

// The pipeline's parse of name, checked; true when it was Good.
inline bool parsed(NamePipeline& p, std::string_view name) {
    p.Parse(name);
    checkParse(name, p.tree(), p.parseResult());
    return p.parseResult().good();
}

// The pipeline's semantic layer (when on) and build of the parsed tree, checked;
// true when a name was built.
inline bool built(NamePipeline& p) {
    p.BuildParsed();
    require(p.tree().wellShaped(), "semantics keeps the shape rules");
    checkBuild(p.tree(), p.buildResult(), p.builtName());
    require(p.buildResult().failed() || !p.buildFormatName().empty(), "a name that was built says its format");
    return !p.buildResult().failed();
}

// Byte reader over the fuzz input, for settings drawn from it.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : p_(reinterpret_cast<const char*>(data)), n_(size) {}
    std::uint8_t byte() {
        if (!n_) return 0;
        --n_;
        return static_cast<std::uint8_t>(*p_++);
    }
    // A short delimiter from a fixed pool, so runs explore overlapping and multi-character ones.
    std::string delimiter() {
        static const char* pool[] = {"{", "}", "=",  ";",  "[",  "]", "#", "~",        "-",
                                     "@", " ", "{{", "}}", "=>", ".", "a", "\xC2\xA7", ""};
        return pool[byte() % (sizeof pool / sizeof *pool)];
    }
    // The next n bytes, or as many as are left.
    std::string_view take(std::size_t n) {
        if (n > n_) n = n_;
        const std::string_view s(p_, n);
        p_ += n;
        n_ -= n;
        return s;
    }
    std::string_view rest() {
        std::string_view s(p_, n_);
        n_ = 0;
        return s;
    }

private:
    const char* p_;
    std::size_t n_;
};

}  // namespace lorvane::fuzz
