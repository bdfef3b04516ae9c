#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/batch/batch_report.h"
#include "core/batch/batch_run.h"
#include "engine/dictionary.h"
#include "support/fake_file_system.h"

namespace lorvane {
namespace {

TEST(BatchReportTest, CountsArePaddedToTheDigitsOfTheTotal) {
    BatchCounters seven{7, 1, 2, 0, 0, 1, 7};
    EXPECT_EQ(BatchReport(batch_operation::ChangeDates, seven, "\n"),
              "3  filenames successfully processed\n"
              "1  filenames could not be parsed\n"
              "2  filenames did not have/need dates\n"
              "0  filenames could not be re-built\n"
              "1  filenames could not be saved\n"
              "=\n"
              "7  total filenames attempted");

    BatchCounters thousand{1000, 1, 0, 1, 0, 0, 1000};
    EXPECT_EQ(BatchReport(batch_operation::ChangeSequenceNumbers, thousand),
              "0998  filenames successfully processed\r\n"
              "0001  filenames could not be parsed\r\n"
              "0000  filenames did not have/need numbers\r\n"
              "0001  filenames had out-of-range numbers\r\n"
              "0000  filenames could not be re-built\r\n"
              "0000  filenames could not be saved\r\n"
              "====\r\n"
              "1000  total filenames attempted");

    const std::string remove = BatchReport(batch_operation::RemoveContent, {10, 0, 10, 0, 0, 0, 120});
    EXPECT_EQ(remove.substr(0, 36), "110  filenames successfully updated\r");
    EXPECT_NE(remove.find("010  filenames did not meet criteria\r\n"), std::string::npos);
    EXPECT_EQ(remove.find("out-of-range"), std::string::npos);
}

TEST(BatchReportTest, RebuildSentencesAndQuestion) {
    EXPECT_EQ(RebuildReport(5, 2),
              "Of the 5 filenames attempted, 2 filenames were not processed because they could not be parsed.");
    EXPECT_EQ(RebuildReport(1, 1),
              "Of the 1 filename attempted, 1 filename was not processed because it could not be parsed.");
    EXPECT_EQ(RebuildReport(3, 0), "");
    EXPECT_EQ(RebuildQuestion(1, "a.jpg"), "Are you sure you want to rebuild the filename \"a.jpg\"?");
    EXPECT_EQ(RebuildQuestion(12, "a.jpg"), "Are you sure you want to rebuild these 12 filenames?");
}

TEST(BatchReportTest, RenameFailureAsksOnlyWhenRowsRemain) {
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", true),
              "Unable to rename the file \"/f/a.jpg\" due to the following error: File exists.");
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", false),
              "Unable to rename the file \"/f/a.jpg\" due to the following error: File exists.\r\n\r\n"
              "Click OK to continue processing the remaining files or Cancel to abort.");
}

// Sets the value of the Subject attribute to "Bob"; names without one are not applicable.
class SubjectToBob : public BatchStep {
public:
    StepAnswer ChangeTree(AttributeTree& tree, const BrowserRow&) override {
        for (int n = tree[tree.root()].child; n; n = tree[n].next)
            if (TranslateAttributeName(tree[n].text) == "Subject" && tree[n].child) {
                tree[tree[n].child].text = "Bob";
                return StepAnswer::Changed;
            }
        return StepAnswer::NotApplicable;
    }
};

// Answers the run as a scripted user: stops at a given count, answers renames.
class ScriptedHost : public BatchHost {
public:
    bool Progress(std::int32_t attempted, std::int32_t) override {
        progress.push_back(attempted);
        return attempted != stopAt;
    }
    bool ContinueAfterRenameFailure(const BrowserRow& row, const FsError& error, bool last) override {
        failures.push_back(row.Text + (last ? " last " : " ") + error.description);
        return goOn;
    }
    void FileDone(const BatchFile& f) override {
        outcomes.push_back(f.oldName + " " + std::string(OutcomeWord(f.outcome)) + (f.built ? " " + f.newName : ""));
    }
    int stopAt = -1;
    bool goOn = true;
    std::vector<int> progress;
    std::vector<std::string> failures, outcomes;
};

