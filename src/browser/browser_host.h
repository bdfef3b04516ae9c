// What the Browser needs from the rest of the program: the Editor and the Viewer
// (when they exist), the message boxes and dialogs, and the window management.
// The shell implements it; tests answer it themselves. Every member has a
// harmless default so that the Browser also runs on its own (renders, tests).
#pragma once

#include <QString>

#include "app/user_interface.h"

#include <string>

class QWidget;

namespace lorvane {

enum class BrowserIcon { None, Stop, Exclamation, Information, Question };

class BrowserHost {
public:
    virtual ~BrowserHost() = default;

    // The Editor, reached only while it is visible.
    virtual bool EditorVisible() { return false; }
    // Folders and names are the file system's bytes, as the rows keep them.
    virtual std::string EditorFolder() { return {}; }
    virtual std::string EditorFileName() { return {}; }
    virtual bool EditorOkayToDiscard() { return true; }
    virtual void EditorInitializeFilename(const std::string& folder, const std::string& fileName) {
        (void)folder, (void)fileName;
    }

    // Whether this build has the Viewer, the Options and the About window: the
    // Browser's menu items for them are disabled otherwise.
    virtual bool ViewerAvailable() { return false; }
    virtual bool OptionsAvailable() { return false; }
    virtual bool AboutAvailable() { return false; }

    // The Viewer, reached only while it is visible.
    virtual bool ViewerVisible() { return false; }
    virtual std::string ViewerPicture() { return {}; }
    virtual void ViewerShowPicture(const std::string& path) { (void)path; }

    // A modal message box (OK only).
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& title, BrowserIcon icon);
    // The user-interface layer, for the batch runs' questions and dialogs.
    virtual UserInterface& Ui();
    // A batch run starts (true) or ends: the other windows must not rename a file meanwhile.
    virtual void BatchRunning(bool running) { (void)running; }
    // Load Files' chooser: any existing folder, also one without files of its own
    // (the files are shown only to help find it). The chosen folder, or empty when
    // cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& initialFolder);

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
