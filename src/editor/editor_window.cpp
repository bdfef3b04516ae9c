#include "editor/editor_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTreeView>

#include "gui/wait_cursor.h"
#include "gui/window_settings.h"
#include "core/files/file_service.h"
#include "core/qt_text.h"
#include "core/settings_store.h"
#include "editor/attribute_tree_model.h"
#include "editor/editor_layout.h"
#include "editor/filename_edit.h"
#include "editor/splitter_bar.h"
#include "editor/text_positions.h"
#include "editor/tree_keymap.h"
#include "engine/node_locator.h"
#include "engine/semantics.h"
#include "engine/utf8.h"

namespace lorvane {

namespace {

constexpr std::string_view kSection = "Editor";

}  // namespace

// The semantic layer's one message box.
class EditorWindow::Sink final : public MessageSink {
public:
    explicit Sink(EditorWindow& w) : w_(w) {}
    void showError(std::string_view text, std::string_view caption) override {
        w_.ctx_.ui.ShowMessage(&w_, ToQString(text), ToQString(caption), MessageIcon::Stop);
    }

private:
    EditorWindow& w_;
};

EditorWindow::EditorWindow(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent),
      ctx_(ctx),
      sink_(std::make_unique<Sink>(*this)),
      pipeline_(ctx.settings, false, sink_.get()),
      clock_(&CurrentLocalDateTime) {
    setObjectName(form::Editor);
    setWindowTitle(QStringLiteral("Lorvane Editor"));
    createPanes();
    createMenus();
    resize(640, 420);
    loadSettings();
    UpdateStatus();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::createPanes() {
    auto* body = new QWidget(this);
    setCentralWidget(body);

    filename_ = new FilenameEdit(body);
    filename_->setObjectName(QStringLiteral("Filename"));
    filenameHeight_ = filename_->sizeHint().height();
    connect(filename_, &QLineEdit::textChanged, this, &EditorWindow::filenameChanged);
    connect(filename_, &FilenameEdit::filesDropped, this, &EditorWindow::filesDropped);
    connect(filename_, &FilenameEdit::otherDataDropped, this, &EditorWindow::otherDataDropped);

    splitter_ = new SplitterBar(body);
    splitter_->setObjectName(QStringLiteral("Frame1"));
    connect(splitter_, &SplitterBar::dragStarted, this, [this](qreal y) { dragOrigin_ = y; });
    connect(splitter_, &SplitterBar::dragEnded, this, [this] { dragOrigin_ = -1; });
    connect(splitter_, &SplitterBar::dragMoved, this, &EditorWindow::splitterMoved);

    model_ = new AttributeTreeModel(tree_, this);
    connect(model_, &AttributeTreeModel::labelEdited, this, &EditorWindow::labelEdited);
    treeView_ = new QTreeView(body);
    treeView_->setObjectName(QStringLiteral("TreeView1"));
    treeView_->setModel(model_);
    treeView_->setHeaderHidden(true);
    treeView_->setUniformRowHeights(true);
    treeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);  // labels are edited only on command
    treeView_->setSelectionMode(QAbstractItemView::SingleSelection);
    treeView_->setIconSize(QSize(16, 16));
    treeView_->installEventFilter(this);
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncingView_) tree_.select(AttributeTreeModel::nodeOf(current));
            });
    auto expansion = [this](bool expanded) {
        return [this, expanded](const QModelIndex& index) {
            const int n = AttributeTreeModel::nodeOf(index);
            if (syncingView_ || n < 1 || n > tree_.count()) return;
            tree_[n].expanded = expanded;
            model_->nodeChanged(n);
        };
    };
    connect(treeView_, &QTreeView::expanded, this, expansion(true));
    connect(treeView_, &QTreeView::collapsed, this, expansion(false));

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(bar);
    lengthPanel_ = new QLabel(bar);
    lengthPanel_->setObjectName(QStringLiteral("Length"));
    lengthPanel_->setMinimumWidth(lengthPanel_->fontMetrics().horizontalAdvance(QStringLiteral("Len 0000")));
    auto* statusPanel = new QWidget(bar);
    statusPanel->setObjectName(QStringLiteral("Status"));
    auto* statusLayout = new QHBoxLayout(statusPanel);
    statusLayout->setContentsMargins(2, 0, 2, 0);
    statusLayout->setSpacing(4);
    statusPicturePanel_ = new QLabel(statusPanel);
    statusPicturePanel_->setObjectName(QStringLiteral("StatusPicture"));
    statusTextPanel_ = new QLabel(statusPanel);
    statusTextPanel_->setObjectName(QStringLiteral("StatusText"));
    statusTextPanel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLayout->addWidget(statusPicturePanel_);
    statusLayout->addWidget(statusTextPanel_, 1);
    bar->addWidget(lengthPanel_);
    bar->addWidget(statusPanel, 1);

    body->installEventFilter(this);
}

