// Names and trees nested far deeper than any real name: every layer either handles
// them without recursion or stops at kAttributeLevelsMaximum with a finding. Run
// under AddressSanitizer (dev preset), where deep recursion overflows the stack soon.
#include <gtest/gtest.h>

#include <string>

#include "engine/dispatch.h"
#include "engine/format1x.h"
#include "engine/format2x.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

constexpr int kDeep = 100000;
constexpr Delimiters2x kUsual{"{", "}", "=", ";"};

// "{a=b" levels times, then the end delimiters: each level is one attribute with one value.
std::string nestedName(int levels) {
    std::string name;
    for (int i = 0; i < levels; ++i) name += "{a=b";
    return name + std::string(static_cast<std::size_t>(levels), '}') + ".jpg";
}

// The same shape made node by node: the attribute of level k has Index 2k, its value 2k + 1.
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
    const std::string tooDeep = "Fail n" + std::to_string(2 * (kAttributeLevelsMaximum + 1)) + " @0+0 " + deep;
    for (int mode : {Permissive, Tolerant, Strict}) {  // at the start delimiter of the attribute past the maximum
        AttributeTree tree;
        Result r;
        Parse2x(nestedName(kDeep), tree, r, kUsual, false, true, mode, 10000000, 4);
        EXPECT_EQ(findingText(r), "Fail @" + std::to_string(4 * kAttributeLevelsMaximum + 1) + "+1 " + deep);
        EXPECT_TRUE(tree.empty());
    }
    GlobalSettings s;
    s.SemanticsAttributeValidateContext = 0;  // Subject under Subject: only the depth is wrong
    AttributeTree tree;
    nestedTree(tree, kDeep);
    Result semantics;
    ApplySemantics(tree, semantics, MakeSemanticOptions(s, false), MakeDateOptions(s));
    EXPECT_EQ(findingText(semantics), tooDeep);
    EXPECT_EQ(tree[2 * kAttributeLevelsMaximum].text, "Subject");  // processed down to the maximum

    nestedTree(tree, kDeep);
    Result build2x;
    std::string name;
    Build2x(name, tree, build2x, kUsual, false, true, 10000000, 2, 3);
    EXPECT_EQ(findingText(build2x), tooDeep);

    // 1.x reads the top level only; the depth below must not matter.
    nestedTree(tree, kDeep);
    Result build1x;
    Build1x(name, tree, build1x, MakeDateOptions(s), MakeBuild1xOptions(s));
    EXPECT_EQ(findingText(build1x), "Fail n2 @0+0 Only Date, Serial, Topic and Extension attributes may be included");
}

TEST(DeepNesting, TheDeepestAllowedNameGoesThroughTheCallingOrder) {
    GlobalSettings s;
    s.ParseLengthMaximum = s.BuildLengthMaximum = 10000000;
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    const EngineContext ctx{s, d, so, nullptr};
    const std::string name = nestedName(kAttributeLevelsMaximum);
    AttributeTree tree;
    std::string_view code, formatName;
    Result parsed, built;
    ParseFilename(name, tree, ctx, code, formatName, parsed);
    ASSERT_TRUE(parsed.good()) << parsed.message;
    EXPECT_EQ(tree.depth(2 * kAttributeLevelsMaximum), 2 * kAttributeLevelsMaximum - 1);
    ApplySemantics(tree, built, so, d);
    std::string rebuilt;
    BuildFilename(rebuilt, tree, code, ctx, formatName, built);
    EXPECT_NE(built.status, Status::Fail) << built.message;
    EXPECT_EQ(rebuilt, name);
}

TEST(DeepNesting, TreeOperationsNeedNoStackPerLevel) {
    AttributeTree tree;
    nestedTree(tree, kDeep);
    const int nodes = tree.count();
    EXPECT_EQ(tree.depth(nodes), 2 * kDeep);
    // A second top-level attribute takes a copy of the whole first one.
    const int other = tree.addChild(tree.root(), "Other", image::AttributeGood);
    const int copy = CopySubtree(tree, 2, other, Relation::Next);
    EXPECT_EQ(copy, nodes + 2);
    EXPECT_EQ(tree.depth(tree.count()), 2 * kDeep);
    EXPECT_EQ(tree[tree.count()].text + tree[tree.count() - 1].tag, "bSU");
    EXPECT_TRUE(tree.wellShaped());
    AttributeTree copied(tree), assigned;
    assigned = tree;
    EXPECT_EQ(copied.depth(copied.count()) + assigned.depth(assigned.count()), 4 * kDeep);
    tree[tree.count()].image = image::ValueFail;
    ResetTreeStatus(tree);
    EXPECT_EQ(tree[tree.count()].image, image::ValueGood);
    tree.mergeInto(copy, 2);  // the copy's values join the original's
    EXPECT_EQ(tree.count(), 2 * nodes - 1);
    EXPECT_EQ(tree[2].children, 2);
    EXPECT_TRUE(tree.wellShaped());
    tree.remove(2);
    EXPECT_EQ(tree.count(), 2);
}

}  // namespace
}  // namespace lorvane
