#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/batch/change_sequence_numbers.h"
#include "engine/dispatch.h"
#include "support/fake_file_system.h"
#include "support/tree_text.h"

namespace lorvane {
namespace {

using Mode = SequenceChange;
constexpr auto Changed = StepAnswer::Changed, NotApplicable = StepAnswer::NotApplicable,
               OutOfRange = StepAnswer::OutOfRange;

TEST(ChangeSequenceNumbersTest, FieldTextsAreReadAlikeForEveryCaller) {
    struct Case {
        const char* text;
        FieldCheck check;
        std::int64_t asSigned, asAbsolute;
    } cases[] = {
        {"+3", FieldCheck::Accepted, 3, 3},
        {" -5 ", FieldCheck::Accepted, -5, 5},
        {"1.5", FieldCheck::NotANumber, 0, 0},
        {"-2147483647", FieldCheck::Accepted, -2147483647, 2147483647},
        {"2147483648", FieldCheck::BeyondLimit, 2147483648, 2147483648},
        {"-2147483648", FieldCheck::BeyondLimit, -2147483648, -2147483648},
    };
    for (const auto& c : cases) {
        std::int64_t s = 9, a = 9;
        EXPECT_EQ(ReadSequenceSigned(c.text, s), c.check) << c.text;
        EXPECT_EQ(ReadSequenceAbsolute(c.text, a), c.check) << c.text;
        EXPECT_EQ(s * 1000 + a, c.asSigned * 1000 + c.asAbsolute) << c.text;
    }
}

ChangeSequenceRequest generate(std::int64_t start, std::int64_t step, bool all = false) {
    return {Mode::Generate, all, start, step, 0, 0};
}
ChangeSequenceRequest replace(std::int64_t n) { return {Mode::Replace, false, 1, 1, n, 0}; }
ChangeSequenceRequest shift(std::int64_t n) { return {Mode::Shift, false, 1, 1, 0, n}; }

// The name as parsed, before the semantic layer translates and gathers attributes.
void parse(std::string_view name, AttributeTree& tree) {
    GlobalSettings settings;
    const DateOptions options = MakeDateOptions(settings);
    const SemanticOptions semantic = MakeSemanticOptions(settings, false);
    Result r;
    std::string_view code, format;
    ParseFilename(name, tree, {settings, options, semantic, nullptr}, code, format, r);
    EXPECT_FALSE(r.failed()) << name << ": " << r.message;
}

// One parsed name through the step, with the generator as the run left it.
TEST(ChangeSequenceNumbersTest, OnlyTheUsableSequenceNumberChanges) {
    struct Case {
        const char* name;
        ChangeSequenceRequest request;
        std::int64_t generator;
        StepAnswer answer;
        const char* tree;
        std::int64_t generatorAfter;
    } cases[] = {
        {"{SN=7}{PL=Bay}.jpg", generate(1, 1), 0, NotApplicable, "Filename(SN(7),PL(Bay),Extension(JPG))", 0},
        {"{SN=7}{PL=Bay}.jpg", generate(1, 1, true), 4, Changed, "Filename(SN(005),PL(Bay),Extension(JPG))", 5},
        {"{PL=Bay}.jpg", generate(1, 1), 0, Changed, "Filename(PL(Bay),Extension(JPG),Sequence Number(001))", 1},
        {"{PL=Bay}.jpg", generate(1, -3), 2, OutOfRange, "Filename(PL(Bay),Extension(JPG))", -1},
        // A value that is no number is no Sequence Number: a second one is added.
        {"{SN=x}.jpg", generate(1, 1), 41, Changed, "Filename(SN(x),Extension(JPG),Sequence Number(042))", 42},
        {"{SN=x}{Seq#=3}{SN=8}.jpg", shift(10), 0, Changed, "Filename(SN(x),Seq#(013),SN(8),Extension(JPG))", 0},
        {"{Sequence Number= 12 }.jpg", shift(-5), 0, Changed, "Filename(Sequence Number(007),Extension(JPG))", 0},
        {"{SN=3}.jpg", shift(-4), 0, OutOfRange, "Filename(SN(3),Extension(JPG))", 0},
        {"{SN=2147483647}.jpg", shift(2147483647), 0, OutOfRange, "Filename(SN(2147483647),Extension(JPG))", 0},
        {"{SN=3}.jpg", replace(0), 0, Changed, "Filename(SN(000),Extension(JPG))", 0},
        {"{SN=3}.jpg", replace(1000), 0, OutOfRange, "Filename(SN(3),Extension(JPG))", 0},
        {"{SN}{PL=Bay}.jpg", shift(1), 0, NotApplicable, "Filename(SN,PL(Bay),Extension(JPG))", 0},
        // Only top-level attributes count.
        {"{PL=Bay{SN=4}}.jpg", shift(1), 0, NotApplicable, "Filename(PL(Bay(SN(4))),Extension(JPG))", 0},
    };
    for (const auto& c : cases) {
        AttributeTree tree;
        parse(c.name, tree);
        std::int64_t generator = c.generator;
        EXPECT_EQ(ChangeSequenceInTree(c.request, tree, generator), c.answer) << c.name;
        EXPECT_EQ(testing::treeText(tree) + " " + std::to_string(generator),
                  c.tree + (" " + std::to_string(c.generatorAfter))) << c.name;
    }
}

// Whole runs in the order of the rows: only the files that take a number move
// the generator, whether a run defers a rename or not. Each run starts afresh.
TEST(ChangeSequenceNumbersTest, ARunNumbersTheFilesThatTakeANumberInRowOrder) {
    struct Case {
        const char* what;
        std::vector<const char*> files;
        ChangeSequenceRequest request;
        std::vector<std::string> outcomes;  // per row: the outcome and the name built
    } cases[] = {
        {"a number already there, and a name that does not parse, are skipped",
         {"{PL=A}.jpg", "{SN=7}{PL=B}.jpg", "x{.jpg", "{PL=C}.jpg", "{PL=D}.jpg", "{PL=E}.jpg"},
         generate(1, 1),
         {"processed {SN=001}{PL=A}.jpg", "not applicable {SN=007}{PL=B}.jpg", "not parsed",
          "processed {SN=002}{PL=C}.jpg", "processed {SN=003}{PL=D}.jpg", "processed {SN=004}{PL=E}.jpg"}},
        {"998 and 999, then out of range", {"{PL=A}.jpg", "{PL=B}.jpg", "{PL=C}.jpg"}, generate(998, 1),
         {"processed {SN=998}{PL=A}.jpg", "processed {SN=999}{PL=B}.jpg", "out of range {PL=C}.jpg"}},
        {"counting down past 0", {"{PL=A}.jpg", "{PL=B}.jpg", "{PL=C}.jpg", "{SN=5}.jpg"}, generate(2, -1, true),
         {"processed {SN=002}{PL=A}.jpg", "processed {SN=001}{PL=B}.jpg", "processed {SN=000}{PL=C}.jpg",
          "out of range {SN=005}.jpg"}},
        // The first waits for the second's name; the numbers still follow the rows.
        {"a deferred rename keeps its number", {"{SN=001}.jpg", "{SN=002}.jpg"}, generate(2, 1, true),
         {"processed {SN=002}.jpg", "processed {SN=003}.jpg"}},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        GlobalSettings settings;
        testing::FakeFileSystem files;
        RowParser parser(settings, nullptr, files);
        std::vector<FileRow> rows(c.files.size());
        std::vector<FileRow*> selected;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string path = JoinPath(dir.path().toStdString(), c.files[i]);
            std::ofstream{path};
            ASSERT_TRUE(parser.FillRow(rows[i], path).ok()) << path;
            selected.push_back(&rows[i]);
            expected.push_back(std::string(c.files[i]) + ": " + c.outcomes[i]);
        }
        std::sort(expected.begin(), expected.end());
        struct Host final : BatchHost {
            std::vector<std::string> done;
            bool Progress(std::int32_t, std::int32_t) override { return true; }
            bool ContinueAfterRenameFailure(const FileRow&, const FsError&, bool) override { return true; }
            void FileDone(const BatchFile& f) override {
                done.push_back(f.oldName + ": " + std::string(OutcomeWord(f.outcome)) + (f.built ? " " + f.newName : ""));
            }
        } host;
        ChangeSequenceStep step(c.request);
        for (const bool preview : {true, false}) {
            host.done.clear();
            BatchRun(parser, files, host).Run(step, selected, {preview, nullptr, false});
            std::sort(host.done.begin(), host.done.end());  // a deferred file is done later
            EXPECT_EQ(host.done, expected) << c.what << (preview ? " (preview)" : "");
        }
    }
}

}  // namespace
}  // namespace lorvane
