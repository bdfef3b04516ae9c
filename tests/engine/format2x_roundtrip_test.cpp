// Property tests: build then parse gives the same tree; parse a Good name then build
// gives a name that parses to the same tree. Fixed seeds keep failures reproducible.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/format2x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using testing::treeText;

// Texts with tags, so a parse that mixes up Tag and Text is caught too.
std::string fullText(const AttributeTree& t) {
    std::string out = treeText(t) + "|";
    for (int i = 1; i <= t.count(); ++i) out += t[i].tag + "|";
    return out;
}

struct DelimiterSet {
    std::string start, end, label, value;
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    // Delimiters drawn from characters that avoid each other and the text alphabet.
    DelimiterSet delimiters() {
        static const std::vector<std::string> pool = {"{", "}", "=", ";", "[", "]", "(", ")", "#", "~", "+", "!",
                                                      "@@", "%%", "&&", "^^", "\xC2\xA7", "\xC2\xAB"};
        std::vector<std::string> p = pool;
        std::shuffle(p.begin(), p.end(), rng_);
        return {p[0], p[1], p[2], p[3]};
    }

    std::string text() {
        static const std::vector<std::string> alphabet = {"a", "b", "Z", "0", "7", "-", "_", ",", "'", " ",
                                                          "\xC3\xA9", "\xE6\xBC\xA2", "\xF0\x9F\x93\xB7"};
        std::string s;
        int n = 1 + pick(8);
        for (int i = 0; i < n; ++i) s += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
        // Parsers trim; keep the ends non-blank so the tree survives unchanged.
        if (s.front() == ' ') s.front() = 'x';
        if (s.back() == ' ') s.back() = 'y';
        return s;
    }

    void attributes(AttributeTree& t, int parent, int depth) {
        int n = 1 + pick(depth == 0 ? 4 : 2);
        for (int i = 0; i < n; ++i) {
            std::string name = text();
            int a = t.addChild(parent, name, image::AttributeGood);
            t[a].tag = name;
            int values = 1 + pick(3);
            for (int v = 0; v < values; ++v) {
                int val = t.addChild(a, text(), image::ValueGood);
                if (depth < 3 && pick(4) == 0) attributes(t, val, depth + 1);
            }
        }
    }

    void tree(AttributeTree& t, bool extension) {
        InitializeTree(t, 99);
        attributes(t, t.root(), 0);
        if (extension) {
            int e = t.addChild(t.root(), "Extension", image::AttributeGood);
            t[e].tag = "Extension";
            t.addChild(e, pick(2) ? "JPG" : "PNG", image::ValueGood);
        }
        for (int i = 1; i <= t.count(); ++i) t[i].expanded = true;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    std::mt19937 rng_;
};

TEST(Format2xRoundTrip, BuildThenParseGivesTheSameTree) {
    Generator gen(20261206);
    int built = 0;
    for (int i = 0; i < 3000; ++i) {
        DelimiterSet d = gen.delimiters();
        const Delimiters2x delims{d.start, d.end, d.label, d.value};
        AttributeTree original;
        gen.tree(original, gen.pick(3) != 0);
        std::string name;
        Result br;
        Build2x(name, original, br, delims, false, false, 100000, 0, 3);
        ASSERT_NE(br.status, Status::Fail) << br.message << " in " << name;
        ++built;
        for (int mode : {Strict, Tolerant, Permissive}) {
            AttributeTree parsed;
            Result pr;
            Parse2x(name, parsed, pr, delims, false, false, mode, 100000, 99);
            ASSERT_EQ(pr.status, Status::Good) << pr.message << " at " << pr.position << " in " << name;
            ASSERT_EQ(fullText(parsed), fullText(original)) << name;
        }
    }
    EXPECT_EQ(built, 3000);
}

TEST(Format2xRoundTrip, GoodParseRebuildsToAnEquivalentName) {
    // Random strings over the delimiters and a few letters: many parse in the relaxed modes.
    std::mt19937 rng(42);
    const std::string alphabet = "{}=;ab .x";
    const Delimiters2x delims{"{", "}", "=", ";"};
    int good = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string name;
        int n = 1 + static_cast<int>(rng() % 16);
        for (int k = 0; k < n; ++k) name += alphabet[rng() % alphabet.size()];
        for (int mode : {Strict, Tolerant, Permissive}) {
            AttributeTree first;
            Result r;
            Parse2x(name, first, r, delims, false, true, mode, 200, 4);
            if (r.status != Status::Good) continue;
            std::string rebuilt;
            Result br;
            Build2x(rebuilt, first, br, delims, false, true, 200, 0, 3);
            if (br.status == Status::Fail) continue;  // e.g. two Extension attributes
            ++good;
            AttributeTree second;
            Parse2x(rebuilt, second, r, delims, false, true, Tolerant, 200, 4);
            ASSERT_EQ(r.status, Status::Good) << name << " -> " << rebuilt << ": " << r.message;
            // Build marks nodes; compare texts and tags only.
            ASSERT_EQ(fullText(second), fullText(first)) << name << " -> " << rebuilt;
        }
    }
    EXPECT_GT(good, 1000);
}

// Where the rebuilt name may differ from the parsed one: the Extension attribute is
// recognised by any form of its name and always written last, as the extension.
TEST(Format2xRoundTrip, ExtensionAttributeUnderAnotherNameIsWrittenAsTheExtension) {
    const Delimiters2x delims{"{", "}", "=", ";"};
    struct Case {
        const char* name;
        const char* rebuilt;
    } cases[] = {
        {"{A=b}{ex=jpg}", "{A=b}.jpg"},
        {"{EXTN=png}{A=b}", "{A=b}.png"},
        {"{}}A=}}}}{ex=t", "{}{A=}.t"},  // a one-letter extension still builds, with a warning
        {"{A=b}{Extension=}", "{A=b}."},   // an empty extension is a bare period
    };
    for (const Case& c : cases) {
        AttributeTree tree;
        Result r;
        Parse2x(c.name, tree, r, delims, false, true, Permissive, 200, 4);
        ASSERT_EQ(r.status, Status::Good) << c.name << ": " << r.message;
        std::string rebuilt;
        Result br;
        Build2x(rebuilt, tree, br, delims, false, true, 200, 0, 3);
        EXPECT_NE(br.status, Status::Fail) << c.name << ": " << br.message;
        EXPECT_EQ(rebuilt, c.rebuilt) << c.name;
    }
}

}  // namespace
}  // namespace lorvane
