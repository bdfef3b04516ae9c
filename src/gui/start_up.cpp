#include "gui/start_up.h"

#include <QCoreApplication>

#include "gui/window_settings.h"
#include "core/files/file_service.h"
#include "core/qt_text.h"
#include "core/sample_folder.h"
#include "core/settings_store.h"

namespace lorvane {

// The shell has already split and unquoted the command line: the start path is the
// first argument. A relative one is made absolute, so the windows show where it is,
// and ".." means what it means to the kernel (after a link, the target's parent).
// The bytes stay the bytes: a name that is not UTF-8 must still name its own file.
std::string StartPathFromArguments(const std::vector<std::string>& arguments) {
    const std::string path = arguments.size() > 1 ? arguments[1] : std::string();
    return path.empty() ? path : CleanPath(path);
}

namespace {

// The Browser must not load its last folder when start-up gives it one (or gives
// the Editor a file); the in-memory setting is overridden only for its creation.
void showBrowserWithoutAutoLoad(AppContext& ctx) {
    const std::int32_t remembered = ctx.settings.BrowserAutoLoadLastFolder;
    ctx.settings.BrowserAutoLoadLastFolder = 0;
    ctx.windows.show(form::Browser);
    ctx.settings.BrowserAutoLoadLastFolder = remembered;
}

// The main windows that have no saved place go side by side, the Editor on the
// left: left where they come up, both would start in the same corner, the Browser
// over the Editor.
void placeFirstStart(AppContext& ctx) {
    std::vector<QWidget*> unplaced;
    const bool restore = isOn(ctx.settings.RestoreWindowSizePosition);
    for (const QString& name : {form::Editor, form::Browser, form::Viewer}) {
        QWidget* window = ctx.windows.loaded(name);
        // The settings section is the class name without its "frm".
        if (window && window->isVisible() && window->windowState() == Qt::WindowNoState &&
            !HasSavedPlace(ctx.store, name.mid(3).toStdString(), restore))
            unplaced.push_back(window);
    }
    PlaceSideBySide(unplaced);
}

// The Browser about to open the user's copy of the sample names (no folder of its
// own yet, or the copy went away): the copy is made first. A copy that fails is
// reported and the Browser finds nothing there; it never falls back to the
// program's own names, whose renames would change the program.
void prepareSampleCopy(AppContext& ctx) {
    if (ctx.sampleCopy.isEmpty()) return;
    const std::string copy = PathFromQString(ctx.sampleCopy);
    if (ReadWindowText(ctx.store, "Browser", "InputPath", copy) != copy) return;
    const std::string problem = CopySampleFolder(ctx.files, PathFromQString(ctx.sampleOriginal), copy);
    if (!problem.empty())
        ctx.ui.ShowMessage(nullptr, ToQString(problem), QStringLiteral("Lorvane Manager"), MessageIcon::Exclamation);
}

// Lets the windows shown so far paint before the Browser starts loading.
void processPendingEvents() { QCoreApplication::processEvents(); }

}  // namespace

void OpenStartWindows(AppContext& ctx, const std::string& startPath) {
    GlobalSettings& s = ctx.settings;
    WindowRegistry& w = ctx.windows;
    if (isOn(s.StartupOpenViewer)) w.show(form::Viewer);

    if (ctx.files.FileExists(startPath)) {
        if (isOn(s.StartupOpenBrowser)) showBrowserWithoutAutoLoad(ctx);
        w.show(form::Editor);
        std::string folder, name;
        SplitFilePath(ctx.files, startPath, folder, name);
        bool viewerHandled = false;
        if (EditorForm* editor = w.editor()) editor->InitializeFilename(folder, name, viewerHandled);
    } else if (ctx.files.FolderExists(startPath)) {
        if (isOn(s.StartupOpenEditor)) w.show(form::Editor);
        processPendingEvents();
        showBrowserWithoutAutoLoad(ctx);
        placeFirstStart(ctx);  // before a long load, not after it
        if (BrowserForm* browser = dynamic_cast<BrowserForm*>(w.loaded(form::Browser)))
            browser->InitializeFolder(startPath);
    } else {
        if (isOn(s.StartupOpenEditor)) w.show(form::Editor);
        processPendingEvents();
        prepareSampleCopy(ctx);
        w.show(form::Browser);
    }

    // A build without the Browser still needs a window to live in.
    if (!w.IsFormVisible(form::Browser) && !w.IsFormVisible(form::Editor)) w.show(form::Editor);
    placeFirstStart(ctx);
    w.UpdateWindowMenus();
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace lorvane
