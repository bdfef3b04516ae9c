#include <gtest/gtest.h>

#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
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

TEST(BatchReportTest, CountsArePaddedToTheDigitsOfTheTotalAndAnEarlyEndSaysWhatWasNotAttempted) {
    EXPECT_EQ(BatchReport(batch_operation::ChangeDates, {7, 1, 2, 0, 0, 1, 7}, "\n"),
              "3  filenames successfully processed\n1  filenames could not be parsed\n"
              "2  filenames did not have/need dates\n0  filenames could not be re-built\n"
              "1  filenames could not be saved\n=\n7  total filenames attempted");
    EXPECT_EQ(BatchReport(batch_operation::ChangeSequenceNumbers, {1000, 1, 0, 1, 0, 0, 1000}),
              "0998  filenames successfully processed\r\n0001  filenames could not be parsed\r\n"
              "0000  filenames did not have/need numbers\r\n0001  filenames had out-of-range numbers\r\n"
              "0000  filenames could not be re-built\r\n0000  filenames could not be saved\r\n====\r\n"
              "1000  total filenames attempted");
    const struct {
        const BatchOperation& op;
        std::int32_t selected;
        RunEnd end;
        std::string last;  // the report's last line
    } rows[] = {
        {batch_operation::ChangeDates, 3, RunEnd::Completed, "3  total filenames attempted"},
        {batch_operation::ChangeDates, 3, RunEnd::Stopped, "3  total filenames attempted"},  // stopped after the last
        {batch_operation::ChangeDates, 10, RunEnd::Stopped,
         "The run was stopped: 7 of the 10 selected filenames were not attempted."},
        {batch_operation::ChangeDates, 4, RunEnd::Cancelled,
         "The run was cancelled: 1 of the 4 selected filenames was not attempted."},
        {batch_operation::Rebuild, 3, RunEnd::Completed, ""},
        {batch_operation::Rebuild, 1001, RunEnd::Stopped,
         "The run was stopped: 998 of the 1,001 selected filenames were not attempted."},
    };
    for (const auto& r : rows) {
        const std::string report = RunReport(r.op, {3, 0, 0, 0, 0, 0, 3}, r.selected, r.end, "\n");
        EXPECT_EQ(report.substr(report.rfind('\n') + 1), r.last) << report;
    }
}

TEST(BatchReportTest, RebuildSentencesAndRenameFailures) {
    EXPECT_EQ(RebuildReport(5, 2),
              "Of the 5 filenames attempted, 2 filenames were not processed because they could not be parsed.");
    EXPECT_EQ(RebuildReport(1, 1),
              "Of the 1 filename attempted, 1 filename was not processed because it could not be parsed.");
    EXPECT_EQ(RebuildReport(3, 0), "");
    // Only when rows remain does it ask.
    const std::string text = "Unable to rename the file \"/f/a.jpg\" due to the following error: File exists.";
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", true), text);
    EXPECT_EQ(RenameFailureText("/f/a.jpg", "File exists", false),
              text + "\r\n\r\nClick OK to continue processing the remaining files or Cancel to abort.");
}

using Map = std::map<std::string, std::string>;

// Rows name their files briefly: a bare word W is the file "{SU=W}.jpg", and what the
// run reports is shortened back so.
std::vector<std::string> expand(std::string_view words) {
    std::vector<std::string> out;
    std::istringstream in{std::string(words)};
    for (std::string w; in >> w;) out.push_back(w.find_first_of("{.") == std::string::npos ? "{SU=" + w + "}.jpg" : w);
    return out;
}
std::string shorten(std::string text) { return std::regex_replace(text, std::regex(R"(\{SU=(\w+)\}\.jpg)"), "$1"); }
std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += (out.empty() ? "" : "; ") + shorten(l);
    return out;
}
// "Ann>Bob Cy>Dee": each Subject value to its new one.
Map mapping(std::string_view pairs) {
    Map m;
    std::istringstream in{std::string(pairs)};
    for (std::string p; in >> p;) m[p.substr(0, p.find('>'))] = p.substr(p.find('>') + 1);
    return m;
}

