#include <gtest/gtest.h>

#include <string>

#include "engine/pipeline.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

struct EvaluateCase {
    const char* label;
    const char* name;
    bool semantics;
    bool editMode;
    Status parse, folded;
    const char* message;  // of the folded result
    const char* built;    // nullptr: nothing built
};

class EvaluateTest : public ::testing::TestWithParam<EvaluateCase> {};

TEST_P(EvaluateTest, FoldsParseSemanticsAndBuild) {
    const EvaluateCase& c = GetParam();
    GlobalSettings settings;
    NamePipeline p(settings, c.editMode);
    p.SetSemantics(c.semantics);
    const Result& r = p.Evaluate(c.name);
    EXPECT_EQ(p.parseResult().status, c.parse);
    EXPECT_EQ(r.status, c.folded);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(p.built(), c.built != nullptr);
    EXPECT_EQ(p.builtName(), c.built ? c.built : "");
}

INSTANTIATE_TEST_SUITE_P(
    NamePipeline, EvaluateTest,
    ::testing::Values(EvaluateCase{"Good1x", "2024-05-17 @14-30 #012 Harbour seals.jpg", true, false, Status::Good,
                                   Status::Good, "", "2024-05-17 @14-30 #012 Harbour seals.jpg"},
                      EvaluateCase{"SemanticWarnReachesFoldedResult", "{Subject=Ann}{Foo=bar}.jpg", true, false,
                                   Status::Good, Status::Warn, "Unrecognized attribute name", "{SU=Ann}{Foo=bar}.jpg"},
                      EvaluateCase{"SemanticsOffLeavesNamesAlone", "{PL=Harbour}{SU=Ann}.jpg", false, false,
                                   Status::Good, Status::Good, "", "{PL=Harbour}{SU=Ann}.jpg"},
                      EvaluateCase{"ReordersOutsideEditMode", "{PL=Harbour}{SU=Ann}.jpg", true, false, Status::Good,
                                   Status::Warn, "There should be a top-level Captured Date attribute",
                                   "{SU=Ann}{PL=Harbour}.jpg"},
                      EvaluateCase{"EditModeKeepsTheOrder", "{PL=Harbour}{SU=Ann}.jpg", true, true, Status::Good,
                                   Status::Warn, "There should be a top-level Captured Date attribute",
                                   "{PL=Harbour}{SU=Ann}.jpg"},
                      EvaluateCase{"FailedParseBuildsNothing", "x{", true, false, Status::Fail, Status::Fail,
                                   "Missing start delimiter \"{\"", nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NamePipeline, ReusedTreeCarriesNothingFromTheLastName) {
    GlobalSettings settings;
    NamePipeline p(settings);
    p.Evaluate("{Subject=Ann}{Foo=bar}.jpg");
    const Result& r = p.Evaluate("x{");
    EXPECT_TRUE(r.failed());
    EXPECT_FALSE(p.built());
    EXPECT_TRUE(p.buildResult().good());
    EXPECT_TRUE(p.tree().empty());
    p.Evaluate("2024-05-17 #3.jpg");
    EXPECT_EQ(p.formatCode(), format::Code1x);
    EXPECT_TRUE(p.result().good()) << p.result().message;
}

TEST(NamePipeline, RebuildBuildsTheEditedTreeInTheParsedFormat) {
    GlobalSettings settings;
    NamePipeline p(settings, true);
    p.Evaluate("{Subject=Ann}{Foo=bar}.jpg");
    ASSERT_TRUE(p.parseResult().good());
    // The edit removes the unrecognised attribute, so its warning must go too.
    AttributeTree& t = p.tree();
    for (int n = t[t.root()].child; n; n = t[n].next)
        if (t[n].text == "Foo") {
            t.remove(n);
            break;
        }
    const Result& r = p.Rebuild();
    EXPECT_EQ(p.formatCode(), format::Code2x);
    EXPECT_EQ(p.builtName(), "{SU=Ann}.jpg");
    EXPECT_EQ(r.message, "There should be a top-level Captured Date attribute");
}

// A reader that kept only the start of a long name must report what the whole name
// would have got, and leave nothing of the name before it.
TEST(NamePipeline, RefusedLongNameReportsWhatEvaluatingItGives) {
    GlobalSettings settings;
    NamePipeline whole(settings);
    const int length = settings.ParseLengthMaximum + 1;
    const Result& expected = whole.Evaluate("{SU=" + std::string(static_cast<std::size_t>(length - 9), 'a') + "}.jpg");
    ASSERT_TRUE(expected.failed());

    NamePipeline p(settings);
    p.Evaluate("{Subject=Ann}{Foo=bar}.jpg");
    ASSERT_TRUE(p.built());
    const Result& r = p.RefuseLong(length);
    EXPECT_EQ(r.status, expected.status);
    EXPECT_EQ(r.message, expected.message);
    EXPECT_EQ(r.position, expected.position);
    EXPECT_EQ(r.length, expected.length);
    EXPECT_TRUE(p.parseResult().failed());
    EXPECT_TRUE(p.buildResult().good());
    EXPECT_FALSE(p.built());
    EXPECT_EQ(p.builtName(), "");
    EXPECT_TRUE(p.tree().empty());
    EXPECT_EQ(p.formatName(), "");
    EXPECT_EQ(p.buildFormatName(), "");
}

// The format a failed parse reports is none, while Rebuild keeps building in the
// format of the last good one; a name too long to keep fails like a parse.
TEST(NamePipeline, FailedOrRefusedNameHasNoParseFormatButRebuildKeepsTheLastGoodOne) {
    GlobalSettings settings;
    NamePipeline p(settings);
    p.Evaluate("2024-05-17 #3.jpg");
    EXPECT_EQ(p.parseFormatCode(), format::Code1x);
    p.Evaluate("x{");
    EXPECT_EQ(p.parseFormatCode(), "");
    EXPECT_EQ(p.formatCode(), format::Code1x);

    const Result& r = p.RefuseLong(settings.ParseLengthMaximum + 1);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.status, p.parseResult().status);
    EXPECT_EQ(p.parseFormatCode(), "");
    EXPECT_FALSE(p.built());
    EXPECT_TRUE(p.tree().empty());
    EXPECT_EQ(p.formatCode(), format::Code1x);
}

}  // namespace
}  // namespace lorvane
