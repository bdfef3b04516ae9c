#include "browser/browser_batch.h"

#include <QMenu>
#include <QStackedWidget>

#include <algorithm>
#include <unordered_map>

#include "browser/browser_window.h"
#include "core/batch/add_content.h"
#include "core/batch/batch_run.h"
#include "core/batch/change_dates.h"
#include "core/batch/change_sequence_numbers.h"
#include "core/batch/journal.h"
#include "core/batch/journalled_run.h"
#include "core/batch/remove_content.h"
#include "core/qt_text.h"
#include "dialogs/add_content_dialog.h"
#include "dialogs/change_date_dialog.h"
#include "dialogs/change_sequence_dialog.h"
#include "dialogs/remove_content_dialog.h"
#include "core/rows/chronology_check.h"
#include "core/rows/select_files.h"
#include "dialogs/change_date_dialog.h"
#include "dialogs/select_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/user_interface.h"
#include "gui/wait_cursor.h"

namespace lorvane {

namespace {

QString countText(std::int64_t n) { return ToQString(FormatCount(n)); }

// What only the window does during a run: the progress dialog, paced window
// events, Stop, the rename-failure box, and where the Editor's file went.
class WindowBatchHost final : public BatchHost {
public:
    WindowBatchHost(ProgressDialog& progress, UserInterface& ui, QWidget* owner)
        : progress_(progress), ui_(ui), owner_(owner) {}

    bool Progress(std::int32_t attempted, std::int32_t total) override {
        progress_.SetValue(std::min(attempted, total));
        // The message and events only when due: per file is far too often for 100,000 rows.
        if (progress_.Due() || attempted == 1) {
            progress_.SetMessage(countText(attempted) + QStringLiteral(" of ") + countText(total));
            progress_.Pump(true);
        }
        return !progress_.Cancelled();
    }

    void Begin(const BatchOperation& operation) override { operation_ = &operation; }

    bool ContinueAfterRenameFailure(const FileRow& row, const FsError& error, bool last) override {
        const QString text = ToQString(FailureText(*operation_, row.Key, error.description, last));
        const MessageAnswer a = ui_.ShowMessage(owner_, text, ToQString(kRenameFailureTitle), MessageIcon::Exclamation,
                                                last ? MessageButtons::Ok : MessageButtons::OkCancel);
        return last || a == MessageAnswer::Ok;
    }

    void FileDone(const BatchFile& f) override {
        if (!followed.empty() && f.oldPath == followed && f.built && !f.madeNew && f.error.ok()) followed = f.newPath;
        if (onFile) onFile(f);
    }

