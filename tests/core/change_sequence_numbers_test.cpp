// Change Sequence Numbers: the fields as every caller reads them, the step on one
// parsed name, and whole runs in which only the files that take a number count.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/batch/change_sequence_numbers.h"
#include "engine/dispatch.h"
#include "support/engine_cases.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

using Mode = SequenceChange;
constexpr auto Changed = StepAnswer::Changed, NotApplicable = StepAnswer::NotApplicable,
               OutOfRange = StepAnswer::OutOfRange;
constexpr auto Accepted = FieldCheck::Accepted, NotANumber = FieldCheck::NotANumber,
               BeyondLimit = FieldCheck::BeyondLimit;

// Step and Amount are signed, Start and Number made absolute; "a b" is the number as read.
TEST(ChangeSequenceNumbersTest, FieldTextsAreReadAlikeForEveryCaller) {
    const struct {
        const char *text, *read;
        FieldCheck check;
    } cases[] = {
        {"+3", "3 3", Accepted},
        {" -5 ", "-5 5", Accepted},
        {"1.5", "0 0", NotANumber},
        {"-2147483647", "-2147483647 2147483647", Accepted},
        {"2147483648", "2147483648 2147483648", BeyondLimit},
        {"-2147483648", "-2147483648 -2147483648", BeyondLimit},
    };
    for (const auto& c : cases) {
        std::int64_t s = 9, a = 9;
        EXPECT_EQ(ReadSequenceSigned(c.text, s), c.check) << c.text;
        EXPECT_EQ(ReadSequenceAbsolute(c.text, a), c.check) << c.text;
        EXPECT_EQ(std::to_string(s) + " " + std::to_string(a), c.read) << c.text;
    }
}

ChangeSequenceRequest generate(std::int64_t start, std::int64_t step, bool all = false) {
    return {Mode::Generate, all, start, step, 0, 0};
}
ChangeSequenceRequest replace(std::int64_t n) { return {Mode::Replace, false, 1, 1, n, 0}; }
ChangeSequenceRequest shift(std::int64_t n) { return {Mode::Shift, false, 1, 1, 0, n}; }

// One name as parsed (before the semantic layer) through the step, with the
// generator as the run left it: the tree after and the generator after.
TEST(ChangeSequenceNumbersTest, OnlyTheUsableSequenceNumberChanges) {
    const struct {
        const char* name;
        ChangeSequenceRequest request;
        std::int64_t generator;
        StepAnswer answer;
        const char* after;
    } cases[] = {
        {"{SN=7}{PL=Bay}.jpg", generate(1, 1, true), 4, Changed, "SN(005),PL(Bay),Extension(JPG) 5"},
        {"{PL=Bay}.jpg", generate(1, -3), 2, OutOfRange, "PL(Bay),Extension(JPG) -1"},
        // A value that is no number is no Sequence Number: a second one is added.
        {"{SN=x}.jpg", generate(1, 1), 41, Changed, "SN(x),Extension(JPG),Sequence Number(042) 42"},
        {"{SN=x}{Seq#=3}{SN=8}.jpg", shift(10), 0, Changed, "SN(x),Seq#(013),SN(8),Extension(JPG) 0"},
        {"{Sequence Number= 12 }.jpg", shift(-5), 0, Changed, "Sequence Number(007),Extension(JPG) 0"},
        {"{SN=3}.jpg", shift(-4), 0, OutOfRange, "SN(3),Extension(JPG) 0"},
        {"{SN=2147483647}.jpg", shift(2147483647), 0, OutOfRange, "SN(2147483647),Extension(JPG) 0"},
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

// Whole runs, previewed and applied: each starts afresh from Start, and a file that
// does not parse or already has a number moves no number on. Per row: the outcome
// and the name built.
TEST(ChangeSequenceNumbersTest, ARunNumbersTheFilesThatTakeANumberInRowOrder) {
    const struct {
        const char* files;
        ChangeSequenceRequest request;
        const char* outcomes;
    } cases[] = {
        {"{PL=A}.jpg {SN=7}{PL=B}.jpg x{.jpg {PL=C}.jpg", generate(1, 1),
         "processed {SN=001}{PL=A}.jpg|not applicable {SN=007}{PL=B}.jpg|not parsed|processed {SN=002}{PL=C}.jpg|"},
        {"{PL=A}.jpg {PL=B}.jpg {PL=C}.jpg", generate(998, 1),
         "processed {SN=998}{PL=A}.jpg|processed {SN=999}{PL=B}.jpg|out of range {PL=C}.jpg|"},
        {"{PL=A}.jpg {PL=B}.jpg {SN=5}.jpg", generate(1, -1, true),
         "processed {SN=001}{PL=A}.jpg|processed {SN=000}{PL=B}.jpg|out of range {SN=005}.jpg|"},
        // The first waits for the second's name; the numbers still follow the rows.
        {"{SN=001}.jpg {SN=002}.jpg", generate(2, 1, true), "processed {SN=002}.jpg|processed {SN=003}.jpg|"},
    };
    struct Host final : BatchHost {
        std::map<std::string, std::string> done;  // by the old name
        bool Progress(std::int32_t, std::int32_t) override { return true; }
        bool ContinueAfterRenameFailure(const FileRow&, const FsError&, bool) override { return true; }
        void FileDone(const BatchFile& f) override {
            done[f.oldName] = std::string(OutcomeWord(f.outcome)) + (f.built ? " " + f.newName : "");
        }
    } host;
    for (const auto& c : cases) {
        QTemporaryDir dir;
        GlobalSettings settings;
        testing::FakeFileSystem files;
        RowParser parser(settings, nullptr, files);
        const std::vector<std::string_view> names = testing::words(c.files);
        std::vector<FileRow> rows(names.size());
        std::vector<FileRow*> selected;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string path = JoinPath(dir.path().toStdString(), names[i]);
            std::ofstream{path};
            ASSERT_TRUE(parser.FillRow(rows[i], path).ok()) << path;
            selected.push_back(&rows[i]);
        }
        ChangeSequenceStep step(c.request);
        for (const bool preview : {true, false}) {
            BatchRun(parser, files, host).Run(step, selected, {preview, nullptr, false});
            std::string got;  // a deferred file is done later, and shown in its row's place
            for (const std::string_view name : names) got += host.done[std::string(name)] + "|";
            EXPECT_EQ(got, c.outcomes) << c.files << (preview ? " (preview)" : "");
        }
    }
}

}  // namespace
}  // namespace lorvane
