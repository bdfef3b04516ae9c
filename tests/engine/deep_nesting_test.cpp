// Names and trees nested far deeper than any real name: every layer either handles
// them without recursion or stops at kAttributeLevelsMaximum with a finding. Run
// under AddressSanitizer (dev preset), where deep recursion overflows the stack soon.
#include <gtest/gtest.h>

#include <string>

#include "engine/dispatch.h"
#include "engine/format1x.h"
#include "engine/format2x.h"

namespace lorvane {
namespace {

constexpr int kDeep = 100000;
constexpr Delimiters2x kUsual{"{", "}", "=", ";"};

// "{a=b" levels times, then the end delimiters: each level is one attribute with one value.
std::string nestedName(int levels) {
    std::string name;
    name.reserve(static_cast<std::size_t>(levels) * 5 + 4);
    for (int i = 0; i < levels; ++i) name += "{a=b";
    name.append(static_cast<std::size_t>(levels), '}');
    return name + ".jpg";
}

// The same shape made node by node: the attribute of level k has Index 2k, its value 2k + 1.
void nestedTree(AttributeTree& tree, int levels) {
    InitializeTree(tree, 0);
    int parent = tree.root();
    for (int i = 0; i < levels; ++i) {
        const int a = tree.addChild(parent, "Subject", image::AttributeGood);
        tree[a].tag = "SU";
        parent = tree.addChild(a, "b", image::ValueGood);
    }
}

int attributeOfLevel(int level) { return 2 * level; }

TEST(DeepNesting, ParserStopsAtTheFirstAttributeTooDeep) {
    const std::string name = nestedName(kDeep);
    for (int mode : {0, 1, 2}) {
        AttributeTree tree;
        Result r;
        Parse2x(name, tree, r, kUsual, false, true, mode, 10000000, 4);
        EXPECT_EQ(r.status, Status::Fail) << mode;
        EXPECT_EQ(r.message, kNestedTooDeeply) << mode;
        // The start delimiter of the attribute one level past the maximum.
        EXPECT_EQ(r.position, 4 * kAttributeLevelsMaximum + 1) << mode;
        EXPECT_EQ(r.length, 1) << mode;
        EXPECT_TRUE(tree.empty()) << mode;
    }
}

TEST(DeepNesting, TheDeepestAllowedNameGoesThroughTheCallingOrder) {
    GlobalSettings s;
    s.ParseMode = "(Auto)";
    s.BuildMode = "(Auto)";
    s.ParseLengthMaximum = s.BuildLengthMaximum = 10000000;
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    const EngineContext ctx{s, d, so, nullptr};
    const std::string name = nestedName(kAttributeLevelsMaximum);
    AttributeTree tree;
    std::string_view code, formatName;
    Result parsed;
    ParseFilename(name, tree, ctx, code, formatName, parsed);
    ASSERT_TRUE(parsed.good()) << parsed.message;
    EXPECT_EQ(tree.depth(attributeOfLevel(kAttributeLevelsMaximum)), 2 * kAttributeLevelsMaximum - 1);

    Result built;
    ApplySemantics(tree, built, so, d);
    std::string rebuilt;
    BuildFilename(rebuilt, tree, code, ctx, formatName, built);
    EXPECT_NE(built.status, Status::Fail) << built.message;
    EXPECT_NE(built.message, kNestedTooDeeply);
    EXPECT_EQ(rebuilt, name);
}

TEST(DeepNesting, SemanticsAndBuildersStopBelowTheMaximum) {
    GlobalSettings s;
    s.SemanticsAttributeValidateContext = 0;  // Subject under Subject: only the depth is wrong
    const DateOptions d = MakeDateOptions(s);
    const SemanticOptions so = MakeSemanticOptions(s, false);
    const int tooDeep = attributeOfLevel(kAttributeLevelsMaximum + 1);
    AttributeTree tree;

    nestedTree(tree, kDeep);
    Result semantics;
    ApplySemantics(tree, semantics, so, d);
    EXPECT_EQ(semantics.status, Status::Fail);
    EXPECT_EQ(semantics.message, kNestedTooDeeply);
    EXPECT_EQ(semantics.nodeIndex, tooDeep);
    EXPECT_EQ(statusOfImage(tree[tooDeep].image), Status::Fail);
    EXPECT_EQ(tree[attributeOfLevel(kAttributeLevelsMaximum)].text, "Subject");  // processed down to the maximum

    nestedTree(tree, kDeep);
    Result build2x;
    std::string name;
    Build2x(name, tree, build2x, kUsual, false, true, 10000000, 2, 3);
    EXPECT_EQ(build2x.status, Status::Fail);
    EXPECT_EQ(build2x.nodeIndex, tooDeep);
    EXPECT_EQ(build2x.message, kNestedTooDeeply);

    // 1.x reads the top level only; the depth below must not matter.
    nestedTree(tree, kDeep);
    Result build1x;
    Build1x(name, tree, build1x, d, MakeBuild1xOptions(s));
    EXPECT_EQ(build1x.status, Status::Fail);
    EXPECT_NE(build1x.message, kNestedTooDeeply);
}

TEST(DeepNesting, TreeOperationsNeedNoStackPerLevel) {
    AttributeTree tree;
    nestedTree(tree, kDeep);
    const int nodes = tree.count();
    EXPECT_TRUE(tree.wellShaped());
    EXPECT_EQ(tree.depth(nodes), 2 * kDeep);

    // A second top-level attribute takes a copy of the whole first one.
    const int other = tree.addChild(tree.root(), "Other", image::AttributeGood);
    const int copy = CopySubtree(tree, 2, other, Relation::Next);
    EXPECT_EQ(copy, nodes + 2);
    EXPECT_EQ(tree.count(), 2 * nodes);
    EXPECT_EQ(tree.depth(tree.count()), 2 * kDeep);
    EXPECT_EQ(tree[tree.count()].text, "b");
    EXPECT_EQ(tree[tree.count() - 1].tag, "SU");
    EXPECT_TRUE(tree.wellShaped());

    AttributeTree copied(tree), assigned;
    assigned = tree;
    EXPECT_EQ(copied.count(), tree.count());
    EXPECT_EQ(assigned.depth(assigned.count()), 2 * kDeep);

    tree[tree.count()].image = image::ValueFail;
    ResetTreeStatus(tree);
    EXPECT_EQ(tree[tree.count()].image, image::ValueGood);

    tree.mergeInto(copy, 2);  // the copy's values join the original's
    EXPECT_EQ(tree.count(), 2 * nodes - 1);
    EXPECT_EQ(tree[2].children, 2);
    EXPECT_TRUE(tree.wellShaped());
    tree.remove(2);
    EXPECT_EQ(tree.count(), 2);
    tree.clear();
    EXPECT_TRUE(tree.empty());
}

}  // namespace
}  // namespace lorvane