// Each Subject value through a table: {SU=A} becomes {SU=B} for "A" -> "B";
// names without a Subject, or whose value the table lacks, are not applicable.
class MapSubject : public BatchStep {
public:
    explicit MapSubject(Map to, const BatchOperation& op = batch_operation::ChangeDates)
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
    Map to_;
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
    // Fresh folder and rows: the selected files, and files beside them, each holding its first name.
    void files(std::string_view selected, std::string_view outside = {}) {
        QTemporaryDir fresh;
        dir_.swap(fresh);
        rows_.clear();
        for (const std::string& n : expand(outside)) std::ofstream(path(n)) << n;
        for (const std::string& n : expand(selected)) {
            std::ofstream(path(n)) << n;
            rows_.push_back(std::make_unique<FileRow>());
            ASSERT_TRUE(parser_.FillRow(*rows_.back(), path(n)).ok()) << n;
        }
    }
    std::string path(std::string_view name) const { return JoinPath(dir_.path().toStdString(), name); }
    // What the file now at name was called when the test began, "-" for no file.
    std::string content(std::string_view name) const {
        std::ifstream in(path(name));
        std::string text;
        return in >> text ? text : "-";
    }
    // "new:old ...": which file each name holds now, by its first name.
    void expectAfter(std::string_view after) const {
        std::istringstream in{std::string(after)};
        for (std::string pair; in >> pair;) {
            const std::string name = expand(pair.substr(0, pair.find(':')))[0];
            EXPECT_EQ(shorten(content(name)), pair.substr(pair.find(':') + 1)) << name;
        }
    }
    bool exists(std::string_view name) const { return FileSystemService::Instance().FileExists(path(name)); }
    qsizetype entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(); }
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

// One run over named files with a scripted user, file system and journal.
TEST_F(BatchRunTest, RunsOverRows) {
    const struct {
        const char *what, *files, *outside, *to;
        const BatchOperation* op;
        int stopAt, failChangeAt, recordFailAfter;
        bool goOn;
        const char *outcomes, *failures, *records;
        int total, notSaved, successes;
        RunEnd end;
        const char *after, *firstRow;  // the first row's name after the run
    } rows[] = {
        {"changes, renames and refills each row", "Ann x{.jpg {PL=Harbour}.jpg", "", "Ann>Bob",
         &batch_operation::ChangeDates, -1, 0, -1, true,
         "Ann processed Bob; x{.jpg not parsed; {PL=Harbour}.jpg not applicable {PL=Harbour}.jpg", "", "Ann > Bob", 3,
         0, 1, RunEnd::Completed, "Bob:Ann Ann:- x{.jpg:x{.jpg {PL=Harbour}.jpg:{PL=Harbour}.jpg", "Bob"},
        {"a content operation leaves a not applicable row alone", "{PL=Harbour}.jpg", "", "Ann>Bob",
         &batch_operation::AddContent, -1, 0, -1, true, "{PL=Harbour}.jpg not applicable", "", "", 1, 0, 0,
         RunEnd::Completed, "{PL=Harbour}.jpg:{PL=Harbour}.jpg", "{PL=Harbour}.jpg"},
        {"never replaces; cancel aborts with the attempted total", "Ann {Subject=Ann}.jpg", "Bob", "Ann>Bob",
         &batch_operation::ChangeDates, -1, 0, -1, false, "Ann not saved Bob", "Ann File exists", "Ann > Bob failed", 1,
         1, 0, RunEnd::Cancelled, "Ann:Ann Bob:Bob {Subject=Ann}.jpg:{Subject=Ann}.jpg", "Ann"},
        {"a failure on the last row only reports", "Cy Ann", "Bob", "Cy>Dee Ann>Bob", &batch_operation::ChangeDates, -1,
         0, -1, false, "Cy processed Dee; Ann not saved Bob", "Ann last File exists", "Cy > Dee; Ann > Bob failed", 2,
         1, 1, RunEnd::Completed, "Dee:Cy Ann:Ann", "Dee"},
        {"a platform error is reported and the run goes on", "Ann Cy", "", "Ann>Bob Cy>Bob",
         &batch_operation::ChangeDates, -1, 1, -1, true, "Ann not saved Bob; Cy processed Bob", "Ann Permission denied",
         "Ann > Bob failed; Cy > Bob", 2, 1, 1, RunEnd::Completed, "Ann:Ann Bob:Cy Cy:-", "Ann"},
        {"stop ends before the next row", "Ann {Subject=Cy}.jpg Dee", "", "Ann>Bob Cy>Eve Dee>Fay",
         &batch_operation::ChangeDates, 2, 0, -1, true, "Ann processed Bob", "", "Ann > Bob", 1, 0, 1, RunEnd::Stopped,
         "Bob:Ann {Subject=Cy}.jpg:{Subject=Cy}.jpg Dee:Dee", "Bob"},
        {"each rename is recorded first; a failed record stops the run, saying why", "Ann Cy", "", "Ann>Bob Cy>Dee",
         &batch_operation::ChangeDates, -1, 0, 1, true, "Ann processed Bob; Cy not saved Dee",
         "Cy last No space left on device", "Ann > Bob", 2, 1, 1, RunEnd::Cancelled, "Cy:Cy Dee:-", "Bob"},
        // Ann waits for Bob's name, which stays: Bob comes first.
        {"a failed rename is marked and an unchanged name is not recorded", "Ann Bob Cy", "", "Ann>Bob Bob>Bob Cy>Bob",
         &batch_operation::ChangeDates, -1, 0, -1, true, "Bob processed Bob; Ann not saved Bob; Cy not saved Bob",
         "Ann File exists; Cy last File exists", "Ann > Bob failed; Ann > Bob failed; Cy > Bob failed", 3, 2, 1,
         RunEnd::Completed, "Ann:Ann Bob:Bob Cy:Cy", "Ann"},
    };
    // One thread, and a worker making the next rows ahead: the same renames, records and stops.
    for (const int jobs : {1, 2}) {
        for (const auto& r : rows) {
            SCOPED_TRACE(std::string(r.what) + (jobs == 1 ? "" : ", worker"));
            files(r.files, r.outside);
            host_ = ScriptedHost();
            host_.stopAt = r.stopAt;
            host_.goOn = r.goOn;
            files_.changes = 0;
            files_.failChangeAt = r.failChangeAt;
            // Grown since its row was filled: a renamed row is read from its file again.
            for (const std::string& n : expand(r.files))
                std::ofstream(path(n), std::ios::app) << " " << std::string(5000, 'x');
            MapSubject step(mapping(r.to), *r.op);
            RecordingRecorder recorder(dir_.path().toStdString());
            recorder.failAfter = r.recordFailAfter;
            const BatchCounters c = run(step, {false, &recorder, true, jobs});
            EXPECT_EQ(joined(host_.outcomes), r.outcomes);
            EXPECT_EQ(joined(host_.failures), r.failures);
            EXPECT_EQ(joined(recorder.records), r.records);
            EXPECT_EQ(std::to_string(c.total) + " " + std::to_string(c.notSaved) + " " + std::to_string(c.successes()),
                      std::to_string(r.total) + " " + std::to_string(r.notSaved) + " " + std::to_string(r.successes));
            EXPECT_EQ(end_, r.end);
            expectAfter(r.after);
            // The row is refilled from its file's new name, or keeps its own.
            const std::string first = expand(r.firstRow)[0];
            EXPECT_EQ(rows_[0]->Text, first);
            EXPECT_EQ(rows_[0]->Key, path(first));
            if (&r == &rows[0]) {
                EXPECT_EQ(rows_[0]->Length, "012");
                FileRow now;
                ASSERT_TRUE(parser_.FillRow(now, path(first)).ok());
                EXPECT_EQ(rows_[0]->Size, now.Size);
                EXPECT_EQ(host_.progress, (std::vector<int>{1, 2, 3}));
            }
        }
    }
}

