// Names and trees nested far deeper than any real name: every layer stops at
// kAttributeLevelsMaximum with a finding (the deepest allowed name is a dispatch round
// trip). Run under AddressSanitizer (dev preset), where deep recursion overflows the stack soon.
#include <gtest/gtest.h>

#include <string>

#include "engine/dispatch.h"
#include "engine/format2x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

constexpr int kDeep = 100000;
constexpr Delimiters2x kUsual{"{", "}", "=", ";"};

// The attribute of level k has Index 2k, its value 2k + 1.
void nestedTree(AttributeTree& tree, int levels) {
    InitializeTree(tree, 0);
    for (int i = 0, parent = tree.root(); i < levels; ++i) {
        const int a = tree.addChild(parent, "Subject", image::AttributeGood);
        tree[a].tag = "SU";
        parent = tree.addChild(a, "b", image::ValueGood);
    }
}

TEST(DeepNesting, EveryLayerStopsAtTheFirstAttributeTooDeep) {
    const std::string deep(kNestedTooDeeply);
    std::string name;
    for (int i = 0; i < kDeep; ++i) name += "{a=b";
    AttributeTree tree;
    Result parsed, semantics, built;
    Parse2x(name, tree, parsed, kUsual, false, true, Strict, 10000000, 4);  // at the start delimiter past the maximum
    EXPECT_EQ(findingText(parsed), "Fail @" + std::to_string(4 * kAttributeLevelsMaximum + 1) + "+1 " + deep);
    EXPECT_TRUE(tree.empty());

    const std::string tooDeep = "Fail n" + std::to_string(2 * (kAttributeLevelsMaximum + 1)) + " @0+0 " + deep;
    GlobalSettings s;
    s.SemanticsAttributeValidateContext = 0;  // Subject under Subject: only the depth is wrong
    nestedTree(tree, kDeep);
    ApplySemantics(tree, semantics, MakeSemanticOptions(s, false), MakeDateOptions(s));
    EXPECT_EQ(findingText(semantics), tooDeep);
    EXPECT_EQ(tree[2 * kAttributeLevelsMaximum].text, "Subject");  // processed down to the maximum
    nestedTree(tree, kDeep);
    Build2x(name, tree, built, kUsual, false, true, 10000000, 2, 3);
    EXPECT_EQ(findingText(built), tooDeep);
}

}  // namespace
}  // namespace lorvane