void EditorWindow::loadSettings() {
    folder_ = ReadWindowText(ctx_.store, kSection, "InputPath", PathFromQString(ctx_.sampleFolder()));
    const bool indicate = ReadWindowToggle(ctx_.store, kSection, "IndicateLength");
    lengthPanel_->setVisible(indicate);
    mnuIndicateLength_->setChecked(indicate);
    RestoreWindowGeometry(*this, ctx_.store, kSection, isOn(ctx_.settings.RestoreWindowSizePosition));
}

void EditorWindow::SaveSettings() {
    WriteWindowText(ctx_.store, kSection, "InputPath", folder_);
    WriteWindowToggle(ctx_.store, kSection, "IndicateLength", mnuIndicateLength_->isChecked());
    SaveWindowGeometry(*this, ctx_.store, kSection);
}

// --- The re-evaluation cycle ---

void EditorWindow::UpdateStatus() {
    pipeline_.RefreshOptions(moveMode_);
    if (lastSource_ == Source::Tree) {
        statusSource_ = Source::Tree;
        pipeline_.Rebuild();
        formatName_ = pipeline_.buildFormatName();
        setFilenameText(QString::fromStdString(pipeline_.builtName()));
    } else {
        statusSource_ = Source::Filename;
        // Typing never rewrites the pane: after a good parse the build only reports,
        // in the tree, and the format shown stays the one the name was read in.
        pipeline_.Evaluate(filename_->text().toStdString());
        formatName_ = pipeline_.formatName();
        if (pipeline_.parseResult().good()) statusSource_ = Source::Tree;
    }
    showTree();
    UpdateStatusDisplay();
}

void EditorWindow::TreeChanged() {
    clean_ = false;
    lastSource_ = Source::Tree;
    const int selected = tree_.selected();
    const bool remember = !tree_.empty() && selected >= 1 && selected <= tree_.count() && !tree_[selected].isRoot();
    const NodeLocator locator = remember ? NodeLocator(tree_, selected) : NodeLocator();
    UpdateStatus();
    if (remember && !tree_.empty())
        if (const int again = locator.find(tree_)) selectNode(again);
}

void EditorWindow::UpdateStatusDisplay() {
    if (!lengthPanel_->isHidden())
        lengthPanel_->setText(QStringLiteral("Len %1").arg(CharacterCount(filename_->text())));
    QString text;
    if (tree_.empty() && fileName_.empty() && filename_->text().isEmpty() && clean_) {
        mnuToolsLocate_->setEnabled(false);
        statusPicture_ = StatusPicture::Ready;
        text = QStringLiteral("Ready");
    } else {
        switch (pipeline_.result().status) {
            case Status::Good:
                mnuToolsLocate_->setEnabled(false);
                statusPicture_ = StatusPicture::Good;
                text = ToQString(formatName_);
                break;
            case Status::Warn:
                mnuToolsLocate_->setEnabled(true);
                statusPicture_ = StatusPicture::Warn;
                text = ToQString(pipeline_.result().message);
                break;
            case Status::Fail:
                mnuToolsLocate_->setEnabled(true);
                statusPicture_ = StatusPicture::Fail;
                text = ToQString(pipeline_.result().message);
                break;
        }
    }
    statusPicturePanel_->setPixmap(StatusIcon(statusPicture_).pixmap(QSize(16, 16), devicePixelRatioF()));
    statusTextPanel_->setText(text);
}

// --- The tree pane as a view of the tree ---

void EditorWindow::showTree() {
    syncingView_ = true;
    model_->reload();
    for (int n = 1; n <= tree_.count(); ++n)
        if (tree_[n].expanded && tree_[n].child) treeView_->setExpanded(model_->indexOfNode(n), true);
    const QModelIndex current = model_->indexOfNode(tree_.selected());
    if (current.isValid()) treeView_->setCurrentIndex(current);
    syncingView_ = false;
}

