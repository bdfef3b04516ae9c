// lorvane-manager: the desktop program. Start-up in the order the windows rely on:
// the file tests, the application name, the global settings, then the windows the
// settings and the first argument ask for.
#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/file_probe.h"
#include "app/memory_settings_store.h"
#include "app/program/browser_shell.h"
#include "app/qt_user_interface.h"
#include "app/screenshots.h"
#include "app/start_up.h"
#include "app/window_settings.h"
#include "core/sample_folder.h"
#include "core/settings_store.h"
#include "editor/editor_window.h"

namespace {

using namespace lorvane;

// Each window class this build has, created on first use.
void registerWindows(AppContext& ctx, ShellBrowserHost& browserHost) {
    ctx.windows.registerWindow(form::Editor, [&ctx] { return new EditorWindow(ctx); });
    ctx.windows.registerWindow(form::Browser, [&ctx, &browserHost] { return new ShellBrowser(ctx, browserHost); });
}

// --screenshot OUTPUT [SAMPLES]: render the windows to PNG files and stop. Not in
// the usage text: it exists for looking at the program without a display.
struct ScreenshotRequest {
    bool wanted = false;
    QString output, samples;
};

ScreenshotRequest screenshotRequest(int argc, char** argv) {
    ScreenshotRequest r;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") != 0) continue;
        r.wanted = true;
        if (i + 1 < argc) r.output = QString::fromLocal8Bit(argv[i + 1]);
        if (i + 2 < argc) r.samples = QString::fromLocal8Bit(argv[i + 2]);
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const ScreenshotRequest shots = screenshotRequest(argc, argv);
    if (shots.wanted && !HasDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!HasDisplay()) {
        std::fputs(
            "lorvane-manager: no display to show windows on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "To check file names without a display, use the command-line tool instead, for example:\n"
            "    lorvane check --human NAME...\n",
            stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lorvane-manager"));
    if (shots.wanted && shots.output.isEmpty()) {
        std::fputs("lorvane-manager: --screenshot needs an output folder\n", stderr);
        return 2;
    }

    FileServiceProbe files;
    QtUserInterface ui;
    // Renders use the defaults and leave the user's settings alone.
    std::unique_ptr<SettingsStore> store;
    IniSettingsStore* iniStore = nullptr;
    if (shots.wanted) {
        store = std::make_unique<MemorySettingsStore>();
    } else {
        auto ini = std::make_unique<IniSettingsStore>();
        if (auto problem = ini->openProblem(); !problem.empty())
            std::fprintf(stderr, "lorvane-manager: %s\n", problem.c_str());
        iniStore = ini.get();
        store = std::move(ini);
    }
    const QString programFolder = QCoreApplication::applicationDirPath();
    AppContext ctx(*store, ui, files, programFolder, FindSampleFolder(programFolder));
    for (const std::string& warning : LoadGlobalSettings(ctx.settings, *store))
        std::fprintf(stderr, "lorvane-manager: %s\n", warning.c_str());
    ShellBrowserHost browserHost(ctx);
    registerWindows(ctx, browserHost);

    if (shots.wanted) {
        const int code =
            RenderScreenshots(ctx, shots.output, shots.samples.isEmpty() ? ctx.sampleFolder() : shots.samples);
        ctx.windows.destroyAll();
        return code;
    }

    // argv rather than arguments(): Qt has taken its own options out of it, and its
    // bytes are the file system's (arguments() decodes them, losing what is not UTF-8).
    OpenStartWindows(ctx, StartPathFromArguments(std::vector<std::string>(argv, argv + argc)));
    // The file is left as it is, so this run's window settings go nowhere: say so once,
    // where the user looks, not only on a terminal that may not exist.
    if (iniStore && !iniStore->canSave()) {
        QWidget* parent = QApplication::activeWindow();
        if (!parent) parent = ctx.windows.loaded(form::Editor) ? ctx.windows.loaded(form::Editor)
                                                                 : ctx.windows.loaded(form::Browser);
        ctx.ui.ShowMessage(parent, UnsavedSettingsMessage(*iniStore), QStringLiteral("Lorvane Manager"),
                           MessageIcon::Exclamation);
    }
    const int code = QApplication::exec();
    ctx.windows.destroyAll();
    // Each window has put its settings into the store as it closed; they reach the
    // file here, once, unless the file failed to load.
    if (iniStore)
        if (auto problem = iniStore->flush(); !problem.empty())
            std::fprintf(stderr, "lorvane-manager: %s\n", problem.c_str());
    return code;
}
