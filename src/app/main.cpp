// lorvane-manager: the desktop program. Start-up in the order the windows rely on:
// the application name, the global settings, then the windows the
// settings and the first argument ask for.
#include <QApplication>
#include <QDirIterator>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/register_windows.h"
#include "core/files/file_service.h"
#include "core/sample_folder.h"
#include "core/settings_store.h"
#include "engine/version.h"
#include "gui/app_context.h"
#include "gui/qt_user_interface.h"
#include "gui/start_up.h"
#include "gui/window_settings.h"

using namespace lorvane;

namespace {

const char kHelp[] =
    "Usage: lorvane-manager [QT-OPTION]... [FILE|FOLDER]\n"
    "       lorvane-manager --help | --version\n"
    "Edits the descriptive data kept in file names. A FILE opens the Editor on its\n"
    "name, a FOLDER the Browser on that folder; without one the windows open as the\n"
    "settings say (on the first start, the Browser on a copy of the sample names).\n"
    "The command-line tool, lorvane, does the same work without windows.\n"
    "See lorvane-manager(1).\n";

// The icon drawn for the program, at each size the icon theme gets too: the
// window manager picks the one it shows.
QIcon programIcon() {
    QIcon icon;
    for (QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        icon.addFile(it.next());
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before anything needs a display, so that they work from any terminal.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("lorvane-manager (Lorvane Manager) %.*s\n", static_cast<int>(kVersionText.size()),
                    kVersionText.data());
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
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
    QApplication::setApplicationVersion(QString::fromUtf8(kVersionText.data(), kVersionText.size()));
    // Ties the windows to the desktop entry (Wayland's app id), and gives them the icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lorvane.Manager"));
    QApplication::setWindowIcon(programIcon());

    QtUserInterface ui;
    IniSettingsStore store;
    if (auto problem = store.openProblem(); !problem.empty())
        std::fprintf(stderr, "lorvane-manager: %s\n", problem.c_str());
    const QString programFolder = QCoreApplication::applicationDirPath();
    AppContext ctx(store, ui, FileSystemService::Instance(), programFolder, UserSampleFolder(),
                   FindSampleFolder(programFolder));
    for (const std::string& warning : LoadGlobalSettings(ctx.settings, store))
        std::fprintf(stderr, "lorvane-manager: %s\n", warning.c_str());
    RegisterWindows(ctx);

    // argv rather than arguments(): Qt has taken its own options out of it, and its
    // bytes are the file system's (arguments() decodes them, losing what is not UTF-8).
    OpenStartWindows(ctx, StartPathFromArguments(std::vector<std::string>(argv, argv + argc)));
    // The file is left as it is, so this run's window settings go nowhere: say so once,
    // where the user looks, not only on a terminal that may not exist.
    if (!store.canSave()) {
        QWidget* parent = QApplication::activeWindow();
        if (!parent)
            parent =
                ctx.windows.loaded(form::Editor) ? ctx.windows.loaded(form::Editor) : ctx.windows.loaded(form::Browser);
        ctx.ui.ShowMessage(parent, UnsavedSettingsMessage(store), QStringLiteral("Lorvane Manager"),
                           MessageIcon::Exclamation);
    }
    const int code = QApplication::exec();
    ctx.windows.destroyAll();
    // Each window has put its settings into the store as it closed; they reach the
    // file here, once, unless the file failed to load.
    if (auto problem = store.flush(); !problem.empty()) std::fprintf(stderr, "lorvane-manager: %s\n", problem.c_str());
    return code;
}