class RecordingRecorder : public RenameRecorder {
public:
    bool WillRename(std::string_view oldPath, std::string_view newPath) override {
        if (failAfter-- == 0) return false;
        records.push_back(std::string(oldPath) + " > " + std::string(newPath));
        return true;
    }
    void RenameFailed() override { records.back() += " failed"; }
    std::string error() const override { return "No space left on device"; }
    int failAfter = -1;
    std::vector<std::string> records;
};

class BatchRunTest : public ::testing::Test {
protected:
    void files(std::initializer_list<const char*> names) {
        for (const char* n : names) std::ofstream(path(n)) << n;
        for (const char* n : names) {
            rows_.push_back(std::make_unique<BrowserRow>());
            ASSERT_TRUE(parser_.FillRow(*rows_.back(), path(n)).ok()) << n;
        }
    }
    std::string path(std::string_view name) const { return JoinPath(dir_.path().toStdString(), name); }
    bool exists(std::string_view name) const { return FileSystemService::Instance().FileExists(path(name)); }
    std::vector<BrowserRow*> selected() const {
        std::vector<BrowserRow*> out;
        for (const auto& r : rows_) out.push_back(r.get());
        return out;
    }
    BatchCounters run(const BatchOperation& op, BatchStep* step, const BatchRunOptions& options = {}) {
        BatchRun batch(parser_, files_, host_);
        const std::vector<BrowserRow*> rows = selected();
        return batch.Run(op, step, rows, options);
    }

    QTemporaryDir dir_;
    GlobalSettings settings_;
    testing::FakeFileSystem files_;
    RowParser parser_{settings_, nullptr, files_};
    ScriptedHost host_;
    std::vector<std::unique_ptr<BrowserRow>> rows_;
};

TEST_F(BatchRunTest, ChangesRenamesAndRefillsEachRow) {
    files({"{SU=Ann}.jpg", "x{.jpg", "{PL=Harbour}.jpg"});
    SubjectToBob step;
    const BatchCounters c = run(batch_operation::ChangeDates, &step);
    EXPECT_EQ(c.total, 3);
    EXPECT_EQ(c.attempted, 3);
    EXPECT_EQ(c.notParsed, 1);
    EXPECT_EQ(c.notApplicable, 1);
    EXPECT_EQ(c.successes(), 1);
    EXPECT_TRUE(exists("{SU=Bob}.jpg"));
    EXPECT_FALSE(exists("{SU=Ann}.jpg"));
    EXPECT_TRUE(exists("x{.jpg"));
    EXPECT_TRUE(exists("{PL=Harbour}.jpg"));  // not applicable: renamed to its own name
    EXPECT_EQ(rows_[0]->Text, "{SU=Bob}.jpg");
    EXPECT_EQ(rows_[0]->Key, path("{SU=Bob}.jpg"));
    EXPECT_EQ(rows_[0]->Length, "012");
    EXPECT_EQ(host_.outcomes, (std::vector<std::string>{"{SU=Ann}.jpg processed {SU=Bob}.jpg", "x{.jpg not parsed",
                                                        "{PL=Harbour}.jpg not applicable {PL=Harbour}.jpg"}));
    EXPECT_EQ(host_.progress, (std::vector<int>{1, 2, 3}));
}

TEST_F(BatchRunTest, ContentOperationsLeaveNotApplicableRowsAlone) {
    files({"{PL=Harbour}.jpg"});
    SubjectToBob step;
    RecordingRecorder recorder;
    const BatchCounters c = run(batch_operation::AddContent, &step, {false, &recorder});
    EXPECT_EQ(c.notApplicable, 1);
    EXPECT_TRUE(recorder.records.empty());
    EXPECT_EQ(host_.outcomes, std::vector<std::string>{"{PL=Harbour}.jpg not applicable"});
}

