#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <vector>

#include "core/batch/batch_report.h"
#include "core/batch/batch_run.h"
#include "core/batch/journal.h"
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

TEST(BatchReportTest, ARunThatEndedEarlySaysHowManyWereNotAttempted) {
    const BatchCounters c{3, 0, 0, 0, 0, 0, 3};
    const struct {
        const BatchOperation& op;
        std::int32_t selected;
        RunEnd end;
        std::string last;  // the report's last line
    } rows[] = {
        {batch_operation::ChangeDates, 3, RunEnd::Completed, "3  total filenames attempted"},
        {batch_operation::ChangeDates, 10, RunEnd::Stopped,
         "The run was stopped: 7 of the 10 selected filenames were not attempted."},
        {batch_operation::ChangeDates, 4, RunEnd::Cancelled,
         "The run was cancelled: 1 of the 4 selected filenames was not attempted."},
        {batch_operation::Rebuild, 3, RunEnd::Completed, ""},
        {batch_operation::Rebuild, 1001, RunEnd::Stopped,
         "The run was stopped: 998 of the 1,001 selected filenames were not attempted."},
    };
    for (const auto& r : rows) {
        const std::string report = RunReport(r.op, c, r.selected, r.end, "\n");
        EXPECT_EQ(report.substr(report.rfind('\n') + 1), r.last) << report;
    }
}

TEST(BatchReportTest, RenameFailureAsksOnlyWhenRowsRemain) {
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", true),
              "Unable to rename the file \"/f/a.jpg\" due to the following error: File exists.");
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", false),
              "Unable to rename the file \"/f/a.jpg\" due to the following error: File exists.\r\n\r\n"
              "Click OK to continue processing the remaining files or Cancel to abort.");
}

using Map = std::map<std::string, std::string>;

// Each Subject value through a table: {SU=A} becomes {SU=B} for "A" -> "B";
// names without a Subject, or whose value the table lacks, are not applicable.
class MapSubject : public BatchStep {
public:
    explicit MapSubject(std::map<std::string, std::string> to, const BatchOperation& op = batch_operation::ChangeDates)
        : to_(std::move(to)), op_(op) {}
    const BatchOperation& Operation() const override { return op_; }
    StepAnswer ChangeTree(AttributeTree& tree, const FileRow&) override {
        for (int n = tree[tree.root()].child; n; n = tree[n].next)
            if (TranslateAttributeName(tree[n].text) == "Subject" && tree[n].child) {
                const auto it = to_.find(tree[tree[n].child].text);
                if (it == to_.end()) return StepAnswer::NotApplicable;
                tree[tree[n].child].text = it->second;
                return StepAnswer::Changed;
            }
        return StepAnswer::NotApplicable;
    }

private:
    std::map<std::string, std::string> to_;
    const BatchOperation& op_;
};

// Answers the run as a scripted user: stops at a given count, answers renames.
class ScriptedHost : public BatchHost {
public:
    bool Progress(std::int32_t attempted, std::int32_t) override {
        progress.push_back(attempted);
        return attempted != stopAt;
    }
    bool ContinueAfterRenameFailure(const FileRow& row, const FsError& error, bool last) override {
        failures.push_back(row.Text + (last ? " last " : " ") + error.description);
        return goOn;
    }
    void FileDone(const BatchFile& f) override {
        outcomes.push_back(f.oldName + " " + std::string(OutcomeWord(f.outcome)) + (f.built ? " " + f.newName : ""));
        results.push_back(std::string(statusWord(f.result.status)) + " " + f.result.message);
    }
    int stopAt = -1;
    bool goOn = true;
    std::vector<int> progress;
    std::vector<std::string> failures, outcomes, results;
};

