// frmBrowser: the files of one folder (and optionally its subfolders), one row per
// file with its parse status, in one of four views over the same model.
#pragma once

#include <QMainWindow>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_model.h"
#include "browser/browser_views.h"
#include "core/batch/batch_report.h"
#include "core/rows/file_rows.h"
#include "gui/app_context.h"
#include "gui/form_interfaces.h"

class QAction;
class QLabel;
class QListView;
class QTreeView;
class QAbstractItemView;
class QItemSelectionModel;

namespace lorvane {

class ProgressDialog;
class BrowserBatch;

class BrowserWindow final : public QMainWindow, public BrowserForm {
    Q_OBJECT
public:
    explicit BrowserWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~BrowserWindow() override;

    // --- BrowserForm, for the other windows ---
    // Folders and paths are the file system's bytes, as the rows' Key keeps them.
    void InitializeFolder(const std::string& folder) override;
    void UpdateItem(const std::string& oldPath, const std::string& newPath) override;
    void EditFile() override;
    void ViewFile() override;
    void SaveSettings() override;
    int RowCount() const override { return Model().size(); }
    int SelectedRow() const override { return CurrentRow(); }
    void SelectOnlyRow(int row) override;

    // --- Operations the batch commands reuse ---
    void SetFileColumns(int row, const FileInfo& file);
    void ParseItem(int row);
    void UpdateIndicators();
    void CreateColumns();

    // --- Commands ---
    void LoadFiles();
    void ClearList();
    void ReloadList();
    void SelectByStatus(std::string_view status);
    // The batch commands: Re-Parse every row, Re-Build, Change Dates and Change
    // Sequence Numbers over the selected rows, and undo of the latest applied batch run.
    void ParseAll();
    void Rebuild();
    void ChangeDates();
    void ChangeSequenceNumbers();
    void AddContent();
    void RemoveContent();
    void UndoBatchRename();
    void SelectFiles();
    void CheckChronology();
    void SelectAll();
    void InvertSelection();
    void SetListView(int mode);
    void SetGridlines(bool on);
    void SetIndicateLoaded(bool on);
    void SetIndicateSelected(bool on);
    // A click on a column header: the same column again reverses the order.
    void ColumnClicked(int column);
    // The list sorted by this column from now on.
    void SortList(int column, Qt::SortOrder order);
    // F2: opens the selected row's name for editing.
    void StartRename();
    // The file commands: Edit Filename (Enter), Open with the desktop's program
    // (Shift+Enter), Remove from List (Del), and Delete, Copy, Move and Create
    // Shortcuts over the selected rows.
    void EditFilename();
    void ShellOpen();
    void RemoveFromList();
    void RunFileAction(FileAction action);

    // --- State ---
    BrowserModel& Model() { return *model_; }
    const BrowserModel& Model() const { return *model_; }
    QItemSelectionModel& Selection() const;
    // The selected rows in list order.
    std::vector<int> SelectedRows() const;
    // The selected rows counted under the wait cursor; none: "No files are
    // selected." titled with the command's title, and an empty list.
    std::vector<int> SelectedRowsOrSay(const QString& title);
    // The row that the Editor and the Viewer follow (the current row), or -1.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    RowParser& Parser() { return parser_; }
    const std::string& InputPath() const { return inputPath_; }
    const std::string& OutputPath() const { return outputPath_; }
    void SetOutputPath(const std::string& path) { outputPath_ = path; }
    int ListView() const;
    bool Gridlines() const;
    bool Sorted() const { return sorted_; }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }
    bool IncludeSubfolders() const;
    void SetIncludeSubfolders(bool on);
    bool Loading() const { return loading_; }
    QString LoadedPanelText() const;
    QString SelectedPanelText() const;
    QString PathPanelText() const;
    bool LoadedPanelVisible() const;
    bool SelectedPanelVisible() const;
    // The menu item with this object name ("mnuParseAll", ...), for the batch commands.
    QAction* Action(const QString& name) const;
    QTreeView* ReportView() const;
    QListView* IconView() const;
    QAbstractItemView* ActiveView() const;
    ProgressDialog* Progress();

signals:
    // After a folder has been loaded (rows shown, panels updated).
    void folderLoaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildViews();
    void readSettings();
    void LoadFolder();
    bool handleListKey(const QKeyEvent& key);
    void followSelection();
    bool completeRename(int row, const QString& newText);
    void showLoadErrors(const std::string& countError, const std::vector<std::string>& errors);
    // After a dialog or a box: the list takes the keyboard again, without a click.
    void focusList();
    // At the end of a load or a batch command: the close that came meanwhile.
    void closeIfAsked();
    // A double-click on a row does what Enter does.
    void rowActivated();

    // While a batch renames files, the Editor and the Viewer take no input: the
    // Editor's Save must not rename a file under the run.
    void setOtherWindowsEnabled(bool enabled);
    EditorForm* visibleEditor() const;

    AppContext& ctx_;
    friend class BrowserBatch;  // the batch commands work on the rows and the list directly
    std::unique_ptr<BrowserBatch> batch_;
    RowParser parser_;

    BrowserModel* model_;
    BrowserViews* stack_ = nullptr;  // the list in its view modes, hidden while a load or a run fills it
    QLabel* loadedPanel_ = nullptr;
    QLabel* selectedPanel_ = nullptr;
    QLabel* pathPanel_ = nullptr;
    ProgressDialog* progress_ = nullptr;
    std::map<QString, QAction*> actions_;
    std::map<int, QAction*> listKeys_;  // the menu items the list's keys run, by key and modifiers

    std::string inputPath_, outputPath_;
    bool sorted_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool loading_ = false;
    bool autoLoadPending_ = false;
    bool closeWhenIdle_ = false;  // a close came while the window was busy
};

}  // namespace lorvane