TEST_F(BatchRunTest, RenameNeverReplacesAndCancelAbortsWithTheAttemptedTotal) {
    files({"{SU=Ann}.jpg", "{SU=Bob}.jpg", "{Subject=Ann}.jpg"});
    SubjectToBob step;
    host_.goOn = false;
    const BatchCounters c = run(batch_operation::ChangeDates, &step);
    EXPECT_EQ(c.notSaved, 1);
    EXPECT_EQ(c.total, 1);  // the abort came at the first row
    EXPECT_EQ(host_.failures, std::vector<std::string>{"{SU=Ann}.jpg File exists"});
    EXPECT_TRUE(exists("{SU=Ann}.jpg"));
    EXPECT_TRUE(exists("{Subject=Ann}.jpg"));
    EXPECT_EQ(rows_[0]->Key, path("{SU=Ann}.jpg"));  // the failed row keeps its name
    std::ifstream kept(path("{SU=Bob}.jpg"));
    std::string content;
    kept >> content;
    EXPECT_EQ(content, "{SU=Bob}.jpg");
}

TEST_F(BatchRunTest, FailureOnTheLastRowOnlyReports) {
    files({"{SU=Bob}.jpg", "{SU=Ann}.jpg"});
    SubjectToBob step;
    host_.goOn = false;  // an OK-only box: the answer cannot abort
    const BatchCounters c = run(batch_operation::ChangeDates, &step);
    EXPECT_EQ(host_.failures, std::vector<std::string>{"{SU=Ann}.jpg last File exists"});
    EXPECT_EQ(c.total, 2);
    EXPECT_EQ(c.successes(), 1);
}

TEST_F(BatchRunTest, APlatformErrorIsReportedAndTheRunGoesOn) {
    files({"{SU=Ann}.jpg", "{SU=Cy}.jpg"});
    SubjectToBob step;
    files_.failChangeAt = 1;  // the first rename: permission denied
    const BatchCounters c = run(batch_operation::ChangeDates, &step);
    EXPECT_EQ(host_.failures, std::vector<std::string>{"{SU=Ann}.jpg Permission denied"});
    EXPECT_EQ(c.notSaved, 1);
    EXPECT_EQ(c.successes(), 1);
    EXPECT_EQ(rows_[0]->Text, "{SU=Ann}.jpg");  // its row keeps name, key and parse
    EXPECT_EQ(rows_[0]->Status, "Warn");
    EXPECT_TRUE(exists("{SU=Ann}.jpg"));
    EXPECT_TRUE(exists("{SU=Bob}.jpg"));  // the second file took the name the first could not
    EXPECT_EQ(files_.moved, std::vector<std::string>{path("{SU=Cy}.jpg") + " > " + path("{SU=Bob}.jpg")});
}

TEST_F(BatchRunTest, StopEndsBeforeTheNextRow) {
    files({"{SU=Ann}.jpg", "{Subject=Cy}.jpg", "{SU=Dee}.jpg"});
    SubjectToBob step;
    host_.stopAt = 2;
    const BatchCounters c = run(batch_operation::ChangeDates, &step);
    EXPECT_EQ(c.total, 1);
    EXPECT_EQ(c.successes(), 1);
    EXPECT_TRUE(exists("{SU=Bob}.jpg"));
    EXPECT_TRUE(exists("{Subject=Cy}.jpg"));
}

