// frmEditor: one file name as text (the Filename pane) and as an attribute tree
// (the tree pane), kept in step; the pane edited last is the source.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <string>

#include "gui/app_context.h"
#include "gui/form_interfaces.h"
#include "editor/node_pictures.h"
#include "engine/dates.h"
#include "engine/dispatch.h"
#include "engine/node_commands.h"
#include "engine/pipeline.h"

class QAction;
class QLabel;
class QTreeView;

namespace lorvane {

class AttributeTreeModel;
class FilenameEdit;
class SplitterBar;

// The current local wall-clock date-time in whole seconds, as file names write it.
DateTime CurrentLocalDateTime();

class EditorWindow final : public QMainWindow, public EditorForm {
    Q_OBJECT
public:
    enum class Source { Filename, Tree };

    explicit EditorWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // EditorForm
    void InitializeFilename(const std::string& folder, const std::string& fileName,
                            bool& viewerAlreadyHandled) override;
    bool OkayToDiscard() override;
    void UpdateStatus() override;
    void SaveSettings() override;
    std::string CurrentFolder() const override { return folder_; }
    std::string CurrentFileName() const override { return fileName_; }
    void FileRenamed(const std::string& oldPath, const std::string& newPath) override;

    void RunCommand(NodeCommand command);
    void LocateProblem();
    void UpdatePanes();
    void ToggleLengthIndicator();

    // The File menu. Saving renames the file on disk to the edited name, in its own
    // folder; FileSave returns true when the file now carries that name.
    void FileNew();
    void FileOpen();
    void FileRevert();
    bool FileSave();
    void FilePrevious();
    void FileNext();

    // Where New takes the current date-time from (local wall-clock time by default).
    using Clock = std::function<DateTime()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // State, for the window's neighbours and for tests.
    const AttributeTree& tree() const { return tree_; }
    const Result& result() const { return pipeline_.result(); }
    bool isClean() const { return clean_; }
    bool moveMode() const { return moveMode_; }
    Source lastSource() const { return lastSource_; }
    Source statusSource() const { return statusSource_; }
    // The file's folder and name as the file system has them (bytes).
    const std::string& folder() const { return folder_; }
    const std::string& fileName() const { return fileName_; }
    StatusPicture statusPicture() const { return statusPicture_; }
    // The semantic switches the last evaluation ran with.
    const SemanticOptions& lastSemanticOptions() const { return pipeline_.semanticOptions(); }
    // What the next Open or Save dialog starts with.
    QString dialogFileName() const { return dialogFileName_; }
    QString dialogFolder() const { return dialogFolder_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Sink;

    void createPanes();
    void createMenus();
    void loadSettings();
    void layOut();

    void TreeChanged();
    void UpdateStatusDisplay();
    void UpdateViewer();
    void showTree();
    void selectNode(int node);
    void startLabelEdit(int node);
    void setFilenameText(const QString& text);

    void filenameChanged();
    void filesDropped(const QByteArrayList& paths);
    void otherDataDropped();
    void labelEdited(int node, const QString& text);
    bool treeKeyPress(QKeyEvent* event);
    void endMoveMode();
    void splitterMoved(qreal y);

    std::string filePath() const;
    QString sampleFilename();
    QString chooseFile(const QString& title, bool saveForm);
    void stepThroughBrowser(int step);

    AppContext& ctx_;
    std::unique_ptr<Sink> sink_;
    // The calling order, with the one tree the panes show and the commands edit.
    NamePipeline pipeline_;
    AttributeTree& tree_ = pipeline_.tree();
    AttributeTreeModel* model_ = nullptr;

    // Window state.
    // The file's identity: bytes from the listing, the start path or a dialog; the
    // Filename pane only shows them decoded.
    std::string folder_, fileName_;
    bool clean_ = true;
    bool tracking_ = true;
    bool moveMode_ = false;
    Source lastSource_ = Source::Filename;
    Source statusSource_ = Source::Filename;
    std::string formatName_;  // shown on "Good": the parse's format, or the build's after a tree edit
    qreal dragOrigin_ = -1;
    int filenameHeight_ = 0;
    bool syncingView_ = false;
    StatusPicture statusPicture_ = StatusPicture::Ready;
    QString dialogFileName_, dialogFolder_;
    Clock clock_;

    // Controls.
    FilenameEdit* filename_ = nullptr;
    SplitterBar* splitter_ = nullptr;
    QTreeView* treeView_ = nullptr;
    QLabel* lengthPanel_ = nullptr;
    QLabel* statusPicturePanel_ = nullptr;
    QLabel* statusTextPanel_ = nullptr;
    QAction* mnuToolsLocate_ = nullptr;
    QAction* mnuIndicateLength_ = nullptr;
};

}  // namespace lorvane
