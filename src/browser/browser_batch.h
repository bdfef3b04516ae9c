// The Browser's batch commands as the user meets them: Re-Parse, Re-Build, the
// dialog operations and Undo Batch Rename, each over core's run with the window's
// progress dialog, boxes and Stop. The window owns one and forwards its commands.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lorvane {

class BatchHost;
class BatchStep;
class AddContentDialog;
class BrowserWindow;
class ChangeDateDialog;
class ChangeSequenceDialog;
class OperationDialog;
class RemoveContentDialog;
class SelectDialog;
struct AppContext;
struct BatchFile;
struct BatchOperation;
struct RunResult;
enum class FileAction;

class BrowserBatch {
public:
    BrowserBatch(BrowserWindow& window, AppContext& ctx);
    ~BrowserBatch();

    void ParseAll();
    void Rebuild();
    void ChangeDates();
    void ChangeSequenceNumbers();
    void AddContent();
    void RemoveContent();
    void UndoBatchRename();
    // Delete (to the trash), Copy, Move or Create Shortcuts over the selected rows:
    // the confirmation, the destination folder, the run, and the rows it changed.
    void RunFileAction(FileAction action);
    // Select Files: the selection changed by the dialog's criteria, with progress
    // and Stop; Apply brings the dialog back.
    void SelectFiles();
    // The list sorted by chronology and every row of a run of equal keys marked.
    void CheckChronology();
    // Undo Batch Rename enabled only when some run is left to undo.
    void UpdateUndoCommand();
    bool Running() const { return running_; }

private:
    // A loop over rows as every batch command shows it: the list hidden, the window
    // disabled but for the progress dialog (caption, a bar to total, Stop), and when
    // the loop renames, the Editor and the Viewer disabled too; all undone after.
    void withProgress(const QString& caption, int total, bool renames, const std::function<void(BatchHost&)>& loop);
    // An applied, journalled run of the step over the rows; the Editor follows its
    // file. Nothing (started false) when the journal could not be written; the user
    // was told.
    RunResult run(BatchStep& step, const std::vector<int>& rows,
                  const std::function<void(const BatchFile&)>& onFile = {});
    // The destination of Copy, Move or Create Shortcuts, chosen as Load Files
    // chooses its folder; false when the user cancelled or it was no folder.
    bool chooseDestination(FileAction action, int selected, std::string& folder);
    // A dialog-based operation: the selection counted, the dialog (made on first
    // use), the run with the step made from the dialog's values, the report, and
    // the dialog again after Apply.
    void runDialogOperation(const BatchOperation& operation, const std::function<OperationDialog&()>& dialog,
                            const std::function<std::unique_ptr<BatchStep>()>& makeStep);
    // The file the Editor holds (empty when none), and telling it where it went.
    std::string editorPath() const;
    void editorFollows(const std::string& oldPath, const std::string& newPath);

    BrowserWindow& window_;
    AppContext& ctx_;
    // Owned by the window, unloaded with it.
    ChangeDateDialog* changeDateDialog_ = nullptr;
    ChangeSequenceDialog* changeSequenceDialog_ = nullptr;
    AddContentDialog* addContentDialog_ = nullptr;
    RemoveContentDialog* removeContentDialog_ = nullptr;
    SelectDialog* selectDialog_ = nullptr;
    bool running_ = false;
};

}  // namespace lorvane