// Records each rename as "old > new" by name, as the journal would.
class RecordingRecorder : public RenameRecorder {
public:
    explicit RecordingRecorder(const std::string& folder = {}) : prefix_(folder.empty() ? "" : folder + "/") {}
    bool WillRename(std::string_view oldPath, std::string_view newPath) override {
        if (failAfter-- == 0) return false;
        records.push_back(strip(oldPath) + " > " + strip(newPath));
        return true;
    }
    void RenameFailed() override { records.back() += " failed"; }
    std::string error() const override { return "No space left on device"; }
    int failAfter = -1;
    std::vector<std::string> records;

private:
    std::string strip(std::string_view path) const {
        return std::string(path.starts_with(prefix_) ? path.substr(prefix_.size()) : path);
    }
    std::string prefix_;
};

class BatchRunTest : public ::testing::Test {
protected:
    void files(std::initializer_list<const char*> names) {
        for (const char* n : names) std::ofstream(path(n)) << n;
        for (const char* n : names) {
            rows_.push_back(std::make_unique<FileRow>());
            ASSERT_TRUE(parser_.FillRow(*rows_.back(), path(n)).ok()) << n;
        }
    }
    // Files beside the run's, not selected.
    void outside(std::initializer_list<const char*> names) {
        for (const char* n : names) std::ofstream(path(n)) << n;
    }
    std::string path(std::string_view name) const { return JoinPath(dir_.path().toStdString(), name); }
    // What the file now at name was called when the test began (each file holds its first name).
    std::string content(std::string_view name) const {
        std::ifstream in(path(name));
        std::string text;
        in >> text;
        return text;
    }
    bool exists(std::string_view name) const { return FileSystemService::Instance().FileExists(path(name)); }
    std::vector<FileRow*> selected() const {
        std::vector<FileRow*> out;
        for (const auto& r : rows_) out.push_back(r.get());
        return out;
    }
    BatchCounters run(BatchStep& step, const BatchRunOptions& options = {}) {
        BatchRun batch(parser_, files_, host_);
        const std::vector<FileRow*> rows = selected();
        const BatchCounters c = batch.Run(step, rows, options);
        end_ = batch.end();
        return c;
    }
    RunEnd end_ = RunEnd::Completed;

    QTemporaryDir dir_;
    GlobalSettings settings_;
    testing::FakeFileSystem files_;
    RowParser parser_{settings_, nullptr, files_};
    ScriptedHost host_;
    std::vector<std::unique_ptr<FileRow>> rows_;
};

