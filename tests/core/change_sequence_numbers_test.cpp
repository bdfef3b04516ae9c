// Change Sequence Numbers: the step on one parsed name (whole runs, in which only the
// files that take a number count, are the command line's tests).
#include <gtest/gtest.h>

#include <string>

#include "core/batch/change_sequence_numbers.h"
#include "engine/dispatch.h"
#include "support/engine_cases.h"

namespace lorvane {
namespace {

using Mode = SequenceChange;
constexpr auto Changed = StepAnswer::Changed, NotApplicable = StepAnswer::NotApplicable,
               OutOfRange = StepAnswer::OutOfRange;

ChangeSequenceRequest generate(std::int64_t start, std::int64_t step, bool all = false) {
    return {Mode::Generate, all, start, step, 0, 0};
}
ChangeSequenceRequest replace(std::int64_t n) { return {Mode::Replace, false, 1, 1, n, 0}; }
ChangeSequenceRequest shift(std::int64_t n) { return {Mode::Shift, false, 1, 1, 0, n}; }

// One name as parsed (before the semantic layer) through the step: the tree and the run's generator after.
TEST(ChangeSequenceNumbersTest, OnlyTheUsableSequenceNumberChanges) {
    const struct {
        const char* name;
        ChangeSequenceRequest request;
        std::int64_t generator;
        StepAnswer answer;
        const char* after;
    } cases[] = {
        {"{PL=Bay}.jpg", generate(1, 1), 0, Changed, "PL(Bay),Extension(JPG),Sequence Number(001) 1"},
        {"{PL=Bay}.jpg", generate(998, 1), 998, Changed, "PL(Bay),Extension(JPG),Sequence Number(999) 999"},
        {"{PL=Bay}.jpg", generate(998, 1), 999, OutOfRange, "PL(Bay),Extension(JPG) 1000"},
        {"{SN=7}{PL=Bay}.jpg", generate(1, 1, true), 4, Changed, "SN(005),PL(Bay),Extension(JPG) 5"},
        {"{PL=Bay}.jpg", generate(1, -3), 2, OutOfRange, "PL(Bay),Extension(JPG) -1"},
        // A value that is no number is no Sequence Number: a second one is added.
        {"{SN=x}.jpg", generate(1, 1), 41, Changed, "SN(x),Extension(JPG),Sequence Number(042) 42"},
        {"{SN=x}{Seq#=3}{SN=8}.jpg", shift(10), 0, Changed, "SN(x),Seq#(013),SN(8),Extension(JPG) 0"},
        {"{Sequence Number= 12 }.jpg", shift(-5), 0, Changed, "Sequence Number(007),Extension(JPG) 0"},
        {"{SN=2147483647}.jpg", shift(2147483647), 0, OutOfRange, "SN(2147483647),Extension(JPG) 0"},
        {"{SN=3}.jpg", replace(0), 0, Changed, "SN(000),Extension(JPG) 0"},
        {"{SN=3}.jpg", replace(1000), 0, OutOfRange, "SN(3),Extension(JPG) 0"},
        {"{SN}{PL=Bay}.jpg", shift(1), 0, NotApplicable, "SN,PL(Bay),Extension(JPG) 0"},
        {"{PL=Bay{SN=4}}.jpg", shift(1), 0, NotApplicable, "PL(Bay(SN(4))),Extension(JPG) 0"},  // top level only
    };
    const GlobalSettings settings;
    const DateOptions dates = MakeDateOptions(settings);
    const SemanticOptions semantic = MakeSemanticOptions(settings, false);
    for (const auto& c : cases) {
        AttributeTree tree;
        Result r;
        std::string_view code, format;
        ParseFilename(c.name, tree, {settings, dates, semantic, nullptr}, code, format, r);
        ASSERT_FALSE(r.failed()) << c.name;
        std::int64_t generator = c.generator;
        EXPECT_EQ(ChangeSequenceInTree(c.request, tree, generator), c.answer) << c.name;
        EXPECT_EQ(testing::attributesText(tree) + " " + std::to_string(generator), c.after) << c.name;
    }
}

}  // namespace
}  // namespace lorvane
