// The Browser's batch commands: the window's side of core's batch run (progress,
// Stop, the boxes) and the commands that start one.
#include <QApplication>
#include <QCursor>
#include <QStackedWidget>

#include <functional>
#include <memory>
#include <optional>

#include "gui/user_interface.h"
#include "gui/wait_cursor.h"
#include "browser/browser_window.h"
#include "gui/progress_dialog.h"
#include "core/batch/batch_run.h"
#include "core/batch/change_dates.h"
#include "core/batch/journal.h"
#include "core/qt_text.h"
#include "dialogs/change_date_dialog.h"

namespace lorvane {

namespace {

QString countText(std::int64_t n) { return ToQString(FormatCount(n)); }

// What only the window does during a run: the progress dialog, paced window
// events, Stop, and the rename-failure box.
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

    bool ContinueAfterRenameFailure(const BrowserRow& row, const FsError& error, bool last) override {
        const QString text = ToQString(RenameFailureText(row.Key, error.description, last));
        const MessageAnswer a = ui_.ShowMessage(owner_, text, ToQString(kRenameFailureTitle), MessageIcon::Exclamation,
                                                last ? MessageButtons::Ok : MessageButtons::OkCancel);
        return last || a == MessageAnswer::Ok;
    }

private:
    ProgressDialog& progress_;
    UserInterface& ui_;
    QWidget* owner_;
};

}  // namespace

void BrowserWindow::runWithProgress(const QString& caption, int total, bool renames,
                                    const std::function<void(BatchHost&)>& loop) {
    ProgressDialog& dlg = *Progress();
    {
        WaitCursor wait;
        stack_->hide();
        dlg.Prepare(caption, QStringLiteral("Stop"));
        dlg.SetRange(0, total);
        dlg.show();
    }
    setEnabled(false);
    dlg.setEnabled(true);  // a window of its own: stays usable while its owner is disabled
    if (renames) setOtherWindowsEnabled(false);
    batchRunning_ = true;
    WindowBatchHost host(dlg, ctx_.ui, this);
    loop(host);
    batchRunning_ = false;
    if (renames) setOtherWindowsEnabled(true);
    setEnabled(true);
    dlg.hide();
    model_->rowsChanged();
    stack_->show();
}

std::optional<BatchCounters> BrowserWindow::runBatch(const BatchOperation& operation, BatchStep* step,
                                                     const std::vector<int>& rows) {
    // Every applied run is journalled first, so that it can be undone; a run that
    // could not be undone does not start.
    JournalWriter journal;
    if (!journal.Open(JournalFolder(), "Lorvane Manager: " + std::string(operation.title))) {
        ctx_.ui.ShowMessage(this, ToQString(journal.error() + "; nothing was renamed."), ToQString(operation.title),
                            MessageIcon::Stop);
        return std::nullopt;
    }
    BatchRunOptions options;
    options.recorder = &journal;

    std::vector<BrowserRow*> selected;
    selected.reserve(rows.size());
    for (int r : rows) selected.push_back(model_->rowAt(r));

    BatchCounters counters;
    runWithProgress(ToQString(operation.progressCaption), static_cast<int>(selected.size()), true,
                    [&](BatchHost& host) {
                        counters = BatchRun(parser_, parser_.files(), host).Run(operation, step, selected, options);
                    });
    journal.Close();
    UpdateIndicators();
    return counters;
}

void BrowserWindow::ParseAll() {
    const int n = model_->size();
    if (n == 0) return;
    std::vector<BrowserRow*> rows;
    rows.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) rows.push_back(model_->rowAt(i));
    runWithProgress(QStringLiteral("Parsing Files..."), n, false,
                    [&](BatchHost& host) { BatchRun(parser_, parser_.files(), host).ParseAll(rows); });
    focusList();
    closeIfAsked();
}

