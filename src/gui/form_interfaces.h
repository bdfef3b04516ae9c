// The public methods by which the main windows call each other. Each window class
// implements its own interface; the registry hands out windows through them, so a
// window needs only this header, never another window's.
//
// Folders, file names and paths are the bytes the file system gives (a name need
// not be valid UTF-8); a window derives its display text from them, never the
// other way round.
#pragma once

#include <QString>

#include <string>

namespace lorvane {

class EditorForm {
public:
    virtual ~EditorForm() = default;
    // Loads a file's name into the Editor. viewerAlreadyHandled: the caller has
    // given the Viewer the file itself.
    virtual void InitializeFilename(const std::string& folder, const std::string& fileName,
                                    bool& viewerAlreadyHandled) = 0;
    // True when unsaved changes may be dropped (asks the user when there are some).
    virtual bool OkayToDiscard() = 0;
    // Evaluates the current name again under the current settings.
    virtual void UpdateStatus() = 0;
    virtual void SaveSettings() = 0;
    // The folder and the name of the file being edited (the name is empty for a new name).
    virtual std::string CurrentFolder() const = 0;
    virtual std::string CurrentFileName() const = 0;
    // A file was renamed elsewhere (a batch run or its undo): when it is the one
    // being edited, the Editor follows it to its new path.
    virtual void FileRenamed(const std::string& oldPath, const std::string& newPath) {
        (void)oldPath;
        (void)newPath;
    }
};

class BrowserForm {
public:
    virtual ~BrowserForm() = default;
    virtual void InitializeFolder(const std::string& folder) = 0;
    // A file was renamed elsewhere (by the Editor): old and new full paths.
    virtual void UpdateItem(const std::string& oldPath, const std::string& newPath) = 0;
    virtual void SaveSettings() = 0;

    // The list in the order the user sees it, for the Editor's Previous and Next:
    // the number of rows, the selected row (-1 when none), and making one row the
    // only selected one, scrolled into view.
    virtual int RowCount() const { return 0; }
    virtual int SelectedRow() const { return -1; }
    virtual void SelectOnlyRow(int row) { (void)row; }
    // Hand the selected row's file to the Editor and to the Viewer, when they are visible.
    virtual void EditFile() {}
    virtual void ViewFile() {}
};

class ViewerForm {
public:
    virtual ~ViewerForm() = default;
    virtual void ShowPicture(const std::string& path) = 0;
    // The file likely shown next (the row below in the Browser): decoded meanwhile
    // so that showing it does not wait.
    virtual void ReadAhead(const std::string& path) { (void)path; }
    // The path of the picture shown; empty when none.
    virtual std::string PicturePath() const { return {}; }
    virtual void SaveSettings() = 0;
};

// Class names of the windows, also their objectName.
namespace form {
inline const QString Editor = QStringLiteral("frmEditor");
inline const QString Browser = QStringLiteral("frmBrowser");
inline const QString Viewer = QStringLiteral("frmViewer");
inline const QString About = QStringLiteral("frmAbout");
inline const QString Options = QStringLiteral("frmOptions");
}  // namespace form

}  // namespace lorvane
