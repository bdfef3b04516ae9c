#include "browser/browser_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>

#include "gui/wait_cursor.h"
#include "gui/window_settings.h"
#include "core/rename_rule.h"
#include "browser/browser_batch.h"
#include "gui/progress_dialog.h"
#include "browser/row_pictures.h"
#include "core/event_pacer.h"
#include "core/file_service.h"
#include "core/rows/folder_loader.h"
#include "core/qt_text.h"
#include "core/settings_store.h"

namespace lorvane {

namespace {

constexpr std::string_view kSection = "Browser";

}  // namespace

// The report view's grid lines: a thin line right of and below every cell.
class GridLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool on = true;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!on) return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

// The icon views' cells. Left to the style, every name would be measured on one
// line, and the large-icon view would cut each to a single line under its
// picture; a fixed cell gives the name room to wrap and keeps the sizes uniform,
// which the view needs to lay out a large folder quickly.
class IconCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize cell;  // empty: the style's own size

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return cell.isEmpty() ? QStyledItemDelegate::sizeHint(option, index) : cell;
    }
};

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
    stack_ = new QStackedWidget(this);
    report_ = new QTreeView(stack_);
    report_->setObjectName(QStringLiteral("lvwFiles"));
    report_->setModel(model_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->setSortingEnabled(false);
    report_->header()->setSectionsClickable(true);
    report_->header()->setSectionsMovable(true);
    report_->header()->setStretchLastSection(false);
    report_->header()->setSortIndicatorShown(false);
    grid_ = new GridLineDelegate(report_);
    report_->setItemDelegate(grid_);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &BrowserWindow::ColumnClicked);
    connect(report_, &QAbstractItemView::doubleClicked, this, &BrowserWindow::rowActivated);

    icons_ = new QListView(stack_);
    icons_->setObjectName(QStringLiteral("lvwFilesIcons"));
    icons_->setModel(model_);
    icons_->setSelectionModel(report_->selectionModel());  // one selection for all views
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setUniformItemSizes(true);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(500);
    icons_->setMovement(QListView::Static);
    cells_ = new IconCellDelegate(icons_);
    icons_->setItemDelegate(cells_);
    connect(icons_, &QAbstractItemView::doubleClicked, this, &BrowserWindow::rowActivated);

    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }
    stack_->addWidget(report_);
    stack_->addWidget(icons_);
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
    viewMode_ = ReadWindowInteger(store, kSection, "FileListView", list_view::Details);
    if (viewMode_ < list_view::LargeIcons || viewMode_ > list_view::Details) viewMode_ = list_view::Details;
    gridlines_ = ReadWindowToggle(store, kSection, "FileListGridlines");
    const bool loaded = ReadWindowToggle(store, kSection, "IndicateLoaded");
    const bool selected = ReadWindowToggle(store, kSection, "IndicateSelected");
    SetIncludeSubfolders(ReadWindowToggle(store, kSection, "LoadSubfolders"));
    inputPath_ = ReadWindowText(store, kSection, "InputPath", sample);
    outputPath_ = ReadWindowText(store, kSection, "OutputPath", sample);
    // Without a saved place (a first start) the window is left where start-up or
    // the window manager puts it, rather than forced into the corner.
    if (HasSavedPlace(store, kSection, isOn(ctx_.settings.RestoreWindowSizePosition)))
        RestoreWindowGeometry(*this, store, kSection, true);

    SetListView(viewMode_);
    SetGridlines(gridlines_);
    SetIndicateLoaded(loaded);
    SetIndicateSelected(selected);
}

void BrowserWindow::SaveSettings() {
    SettingsStore& store = ctx_.store;
    WriteWindowInteger(store, kSection, "FileListView", viewMode_);
    WriteWindowToggle(store, kSection, "FileListGridlines", gridlines_);
    WriteWindowToggle(store, kSection, "IndicateLoaded", LoadedPanelVisible());
    WriteWindowToggle(store, kSection, "IndicateSelected", SelectedPanelVisible());
    WriteWindowToggle(store, kSection, "LoadSubfolders", IncludeSubfolders());
    WriteWindowText(store, kSection, "InputPath", inputPath_);
    WriteWindowText(store, kSection, "OutputPath", outputPath_);
    SaveWindowGeometry(*this, store, kSection);
}

