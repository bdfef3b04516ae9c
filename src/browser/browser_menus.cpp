// The Browser's menus. Keys written after a caption are only shown there: the
// list's key handler runs them, so they work only while the list has the focus.
#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "browser/browser_window.h"

namespace lorvane {

QAction* BrowserWindow::addAction(QMenu* menu, const QString& name, const QString& caption, const QString& keyText) {
    // A tab in a menu caption puts the rest in the shortcut column without binding it.
    auto* a = new QAction(keyText.isEmpty() ? caption : caption + QLatin1Char('\t') + keyText, this);
    a->setObjectName(name);
    menu->addAction(a);
    actions_[name] = a;
    return a;
}

void BrowserWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    connect(addAction(file, QStringLiteral("mnuFileLoad"), QStringLiteral("&Load Files..."), QStringLiteral("Ctrl+O")),
            &QAction::triggered, this, &BrowserWindow::LoadFiles);
    addAction(file, QStringLiteral("mnuFileSubfolders"), QStringLiteral("&Include Subfolders"))->setCheckable(true);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFileClear"), QStringLiteral("&Clear List"), QStringLiteral("Ctrl+N")),
            &QAction::triggered, this, &BrowserWindow::ClearList);
    connect(addAction(file, QStringLiteral("mnuFileReload"), QStringLiteral("&Reload List"), QStringLiteral("Ctrl+R")),
            &QAction::triggered, this, &BrowserWindow::ReloadList);
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFileRename"), QStringLiteral("Re&name"), QStringLiteral("F2")),
            &QAction::triggered, this, &BrowserWindow::StartRename);
    // The file commands below belong to the file operations, which connect to them.
    addAction(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Edit Filename"), QStringLiteral("Enter"));
    addAction(file, QStringLiteral("mnuFileShellOpen"), QStringLiteral("&Open"), QStringLiteral("Shift+Enter"));
    addAction(file, QStringLiteral("mnuFileRemove"), QStringLiteral("Re&move from List"), QStringLiteral("Del"));
    addAction(file, QStringLiteral("mnuFileDelete"), QStringLiteral("&Delete"), QStringLiteral("Shift+Del"));
    file->addSeparator();
    connect(addAction(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit")), &QAction::triggered, this,
            [this] { ctx_.windows.Exit(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addAction(edit, QStringLiteral("mnuFileCopy"), QStringLiteral("&Copy to Folder..."));
    addAction(edit, QStringLiteral("mnuFileMove"), QStringLiteral("&Move to Folder..."));
    addAction(edit, QStringLiteral("mnuCreateShortcut"), QStringLiteral("C&reate Shortcuts..."));
    edit->addSeparator();
    addAction(edit, QStringLiteral("mnuSelectFiles"), QStringLiteral("&Select..."));
    // Beyond the menus of old: the latest applied batch run (here or by lorvane) undone.
    connect(addAction(edit, QStringLiteral("mnuUndoBatch"), QStringLiteral("&Undo Batch Rename")), &QAction::triggered,
            this, &BrowserWindow::UndoBatchRename);
    connect(addAction(edit, QStringLiteral("mnuSelectAll"), QStringLiteral("Select &All")), &QAction::triggered, this,
            &BrowserWindow::SelectAll);
    QMenu* byStatus = edit->addMenu(QStringLiteral("Select by S&tatus"));
    byStatus->setObjectName(QStringLiteral("mnuSelectStatus"));
    const struct {
        const char* name;
        const char* caption;
        std::string_view status;
    } statuses[] = {{"mnuSelectGood", "&Good", "Good"},
                    {"mnuSelectWarn", "&Warn", "Warn"},
                    {"mnuSelectFail", "&Fail", "Fail"},
                    {"mnuSelectDupl", "&Dupl", kDuplicateStatus}};
    for (const auto& s : statuses) {
        const std::string_view status = s.status;
        connect(addAction(byStatus, QString::fromLatin1(s.name), QString::fromLatin1(s.caption)), &QAction::triggered,
                this, [this, status] { SelectByStatus(status); });
    }
    connect(addAction(edit, QStringLiteral("mnuSelectInvert"), QStringLiteral("&Invert Selection")),
            &QAction::triggered, this, &BrowserWindow::InvertSelection);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    QAction* editor = addAction(view, QStringLiteral("mnuEditor"), QStringLiteral("&Editor"));
    editor->setCheckable(true);
    connect(editor, &QAction::triggered, this, [this] {
        ctx_.windows.ToggleWindow(form::Editor);
        EditFile();
        Action(QStringLiteral("mnuEditor"))->setChecked(ctx_.windows.IsFormVisible(form::Editor));
        ctx_.windows.UpdateWindowMenus();
    });
    QAction* viewer = addAction(view, QStringLiteral("mnuViewer"), QStringLiteral("&Viewer"));
    viewer->setCheckable(true);
    connect(viewer, &QAction::triggered, this, [this] {
        ctx_.windows.ToggleWindow(form::Viewer);
        ViewFile();
        Action(QStringLiteral("mnuViewer"))->setChecked(ctx_.windows.IsFormVisible(form::Viewer));
        ctx_.windows.UpdateWindowMenus();
    });
    view->addSeparator();
    auto* modes = new QActionGroup(this);
    const char* const modeNames[] = {"mnuViewLarge", "mnuViewSmall", "mnuViewList", "mnuViewDetails"};
    const char* const modeCaptions[] = {"L&arge Icons", "&Small Icons", "&List", "&Details"};
    for (int m = 0; m < 4; ++m) {
        QAction* a = addAction(view, QString::fromLatin1(modeNames[m]), QString::fromLatin1(modeCaptions[m]));
        a->setCheckable(true);
        modes->addAction(a);
        connect(a, &QAction::triggered, this, [this, m] { SetListView(m); });
    }
    view->addSeparator();
    QAction* grid = addAction(view, QStringLiteral("mnuViewGridlines"), QStringLiteral("&Gridlines"));
    grid->setCheckable(true);
    connect(grid, &QAction::triggered, this, [this] { SetGridlines(!gridlines_); });
    QAction* loaded = addAction(view, QStringLiteral("mnuIndicateLoaded"), QStringLiteral("&File Count"));
    loaded->setCheckable(true);
    connect(loaded, &QAction::triggered, this, [this] { SetIndicateLoaded(!LoadedPanelVisible()); });
    QAction* selected = addAction(view, QStringLiteral("mnuIndicateSelected"), QStringLiteral("Sele&cted Count"));
    selected->setCheckable(true);
    connect(selected, &QAction::triggered, this, [this] { SetIndicateSelected(!SelectedPanelVisible()); });
    view->addSeparator();
    connect(addAction(view, QStringLiteral("mnuResetColumns"), QStringLiteral("&Reset Columns")), &QAction::triggered,
            this, [this] {
                ActiveView()->setUpdatesEnabled(false);
                CreateColumns();
                ActiveView()->setUpdatesEnabled(true);
            });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuTools"));
    // The batch commands connect to these.
    connect(addAction(tools, QStringLiteral("mnuParseAll"), QStringLiteral("Re-&Parse Filenames")), &QAction::triggered,
            this, &BrowserWindow::ParseAll);
    addAction(tools, QStringLiteral("mnuCheckChronology"), QStringLiteral("Check &Chronology"));
    tools->addSeparator();
    connect(addAction(tools, QStringLiteral("mnuRebuild"), QStringLiteral("Re-&Build Filenames")), &QAction::triggered,
            this, &BrowserWindow::Rebuild);
    connect(addAction(tools, QStringLiteral("mnuChangeDates"), QStringLiteral("Change &Dates...")), &QAction::triggered,
            this, &BrowserWindow::ChangeDates);
    addAction(tools, QStringLiteral("mnuChangeSequenceNumbers"), QStringLiteral("Change &Sequence Numbers..."));
    addAction(tools, QStringLiteral("mnuAddContent"), QStringLiteral("&Add Content..."));
    addAction(tools, QStringLiteral("mnuRemoveContent"), QStringLiteral("&Remove Content..."));
    tools->addSeparator();
    connect(addAction(tools, QStringLiteral("mnuOptions"), QStringLiteral("&Options...")), &QAction::triggered, this,
            [this] { ctx_.windows.show(form::Options); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addAction(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About...")), &QAction::triggered, this,
            [this] { ctx_.windows.ShowAbout(); });

    // Commands whose code is not there yet are disabled, so that they are not
    // silently ignored; the code that connects one enables it.
    static const char* const notBuilt[] = {
        "mnuFileOpen",   "mnuFileShellOpen",  "mnuFileRemove",  "mnuFileDelete",      "mnuFileCopy",
        "mnuFileMove",   "mnuCreateShortcut", "mnuSelectFiles", "mnuCheckChronology", "mnuChangeSequenceNumbers",
        "mnuAddContent", "mnuRemoveContent",
    };
    for (const char* name : notBuilt) Action(QString::fromLatin1(name))->setEnabled(false);
    // The windows another part of the program supplies, when this build has them.
    Action(QStringLiteral("mnuViewer"))->setEnabled(ctx_.windows.isAvailable(form::Viewer));
    Action(QStringLiteral("mnuOptions"))->setEnabled(ctx_.windows.isAvailable(form::Options));
    Action(QStringLiteral("mnuHelpAbout"))->setEnabled(ctx_.windows.isAvailable(form::About));
}

}  // namespace lorvane