// Settings may build a name with "/" in it: no folder's name, refused like a taken one, and the run goes on.
TEST_F(BatchRunTest, ABuiltNameNoFolderCanHoldIsRefused) {
    settings_.Build2xDelimiterStart = "/";
    parser_.RefreshOptions();
    files("Ann Cy");
    MapSubject step(mapping("Ann>Bob Cy>Dee"));
    RecordingRecorder recorder;
    EXPECT_EQ(run(step, {false, &recorder}).notSaved, 2);
    EXPECT_EQ(joined(host_.failures), "Ann A file name cannot contain \"/\"; Cy last A file name cannot contain \"/\"");
    EXPECT_TRUE(recorder.records.empty());
    expectAfter("Ann:Ann Cy:Cy");
}

// A preview refuses what the rename would refuse, reports the new name's result and
// changes nothing.
TEST_F(BatchRunTest, PreviewSaysWhatTheRunDoesAndChangesNothing) {
    // Rebuilt, both become "{SU=Ann}.jpg": the first keeps it, the second is refused.
    files("Ann {Subject=Ann}.jpg {Place=Harbour}.jpg");
    RebuildStep step;
    EXPECT_EQ(run(step, {true, nullptr}).notSaved, 1);
    const std::vector<std::string> previewed = host_.outcomes;
    EXPECT_TRUE(exists("{Place=Harbour}.jpg"));
    host_.outcomes.clear();
    EXPECT_EQ(run(step).notSaved, 1);
    EXPECT_EQ(host_.outcomes, previewed);
    EXPECT_TRUE(exists("{PL=Harbour}.jpg") && exists("{Subject=Ann}.jpg"));
    // A new name that does not parse back fails in the preview too.
    files("Ann");
    MapSubject unparsable(Map{{"Ann", "x{"}});
    host_.results.clear();
    run(unparsable, {true, nullptr});
    EXPECT_EQ(host_.results, std::vector<std::string>{"Fail Start delimiter in attribute value"});
}

