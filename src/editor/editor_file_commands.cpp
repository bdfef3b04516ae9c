// The File menu: a file name is saved by renaming the file that carries it.
#include <QApplication>
#include <QDateTime>
#include <QLineEdit>

#include <cerrno>

#include "gui/wait_cursor.h"
#include "core/files/file_service.h"
#include "core/rename_rule.h"
#include "core/qt_text.h"
#include "editor/editor_window.h"
#include "editor/filename_edit.h"
#include "engine/dictionary.h"

namespace lorvane {

namespace {

const QString kAllFiles = QStringLiteral("All Files (*)");

}  // namespace

DateTime CurrentLocalDateTime() {
    using namespace std::chrono;
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const year_month_day ymd{year{d.year()}, month{static_cast<unsigned>(d.month())},
                             day{static_cast<unsigned>(d.day())}};
    return sys_days{ymd} + hours{t.hour()} + minutes{t.minute()} + seconds{t.second()};
}

std::string EditorWindow::filePath() const { return JoinPath(folder_, fileName_); }

// Written with the 2.x parse delimiters, so that the pane reads it back as typed.
QString EditorWindow::sampleFilename() {
    const GlobalSettings& s = ctx_.settings;
    const DateOptions dates = MakeDateOptions(s);
    const DateTime now = clock_();
    auto attribute = [&s](std::string_view name, std::string_view value) {
        const AttributeEntry& entry = LookupAttribute(TranslateAttributeName(name));
        return s.Parse2xDelimiterStart + std::string(entry.shortName) + s.Parse2xDelimiterLabel + std::string(value) +
               s.Parse2xDelimiterEnd;
    };
    return ToQString(attribute("Date", BuildDateText(now, now, dates)) +
                     attribute("Topic", "This is a sample filename") + ".jpg");
}

QString EditorWindow::chooseFile(const QString& title, bool saveForm) {
    dialogFileName_.clear();
    if (ctx_.files.FolderExists(folder_)) dialogFolder_ = ToQString(folder_);
    return saveForm ? ctx_.ui.GetSaveFileName(this, title, dialogFolder_, kAllFiles)
                    : ctx_.ui.GetOpenFileName(this, title, dialogFolder_, kAllFiles);
}

void EditorWindow::FileNew() {
    if (!OkayToDiscard()) return;
    bool viewerHandled = false;
    if (tree_.empty() && fileName_.empty() && filename_->text().isEmpty() && clean_) {
        const MessageAnswer answer =
            ctx_.ui.ShowMessage(this,
                                QStringLiteral("You are already working with a new filename.\n\n"
                                               "Would you like a sample filename to get started with?"),
                                QStringLiteral("New Filename"), MessageIcon::Question, MessageButtons::YesNo);
        // Written with tracking on: evaluated as if typed, with no file behind it yet.
        if (answer == MessageAnswer::Yes) filename_->setText(sampleFilename());
        return;
    }
    if (ctx_.files.FolderExists(folder_)) InitializeFilename(folder_, {}, viewerHandled);
    else InitializeFilename({}, {}, viewerHandled);
}

void EditorWindow::FileOpen() {
    if (!OkayToDiscard()) return;
    const QString title = QStringLiteral("Open Filename");
    const std::string chosen = PathFromQString(chooseFile(title, false));
    if (chosen.empty()) return;
    if (!ctx_.files.FileExists(chosen)) {
        ctx_.ui.ShowMessage(this, QStringLiteral("CommonDialog returned invalid file despite cdlOFNFileMustExist"),
                            title, MessageIcon::Stop);
        return;
    }
    std::string folder, name;
    SplitFilePath(ctx_.files, chosen, folder, name);
    folder_ = folder;
    SaveSettings();  // the folder is remembered at once, not only when the window closes
    bool viewerHandled = false;
    InitializeFilename(folder, name, viewerHandled);
}

void EditorWindow::FileRevert() {
    if (fileName_.empty()) {
        ctx_.ui.ShowMessage(this,
                            QStringLiteral("Revert is only possible when working with a filename opened from disk."),
                            windowTitle(), MessageIcon::Information);
        return;
    }
    if (!clean_ &&
        ctx_.ui.ShowMessage(
            this,
            QStringLiteral("Are you sure you want to lose the changes you made and revert to the last saved version?"),
            windowTitle(), MessageIcon::Exclamation, MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes)
        return;
    bool viewerHandled = false;
    InitializeFilename(folder_, fileName_, viewerHandled);
}

bool EditorWindow::FileSave() {
    const QString title = QStringLiteral("Save Filename");
    // With a tree the saved name is the one built from it, not the text as typed.
    if (!tree_.empty()) lastSource_ = Source::Tree;
    UpdateStatus();
    if (pipeline_.result().status == Status::Fail) {
        ctx_.ui.ShowMessage(this,
                            QStringLiteral("The current filename cannot be saved due to the following problem: ") +
                                ToQString(pipeline_.result().message) + QLatin1Char('.'),
                            title, MessageIcon::Stop);
        LocateProblem();
        return false;
    }
    if (pipeline_.result().status == Status::Warn &&
        ctx_.ui.ShowMessage(this,
                            QStringLiteral("There are one or more problems with the current filename.\n\n"
                                           "Would you like to save anyway?"),
                            title, MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;

    if (fileName_.empty() || !ctx_.files.FileExists(filePath())) {
        if (!fileName_.empty()) {
            ctx_.ui.ShowMessage(this,
                                QStringLiteral("The file \"") + ToQString(fileName_) +
                                    QStringLiteral("\" has been moved, renamed, or deleted.\n\n"
                                                   "Please select a new file onto which the Filename can be saved..."),
                                title, MessageIcon::Exclamation);
            fileName_.clear();
        }
        const std::string chosen = PathFromQString(chooseFile(QStringLiteral("Save Filename Onto"), true));
        if (chosen.empty()) return false;
        if (!ctx_.files.FileExists(chosen)) {
            ctx_.ui.ShowMessage(
                this,
                QStringLiteral("Filename cannot be saved because you selected an invalid file. Please try again."),
                title, MessageIcon::Exclamation);
            return false;
        }
        SplitFilePath(ctx_.files, chosen, folder_, fileName_);
    }

    // The pane shows the name decoded for display: as long as it reads the same, it
    // stands for the name on disk, which need not be its UTF-8.
    const QString text = filename_->text();
    const std::string newName = text == ToQString(fileName_) ? fileName_ : text.toStdString();
    const std::string oldPath = filePath();
    RenameResult renamed;
    {
        // The name is applied where the file is: the one rename rule refuses a name
        // that would move it elsewhere, and never replaces another file.
        WaitCursor wait;
        renamed = RenameFile(ctx_.files, oldPath, folder_, newName);
    }
    if (!renamed.ok()) {
        const std::string why =
            renamed.error.failed() ? renamed.error.description : std::string(NameRefusalText(renamed.refusal));
        ctx_.ui.ShowMessage(
            this,
            QStringLiteral("Unable to save filename due to the following error: ") + ToQString(why) + QLatin1Char('.'),
            title, MessageIcon::Exclamation);
        return false;
    }
    const std::string& newPath = renamed.newPath;

    if (ctx_.windows.IsFormVisible(form::Browser))
        if (BrowserForm* browser = ctx_.windows.browser()) browser->UpdateItem(oldPath, newPath);
    fileName_ = newName;
    dialogFolder_ = ToQString(folder_);
    dialogFileName_ = ToQString(newPath);
    clean_ = true;
    return true;
}

void EditorWindow::FilePrevious() { stepThroughBrowser(-1); }
void EditorWindow::FileNext() { stepThroughBrowser(+1); }

// Walks the Browser's list in the order it shows; the Browser then hands the new
// row's file to the Editor (asking about unsaved changes) and to the Viewer.
void EditorWindow::stepThroughBrowser(int step) {
    if (!ctx_.windows.IsFormVisible(form::Browser)) return;
    BrowserForm* browser = ctx_.windows.browser();
    if (!browser) return;
    const int count = browser->RowCount();
    if (count == 0) return;
    const int row = browser->SelectedRow();
    // No row selected: Next starts at the top, Previous at the bottom.
    const int target = row < 0 ? (step > 0 ? 0 : count - 1) : row + step;
    if (target < 0 || target >= count) {
        ctx_.ui.Beep();
        return;
    }
    browser->SelectOnlyRow(target);
    browser->EditFile();
    browser->ViewFile();
}

}  // namespace lorvane