void EditorWindow::selectNode(int node) {
    tree_.select(node);
    const QModelIndex index = model_->indexOfNode(node);
    if (!index.isValid()) return;
    syncingView_ = true;
    treeView_->setCurrentIndex(index);
    treeView_->scrollTo(index);
    syncingView_ = false;
}

void EditorWindow::startLabelEdit(int node) {
    if (node < 1 || node > tree_.count() || tree_[node].isRoot()) return;
    selectNode(node);
    treeView_->setFocus();
    treeView_->edit(model_->indexOfNode(node));
}

void EditorWindow::labelEdited(int node, const QString& text) {
    if (node < 1 || node > tree_.count()) return;
    const std::string full = text.toStdString();
    const std::string trimmed(utf8::trimSpaces(full));
    Node& n = tree_[node];
    n.text = trimmed;
    if (n.isAttribute()) n.tag = trimmed;
    tree_.select(node);
    TreeChanged();
}

// --- The Filename pane ---

void EditorWindow::setFilenameText(const QString& text) {
    tracking_ = false;
    filename_->setText(text);
    tracking_ = true;
}

void EditorWindow::filenameChanged() {
    if (!tracking_) return;
    // A pasted line break would make a name no file can have; the pane stays one line.
    QString text = filename_->text();
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.remove(QLatin1Char('\n'));
        text.remove(QLatin1Char('\r'));
        setFilenameText(text);
    }
    clean_ = false;
    lastSource_ = Source::Filename;
    UpdateStatus();
}

void EditorWindow::filesDropped(const QByteArrayList& paths) {
    const std::string path = paths.value(0).toStdString();
    if (!ctx_.files.FileExists(path)) return;
    if (!OkayToDiscard()) return;
    std::string folder, name;
    SplitFilePath(ctx_.files, path, folder, name);
    bool viewerHandled = false;
    InitializeFilename(folder, name, viewerHandled);
}

void EditorWindow::otherDataDropped() {
    ctx_.ui.ShowMessage(this, QStringLiteral("Drag a file and drop it into the Filename pane to edit its name."),
                        QStringLiteral("Drag and Drop"), MessageIcon::Information);
}

// --- Public methods ---

void EditorWindow::InitializeFilename(const std::string& folder, const std::string& fileName,
                                      bool& viewerAlreadyHandled) {
    folder_ = folder;
    fileName_ = fileName;
    setFilenameText(ToQString(fileName));
    clean_ = true;
    lastSource_ = Source::Filename;
    UpdateStatus();
    if (!fileName.empty()) dialogFileName_ = ToQString(folder.empty() ? fileName : JoinPath(folder, fileName));
    else dialogFileName_.clear();
    if (!folder.empty()) dialogFolder_ = ToQString(folder);
    if (!viewerAlreadyHandled) UpdateViewer();
}

void EditorWindow::FileRenamed(const std::string& oldPath, const std::string& newPath) {
    if (fileName_.empty() || JoinPath(folder_, fileName_) != oldPath) return;
    std::string folder, name;
    SplitFilePath(ctx_.files, newPath, folder, name);
    if (clean_) {
        // Nothing of the user's to keep: show the new name as if opened anew.
        bool viewerHandled = false;
        InitializeFilename(folder, name, viewerHandled);
        return;
    }
    // The user's edits stay; Save then renames the file from where it is now.
    folder_ = folder;
    fileName_ = name;
    dialogFileName_ = ToQString(newPath);
}