TEST_F(BatchRunTest, PreviewRefusesWhatTheRenameWouldRefuseAndChangesNothing) {
    // Rebuilt, both become "{SU=Ann}.jpg": the first keeps it, the second is refused.
    files({"{SU=Ann}.jpg", "{Subject=Ann}.jpg", "{Place=Harbour}.jpg"});
    const BatchCounters preview = run(batch_operation::Rebuild, nullptr, {true, nullptr});
    const std::vector<std::string> previewed = host_.outcomes;
    EXPECT_TRUE(exists("{Subject=Ann}.jpg"));
    EXPECT_TRUE(exists("{Place=Harbour}.jpg"));
    EXPECT_EQ(preview.notSaved, 1);

    host_.outcomes.clear();
    const BatchCounters applied = run(batch_operation::Rebuild, nullptr);
    EXPECT_EQ(host_.outcomes, previewed);
    EXPECT_EQ(applied.notSaved, 1);
    EXPECT_TRUE(exists("{PL=Harbour}.jpg"));
    EXPECT_TRUE(exists("{Subject=Ann}.jpg"));
}

TEST_F(BatchRunTest, PreviewSeesNamesFreedEarlierInTheRun) {
    // Each takes the name the one before it leaves: a rename in run order succeeds.
    files({"{SU=Ann}.jpg", "{SU=Bob}.jpg"});
    class Next : public BatchStep {
        StepAnswer ChangeTree(AttributeTree& tree, const BrowserRow&) override {
            std::string& v = tree[tree[tree[tree.root()].child].child].text;
            v = v == "Ann" ? "Cy" : "Ann";
            return StepAnswer::Changed;
        }
    } step;
    const BatchCounters c = run(batch_operation::ChangeDates, &step, {true, nullptr});
    EXPECT_EQ(c.notSaved, 0);
    EXPECT_EQ(host_.outcomes,
              (std::vector<std::string>{"{SU=Ann}.jpg processed {SU=Cy}.jpg", "{SU=Bob}.jpg processed {SU=Ann}.jpg"}));
}

TEST_F(BatchRunTest, EachRenameIsRecordedFirstAndAFailedRecordStopsTheRun) {
    files({"{SU=Ann}.jpg", "{SU=Cy}.jpg"});
    SubjectToBob step;
    RecordingRecorder recorder;
    recorder.failAfter = 1;
    const BatchCounters c = run(batch_operation::ChangeDates, &step, {false, &recorder});
    EXPECT_EQ(recorder.records, std::vector<std::string>{path("{SU=Ann}.jpg") + " > " + path("{SU=Bob}.jpg")});
    EXPECT_EQ(c.notSaved, 1);
    EXPECT_TRUE(host_.failures.empty());  // nothing to ask: the run cannot go on safely
    EXPECT_TRUE(exists("{SU=Cy}.jpg"));
}

// Undo reverts what was recorded: a rename that failed is marked as such, and a
// name that stays as it is is not recorded at all.
TEST_F(BatchRunTest, AFailedRenameIsMarkedAndAnUnchangedNameIsNotRecorded) {
    files({"{SU=Ann}.jpg", "{SU=Bob}.jpg", "{SU=Cy}.jpg"});
    SubjectToBob step;  // every row to {SU=Bob}.jpg: Ann is refused, Bob stays, Cy is refused
    RecordingRecorder recorder;
    const BatchCounters c = run(batch_operation::ChangeDates, &step, {false, &recorder});
    EXPECT_EQ(c.notSaved, 2);
    EXPECT_EQ(recorder.records,
              (std::vector<std::string>{path("{SU=Ann}.jpg") + " > " + path("{SU=Bob}.jpg") + " failed",
                                        path("{SU=Cy}.jpg") + " > " + path("{SU=Bob}.jpg") + " failed"}));
}

TEST_F(BatchRunTest, ParseAllParsesEveryRowUntilStopped) {
    files({"{SU=Ann}.jpg", "x{.jpg"});
    rows_[1]->Status = "stale";
    BatchRun batch(parser_, FileSystemService::Instance(), host_);
    EXPECT_TRUE(batch.ParseAll(selected()));
    EXPECT_EQ(rows_[1]->Status, "Fail");
    host_.stopAt = 1;
    rows_[0]->Status = "stale";
    EXPECT_FALSE(batch.ParseAll(selected()));
    EXPECT_EQ(rows_[0]->Status, "stale");
}

}  // namespace
}  // namespace lorvane
