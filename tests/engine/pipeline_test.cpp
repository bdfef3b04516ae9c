#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/node_locator.h"
#include "engine/pipeline.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using testing::findingText;

constexpr const char* kNoDate = "Warn n1 @0+0 There should be a top-level Captured Date attribute";

// One pipeline evaluates every row in turn, so a row also shows that nothing of the
// name before it is carried over.
TEST(NamePipeline, EvaluateFoldsParseSemanticsAndBuild) {
    // The name, semantics on, edit mode, the format of the parse alone (empty when it failed), the folded
    // finding, the name built (nullptr: none).
    const std::tuple<const char*, bool, bool, const char*, const char*, const char*> rows[] = {
        {"{Subject=Ann}{Foo=bar}.jpg", true, false, "2.x", "Warn n4 @1+3 Unrecognized attribute name",
         "{SU=Ann}{Foo=bar}.jpg"},
        {"x{", true, false, "", "Fail @1+0 Missing start delimiter \"{\"", nullptr},
        // A good result's position is where the parse ended.
        {"{PL=Harbour}{SU=Ann}.jpg", false, false, "2.x", "Good @21+0", "{PL=Harbour}{SU=Ann}.jpg"},
        {"{PL=Harbour}{SU=Ann}.jpg", true, false, "2.x", kNoDate, "{SU=Ann}{PL=Harbour}.jpg"},
        {"{PL=Harbour}{SU=Ann}.jpg", true, true, "2.x", kNoDate, "{PL=Harbour}{SU=Ann}.jpg"},  // edit mode: no moves
        {"{Comment=x}{Subject=Beach}{DT=2005-07-14}{Quality=50}{Subject=Sea}.jpg", true, false, "2.x", "Good @67+0",
         "{DT=2005-07-14}{SU=Beach;Sea}{QU=050}{CO=x}.jpg"},
    };
    const GlobalSettings settings;
    NamePipeline p(settings);
    std::string lastGood;  // the format a later Rebuild builds to
    for (const auto& [name, semantics, editMode, parsedAs, folded, built] : rows) {
        SCOPED_TRACE(name);
        p.RefreshOptions(editMode);
        p.SetSemantics(semantics);
        EXPECT_EQ(findingText(p.Evaluate(name)), folded);
        EXPECT_EQ(p.parseFormatCode(), parsedAs);
        EXPECT_EQ(p.parseResult().good(), *parsedAs != '\0');
        if (*parsedAs) lastGood = parsedAs;
        EXPECT_EQ(p.formatCode(), lastGood);
        EXPECT_EQ(p.built(), built != nullptr);
        EXPECT_EQ(p.builtName(), built ? built : "");
        EXPECT_TRUE(built || (p.tree().empty() && p.buildResult().good()));  // a failed parse leaves nothing
    }
}

// After an edit of the tree the name is built in the format it was parsed from, and
// the finding about the removed node goes with it.
TEST(NamePipeline, RebuildBuildsTheEditedTreeInTheParsedFormat) {
    const GlobalSettings settings;
    NamePipeline p(settings, true);
    p.Evaluate("{Subject=Ann}{Foo=bar}.jpg");
    p.tree().remove(4);  // Foo
    const Result& r = p.Rebuild();
    EXPECT_EQ(p.formatCode(), "2.x");
    EXPECT_EQ(p.builtName(), "{SU=Ann}.jpg");
    EXPECT_EQ(findingText(r), kNoDate);
}

// A reader that kept only the start of a long name must report what the whole name
// would have got, and leave nothing of the name before it; Rebuild keeps its format.
TEST(NamePipeline, RefusedLongNameReportsWhatEvaluatingItGives) {
    const GlobalSettings settings;
    const int length = settings.ParseLengthMaximum + 1;
    NamePipeline whole(settings), p(settings);
    const std::string expected = findingText(whole.Evaluate("{SU=" + std::string(length - 9, 'a') + "}.jpg"));
    EXPECT_EQ(expected, "Fail @1+201 Filename is too long (Length=201, Maximum=200)");
    p.Evaluate("2024-05-17 #3.jpg");
    EXPECT_EQ(findingText(p.RefuseLong(length)), expected);
    EXPECT_TRUE(p.parseResult().failed() && p.buildResult().good() && p.tree().empty() && !p.built());
    EXPECT_EQ(p.builtName(), "");
    EXPECT_TRUE(p.parseFormatCode().empty() && p.formatName().empty() && p.buildFormatName().empty());
    EXPECT_EQ(p.formatCode(), "1.x");
}

// The node an Editor had selected, found again after the tree was evaluated anew.
TEST(NodeLocator, FindsTheNodeAgainByIndexThenPathThenKind) {
    const std::tuple<const char*, int, const char*, int> rows[] = {  // the tree and node before, the tree after, found
        {"Filename(A(a),B(b))", 1, "Filename(B(b))", 1},       // the root
        {"Filename(A(a),B(b))", 5, "Filename(A(a),B(b))", 5},  // the last node, unchanged
        {"Filename(A(a),B(b))", 5, "Filename(B(b),A(a))", 3},  // moved: by its path
        {"Filename(A(b))", 3, "Filename(A(c))", 3},       // renamed, the last node: by Index and kind
        {"Filename(A(a))", 3, "Filename(A,C)", 0},        // another kind at its Index
        {"Filename(A(a),B(b))", 5, "Filename(A(a))", 0},  // gone
        {"Filename(A(a))", 0, "Filename(A(a))", 0},       // none
        {"Filename(A(a))", 4, "Filename(A(a),B)", 0},     // beyond the tree when located
    };
    for (const auto& [before, node, after, found] : rows) {
        AttributeTree tree;
        testing::buildTree(tree, before);
        const NodeLocator locator(tree, node);
        testing::buildTree(tree, after);
        EXPECT_EQ(locator.find(tree), found) << before << " " << node << " " << after;
    }
}

}  // namespace
}  // namespace lorvane
