#include "app/program/browser_shell.h"

namespace lorvane {

EditorForm* ShellBrowserHost::loadedEditor() const {
    return dynamic_cast<EditorForm*>(ctx_.windows.loaded(form::Editor));
}

bool ShellBrowserHost::EditorVisible() { return ctx_.windows.IsFormVisible(form::Editor); }

std::string ShellBrowserHost::EditorFolder() {
    EditorForm* e = loadedEditor();
    return e ? e->CurrentFolder() : std::string();
}

std::string ShellBrowserHost::EditorFileName() {
    EditorForm* e = loadedEditor();
    return e ? e->CurrentFileName() : std::string();
}

bool ShellBrowserHost::EditorOkayToDiscard() {
    EditorForm* e = loadedEditor();
    return !e || e->OkayToDiscard();
}

void ShellBrowserHost::EditorInitializeFilename(const std::string& folder, const std::string& fileName) {
    // The Browser hands the Viewer its file itself.
    bool viewerHandled = true;
    if (EditorForm* e = ctx_.windows.editor()) e->InitializeFilename(folder, fileName, viewerHandled);
}

bool ShellBrowserHost::ViewerAvailable() { return ctx_.windows.isAvailable(form::Viewer); }
bool ShellBrowserHost::OptionsAvailable() { return ctx_.windows.isAvailable(form::Options); }
bool ShellBrowserHost::AboutAvailable() { return ctx_.windows.isAvailable(form::About); }

bool ShellBrowserHost::ViewerVisible() { return ctx_.windows.IsFormVisible(form::Viewer); }

void ShellBrowserHost::ViewerShowPicture(const std::string& path) {
    if (ViewerForm* v = ctx_.windows.viewer()) v->ShowPicture(path);
}

void ShellBrowserHost::ShowMessage(QWidget* parent, const QString& text, const QString& title, BrowserIcon icon) {
    MessageIcon i = MessageIcon::None;
    switch (icon) {
        case BrowserIcon::None: i = MessageIcon::None; break;
        case BrowserIcon::Stop: i = MessageIcon::Stop; break;
        case BrowserIcon::Exclamation: i = MessageIcon::Exclamation; break;
        case BrowserIcon::Information: i = MessageIcon::Information; break;
        case BrowserIcon::Question: i = MessageIcon::Question; break;
    }
    ctx_.ui.ShowMessage(parent, text, title, i, MessageButtons::Ok);
}

QString ShellBrowserHost::ChooseFolder(QWidget* parent, const QString& title, const QString& initialFolder) {
    return ctx_.ui.GetFolderAmongFiles(parent, title, initialFolder, QStringLiteral("All Files (*)"));
}

void ShellBrowserHost::ToggleEditor() { ctx_.windows.ToggleWindow(form::Editor); }
void ShellBrowserHost::ToggleViewer() { ctx_.windows.ToggleWindow(form::Viewer); }

void ShellBrowserHost::ShowOptions() {
    if (ctx_.windows.isAvailable(form::Options)) ctx_.windows.show(form::Options);
}

void ShellBrowserHost::ShowAbout() { ctx_.windows.ShowAbout(); }
void ShellBrowserHost::Exit(QWidget*) { ctx_.windows.Exit(); }
UserInterface& ShellBrowserHost::Ui() { return ctx_.ui; }

// While a batch renames files, the Editor and the Viewer take no input: the
// Editor's Save must not rename a file under the run.
void ShellBrowserHost::BatchRunning(bool running) {
    for (const QString& name : {form::Editor, form::Viewer})
        if (QWidget* w = ctx_.windows.loaded(name)) w->setEnabled(!running);
}
void ShellBrowserHost::UpdateWindowMenus() { ctx_.windows.UpdateWindowMenus(); }
void ShellBrowserHost::BrowserClosing(QWidget* browser) { ctx_.windows.WindowClosing(browser); }

}  // namespace lorvane