// One run over named files, each holding its first name, with a scripted user,
// file system and journal; "" in after means no file has that name.
TEST_F(BatchRunTest, RunsOverRows) {
    using V = std::vector<std::string>;
    const struct {
        const char* what;
        std::vector<const char*> files, outside;
        Map to;
        const BatchOperation* op;
        int stopAt, failChangeAt, recordFailAfter;
        bool goOn;
        V outcomes, failures, records;
        int total, notSaved, successes;
        RunEnd end;
        Map after;
        const char* firstRow;  // the first row's name after the run
    } rows[] = {
        {"changes, renames and refills each row",
         {"{SU=Ann}.jpg", "x{.jpg", "{PL=Harbour}.jpg"}, {}, {{"Ann", "Bob"}}, &batch_operation::ChangeDates, -1, 0,
         -1, true,
         {"{SU=Ann}.jpg processed {SU=Bob}.jpg", "x{.jpg not parsed", "{PL=Harbour}.jpg not applicable {PL=Harbour}.jpg"},
         {}, {"{SU=Ann}.jpg > {SU=Bob}.jpg"}, 3, 0, 1, RunEnd::Completed,
         {{"{SU=Bob}.jpg", "{SU=Ann}.jpg"}, {"{SU=Ann}.jpg", ""}, {"x{.jpg", "x{.jpg"}, {"{PL=Harbour}.jpg", "{PL=Harbour}.jpg"}},
         "{SU=Bob}.jpg"},
        {"a content operation leaves a not applicable row alone", {"{PL=Harbour}.jpg"}, {}, {{"Ann", "Bob"}},
         &batch_operation::AddContent, -1, 0, -1, true, {"{PL=Harbour}.jpg not applicable"}, {}, {}, 1, 0, 0,
         RunEnd::Completed, {{"{PL=Harbour}.jpg", "{PL=Harbour}.jpg"}}, "{PL=Harbour}.jpg"},
        {"never replaces; cancel aborts with the attempted total", {"{SU=Ann}.jpg", "{Subject=Ann}.jpg"},
         {"{SU=Bob}.jpg"}, {{"Ann", "Bob"}}, &batch_operation::ChangeDates, -1, 0, -1, false,
         {"{SU=Ann}.jpg not saved {SU=Bob}.jpg"}, {"{SU=Ann}.jpg File exists"},
         {"{SU=Ann}.jpg > {SU=Bob}.jpg failed"}, 1, 1, 0, RunEnd::Cancelled,
         {{"{SU=Ann}.jpg", "{SU=Ann}.jpg"}, {"{SU=Bob}.jpg", "{SU=Bob}.jpg"}, {"{Subject=Ann}.jpg", "{Subject=Ann}.jpg"}},
         "{SU=Ann}.jpg"},
        {"a failure on the last row only reports", {"{SU=Cy}.jpg", "{SU=Ann}.jpg"}, {"{SU=Bob}.jpg"},
         {{"Cy", "Dee"}, {"Ann", "Bob"}}, &batch_operation::ChangeDates, -1, 0, -1, false,
         {"{SU=Cy}.jpg processed {SU=Dee}.jpg", "{SU=Ann}.jpg not saved {SU=Bob}.jpg"},
         {"{SU=Ann}.jpg last File exists"}, {"{SU=Cy}.jpg > {SU=Dee}.jpg", "{SU=Ann}.jpg > {SU=Bob}.jpg failed"}, 2, 1,
         1, RunEnd::Completed, {{"{SU=Dee}.jpg", "{SU=Cy}.jpg"}, {"{SU=Ann}.jpg", "{SU=Ann}.jpg"}}, "{SU=Dee}.jpg"},
        {"a platform error is reported and the run goes on", {"{SU=Ann}.jpg", "{SU=Cy}.jpg"}, {},
         {{"Ann", "Bob"}, {"Cy", "Bob"}}, &batch_operation::ChangeDates, -1, 1, -1, true,
         {"{SU=Ann}.jpg not saved {SU=Bob}.jpg", "{SU=Cy}.jpg processed {SU=Bob}.jpg"},
         {"{SU=Ann}.jpg Permission denied"},
         {"{SU=Ann}.jpg > {SU=Bob}.jpg failed", "{SU=Cy}.jpg > {SU=Bob}.jpg"}, 2, 1, 1, RunEnd::Completed,
         {{"{SU=Ann}.jpg", "{SU=Ann}.jpg"}, {"{SU=Bob}.jpg", "{SU=Cy}.jpg"}, {"{SU=Cy}.jpg", ""}}, "{SU=Ann}.jpg"},
        {"stop ends before the next row", {"{SU=Ann}.jpg", "{Subject=Cy}.jpg", "{SU=Dee}.jpg"}, {},
         {{"Ann", "Bob"}, {"Cy", "Eve"}, {"Dee", "Fay"}}, &batch_operation::ChangeDates, 2, 0, -1, true,
         {"{SU=Ann}.jpg processed {SU=Bob}.jpg"}, {}, {"{SU=Ann}.jpg > {SU=Bob}.jpg"}, 1, 0, 1, RunEnd::Stopped,
         {{"{SU=Bob}.jpg", "{SU=Ann}.jpg"}, {"{Subject=Cy}.jpg", "{Subject=Cy}.jpg"}, {"{SU=Dee}.jpg", "{SU=Dee}.jpg"}},
         "{SU=Bob}.jpg"},
        {"each rename is recorded first; a failed record stops the run, saying why",
         {"{SU=Ann}.jpg", "{SU=Cy}.jpg"}, {}, {{"Ann", "Bob"}, {"Cy", "Dee"}}, &batch_operation::ChangeDates, -1, 0, 1,
         true, {"{SU=Ann}.jpg processed {SU=Bob}.jpg", "{SU=Cy}.jpg not saved {SU=Dee}.jpg"},
         {"{SU=Cy}.jpg last No space left on device"}, {"{SU=Ann}.jpg > {SU=Bob}.jpg"}, 2, 1, 1, RunEnd::Cancelled,
         {{"{SU=Cy}.jpg", "{SU=Cy}.jpg"}, {"{SU=Dee}.jpg", ""}}, "{SU=Bob}.jpg"},
        {"a failed rename is marked and an unchanged name is not recorded",
         {"{SU=Ann}.jpg", "{SU=Bob}.jpg", "{SU=Cy}.jpg"}, {}, {{"Ann", "Bob"}, {"Bob", "Bob"}, {"Cy", "Bob"}},
         &batch_operation::ChangeDates, -1, 0, -1, true,
         // Ann waits for Bob's name, which stays: Bob comes first.
         {"{SU=Bob}.jpg processed {SU=Bob}.jpg", "{SU=Ann}.jpg not saved {SU=Bob}.jpg",
          "{SU=Cy}.jpg not saved {SU=Bob}.jpg"},
         {"{SU=Ann}.jpg File exists", "{SU=Cy}.jpg last File exists"},
         {"{SU=Ann}.jpg > {SU=Bob}.jpg failed", "{SU=Ann}.jpg > {SU=Bob}.jpg failed",
          "{SU=Cy}.jpg > {SU=Bob}.jpg failed"},
         3, 2, 1, RunEnd::Completed,
         {{"{SU=Ann}.jpg", "{SU=Ann}.jpg"}, {"{SU=Bob}.jpg", "{SU=Bob}.jpg"}, {"{SU=Cy}.jpg", "{SU=Cy}.jpg"}},
         "{SU=Ann}.jpg"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        QTemporaryDir fresh;
        dir_.swap(fresh);
        rows_.clear();
        host_ = ScriptedHost();
        host_.stopAt = r.stopAt;
        host_.goOn = r.goOn;
        files_.changes = 0;
        files_.failChangeAt = r.failChangeAt;
        for (const char* n : r.files) files({n});
        for (const char* n : r.outside) outside({n});
        // Grown since its row was filled: a renamed row is read from its file again.
        for (const char* n : r.files) std::ofstream(path(n), std::ios::app) << " " << std::string(5000, 'x');
        MapSubject step(r.to, *r.op);
        RecordingRecorder recorder(dir_.path().toStdString());
        recorder.failAfter = r.recordFailAfter;
        const BatchCounters c = run(step, {false, &recorder});
        EXPECT_EQ(host_.outcomes, r.outcomes);
        EXPECT_EQ(host_.failures, r.failures);
        EXPECT_EQ(recorder.records, r.records);
        EXPECT_EQ(c.total, r.total);
        EXPECT_EQ(c.notSaved, r.notSaved);
        EXPECT_EQ(c.successes(), r.successes);
        EXPECT_EQ(end_, r.end);
        for (const auto& [name, was] : r.after) {
            if (was.empty()) EXPECT_FALSE(exists(name)) << name;
            else EXPECT_EQ(content(name), was) << name;
        }
        // The row is refilled from its file's new name, or keeps its own.
        EXPECT_EQ(rows_[0]->Text, r.firstRow);
        EXPECT_EQ(rows_[0]->Key, path(r.firstRow));
        if (&r == &rows[0]) {
            EXPECT_EQ(rows_[0]->Length, "012");
            FileRow now;
            ASSERT_TRUE(parser_.FillRow(now, path(r.firstRow)).ok());
            EXPECT_EQ(rows_[0]->Size, now.Size);
            EXPECT_EQ(host_.progress, (std::vector<int>{1, 2, 3}));
        }
    }
}

TEST_F(BatchRunTest, PreviewRefusesWhatTheRenameWouldRefuseAndChangesNothing) {
    // Rebuilt, both become "{SU=Ann}.jpg": the first keeps it, the second is refused.
    files({"{SU=Ann}.jpg", "{Subject=Ann}.jpg", "{Place=Harbour}.jpg"});
    RebuildStep step;
    const BatchCounters preview = run(step, {true, nullptr});
    const std::vector<std::string> previewed = host_.outcomes;
    EXPECT_TRUE(exists("{Subject=Ann}.jpg"));
    EXPECT_TRUE(exists("{Place=Harbour}.jpg"));
    EXPECT_EQ(preview.notSaved, 1);

    host_.outcomes.clear();
    const BatchCounters applied = run(step);
    EXPECT_EQ(host_.outcomes, previewed);
    EXPECT_EQ(applied.notSaved, 1);
    EXPECT_TRUE(exists("{PL=Harbour}.jpg"));
    EXPECT_TRUE(exists("{Subject=Ann}.jpg"));
}

TEST_F(BatchRunTest, APreviewReportsTheResultOfTheNewName) {
    files({"{SU=Ann}.jpg"});
    MapSubject step(Map{{"Ann", "x{"}});  // the new name does not parse
    run(step, {true, nullptr});
    ASSERT_EQ(host_.results.size(), 1u);
    EXPECT_EQ(host_.results[0].substr(0, 5), "Fail ");
}

// Renames whose new names are held by files of the same run: the preview says
// what the run does, the run renames without replacing anything, and undo puts
// every name back. Each file holds its first name, so where it went can be read.
TEST_F(BatchRunTest, ChainsAndCyclesRenameWithoutReplacingAndUndoRestoresThem) {
    const struct {
        const char* what;
        std::vector<const char*> run, outside;
        std::map<std::string, std::string> to;
        std::map<std::string, std::string> after;  // name -> the name its file had
        int notSaved;
    } cases[] = {
        {"chain in run order", {"{SU=A}.jpg", "{SU=B}.jpg", "{SU=C}.jpg"}, {}, {{"A", "B"}, {"B", "C"}, {"C", "D"}},
         {{"{SU=B}.jpg", "{SU=A}.jpg"}, {"{SU=C}.jpg", "{SU=B}.jpg"}, {"{SU=D}.jpg", "{SU=C}.jpg"}}, 0},
        {"chain in reverse order", {"{SU=C}.jpg", "{SU=B}.jpg", "{SU=A}.jpg"}, {}, {{"A", "B"}, {"B", "C"}, {"C", "D"}},
         {{"{SU=B}.jpg", "{SU=A}.jpg"}, {"{SU=C}.jpg", "{SU=B}.jpg"}, {"{SU=D}.jpg", "{SU=C}.jpg"}}, 0},
        {"swap", {"{SU=A}.jpg", "{SU=B}.jpg"}, {}, {{"A", "B"}, {"B", "A"}},
         {{"{SU=A}.jpg", "{SU=B}.jpg"}, {"{SU=B}.jpg", "{SU=A}.jpg"}}, 0},
        {"three-cycle", {"{SU=A}.jpg", "{SU=B}.jpg", "{SU=C}.jpg"}, {}, {{"A", "B"}, {"B", "C"}, {"C", "A"}},
         {{"{SU=A}.jpg", "{SU=C}.jpg"}, {"{SU=B}.jpg", "{SU=A}.jpg"}, {"{SU=C}.jpg", "{SU=B}.jpg"}}, 0},
        {"chain broken by a file outside the run", {"{SU=A}.jpg", "{SU=B}.jpg"}, {"{SU=C}.jpg"},
         {{"A", "B"}, {"B", "C"}},
         {{"{SU=A}.jpg", "{SU=A}.jpg"}, {"{SU=B}.jpg", "{SU=B}.jpg"}, {"{SU=C}.jpg", "{SU=C}.jpg"}}, 2},
        {"two waiting for one name", {"{SU=A}.jpg", "{SU=B}.jpg", "{SU=C}.jpg"}, {}, {{"A", "C"}, {"B", "C"}, {"C", "D"}},
         {{"{SU=B}.jpg", "{SU=B}.jpg"}, {"{SU=C}.jpg", "{SU=A}.jpg"}, {"{SU=D}.jpg", "{SU=C}.jpg"}}, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir folder, state;
        dir_.swap(folder);
        rows_.clear();
        for (const char* n : k.run) files({n});
        for (const char* n : k.outside) outside({n});
        MapSubject step(k.to);

        host_.outcomes.clear();
        const BatchCounters preview = run(step, {true, nullptr});
        const std::vector<std::string> previewed = host_.outcomes;
        for (const char* n : k.run) EXPECT_EQ(content(n), n);

        host_.outcomes.clear();
        JournalWriter journal;
        ASSERT_TRUE(journal.Open(state.path().toStdString(), "test"));
        const BatchCounters applied = run(step, {false, &journal});
        journal.Close();
        EXPECT_EQ(host_.outcomes, previewed);
        EXPECT_EQ(preview.notSaved, k.notSaved);
        EXPECT_EQ(applied.notSaved, k.notSaved);
        for (const auto& [name, was] : k.after) EXPECT_EQ(content(name), was) << name;
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(),
                  static_cast<qsizetype>(k.run.size() + k.outside.size()));

        std::vector<std::string> errors;
        std::vector<JournalRun> runs = ReadJournal(state.path().toStdString(), errors);
        if (runs.empty()) continue;  // nothing was renamed
        EXPECT_TRUE(UndoRun(runs.back(), files_, true, {}).complete());
        for (const char* n : k.run) EXPECT_EQ(content(n), n);
    }
}

// A kill between the two halves of a cycle leaves one file under a temporary
// name; its record was written first, so undo brings it back.
TEST_F(BatchRunTest, AKillInsideACycleIsUndone) {
    files({"{SU=A}.jpg", "{SU=B}.jpg"});
    MapSubject step(Map{{"A", "B"}, {"B", "A"}});
    QTemporaryDir state;
    files_.failChangeAt = 4;  // two refused moves, the step aside, then the kill
    files_.throwAtFailure = true;
    {
        JournalWriter journal;
        ASSERT_TRUE(journal.Open(state.path().toStdString(), "test"));
        EXPECT_THROW(run(step, {false, &journal}), std::runtime_error);
    }
    EXPECT_FALSE(exists("{SU=B}.jpg"));
    files_.failChangeAt = 0;
    std::vector<std::string> errors;
    std::vector<JournalRun> runs = ReadJournal(state.path().toStdString(), errors);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(UndoRun(runs[0], files_, true, {}).complete());
    EXPECT_EQ(content("{SU=A}.jpg"), "{SU=A}.jpg");
    EXPECT_EQ(content("{SU=B}.jpg"), "{SU=B}.jpg");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// Where the new spelling names the file itself (a file system that ignores case;
// here a hard link stands in for it), the rename goes through a temporary name in
// recorded steps, and a failed second step brings the file back.
TEST_F(BatchRunTest, ACaseOnlyRenameStepsAsideInRecordedSteps) {
    files({"{SU=ann}.jpg"});
    ASSERT_EQ(::link(path("{SU=ann}.jpg").c_str(), path("{SU=Ann}.jpg").c_str()), 0);
    MapSubject step(Map{{"ann", "Ann"}});
    RecordingRecorder recorder;
    const BatchCounters c = run(step, {false, &recorder});
    EXPECT_EQ(c.notSaved, 1);  // the link still holds the name: the second step is refused
    ASSERT_EQ(recorder.records.size(), 3u);
    EXPECT_NE(recorder.records[0].find(" > " + path(".lorvane-")), std::string::npos) << recorder.records[0];
    EXPECT_NE(recorder.records[1].find(" > " + path("{SU=Ann}.jpg") + " failed"), std::string::npos);
    EXPECT_NE(recorder.records[2].find(" > " + path("{SU=ann}.jpg")), std::string::npos);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
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