void BrowserWindow::CreateColumns() {
    // The designed widths were set for a small system font of about six pixels a
    // letter; they grow with a wider font so that each column holds as much text.
    // The columns whose text has a fixed shape are widened where it would still be cut.
    static const char* const fixedShape[] = {nullptr, "Dupl",  nullptr,      "0000/00/00 00:00:00 0000 0000 0000",
                                             nullptr, nullptr, "000,000 KB", "000"};
    const QFontMetrics text(report_->font());
    const QFontMetrics caption(report_->header()->font());
    constexpr double kDesignedLetterWidth = 6.0;
    const double letter =
        text.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) / 52.0;
    const double scale = std::max(1.0, letter / kDesignedLetterWidth);
    QHeaderView* h = report_->header();
    for (int logical = 0; logical < model_->columnCount(); ++logical) {
        h->moveSection(h->visualIndex(logical), logical);
        h->showSection(logical);
        int width = qRound(BrowserModel::kColumnTwips[logical] / kTwipsPerPixel * scale);
        const QString key = model_->headerData(logical, Qt::Horizontal).toString();
        width = std::max(width, caption.horizontalAdvance(key) + 24);  // room for the sort arrow
        if (fixedShape[logical])
            width = std::max(width, text.horizontalAdvance(QString::fromLatin1(fixedShape[logical])) + 14);
        h->resizeSection(logical, width);
    }
}

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
    report_->header()->setSortIndicatorShown(false);
    UpdateIndicators();

    std::string countError;
    std::vector<std::string> errors;
    const std::string& folder = inputPath_;
    if (parser_.files().FolderExists(folder)) {
        ProgressDialog& dlg = *Progress();
        dlg.Prepare(QStringLiteral("Counting Files..."), QStringLiteral("Cancel"));
        dlg.show();
        setEnabled(false);
        dlg.setEnabled(true);  // a window of its own: stays usable while its owner is disabled
        dlg.Pump(true);

        FolderLoader loader(parser_);
        loader.SetStopFlag(&dlg.CancelFlag());
        // Events run when the interval has passed, not per file: a round of events
        // costs more than a row, and Stop is still seen within a tenth of a second.
        loader.SetPacer(&dlg.Pacer());
        // Rows wait here between rounds and join the list in one insertion each.
        std::vector<BrowserRow> pending;
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
            loader.Load(folder, IncludeSubfolders(), [&](const BrowserRow& row) { pending.push_back(row); });
        model_->append(pending);
        countError = out.countError;
        errors = out.errors;
        setEnabled(true);
        dlg.hide();
    }
    // Disabling the window for the load took the keyboard from the list.
    focusList();

    layoutIconView();  // the list view's columns follow the names
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
void BrowserWindow::UndoBatchRename() { batch_->UndoBatchRename(); }

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
    model_->updateRow(row, [&](BrowserRow& r) { lorvane::SetFileColumns(r, file); });
}

void BrowserWindow::ParseItem(int row) {
    model_->updateRow(row, [&](BrowserRow& r) { parser_.ParseItem(r); });
}

void BrowserWindow::UpdateItem(const std::string& oldPath, const std::string& newPath) {
    const int row = model_->findKey(oldPath);
    if (row < 0) return;
    BrowserRow updated = model_->row(row);
    if (parser_.FillRow(updated, newPath).failed()) return;  // the file went away meanwhile: keep the row
    model_->updateRow(row, [&](BrowserRow& r) { r = std::move(updated); });
}

// --- Panels and selection ---

void BrowserWindow::UpdateIndicators() {
    if (LoadedPanelVisible()) loadedPanel_->setText(ToQString(FormatLoadedPanel(model_->size())));
    if (SelectedPanelVisible())
        selectedPanel_->setText(ToQString(FormatSelectedPanel(Selection().selectedRows().size())));
    pathPanel_->setText(ToQString(inputPath_));
}

QString BrowserWindow::LoadedPanelText() const { return loadedPanel_->text(); }
QString BrowserWindow::SelectedPanelText() const { return selectedPanel_->text(); }
QString BrowserWindow::PathPanelText() const { return pathPanel_->text(); }
bool BrowserWindow::LoadedPanelVisible() const { return !loadedPanel_->isHidden(); }
bool BrowserWindow::SelectedPanelVisible() const { return !selectedPanel_->isHidden(); }

QItemSelectionModel& BrowserWindow::Selection() const { return *report_->selectionModel(); }

