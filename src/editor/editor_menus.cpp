// The Editor's menu bar. Every item is present; those whose windows are not part
// of this build stay disabled.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "editor/editor_window.h"

namespace lorvane {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    return a;
}

QMenu* menu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

// The key after an Edit-menu caption is handled by the tree pane, so it is shown
// in the menu but not bound there.
QString withKey(const char* caption, const char* key) {
    return QString::fromUtf8(caption) + QLatin1Char('\t') + QString::fromUtf8(key);
}

}  // namespace

void EditorWindow::createMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = menu(bar, "mnuFile", QStringLiteral("&File"));
    struct FileItem {
        const char* name;
        const char* caption;
        const char* key;
        void (EditorWindow::*command)();
        bool separatorAfter;
    };
    const FileItem fileItems[] = {
        {"mnuFileNew", "&New", "Ctrl+N", &EditorWindow::FileNew, false},
        {"mnuFileOpen", "&Open...", "Ctrl+O", &EditorWindow::FileOpen, false},
        {"mnuFileRevert", "&Revert", "Ctrl+R", &EditorWindow::FileRevert, false},
        {"mnuFileSave", "&Save", "Ctrl+S", nullptr, true},
        {"mnuFilePrevious", "&Previous", "Ctrl+G", &EditorWindow::FilePrevious, false},
        {"mnuFileNext", "N&ext", "Ctrl+H", &EditorWindow::FileNext, true},
    };
    for (const FileItem& f : fileItems) {
        QAction* a = item(file, f.name, QString::fromUtf8(f.caption), QKeySequence(QString::fromUtf8(f.key)));
        if (f.command) connect(a, &QAction::triggered, this, f.command);
        else connect(a, &QAction::triggered, this, [this] { FileSave(); });
        if (f.separatorAfter) file->addSeparator();
    }
    // Previous and Next walk the Browser's list; a build without it has nothing to walk.
    for (const char* name : {"mnuFilePrevious", "mnuFileNext"})
        file->findChild<QAction*>(QLatin1String(name))->setEnabled(ctx_.windows.isAvailable(form::Browser));
    connect(item(file, "mnuFileExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            [this] { ctx_.windows.Exit(); });

    QMenu* edit = menu(bar, "mnuEdit", QStringLiteral("&Edit"));
    struct EditItem {
        const char* name;
        const char* caption;
        const char* key;
        NodeCommand command;
        bool separatorAfter;
    };
    const EditItem editItems[] = {
        {"mnuNodeEdit", "&Edit Node", "F2", NodeCommand::Edit, false},
        {"mnuNodeDelete", "&Delete Node", "Del", NodeCommand::Delete, true},
        {"mnuNodeInsertBefore", "Insert Sibling Node &Before", "Alt+Up", NodeCommand::InsertBefore, false},
        {"mnuNodeInsertAfter", "Insert Sibling Node &After", "Alt+Down", NodeCommand::InsertAfter, false},
        {"mnuNodeInsertChild", "Insert &Child Node", "Alt+Right", NodeCommand::InsertChild, true},
        {"mnuNodeMoveUp", "Move Node &Up", "Ctrl+Up", NodeCommand::MoveUp, false},
        {"mnuNodeMoveDown", "Move Node Dow&n", "Ctrl+Down", NodeCommand::MoveDown, true},
        {"mnuNodePromote", "Pr&omote Node", "Ctrl+Left", NodeCommand::Promote, false},
        {"mnuNodeDemote", "De&mote Node", "Ctrl+Right", NodeCommand::Demote, false},
    };
    for (const EditItem& e : editItems) {
        const NodeCommand command = e.command;
        connect(item(edit, e.name, withKey(e.caption, e.key)), &QAction::triggered, this,
                [this, command] { RunCommand(command); });
        if (e.separatorAfter) edit->addSeparator();
    }

    QMenu* view = menu(bar, "mnuView", QStringLiteral("&View"));
    QAction* browser = item(view, "mnuBrowser", QStringLiteral("&Browser"));
    browser->setCheckable(true);
    browser->setEnabled(ctx_.windows.isAvailable(form::Browser));
    connect(browser, &QAction::triggered, this, [this] { ctx_.windows.ToggleWindow(form::Browser); });
    QAction* viewer = item(view, "mnuViewer", QStringLiteral("&Viewer"));
    viewer->setCheckable(true);
    viewer->setEnabled(ctx_.windows.isAvailable(form::Viewer));
    connect(viewer, &QAction::triggered, this, [this] {
        ctx_.windows.ToggleWindow(form::Viewer);
        UpdateViewer();
    });
    mnuIndicateLength_ = item(view, "mnuIndicateLength", QStringLiteral("&Length Indicator"));
    mnuIndicateLength_->setCheckable(true);
    mnuIndicateLength_->setChecked(true);
    connect(mnuIndicateLength_, &QAction::triggered, this, [this] { ToggleLengthIndicator(); });
    view->addSeparator();

    QMenu* tools = menu(bar, "mnuTools", QStringLiteral("&Tools"));
    mnuToolsLocate_ = item(tools, "mnuToolsLocate", QStringLiteral("&Locate Problem"), QKeySequence(Qt::Key_F3));
    connect(mnuToolsLocate_, &QAction::triggered, this, [this] { LocateProblem(); });
    connect(item(tools, "mnuToolsUpdate", QStringLiteral("&Update Panes"), QKeySequence(Qt::Key_F9)),
            &QAction::triggered, this, [this] { UpdatePanes(); });
    tools->addSeparator();
    QAction* options = item(tools, "mnuOptions", QStringLiteral("&Options..."));
    options->setEnabled(ctx_.windows.isAvailable(form::Options));
    connect(options, &QAction::triggered, this, [this] { ctx_.windows.show(form::Options); });

    QMenu* help = menu(bar, "mnuHelp", QStringLiteral("&Help"));
    QAction* about = item(help, "mnuHelpAbout", QStringLiteral("&About..."));
    about->setEnabled(ctx_.windows.isAvailable(form::About));
    connect(about, &QAction::triggered, this, [this] { ctx_.windows.ShowAbout(); });
}

}  // namespace lorvane