bool EditorWindow::OkayToDiscard() {
    if (clean_) return true;
    switch (ctx_.ui.ShowMessage(
        this, QStringLiteral("Do you want to save the changes you made to the filename in the Editor?"), windowTitle(),
        MessageIcon::Exclamation, MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes: FileSave(); return clean_;
        case MessageAnswer::No: return true;
        default: return false;
    }
}

void EditorWindow::UpdateViewer() {
    if (!ctx_.windows.IsFormVisible(form::Viewer)) return;
    ViewerForm* viewer = ctx_.windows.viewer();
    if (!viewer) return;
    if (folder_.empty() || fileName_.empty()) {
        viewer->ShowPicture({});
        return;
    }
    WaitCursor wait;
    viewer->ShowPicture(JoinPath(folder_, fileName_));
}

// --- Commands ---

void EditorWindow::RunCommand(NodeCommand command) {
    if (!tree_.empty()) treeView_->setFocus();
    const NodeCommandSettings settings{ctx_.settings.ParseShowTreeLevels, ctx_.settings.EditMoveNodeUpDownMode,
                                       isOn(ctx_.settings.EditAddNodeAutoEdit)};
    const NodeCommandOutcome outcome = RunNodeCommand(tree_, command, settings);
    if (outcome.refused) {
        ctx_.ui.Beep();
        return;
    }
    if (!outcome.treeChanged) {
        if (outcome.editLabel) startLabelEdit(outcome.finishOn);
        return;
    }
    if (outcome.finishOn) tree_.select(outcome.finishOn);
    TreeChanged();
    if (outcome.editLabel) startLabelEdit(tree_.selected());
}

void EditorWindow::LocateProblem() {
    UpdateStatus();
    if (pipeline_.result().good()) return;
    if (statusSource_ == Source::Tree) {
        const int n = pipeline_.result().nodeIndex;
        if (n < 1 || n > tree_.count()) return;
        treeView_->setFocus();
        selectNode(n);
        if (pipeline_.result().position <= 0 || tree_[n].isRoot()) return;
        const QModelIndex index = model_->indexOfNode(n);
        treeView_->edit(index);
        if (auto* editor = qobject_cast<QLineEdit*>(treeView_->indexWidget(index))) {
            const Utf16Range r = Utf16RangeOf(editor->text(), pipeline_.result().position, pipeline_.result().length);
            editor->setSelection(r.start, r.length);
        }
    } else {
        filename_->setFocus();
        const Utf16Range r = Utf16RangeOf(filename_->text(), pipeline_.result().position, pipeline_.result().length);
        filename_->setSelection(r.start, r.length);
    }
}

void EditorWindow::UpdatePanes() {
    if (!tree_.empty()) lastSource_ = Source::Tree;
    UpdateStatus();
}

void EditorWindow::ToggleLengthIndicator() {
    const bool show = lengthPanel_->isHidden();
    lengthPanel_->setVisible(show);
    mnuIndicateLength_->setChecked(show);
    layOut();
    UpdateStatusDisplay();
    SaveSettings();
}

// --- Keyboard, layout and closing ---

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == treeView_) {
        switch (event->type()) {
            case QEvent::KeyPress: return treeKeyPress(static_cast<QKeyEvent*>(event));
            case QEvent::KeyRelease: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() == Qt::Key_Control && !key->isAutoRepeat() && moveMode_) endMoveMode();
                break;
            }
            case QEvent::FocusOut:
                // A Ctrl release elsewhere is never seen here; do not stay suspended.
                if (moveMode_) endMoveMode();
                break;
            default: break;
        }
    } else if (watched == centralWidget() && event->type() == QEvent::Resize) {
        layOut();
    }
    return QMainWindow::eventFilter(watched, event);
}

bool EditorWindow::treeKeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) {
        moveMode_ = true;
        return false;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return true;
    if (auto command = NodeCommandForKey(event->key(), event->modifiers())) {
        RunCommand(*command);
        return true;
    }
    return false;
}

void EditorWindow::endMoveMode() {
    moveMode_ = false;
    if (!clean_) TreeChanged();
}

void EditorWindow::layOut() {
    QWidget* body = centralWidget();
    if (body->width() <= 0) return;
    const EditorGeometry g = LayOutEditor(body->width(), body->height(), filenameHeight_);
    filename_->setGeometry(g.filename);
    splitter_->setGeometry(g.splitter);
    splitter_->setVisible(g.splitterVisible);
    treeView_->setGeometry(g.tree);
}

void EditorWindow::splitterMoved(qreal y) {
    if (dragOrigin_ < 0) return;
    const int height = filenameHeight_ + static_cast<int>(y - dragOrigin_);
    if (!SplitterMoveAllowed(height, centralWidget()->height())) return;
    filenameHeight_ = height;
    layOut();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (!OkayToDiscard()) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
    ctx_.windows.WindowClosing(this);
}

}  // namespace lorvane
