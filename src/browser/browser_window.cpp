// frmBrowser's commands: loading, the panels and the selection, sorting, renaming
// in place, and what the Editor and the Viewer are told.
#include "browser/browser_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "gui/wait_cursor.h"
#include "gui/window_settings.h"
#include "core/batch/batch_report.h"
#include "core/rename_rule.h"
#include "browser/browser_batch.h"
#include "gui/progress_dialog.h"
#include "core/event_pacer.h"
#include "core/files/file_service.h"
#include "core/rows/folder_loader.h"
#include "core/qt_text.h"
#include "core/settings_store.h"

namespace lorvane {

namespace {

constexpr std::string_view kSection = "Browser";

}  // namespace

// --- Window ---

BrowserWindow::BrowserWindow(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), parser_(ctx.settings, nullptr, ctx.files), model_(new BrowserModel(this)) {
    setObjectName(form::Browser);
    setWindowTitle(QStringLiteral("Lorvane Browser"));
    resize(800, 480);
    model_->setRenameHandler([this](int row, const QString& text) { return completeRename(row, text); });
    buildViews();
    buildMenus();
    readSettings();
    CreateColumns();
    UpdateIndicators();
    batch_ = std::make_unique<BrowserBatch>(*this, ctx_);
    autoLoadPending_ = isOn(ctx_.settings.BrowserAutoLoadLastFolder);
}

// A label editor still open commits as it goes; the window is no longer there to rename.
BrowserWindow::~BrowserWindow() { model_->setRenameHandler({}); }

void BrowserWindow::buildViews() {
    stack_ = new BrowserViews(*model_, this);
    connect(stack_, &BrowserViews::columnClicked, this, &BrowserWindow::ColumnClicked);
    connect(stack_, &BrowserViews::rowDoubleClicked, this, &BrowserWindow::rowActivated);
    // The list's keys and the selection that the Editor follows are the window's.
    for (QAbstractItemView* v : stack_->views()) {
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }
    setCentralWidget(stack_);

    loadedPanel_ = new QLabel(this);
    loadedPanel_->setObjectName(QStringLiteral("Loaded"));
    selectedPanel_ = new QLabel(this);
    selectedPanel_->setObjectName(QStringLiteral("Selected"));
    pathPanel_ = new QLabel(this);
    pathPanel_->setObjectName(QStringLiteral("Path"));
    for (QLabel* l : {loadedPanel_, selectedPanel_, pathPanel_}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setContentsMargins(3, 0, 3, 0);
    }
    loadedPanel_->setMinimumWidth(90);
    selectedPanel_->setMinimumWidth(90);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addWidget(loadedPanel_);
    statusBar()->addWidget(selectedPanel_);
    statusBar()->addWidget(pathPanel_, 1);  // the path takes the remaining width
}

void BrowserWindow::readSettings() {
    const std::string sample = PathFromQString(ctx_.sampleFolder());
    SettingsStore& store = ctx_.store;
    int mode = ReadWindowInteger(store, kSection, "FileListView", list_view::Details);
    if (mode < list_view::LargeIcons || mode > list_view::Details) mode = list_view::Details;
    const bool gridlines = ReadWindowToggle(store, kSection, "FileListGridlines");
    const bool loaded = ReadWindowToggle(store, kSection, "IndicateLoaded");
    const bool selected = ReadWindowToggle(store, kSection, "IndicateSelected");
    SetIncludeSubfolders(ReadWindowToggle(store, kSection, "LoadSubfolders"));
    inputPath_ = ReadWindowText(store, kSection, "InputPath", sample);
    outputPath_ = ReadWindowText(store, kSection, "OutputPath", sample);
    // Without a saved place (a first start) the window is left where start-up or
    // the window manager puts it, rather than forced into the corner.
    if (HasSavedPlace(store, kSection, isOn(ctx_.settings.RestoreWindowSizePosition)))
        RestoreWindowGeometry(*this, store, kSection, true);

    SetListView(mode);
    SetGridlines(gridlines);
    SetIndicateLoaded(loaded);
    SetIndicateSelected(selected);
}

void BrowserWindow::SaveSettings() {
    SettingsStore& store = ctx_.store;
    WriteWindowInteger(store, kSection, "FileListView", ListView());
    WriteWindowToggle(store, kSection, "FileListGridlines", Gridlines());
    WriteWindowToggle(store, kSection, "IndicateLoaded", LoadedPanelVisible());
    WriteWindowToggle(store, kSection, "IndicateSelected", SelectedPanelVisible());
    WriteWindowToggle(store, kSection, "LoadSubfolders", IncludeSubfolders());
    WriteWindowText(store, kSection, "InputPath", inputPath_);
    WriteWindowText(store, kSection, "OutputPath", outputPath_);
    SaveWindowGeometry(*this, store, kSection);
}

void BrowserWindow::CreateColumns() { stack_->resetColumns(); }

// --- Loading ---

void BrowserWindow::InitializeFolder(const std::string& folder) {
    if (loading_) return;  // the disabled window cannot start a second load; other windows must not either
    inputPath_ = folder;
    LoadFolder();
}

void BrowserWindow::LoadFolder() {
    loading_ = true;
    stack_->hide();
    model_->clear();
    sorted_ = false;
    stack_->hideSortIndicator();
    UpdateIndicators();

    std::string countError;
    std::vector<std::string> errors;
    const std::string& folder = inputPath_;
    if (parser_.files().FolderExists(folder)) {
        ProgressDialog& dlg = *Progress();
        BusyWithProgress busy(*this, dlg, QStringLiteral("Counting Files..."), QStringLiteral("Cancel"));
        dlg.Pump(true);

        FolderLoader loader(parser_);
        loader.SetStopFlag(&dlg.CancelFlag());
        // Events run when the interval has passed, not per file: a round of events
        // costs more than a row, and Stop is still seen within a tenth of a second.
        loader.SetPacer(&dlg.Pacer());
        // Rows wait here between rounds and join the list in one insertion each.
        std::vector<FileRow> pending;
        pending.reserve(1024);
        bool loadingPhase = false;
        loader.SetProgress([&](const LoadProgress& p) {
            // Labels and bar change only when events are let through, where they can be seen.
            if (p.phase == LoadProgress::Phase::Counting) {
                dlg.SetMessage(QString::number(p.count));
            } else {
                if (!loadingPhase) {
                    loadingPhase = true;
                    dlg.SetCaption(QStringLiteral("Loading Files..."));
                    dlg.SetButton(QStringLiteral("Stop"));
                    dlg.SetRange(0, static_cast<int>(p.total));
                    model_->reserve(p.total);
                }
                dlg.SetMessage(ToQString(FormatCount(static_cast<std::int64_t>(p.count)) + " of " +
                                         FormatCount(static_cast<std::int64_t>(p.total))));
                dlg.SetValue(static_cast<int>(p.count));
                model_->append(pending);
            }
            dlg.Pump(true);
        });
        const LoadOutcome out =
            loader.Load(folder, IncludeSubfolders(), [&](FileRow& row) { pending.push_back(std::move(row)); });
        model_->append(pending);
        countError = out.countError;
        errors = out.errors;
    }
    // Disabling the window for the load took the keyboard from the list.
    focusList();

    stack_->layoutIconView();  // the list view's columns follow the names
    stack_->show();
    if (model_->size() > 0) SetCurrentRow(0);
    loading_ = false;
    if (!countError.empty() || !errors.empty()) showLoadErrors(countError, errors);
    UpdateIndicators();
    EditFile();
    ViewFile();
    emit folderLoaded();
    closeIfAsked();
}

void BrowserWindow::ParseAll() { batch_->ParseAll(); }
void BrowserWindow::Rebuild() { batch_->Rebuild(); }
void BrowserWindow::ChangeDates() { batch_->ChangeDates(); }
void BrowserWindow::ChangeSequenceNumbers() { batch_->ChangeSequenceNumbers(); }
void BrowserWindow::AddContent() { batch_->AddContent(); }
void BrowserWindow::RemoveContent() { batch_->RemoveContent(); }
void BrowserWindow::UndoBatchRename() { batch_->UndoBatchRename(); }
void BrowserWindow::SelectFiles() { batch_->SelectFiles(); }
void BrowserWindow::CheckChronology() { batch_->CheckChronology(); }

void BrowserWindow::closeIfAsked() {
    if (!closeWhenIdle_) return;
    closeWhenIdle_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
}

void BrowserWindow::showLoadErrors(const std::string& countError, const std::vector<std::string>& errors) {
    QString text = ToQString(countError);
    if (!errors.empty()) {
        // Files that went away between counting and loading: list the first few.
        constexpr std::size_t kShown = 10;
        for (std::size_t i = 0; i < errors.size() && i < kShown; ++i) {
            if (!text.isEmpty()) text += QLatin1Char('\n');
            text += ToQString(errors[i]);
        }
        if (errors.size() > kShown)
            text += QStringLiteral("\n(and %1 more)")
                        .arg(ToQString(FormatCount(static_cast<std::int64_t>(errors.size() - kShown))));
    }
    ctx_.ui.ShowMessage(this, text, QStringLiteral("Load Files"), MessageIcon::Stop);
    focusList();
}

ProgressDialog* BrowserWindow::Progress() {
    if (!progress_) progress_ = new ProgressDialog(this);
    return progress_;
}

void BrowserWindow::SetFileColumns(int row, const FileInfo& file) {
    model_->updateRow(row, [&](FileRow& r) { lorvane::SetFileColumns(r, file); });
}

void BrowserWindow::ParseItem(int row) {
    model_->updateRow(row, [&](FileRow& r) { parser_.ParseItem(r); });
}

void BrowserWindow::UpdateItem(const std::string& oldPath, const std::string& newPath) {
    const int row = model_->findKey(oldPath);
    if (row < 0) return;
    FileRow updated = model_->row(row);
    if (parser_.FillRow(updated, newPath).failed()) return;  // the file went away meanwhile: keep the row
    model_->updateRow(row, [&](FileRow& r) { r = std::move(updated); });
}

// --- Panels and selection ---

void BrowserWindow::UpdateIndicators() {
    if (LoadedPanelVisible()) loadedPanel_->setText(ToQString(FormatLoadedPanel(model_->size())));
    if (SelectedPanelVisible())
        selectedPanel_->setText(ToQString(FormatSelectedPanel(static_cast<std::int64_t>(SelectedRows().size()))));
    pathPanel_->setText(ToQString(inputPath_));
}

QString BrowserWindow::LoadedPanelText() const { return loadedPanel_->text(); }
QString BrowserWindow::SelectedPanelText() const { return selectedPanel_->text(); }
QString BrowserWindow::PathPanelText() const { return pathPanel_->text(); }
bool BrowserWindow::LoadedPanelVisible() const { return !loadedPanel_->isHidden(); }
bool BrowserWindow::SelectedPanelVisible() const { return !selectedPanel_->isHidden(); }

QItemSelectionModel& BrowserWindow::Selection() const { return stack_->Selection(); }

std::vector<int> BrowserWindow::SelectedRowsOrSay(const QString& title) {
    std::vector<int> rows;
    {
        WaitCursor wait;
        rows = SelectedRows();
    }
    if (rows.empty()) ctx_.ui.ShowMessage(this, ToQString(kNoFilesSelected), title, MessageIcon::Information);
    return rows;
}

std::vector<int> BrowserWindow::SelectedRows() const {
    // From the ranges: Qt's selectedRows() asks every range for every row, which
    // after a selection of thousands of ranges takes seconds.
    std::vector<int> rows;
    for (const QItemSelectionRange& r : Selection().selection())
        for (int row = r.top(); row <= r.bottom(); ++row) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int BrowserWindow::CurrentRow() const {
    const QModelIndex i = Selection().currentIndex();
    return i.isValid() ? i.row() : -1;
}

void BrowserWindow::SetCurrentRow(int row) {
    if (row < 0 || row >= model_->size()) return;
    const QModelIndex i = model_->index(row, 0);
    Selection().setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ActiveView()->scrollTo(i);
}

void BrowserWindow::SelectByStatus(std::string_view status) {
    WaitCursor wait;
    // Whole-row ranges as they are: Qt's widening to rows merges them pairwise. And
    // no repaint range by range: the views are drawn once after.
    stack_->setUpdatesEnabled(false);
    Selection().select(model_->rowsWithStatus(status), QItemSelectionModel::ClearAndSelect);
    stack_->setUpdatesEnabled(true);
    UpdateIndicators();
}

void BrowserWindow::SelectAll() {
    WaitCursor wait;
    Selection().select(model_->allRows(), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    UpdateIndicators();
}

void BrowserWindow::InvertSelection() {
    WaitCursor wait;
    Selection().select(model_->allRows(), QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    UpdateIndicators();
}

// --- Sorting ---

void BrowserWindow::ColumnClicked(int column) {
    if (sorted_ && column == sortColumn_)
        SortList(column, sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    else SortList(column, Qt::AscendingOrder);
}

void BrowserWindow::SortList(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    sorted_ = true;
    WaitCursor wait;
    model_->sortByColumn(sortColumn_, sortOrder_);
    stack_->showSortIndicator(sortColumn_, sortOrder_);
}

// --- Views ---

QAbstractItemView* BrowserWindow::ActiveView() const { return stack_->ActiveView(); }
QTreeView* BrowserWindow::ReportView() const { return stack_->ReportView(); }
QListView* BrowserWindow::IconView() const { return stack_->IconView(); }
int BrowserWindow::ListView() const { return stack_->mode(); }
bool BrowserWindow::Gridlines() const { return stack_->gridlines(); }

void BrowserWindow::SetListView(int mode) {
    stack_->setMode(mode);
    static const char* const names[] = {"mnuViewLarge", "mnuViewSmall", "mnuViewList", "mnuViewDetails"};
    for (int i = 0; i < 4; ++i)
        if (QAction* a = Action(QString::fromLatin1(names[i]))) a->setChecked(i == ListView());
}

void BrowserWindow::SetGridlines(bool on) {
    stack_->setGridlines(on);
    if (QAction* a = Action(QStringLiteral("mnuViewGridlines"))) a->setChecked(on);
}

void BrowserWindow::SetIndicateLoaded(bool on) {
    loadedPanel_->setVisible(on);
    if (QAction* a = Action(QStringLiteral("mnuIndicateLoaded"))) a->setChecked(on);
    UpdateIndicators();
}

void BrowserWindow::SetIndicateSelected(bool on) {
    selectedPanel_->setVisible(on);
    if (QAction* a = Action(QStringLiteral("mnuIndicateSelected"))) a->setChecked(on);
    UpdateIndicators();
}

bool BrowserWindow::IncludeSubfolders() const { return Action(QStringLiteral("mnuFileSubfolders"))->isChecked(); }
void BrowserWindow::SetIncludeSubfolders(bool on) { Action(QStringLiteral("mnuFileSubfolders"))->setChecked(on); }

QAction* BrowserWindow::Action(const QString& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

// --- Commands ---

void BrowserWindow::ClearList() {
    model_->clear();
    UpdateIndicators();
}

void BrowserWindow::ReloadList() { InitializeFolder(inputPath_); }

void BrowserWindow::LoadFiles() {
    const QString title = QStringLiteral("Load Files");
    QString chosen;
    for (;;) {
        chosen = ctx_.ui.GetFolderAmongFiles(this, title, ToQString(inputPath_), QStringLiteral("All Files (*)"));
        focusList();
        if (chosen.isEmpty()) return;
        if (chosen.startsWith(QLatin1Char('/'))) break;
        ctx_.ui.ShowMessage(this, QStringLiteral("Please select a valid folder."), QStringLiteral("Load files"),
                            MessageIcon::Exclamation);
    }
    // The chooser answers in Qt text: the one path here that was never bytes.
    const std::string folder = CleanPath(PathFromQString(chosen));
    if (!parser_.files().FolderExists(folder)) {
        ctx_.ui.ShowMessage(this, QStringLiteral("CommonDialog returned invalid path despite cdlOFNPathMustExist"),
                            title, MessageIcon::Stop);
        focusList();
        return;
    }
    InitializeFolder(folder);
}

void BrowserWindow::focusList() {
    // Also while the window is not active: it then comes back to the list. The
    // progress window took the activation for the load; it goes back here, but
    // never away from another window the user is in.
    ActiveView()->setFocus(Qt::OtherFocusReason);
    QWidget* active = QApplication::activeWindow();
    if (isVisible() && (!active || (progress_ && active == progress_))) activateWindow();
}

void BrowserWindow::rowActivated() {
    QAction* open = Action(QStringLiteral("mnuFileOpen"));
    if (open && open->isEnabled()) open->trigger();
}

void BrowserWindow::StartRename() {
    const int row = CurrentRow();
    if (row < 0) return;
    QAbstractItemView* v = ActiveView();
    v->setFocus();
    const QModelIndex index = model_->index(row, 0);
    v->edit(index);
    // The desktop's convention: the name without its extension is selected, so
    // typing keeps the type; a name with none (no dot, or only a leading one) whole.
    if (auto* label = qobject_cast<QLineEdit*>(v->indexWidget(index))) {
        const qsizetype dot = label->text().lastIndexOf(QLatin1Char('.'));
        label->setSelection(0, static_cast<int>(dot > 0 ? dot : label->text().size()));
    }
}

bool BrowserWindow::completeRename(int row, const QString& newText) {
    const FileRow& r = model_->row(row);
    // The label shows the name decoded for display; left as it was, it stands for
    // the name on disk, which need not be its UTF-8 (nor the file that is).
    if (newText == ToQString(r.Text)) return true;
    const std::string text = newText.toStdString();
    const RenameResult renamed = RenameFile(parser_.files(), r.Key, r.Path, text);
    if (renamed.refusal != NameRefusal::None) {
        // A name that is no name in this folder ("sub/x.jpg" would move the file).
        ctx_.ui.ShowMessage(this, ToQString(NameRefusalText(renamed.refusal)), QStringLiteral("Error"),
                            MessageIcon::Exclamation);
        focusList();
        return false;
    }
    if (renamed.error.failed()) {
        ctx_.ui.ShowMessage(this, QStringLiteral("The original file has been moved, renamed, or deleted."),
                            QStringLiteral("Error"), MessageIcon::Stop);
        focusList();
        return false;
    }
    const std::string& destination = renamed.newPath;
    parser_.RefreshOptions();  // as Options left the settings
    model_->updateRow(row, [&](FileRow& changed) {
        changed.Text = text;
        changed.Key = destination;
        FormatLengthColumn(text, changed.Length);  // the name's length changes with it
        parser_.ParseItem(changed);
    });
    followSelection();  // the Editor and the Viewer held the old name
    return true;
}

// --- The Editor and the Viewer follow the list ---

EditorForm* BrowserWindow::visibleEditor() const {
    if (!ctx_.windows.IsFormVisible(form::Editor)) return nullptr;
    return dynamic_cast<EditorForm*>(ctx_.windows.loaded(form::Editor));
}

void BrowserWindow::EditFile() {
    EditorForm* editor = visibleEditor();
    if (!editor) return;
    // The Browser hands the Viewer its file itself.
    bool viewerHandled = true;
    const int row = CurrentRow();
    if (model_->size() > 0 && row >= 0) {
        const FileRow& r = model_->row(row);
        if (r.Path == editor->CurrentFolder() && r.Text == editor->CurrentFileName()) return;
        if (editor->OkayToDiscard()) editor->InitializeFilename(r.Path, r.Text, viewerHandled);
    } else if (model_->size() == 0) {
        if (editor->OkayToDiscard()) editor->InitializeFilename({}, {}, viewerHandled);
    }
}

void BrowserWindow::SelectOnlyRow(int row) {
    SetCurrentRow(row);
    UpdateIndicators();
}

void BrowserWindow::setOtherWindowsEnabled(bool enabled) {
    for (const QString& name : {form::Editor, form::Viewer})
        if (QWidget* w = ctx_.windows.loaded(name)) w->setEnabled(enabled);
}

void BrowserWindow::ViewFile() {
    if (!ctx_.windows.IsFormVisible(form::Viewer)) return;
    auto* viewer = dynamic_cast<ViewerForm*>(ctx_.windows.loaded(form::Viewer));
    if (!viewer) return;
    const int row = CurrentRow();
    if (model_->size() == 0 || row < 0) {
        if (model_->size() == 0) viewer->ShowPicture({});
        return;
    }
    // The rows' folders and names are the file system's bytes, so the path is too.
    const std::string& key = model_->row(row).Key;
    if (key != viewer->PicturePath()) {
        WaitCursor wait;
        viewer->ShowPicture(key);
    }
    // Stepping with Next goes down the list: the row below is decoded meanwhile.
    if (row + 1 < model_->size()) viewer->ReadAhead(model_->row(row + 1).Key);
}

void BrowserWindow::followSelection() {
    UpdateIndicators();
    EditFile();
    ViewFile();
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    bool onView = false, onViewport = false;
    for (QAbstractItemView* v : stack_->views()) {
        onView = onView || watched == v;
        onViewport = onViewport || watched == v->viewport();
    }
    if (onView && event->type() == QEvent::KeyPress) {
        if (handleListKey(static_cast<const QKeyEvent&>(*event))) return true;
    } else if ((onView && event->type() == QEvent::KeyRelease) ||
               (onViewport && event->type() == QEvent::MouseButtonRelease)) {
        const bool result = QMainWindow::eventFilter(watched, event);
        // Let the view act on the release first, then follow where it went.
        QTimer::singleShot(0, this, [this] { followSelection(); });
        return result;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Lifecycle ---

void BrowserWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (autoLoadPending_) {
        autoLoadPending_ = false;
        QTimer::singleShot(0, this, [this] { ReloadList(); });
    }
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    if (loading_ || batch_->Running()) {
        // Closing mid-load or mid-run stops it first; the window closes once it has
        // unwound (after a run's report, which says what was renamed).
        if (progress_) progress_->Button()->click();
        closeWhenIdle_ = true;
        event->ignore();
        return;
    }
    if (progress_) {
        delete progress_;
        progress_ = nullptr;
    }
    SaveSettings();
    ctx_.windows.WindowClosing(this);
    event->accept();
}

}  // namespace lorvane