    std::string followed;  // the Editor's file: its path before the run, then after
    std::function<void(const BatchFile&)> onFile;

private:
    ProgressDialog& progress_;
    UserInterface& ui_;
    QWidget* owner_;
    const BatchOperation* operation_ = &batch_operation::Rebuild;
};

}  // namespace

BrowserBatch::BrowserBatch(BrowserWindow& window, AppContext& ctx) : window_(window), ctx_(ctx) {
    // Another program (lorvane undo) may have changed the journal meanwhile.
    if (auto* edit = window_.findChild<QMenu*>(QStringLiteral("mnuEdit")))
        QObject::connect(edit, &QMenu::aboutToShow, &window_, [this] { UpdateUndoCommand(); });
    UpdateUndoCommand();
}

BrowserBatch::~BrowserBatch() = default;

void BrowserBatch::UpdateUndoCommand() {
    if (QAction* undo = window_.Action(QStringLiteral("mnuUndoBatch"))) undo->setEnabled(HasRunToUndo(JournalFolder()));
}

std::string BrowserBatch::editorPath() const {
    auto* editor = dynamic_cast<EditorForm*>(ctx_.windows.loaded(form::Editor));
    if (!editor || editor->CurrentFileName().empty()) return {};
    return JoinPath(editor->CurrentFolder(), editor->CurrentFileName());
}

void BrowserBatch::editorFollows(const std::string& oldPath, const std::string& newPath) {
    if (oldPath.empty() || oldPath == newPath) return;
    if (auto* editor = dynamic_cast<EditorForm*>(ctx_.windows.loaded(form::Editor)))
        editor->FileRenamed(oldPath, newPath);
}

void BrowserBatch::withProgress(const QString& caption, int total, bool renames,
                                const std::function<void(BatchHost&)>& loop) {
    ProgressDialog& dlg = *window_.Progress();
    window_.parser_.RefreshOptions();  // Options may have changed the settings since the rows were loaded
    window_.stack_->hide();
    {
        BusyWithProgress busy(window_, dlg, caption, QStringLiteral("Stop"), total);
        if (renames) window_.setOtherWindowsEnabled(false);
        running_ = true;
        WindowBatchHost host(dlg, ctx_.ui, &window_);
        loop(host);
        running_ = false;
        if (renames) window_.setOtherWindowsEnabled(true);
    }
    window_.model_->rowsChanged();
    window_.stack_->show();
    window_.ViewFile();  // the current row's file may have a new name or be gone
}

RunResult BrowserBatch::run(BatchStep& step, const std::vector<int>& rows,
                            const std::function<void(const BatchFile&)>& onFile) {
    const BatchOperation& op = step.Operation();
    std::vector<FileRow*> selected;
    selected.reserve(rows.size());
    for (int r : rows) selected.push_back(window_.model_->rowAt(r));

    RunRequest request;
    request.command = "Lorvane Manager: " + std::string(op.title);
    RunResult result;
    const std::string editorFile = editorPath();
    std::string editorNow;
    withProgress(ToQString(op.progressCaption), static_cast<int>(selected.size()), true, [&](BatchHost& host) {
        auto& windowHost = static_cast<WindowBatchHost&>(host);
        windowHost.followed = editorFile;
        windowHost.onFile = onFile;
        result = RunJournalled(window_.parser_, window_.parser_.files(), host, step, selected, request);
        editorNow = windowHost.followed;
    });
    if (!result.started) {
        ctx_.ui.ShowMessage(&window_, ToQString(result.error + "."), ToQString(op.title), MessageIcon::Stop);
        return result;
    }
    // Before the report: the Editor shows the new name while the user reads it.
    editorFollows(editorFile, editorNow);
    window_.UpdateIndicators();
    UpdateUndoCommand();
    return result;
}

void BrowserBatch::ParseAll() {
    const int n = window_.model_->size();
    if (n == 0) return;
    std::vector<FileRow*> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) rows.push_back(window_.model_->rowAt(i));
    withProgress(QStringLiteral("Parsing Files..."), n, false, [&](BatchHost& host) {
        BatchRun(window_.parser_, window_.parser_.files(), host).ParseAll(rows);
    });
    window_.focusList();
    window_.closeIfAsked();
}