void BrowserWindow::Rebuild() {
    const QString title = ToQString(batch_operation::Rebuild.title);
    std::vector<int> rows;
    {
        WaitCursor wait;
        rows = SelectedRows();
    }
    if (rows.empty()) {
        ctx_.ui.ShowMessage(this, ToQString(kNoFilesSelected), title, MessageIcon::Information);
        focusList();
        return;
    }
    const auto count = static_cast<std::int32_t>(rows.size());
    const QString question = ToQString(RebuildQuestion(count, model_->row(rows.front()).Text));
    if (ctx_.ui.ShowMessage(this, question, title, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        focusList();
        return;
    }
    const std::optional<BatchCounters> c = runBatch(batch_operation::Rebuild, nullptr, rows);
    if (const std::string report = c ? RebuildReport(count, c->notParsed) : std::string(); !report.empty())
        ctx_.ui.ShowMessage(this, ToQString(report), title, MessageIcon::Information);
    focusList();
    closeIfAsked();
}

void BrowserWindow::runDialogOperation(const BatchOperation& op, const std::function<OperationDialog&()>& dialog,
                                       const std::function<std::unique_ptr<BatchStep>()>& makeStep) {
    for (;;) {
        // Counted afresh for every run: an aborted run does not shorten the next one.
        std::vector<int> rows;
        {
            WaitCursor wait;
            rows = SelectedRows();
        }
        if (rows.empty()) {
            ctx_.ui.ShowMessage(this, ToQString(kNoFilesSelected), ToQString(op.title), MessageIcon::Information);
            break;
        }
        OperationDialog& d = dialog();
        d.Run();
        if (!d.Confirm) break;
        const std::unique_ptr<BatchStep> step = makeStep();
        const std::optional<BatchCounters> c = runBatch(op, step.get(), rows);
        if (!c) break;
        ctx_.ui.ShowMessage(this, ToQString(BatchReport(op, *c)), ToQString(op.title), MessageIcon::Information);
        if (!d.Persist || closeWhenIdle_) break;
    }
    focusList();
    closeIfAsked();
}

void BrowserWindow::ChangeDates() {
    runDialogOperation(
        batch_operation::ChangeDates,
        [this]() -> OperationDialog& {
            if (!changeDateDialog_)
                changeDateDialog_ = new ChangeDateDialog(ctx_.ui, QDateTime::currentDateTime(), this);
            return *changeDateDialog_;
        },
        [this] {
            return std::make_unique<ChangeDatesStep>(changeDateDialog_->request(), parser_.pipeline().dateOptions(),
                                                     parser_.files());
        });
}

void BrowserWindow::UndoBatchRename() {
    const QString title = QStringLiteral("Undo Batch Rename");
    std::vector<std::string> errors;
    std::vector<JournalRun> runs = ReadJournal(JournalFolder(), errors);
    JournalRun* latest = nullptr;
    for (auto it = runs.rbegin(); it != runs.rend() && !latest; ++it)
        if (!it->undone) latest = &*it;
    if (!latest) {
        ctx_.ui.ShowMessage(this, QStringLiteral("There is no batch rename to undo."), title, MessageIcon::Information);
        focusList();
        return;
    }
    const QString question =
        QStringLiteral("Are you sure you want to undo the batch rename of %1 (%2 %3, %4)?")
            .arg(ToQString(latest->when), countText(static_cast<std::int64_t>(latest->renames.size())),
                 latest->renames.size() == 1 ? QStringLiteral("file") : QStringLiteral("files"),
                 ToQString(latest->command));
    if (ctx_.ui.ShowMessage(this, question, title, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        focusList();
        return;
    }
    int restored = 0, already = 0, left = 0;
    UndoRun(*latest, parser_.files(), true, [&](const UndoItem& item) {
        if (item.outcome == UndoOutcome::Restored) {
            ++restored;
            UpdateItem(item.entry.newPath, item.entry.oldPath);
        } else if (item.outcome == UndoOutcome::AlreadyThere) {
            ++already;
        } else {
            ++left;
        }
    });
    // A file the run left at its name (a rebuild to the same name) needs no undo.
    QString report =
        QStringLiteral("%1 of %2 files were renamed back.").arg(countText(restored), countText(restored + left));
    if (already)
        report += QStringLiteral(" %1 already had %2 old name.")
                      .arg(countText(already), already == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    if (left)
        report += QStringLiteral(
                      " %1 could not be: their old name is taken or they are gone; undo again once "
                      "that is resolved.")
                      .arg(countText(left));
    ctx_.ui.ShowMessage(this, report, title, left ? MessageIcon::Exclamation : MessageIcon::Information);
    focusList();
}

}  // namespace lorvane
