// What the Browser needs from the rest of the program: the Editor and the Viewer
// (when they exist), the message boxes and dialogs, and the window management.
// The shell implements it; tests answer it themselves. Every member has a
// harmless default so that the Browser also runs on its own (renders, tests).
#pragma once

#include <QString>

class QWidget;

namespace lorvane {

enum class BrowserIcon { None, Stop, Exclamation, Information, Question };

class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    // The Editor, reached only while it is visible.
    virtual bool EditorVisible() { return false; }
    virtual QString EditorFolder() { return {}; }
    virtual QString EditorFileName() { return {}; }
    virtual bool EditorOkayToDiscard() { return true; }
    virtual void EditorInitializeFilename(const QString& folder, const QString& fileName) {
        (void)folder, (void)fileName;
    }

    // The Viewer, likewise.
    virtual bool ViewerVisible() { return false; }
    virtual QString ViewerPicture() { return {}; }
    virtual void ViewerShowPicture(const QString& path) { (void)path; }

    // A modal message box (OK only).
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& title, BrowserIcon icon);
    // Load Files' file-open dialog: the chosen file's path, or empty when cancelled.
    virtual QString ChooseFile(QWidget* parent, const QString& title, const QString& initialFolder);

    // Window management: the View menu's Editor and Viewer, Options, About, Exit,
    // the window-menu check marks, and the Browser's own close.
    virtual void ToggleEditor() {}
    virtual void ToggleViewer() {}
    virtual void ShowOptions() {}
    virtual void ShowAbout() {}
    virtual void Exit(QWidget* browser);
    virtual void UpdateWindowMenus() {}
    // After the Browser has saved its settings on closing; the default lets it close.
    virtual void BrowserClosing(QWidget* browser) { (void)browser; }
};

// The host used when none is given: real message boxes, nothing else.
BrowserHost& DefaultBrowserHost();

}  // namespace lorvane