std::vector<int> BrowserWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : Selection().selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
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
    Selection().select(model_->rowsWithStatus(status), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
    if (sorted_ && column == sortColumn_) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortColumn_ = column;
        sortOrder_ = Qt::AscendingOrder;
    }
    sorted_ = true;
    WaitCursor wait;
    model_->sortByColumn(sortColumn_, sortOrder_);
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setSortIndicator(sortColumn_, sortOrder_);
}

// --- Views ---

QAbstractItemView* BrowserWindow::ActiveView() const {
    return viewMode_ == list_view::Details ? static_cast<QAbstractItemView*>(report_)
                                           : static_cast<QAbstractItemView*>(icons_);
}

void BrowserWindow::SetListView(int mode) {
    if (mode < list_view::LargeIcons || mode > list_view::Details) return;
    viewMode_ = mode;
    if (mode == list_view::Details) {
        stack_->setCurrentWidget(report_);
    } else {
        const bool large = mode == list_view::LargeIcons;
        icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
        icons_->setFlow(mode == list_view::List ? QListView::TopToBottom : QListView::LeftToRight);
        icons_->setWrapping(true);
        icons_->setWordWrap(large);
        icons_->setTextElideMode(Qt::ElideRight);
        layoutIconView();
        stack_->setCurrentWidget(icons_);
    }
    static const char* const names[] = {"mnuViewLarge", "mnuViewSmall", "mnuViewList", "mnuViewDetails"};
    for (int i = 0; i < 4; ++i)
        if (QAction* a = Action(QString::fromLatin1(names[i]))) a->setChecked(i == mode);
    if (CurrentRow() >= 0) ActiveView()->scrollTo(Selection().currentIndex());
}

void BrowserWindow::layoutIconView() {
    if (viewMode_ == list_view::Details) return;
    const bool large = viewMode_ == list_view::LargeIcons;
    const int edge = large ? row_picture::LargeSize : row_picture::SmallSize;
    icons_->setIconSize(QSize(edge, edge));
    const QFontMetrics text(icons_->font());
    const int line = text.height();
    QSize grid;
    if (large) {
        // The picture above up to three lines of the name.
        grid = QSize(text.averageCharWidth() * 22, edge + 3 * line + 10);
        cells_->cell = grid - QSize(8, 4);
    } else if (viewMode_ == list_view::SmallIcons) {
        grid = QSize(text.averageCharWidth() * 32, std::max(edge, line) + 4);
        cells_->cell = grid;
    } else {
        // The list's columns are as wide as its longest names, within the window.
        // The view itself may not have been laid out yet (a hidden page of the
        // stack keeps its old size), so the room is reckoned from the stack.
        const int room = stack_->contentsRect().width() - 2 * icons_->frameWidth() -
                         icons_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 8;
        grid =
            QSize(std::clamp(edge + 14 + longestNameWidth(text), 150, std::max(150, room)), std::max(edge, line) + 4);
        cells_->cell = grid;
    }
    icons_->setSpacing(large ? 4 : 0);
    icons_->setGridSize(grid);
}

int BrowserWindow::longestNameWidth(const QFontMetrics& metrics) const {
    // Measuring every name of a large folder would take a while; the longest few by
    // their number of bytes are the only candidates worth measuring.
    constexpr std::size_t kMeasured = 16;
    std::vector<std::pair<std::size_t, int>> sizes;
    sizes.reserve(model_->rows().size());
    for (int i = 0; i < model_->size(); ++i) sizes.emplace_back(model_->row(i).Text.size(), i);
    const std::size_t n = std::min(kMeasured, sizes.size());
    std::partial_sort(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(n), sizes.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    int widest = 0;
    for (std::size_t k = 0; k < n; ++k)
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(model_->row(sizes[k].second).Text)));
    return widest;
}

void BrowserWindow::SetGridlines(bool on) {
    gridlines_ = on;
    grid_->on = on;
    report_->viewport()->update();
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
    const BrowserRow& r = model_->row(row);
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
    model_->updateRow(row, [&](BrowserRow& changed) {
        changed.Text = text;
        changed.Key = destination;
        FormatLengthColumn(text, changed.Length);  // the name's length changes with it
        parser_.ParseItem(changed);
    });
    EditFile();
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
        const BrowserRow& r = model_->row(row);
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
    // Not shown yet: the Viewer joins later.
}

void BrowserWindow::followSelection() {
    UpdateIndicators();
    EditFile();
    ViewFile();
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool onView = watched == report_ || watched == icons_;
    const bool onViewport = watched == report_->viewport() || watched == icons_->viewport();
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
