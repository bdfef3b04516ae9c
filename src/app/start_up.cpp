#include "app/start_up.h"

#include <QCoreApplication>
#include <QFile>

#include "core/file_service.h"

namespace lorvane {

// The shell has already split and unquoted the command line: the start path is the
// first argument. A relative one is made absolute, so the windows show where it is,
// and ".." means what it means to the kernel (after a link, the target's parent).
QString StartPathFromArguments(const QStringList& arguments) {
    const QString path = arguments.value(1);
    if (path.isEmpty()) return path;
    return QFile::decodeName(QByteArray::fromStdString(CleanPath(QFile::encodeName(path).toStdString())));
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

// Lets the windows shown so far paint before the Browser starts loading.
void processPendingEvents() { QCoreApplication::processEvents(); }

}  // namespace

void OpenStartWindows(AppContext& ctx, const QString& startPath) {
    GlobalSettings& s = ctx.settings;
    WindowRegistry& w = ctx.windows;
    if (isOn(s.StartupOpenViewer)) w.show(form::Viewer);

    if (ctx.files.FileExists(startPath)) {
        if (isOn(s.StartupOpenBrowser)) showBrowserWithoutAutoLoad(ctx);
        w.show(form::Editor);
        QString folder, name;
        SplitFilePath(startPath, folder, name);
        bool viewerHandled = false;
        if (EditorForm* editor = w.editor()) editor->InitializeFilename(folder, name, viewerHandled);
    } else if (ctx.files.FolderExists(startPath)) {
        if (isOn(s.StartupOpenEditor)) w.show(form::Editor);
        processPendingEvents();
        showBrowserWithoutAutoLoad(ctx);
        if (BrowserForm* browser = dynamic_cast<BrowserForm*>(w.loaded(form::Browser)))
            browser->InitializeFolder(startPath);
    } else {
        if (isOn(s.StartupOpenEditor)) w.show(form::Editor);
        processPendingEvents();
        w.show(form::Browser);
    }

    // A build without the Browser still needs a window to live in.
    if (!w.IsFormVisible(form::Browser) && !w.IsFormVisible(form::Editor)) w.show(form::Editor);
    w.UpdateWindowMenus();
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace lorvane