void BrowserBatch::Rebuild() {
    const BatchOperation& op = batch_operation::Rebuild;
    const QString title = ToQString(op.title);
    const std::vector<int> rows = window_.SelectedRowsOrSay(title);
    if (rows.empty()) {
        window_.focusList();
        return;
    }
    const auto count = static_cast<std::int32_t>(rows.size());
    const QString question = ToQString(RebuildQuestion(count, window_.model_->row(rows.front()).Text));
    if (ctx_.ui.ShowMessage(&window_, question, title, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        window_.focusList();
        return;
    }
    RebuildStep step;
    const RunResult r = run(step, rows);
    if (const std::string report = r.started ? r.Report(op) : std::string(); !report.empty())
        ctx_.ui.ShowMessage(&window_, ToQString(report), title, MessageIcon::Information);
    window_.focusList();
    window_.closeIfAsked();
}

void BrowserBatch::runDialogOperation(const BatchOperation& op, const std::function<OperationDialog&()>& dialog,
                                      const std::function<std::unique_ptr<BatchStep>()>& makeStep) {
    for (;;) {
        // Counted afresh for every run: an aborted run does not shorten the next one.
        const std::vector<int> rows = window_.SelectedRowsOrSay(ToQString(op.title));
        if (rows.empty()) break;
        OperationDialog& d = dialog();
        d.Run();
        if (!d.Confirm) break;
        const std::unique_ptr<BatchStep> step = makeStep();
        const RunResult r = run(*step, rows);
        if (!r.started) break;
        ctx_.ui.ShowMessage(&window_, ToQString(r.Report(op)), ToQString(op.title), MessageIcon::Information);
        if (!d.Persist || window_.closeWhenIdle_) break;
    }
    window_.focusList();
    window_.closeIfAsked();
}

void BrowserBatch::ChangeDates() {
    runDialogOperation(
        batch_operation::ChangeDates,
        [this]() -> OperationDialog& {
            if (!changeDateDialog_)
                changeDateDialog_ = new ChangeDateDialog(ctx_.ui, QDateTime::currentDateTime(), &window_);
            return *changeDateDialog_;
        },
        [this] {
            return std::make_unique<ChangeDatesStep>(changeDateDialog_->request(),
                                                     window_.parser_.pipeline().dateOptions(),
                                                     window_.parser_.files());
        });
}

void BrowserBatch::ChangeSequenceNumbers() {
    runDialogOperation(
        batch_operation::ChangeSequenceNumbers,
        [this]() -> OperationDialog& {
            if (!changeSequenceDialog_) changeSequenceDialog_ = new ChangeSequenceDialog(ctx_.ui, &window_);
            return *changeSequenceDialog_;
        },
        // The step sets its generator from Start and Step when the run begins.
        [this] { return std::make_unique<ChangeSequenceStep>(changeSequenceDialog_->request()); });
}

void BrowserBatch::AddContent() {
    runDialogOperation(
        batch_operation::AddContent,
        [this]() -> OperationDialog& {
            if (!addContentDialog_) addContentDialog_ = new AddContentDialog(ctx_.ui, &window_);
            return *addContentDialog_;
        },
        [this] { return std::make_unique<AddContentStep>(addContentDialog_->request()); });
}

void BrowserBatch::RemoveContent() {
    runDialogOperation(
        batch_operation::RemoveContent,
        [this]() -> OperationDialog& {
            if (!removeContentDialog_) removeContentDialog_ = new RemoveContentDialog(&window_);
            return *removeContentDialog_;
        },
        [this] { return std::make_unique<RemoveContentStep>(removeContentDialog_->request()); });
}

void BrowserBatch::SelectFiles() {
    if (!selectDialog_) selectDialog_ = new SelectDialog(&window_);
    BrowserModel& model = *window_.model_;
    for (;;) {
        selectDialog_->Run();
        if (!selectDialog_->Confirm) break;
        const SelectRequest request = selectDialog_->request();
        // The list's selection goes into the rows for the run, and back after it.
        std::vector<FileRow*> rows(static_cast<std::size_t>(model.size()));
        for (int i = 0; i < model.size(); ++i) (rows[static_cast<std::size_t>(i)] = model.rowAt(i))->Selected = false;
        for (int i : window_.SelectedRows()) model.rowAt(i)->Selected = true;
        withProgress(QStringLiteral("Selecting Files..."), model.size(), false, [&](BatchHost& host) {
            RunSelectFiles(request, rows, window_.parser_,
                           [&host](std::int32_t reached, std::int32_t total) { return host.Progress(reached, total); });
            // The ranges span whole rows already: Qt's widening to rows merges them
            // pairwise, which for thousands of ranges takes seconds.
            window_.Selection().select(model.rowsMarkedSelected(), QItemSelectionModel::ClearAndSelect);
        });
        window_.UpdateIndicators();
        if (!selectDialog_->Persist || window_.closeWhenIdle_) break;
    }
    window_.focusList();
    window_.closeIfAsked();
}

void BrowserBatch::CheckChronology() {
    BrowserModel& model = *window_.model_;
    const int n = model.size();
    if (n < 2) return;
    const auto column =
        std::find(kBrowserColumns.begin(), kBrowserColumns.end(), "Chronology") - kBrowserColumns.begin();
    std::vector<FileRow*> rows;
    rows.reserve(static_cast<std::size_t>(n));
    withProgress(QStringLiteral("Checking Files..."), n, false, [&](BatchHost& host) {
        // Sorted with the list hidden; it stays sorted this way afterwards.
        window_.SortList(static_cast<int>(column), Qt::AscendingOrder);
        for (int i = 0; i < n; ++i) rows.push_back(model.rowAt(i));
        // The sort of a large list takes a moment: Stop is looked at once more before the rows.
        if (!host.Progress(0, n)) return;
        lorvane::CheckChronology(
            rows, [&host](std::int32_t position, std::int32_t total) { return host.Progress(position, total); });
    });
    window_.focusList();
    window_.closeIfAsked();
}

void BrowserBatch::UndoBatchRename() {
    const QString title = QStringLiteral("Undo Batch Rename");
    const std::string folder = JournalFolder();
    UndoChoice choice;
    {
        WaitCursor wait;
        choice = FindRunToUndo(folder);
    }
    if (!choice.blocked.empty()) {
        ctx_.ui.ShowMessage(&window_, ToQString(choice.blocked), title, MessageIcon::Exclamation);
        window_.focusList();
        return;
    }
    if (!choice.run()) {
        QString text = QStringLiteral("There is no batch rename to undo.");
        if (!choice.folderError.empty()) text += QLatin1Char('\n') + ToQString(choice.folderError);
        ctx_.ui.ShowMessage(&window_, text, title, MessageIcon::Information);
        UpdateUndoCommand();
        window_.focusList();
        return;
    }
    if (ctx_.ui.ShowMessage(&window_, ToQString(UndoQuestion(*choice.run())), title, MessageIcon::Question,
                            MessageButtons::YesNo) != MessageAnswer::Yes) {
        window_.focusList();
        return;
    }
    // The lock for the undo itself, not while the question waits; the journal is
    // read again under it, in case another run came meanwhile.
    JournalLock lock;
    const std::string asked = choice.run()->file;
    if (!lock.Acquire(folder, "Lorvane Manager: Undo Batch Rename")) {
        ctx_.ui.ShowMessage(&window_, ToQString(lock.error() + "."), title, MessageIcon::Exclamation);
        window_.focusList();
        return;
    }
    choice = FindRunToUndo(folder);
    JournalRun* latest = choice.run();
    if (!latest || latest->file != asked) {
        ctx_.ui.ShowMessage(&window_,
                            QStringLiteral("The journal has changed since the question; choose Undo Batch Rename "
                                           "again to see what it would undo now."),
                            title, MessageIcon::Exclamation);
        UpdateUndoCommand();
        window_.focusList();
        return;
    }

    // The rows by key once, so that each file put back finds its row at once.
    BrowserModel& model = *window_.model_;
    std::unordered_map<std::string, int> rowOf;
    rowOf.reserve(static_cast<std::size_t>(model.size()));
    for (int i = 0; i < model.size(); ++i) rowOf.emplace(model.row(i).Key, i);

    std::string followed = editorPath();
    const std::string editorFile = followed;
    UndoTally tally;
    const auto total = static_cast<int>(latest->renames.size());
    withProgress(QStringLiteral("Undoing Batch Rename..."), total, true, [&](BatchHost& host) {
        tally = UndoRun(
            *latest, window_.parser_.files(), true,
            [&](const UndoItem& item) {
                if (item.outcome != UndoOutcome::Restored) return;
                const std::string& from = item.entry.newPath;
                const std::string& to = item.entry.oldPath;
                if (from == followed) followed = to;
                const auto it = rowOf.find(from);
                if (it == rowOf.end()) return;
                const int row = it->second;
                rowOf.erase(it);
                FileRow& r = *model.rowAt(row);
                if (window_.parser_.FillRow(r, to).failed()) return;  // gone again: the row keeps its name
                rowOf.emplace(r.Key, row);
            },
            [&](std::int32_t done, std::int32_t all) { return host.Progress(done, all); });
    });
    editorFollows(editorFile, followed);
    window_.UpdateIndicators();
    UpdateUndoCommand();
    ctx_.ui.ShowMessage(&window_, ToQString(UndoReport(*latest, tally, true) + "."), title,
                        tally.complete() ? MessageIcon::Information : MessageIcon::Exclamation);
    window_.focusList();
    window_.closeIfAsked();
}

}  // namespace lorvane