// Renames whose new names are held by files of the same run: the preview says
// what the run does, the run renames without replacing anything, and undo puts
// every name back.
TEST_F(BatchRunTest, ChainsAndCyclesRenameWithoutReplacingAndUndoRestoresThem) {
    const struct {
        const char *what, *run, *outside, *to, *after;
        int notSaved;
    } cases[] = {
        {"chain in run order", "A B C", "", "A>B B>C C>D", "B:A C:B D:C", 0},
        {"chain in reverse order", "C B A", "", "A>B B>C C>D", "B:A C:B D:C", 0},
        {"swap", "A B", "", "A>B B>A", "A:B B:A", 0},
        {"three-cycle", "A B C", "", "A>B B>C C>A", "A:C B:A C:B", 0},
        {"chain broken by a file outside the run", "A B", "C", "A>B B>C", "A:A B:B C:C", 2},
        {"two waiting for one name", "A B C", "", "A>C B>C C>D", "B:B C:A D:C", 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        QTemporaryDir state;
        files(k.run, k.outside);
        MapSubject step(mapping(k.to));
        host_.outcomes.clear();
        EXPECT_EQ(run(step, {true, nullptr}).notSaved, k.notSaved);
        const std::vector<std::string> previewed = host_.outcomes;
        for (const std::string& n : expand(k.run)) EXPECT_EQ(content(n), n);

        host_.outcomes.clear();
        JournalWriter journal;
        ASSERT_TRUE(journal.Open(state.path().toStdString(), "test"));
        EXPECT_EQ(run(step, {false, &journal}).notSaved, k.notSaved);
        journal.Close();
        EXPECT_EQ(host_.outcomes, previewed);
        expectAfter(k.after);
        EXPECT_EQ(entries(), static_cast<qsizetype>(expand(k.run).size() + expand(k.outside).size()));

        std::vector<std::string> errors;
        std::vector<JournalRun> runs = ReadJournal(state.path().toStdString(), errors);
        if (runs.empty()) continue;  // nothing was renamed
        EXPECT_TRUE(UndoRun(runs.back(), files_, true, {}).complete());
        for (const std::string& n : expand(k.run)) EXPECT_EQ(content(n), n);
    }
}

// A kill between the two halves of a cycle leaves one file under a temporary
// name; its record was written first, so undo brings it back.
TEST_F(BatchRunTest, AKillInsideACycleIsUndone) {
    files("A B");
    MapSubject step(mapping("A>B B>A"));
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
    expectAfter("A:A B:B");
    EXPECT_EQ(entries(), 2);
}

// Where the new spelling names the file itself (a file system that ignores case;
// here a hard link stands in for it), the rename goes through a temporary name in
// recorded steps, and a failed second step brings the file back.
TEST_F(BatchRunTest, ACaseOnlyRenameStepsAsideInRecordedSteps) {
    files("ann");
    ASSERT_EQ(::link(path("{SU=ann}.jpg").c_str(), path("{SU=Ann}.jpg").c_str()), 0);
    MapSubject step(mapping("ann>Ann"));
    RecordingRecorder recorder;
    EXPECT_EQ(run(step, {false, &recorder}).notSaved, 1);  // the link still holds the name: the second step is refused
    ASSERT_EQ(recorder.records.size(), 3u);
    EXPECT_NE(recorder.records[0].find(" > " + path(".lorvane-")), std::string::npos) << recorder.records[0];
    EXPECT_NE(recorder.records[1].find(" > " + path("{SU=Ann}.jpg") + " failed"), std::string::npos);
    EXPECT_NE(recorder.records[2].find(" > " + path("{SU=ann}.jpg")), std::string::npos);
    EXPECT_EQ(entries(), 2);
}

TEST_F(BatchRunTest, ParseAllParsesEveryRowUntilStopped) {
    files("Ann x{.jpg");
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
