// Build then parse gives the same tree, under random delimiters and in every strictness (the 2.x fuzz
// target checks the other way round: parse, build, parse).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/format2x.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

// Texts with tags, so a parse that mixes up Tag and Text is caught too.
std::string fullText(const AttributeTree& t) {
    std::string out = testing::treeText(t) + "|";
    for (int i = 1; i <= t.count(); ++i) out += t[i].tag + "|";
    return out;
}

struct Generator {
    std::mt19937 rng;
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    // Letters, digits, punctuation and multi-byte characters, not blank at either end (parsers trim).
    std::string text() {
        static const char* const alphabet[] = {
            "a", "b", "Z", "0", "7", "-", "_", ",", "'", " ", "\xC3\xA9", "\xE6\xBC\xA2", "\xF0\x9F\x93\xB7"};
        std::string s;
        for (int i = 1 + pick(8); i > 0; --i) s += alphabet[pick(13)];
        if (s.front() == ' ') s.front() = 'x';
        if (s.back() == ' ') s.back() = 'y';
        return s;
    }
    void attributes(AttributeTree& t, int parent, int depth) {
        for (int i = 1 + pick(depth == 0 ? 4 : 2); i > 0; --i) {
            const int a = t.addChild(parent, text(), image::AttributeGood);
            t[a].tag = t[a].text;
            for (int v = 1 + pick(3); v > 0; --v) {
                const int val = t.addChild(a, text(), image::ValueGood);
                if (depth < 3 && pick(4) == 0) attributes(t, val, depth + 1);
            }
        }
    }
};

TEST(Format2xRoundTrip, BuildThenParseGivesTheSameTree) {
    // Delimiters drawn from characters that avoid each other and the text alphabet.
    std::vector<std::string> pool = {"{", "}", "=", ";",  "[",  "]",  "(",  ")",        "#",
                                     "~", "+", "!", "@@", "%%", "&&", "^^", "\xC2\xA7", "\xC2\xAB"};
    Generator gen{std::mt19937(20261206)};
    for (int i = 0; i < 3000; ++i) {
        std::shuffle(pool.begin(), pool.end(), gen.rng);
        const Delimiters2x d{pool[0], pool[1], pool[2], pool[3]};
        AttributeTree original;
        InitializeTree(original, 99);
        gen.attributes(original, original.root(), 0);
        if (gen.pick(3) != 0) {
            const int e = original.addChild(original.root(), "Extension", image::AttributeGood);
            original[e].tag = "Extension";
            original.addChild(e, gen.pick(2) ? "JPG" : "PNG", image::ValueGood);
        }
        for (int n = 1; n <= original.count(); ++n) original[n].expanded = true;
        std::string name;
        Result br;
        Build2x(name, original, br, d, false, false, 100000, 0, 3);
        ASSERT_NE(br.status, Status::Fail) << br.message << " in " << name;
        for (int mode : {Strict, Tolerant, Permissive}) {
            AttributeTree parsed;
            Result pr;
            Parse2x(name, parsed, pr, d, false, false, mode, 100000, 99);
            ASSERT_EQ(pr.status, Status::Good) << pr.message << " at " << pr.position << " in " << name;
            ASSERT_EQ(fullText(parsed), fullText(original)) << name;
        }
    }
}

}  // namespace
}  // namespace lorvane
