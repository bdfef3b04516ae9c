// The Browser's file commands: Edit Filename, Open, Remove from List, and Delete,
// Copy, Move and Create Shortcuts, which run as file operations of the batch run.
#include <QAction>
#include <QUrl>

#include <unordered_set>

#include "browser/browser_batch.h"
#include "browser/browser_window.h"
#include "core/batch/file_actions.h"
#include "core/batch/journalled_run.h"
#include "core/qt_text.h"
#include "gui/user_interface.h"
#include "gui/wait_cursor.h"

namespace lorvane {

void BrowserWindow::EditFilename() {
    const int row = CurrentRow();
    if (model_->size() == 0 || row < 0) return;
    Selection().select(model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (ctx_.windows.IsFormVisible(form::Editor)) EditFile();
    else Action(QStringLiteral("mnuEditor"))->trigger();  // opens it as the View menu does, with EditFile
    if (QWidget* editor = ctx_.windows.loaded(form::Editor); editor && editor->isVisible()) {
        editor->activateWindow();
        if (auto* tree = editor->findChild<QWidget*>(QStringLiteral("tvwAttributes"))) tree->setFocus();
    }
}

void BrowserWindow::ShellOpen() {
    const int row = CurrentRow();
    if (model_->size() == 0 || row < 0) return;
    Selection().select(model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const FileRow& r = model_->row(row);
    const QString title = QStringLiteral("Shell Open");
    const QString opening = QStringLiteral("Unable to open \"") + ToQString(r.Key) + QLatin1Char('"');
    // The desktop starts its program without waiting, so a file that is gone is
    // found here, with the file system's own words.
    FileInfo file;
    if (const FsError e = parser_.files().GetFile(r.Key, file); e.failed()) {
        ctx_.ui.ShowMessage(this, opening + QStringLiteral(" due to the following error: ") + ToQString(e.description) +
                                      QLatin1Char('.'),
                            title, MessageIcon::Exclamation);
        return;
    }
    // Percent-encoded from the name's bytes, which need not be UTF-8.
    const QUrl url = QUrl::fromEncoded("file://" + QUrl::toPercentEncoding(QByteArray::fromStdString(r.Key), "/"));
    if (!ctx_.ui.OpenWithDesktop(url))
        ctx_.ui.ShowMessage(this, opening + QLatin1Char('.'), title, MessageIcon::Exclamation);
}

void BrowserWindow::RemoveFromList() {
    const std::vector<int> rows = SelectedRowsOrSay(QStringLiteral("Remove"));
    if (rows.empty()) {
        focusList();
        return;
    }
    {
        WaitCursor wait;
        stack_->hide();
        model_->removeRows(rows);
        stack_->show();
    }
    UpdateIndicators();
    focusList();
}

void BrowserWindow::RunFileAction(FileAction action) { batch_->RunFileAction(action); }

bool BrowserBatch::chooseDestination(FileAction action, int selected, std::string& folder) {
    const QString title = ToQString(DestinationTitle(action, selected));
    QString chosen;
    for (;;) {
        chosen = ctx_.ui.GetFolderAmongFiles(&window_, title, ToQString(window_.OutputPath()),
                                             QStringLiteral("All Files (*)"));
        window_.focusList();
        if (chosen.isEmpty()) return false;
        if (chosen.startsWith(QLatin1Char('/'))) break;
        ctx_.ui.ShowMessage(&window_, QStringLiteral("You have selected an invalid folder. Please try again."),
                            QStringLiteral("Problem"), MessageIcon::Information);
    }
    folder = CleanPath(PathFromQString(chosen));
    if (!window_.parser_.files().FolderExists(folder)) {
        ctx_.ui.ShowMessage(&window_, QStringLiteral("CommonDialog returned invalid path despite cdlOFNPathMustExist"),
                            title, MessageIcon::Stop);
        window_.focusList();
        return false;
    }
    window_.SetOutputPath(folder);
    return true;
}

void BrowserBatch::RunFileAction(FileAction action) {
    const BatchOperation& op = FileOperation(action);
    const QString title = ToQString(op.title);
    const std::vector<int> rows = window_.SelectedRowsOrSay(title);
    if (rows.empty()) {
        window_.focusList();
        return;
    }
    const auto selected = static_cast<std::int32_t>(rows.size());
    if (AsksToConfirm(action)) {
        const int named = window_.CurrentRow() >= 0 && selected == 1 ? window_.CurrentRow() : rows.front();
        const QString question = ToQString(ConfirmationText(action, selected, window_.model_->row(named).Text));
        if (ctx_.ui.ShowMessage(&window_, question, ToQString(ConfirmationTitle(action, selected)),
                                MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes) {
            window_.focusList();
            return;
        }
    }
    std::string destination;
    if (action != FileAction::Delete && !chooseDestination(action, selected, destination)) return;

    FileActionStep step(action, destination);
    // A file in the trash leaves the list; the others keep their rows.
    std::unordered_set<std::string> deleted;
    run(step, rows, [&](const BatchFile& f) {
        if (action == FileAction::Delete && f.outcome == BatchOutcome::Processed) deleted.insert(f.oldPath);
    });
    if (!deleted.empty()) {
        std::vector<int> gone;
        for (const int r : rows)
            if (deleted.contains(window_.model_->row(r).Key)) gone.push_back(r);
        window_.model_->removeRows(gone);
        window_.UpdateIndicators();
    }
    window_.focusList();
    window_.closeIfAsked();
}

}  // namespace lorvane
