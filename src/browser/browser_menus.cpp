// The Browser's menus, built from one table. A key written after a caption is
// shown there but not bound: the list's key handler runs it, so it works only
// while the list has the focus.
#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <functional>

#include "browser/browser_window.h"

namespace lorvane {

namespace {

enum ItemFlag : unsigned {
    Checkable = 1,
    SeparatorAfter = 2,
    Submenu = 8,    // a menu: the items that name it as theirs follow
    ViewMode = 16,  // one of the four view modes, which exclude each other
};

struct MenuItem {
    const char* menu;  // the menu it goes in, by object name; nullptr: the menu bar
    const char* name;
    const char* caption;
    const char* key;                // nullptr: none
    std::function<void()> command;  // empty: connected elsewhere, or not built yet
    unsigned flags;
    QString needs;  // the window it opens, which this build may lack
};

// The keypad's Enter and the main one are the same key to the list.
int keyCode(QKeyCombination key) {
    const Qt::Key k = key.key() == Qt::Key_Return ? Qt::Key_Enter : key.key();
    const Qt::KeyboardModifiers mods =
        key.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return QKeyCombination(mods, k).toCombined();
}

}  // namespace

void BrowserWindow::buildMenus() {
    // Editor and Viewer: close the window when shown, else show it with the current file.
    auto toggle = [this](const QString& window, const char* item, void (BrowserWindow::*follow)()) {
        return [this, window, item, follow] {
            ctx_.windows.ToggleWindow(window);
            (this->*follow)();
            Action(QLatin1String(item))->setChecked(ctx_.windows.IsFormVisible(window));
            ctx_.windows.UpdateWindowMenus();
        };
    };
    auto selectBy = [this](std::string_view status) { return [this, status] { SelectByStatus(status); }; };
    auto view = [this](int mode) { return [this, mode] { SetListView(mode); }; };
    auto fileAction = [this](FileAction action) { return [this, action] { RunFileAction(action); }; };

    const MenuItem items[] = {
        {nullptr, "mnuFile", "&File", nullptr, {}, Submenu, {}},
        {"mnuFile", "mnuFileLoad", "&Load Files...", "Ctrl+O", [this] { LoadFiles(); }, 0, {}},
        {"mnuFile", "mnuFileSubfolders", "&Include Subfolders", nullptr, {}, Checkable | SeparatorAfter, {}},
        {"mnuFile", "mnuFileClear", "&Clear List", "Ctrl+N", [this] { ClearList(); }, 0, {}},
        {"mnuFile", "mnuFileReload", "&Reload List", "Ctrl+R", [this] { ReloadList(); }, SeparatorAfter, {}},
        {"mnuFile", "mnuFileRename", "Re&name", "F2", [this] { StartRename(); }, 0, {}},
        {"mnuFile", "mnuFileOpen", "&Edit Filename", "Enter", [this] { EditFilename(); }, 0, {}},
        {"mnuFile", "mnuFileShellOpen", "&Open", "Shift+Enter", [this] { ShellOpen(); }, 0, {}},
        {"mnuFile", "mnuFileRemove", "Re&move from List", "Del", [this] { RemoveFromList(); }, 0, {}},
        {"mnuFile", "mnuFileDelete", "&Delete", "Shift+Del", fileAction(FileAction::Delete), SeparatorAfter, {}},
        {"mnuFile", "mnuFileExit", "E&xit", nullptr, [this] { ctx_.windows.Exit(); }, 0, {}},

        {nullptr, "mnuEdit", "&Edit", nullptr, {}, Submenu, {}},
        {"mnuEdit", "mnuFileCopy", "&Copy to Folder...", nullptr, fileAction(FileAction::Copy), 0, {}},
        {"mnuEdit", "mnuFileMove", "&Move to Folder...", nullptr, fileAction(FileAction::Move), 0, {}},
        {"mnuEdit", "mnuCreateShortcut", "C&reate Shortcuts...", nullptr, fileAction(FileAction::Link), SeparatorAfter,
         {}},
        {"mnuEdit", "mnuSelectFiles", "&Select...", nullptr, [this] { SelectFiles(); }, 0, {}},
        // Beyond the menus of old: the latest applied batch run (here or by lorvane) undone.
        {"mnuEdit", "mnuUndoBatch", "&Undo Batch Rename", nullptr, [this] { UndoBatchRename(); }, 0, {}},
        {"mnuEdit", "mnuSelectAll", "Select &All", "Ctrl+A", [this] { SelectAll(); }, 0, {}},
        {"mnuEdit", "mnuSelectStatus", "Select by S&tatus", nullptr, {}, Submenu, {}},
        {"mnuSelectStatus", "mnuSelectGood", "&Good", nullptr, selectBy("Good"), 0, {}},
        {"mnuSelectStatus", "mnuSelectWarn", "&Warn", nullptr, selectBy("Warn"), 0, {}},
        {"mnuSelectStatus", "mnuSelectFail", "&Fail", nullptr, selectBy("Fail"), 0, {}},
        {"mnuSelectStatus", "mnuSelectDupl", "&Dupl", nullptr, selectBy(kDuplicateStatus), 0, {}},
        {"mnuEdit", "mnuSelectInvert", "&Invert Selection", nullptr, [this] { InvertSelection(); }, 0, {}},

        {nullptr, "mnuView", "&View", nullptr, {}, Submenu, {}},
        {"mnuView",
         "mnuEditor",
         "&Editor",
         nullptr,
         toggle(form::Editor, "mnuEditor", &BrowserWindow::EditFile),
         Checkable,
         {}},
        {"mnuView", "mnuViewer", "&Viewer", nullptr, toggle(form::Viewer, "mnuViewer", &BrowserWindow::ViewFile),
         Checkable | SeparatorAfter, form::Viewer},
        {"mnuView", "mnuViewLarge", "L&arge Icons", nullptr, view(list_view::LargeIcons), ViewMode, {}},
        {"mnuView", "mnuViewSmall", "&Small Icons", nullptr, view(list_view::SmallIcons), ViewMode, {}},
        {"mnuView", "mnuViewList", "&List", nullptr, view(list_view::List), ViewMode, {}},
        {"mnuView", "mnuViewDetails", "&Details", nullptr, view(list_view::Details), ViewMode | SeparatorAfter, {}},
        {"mnuView", "mnuViewGridlines", "&Gridlines", nullptr, [this] { SetGridlines(!Gridlines()); }, Checkable, {}},
        {"mnuView",
         "mnuIndicateLoaded",
         "&File Count",
         nullptr,
         [this] { SetIndicateLoaded(!LoadedPanelVisible()); },
         Checkable,
         {}},
        {"mnuView",
         "mnuIndicateSelected",
         "Sele&cted Count",
         nullptr,
         [this] { SetIndicateSelected(!SelectedPanelVisible()); },
         Checkable | SeparatorAfter,
         {}},
        {"mnuView",
         "mnuResetColumns",
         "&Reset Columns",
         nullptr,
         [this] {
             ActiveView()->setUpdatesEnabled(false);
             CreateColumns();
             ActiveView()->setUpdatesEnabled(true);
         },
         0,
         {}},

        {nullptr, "mnuTools", "&Tools", nullptr, {}, Submenu, {}},
        {"mnuTools", "mnuParseAll", "Re-&Parse Filenames", nullptr, [this] { ParseAll(); }, 0, {}},
        {"mnuTools",
         "mnuCheckChronology",
         "Check &Chronology",
         nullptr,
         [this] { CheckChronology(); },
         SeparatorAfter,
         {}},
        {"mnuTools", "mnuRebuild", "Re-&Build Filenames", nullptr, [this] { Rebuild(); }, 0, {}},
        {"mnuTools", "mnuChangeDates", "Change &Dates...", nullptr, [this] { ChangeDates(); }, 0, {}},
        {"mnuTools",
         "mnuChangeSequenceNumbers",
         "Change &Sequence Numbers...",
         nullptr,
         [this] { ChangeSequenceNumbers(); },
         0,
         {}},
        {"mnuTools", "mnuAddContent", "&Add Content...", nullptr, [this] { AddContent(); }, 0, {}},
        {"mnuTools", "mnuRemoveContent", "&Remove Content...", nullptr, [this] { RemoveContent(); }, SeparatorAfter, {}},
        {"mnuTools", "mnuOptions", "&Options...", nullptr, [this] { ctx_.windows.show(form::Options); }, 0,
         form::Options},

        {nullptr, "mnuHelp", "&Help", nullptr, {}, Submenu, {}},
        {"mnuHelp", "mnuHelpAbout", "&About...", nullptr, [this] { ctx_.windows.ShowAbout(); }, 0, form::About},
    };

    std::map<QString, QMenu*> menus;
    auto* modes = new QActionGroup(this);
    for (const MenuItem& item : items) {
        const QString name = QLatin1String(item.name);
        QString caption = QString::fromUtf8(item.caption);
        // A tab in a caption puts the rest in the shortcut column without binding it.
        if (item.key) caption += QLatin1Char('\t') + QLatin1String(item.key);
        QMenu* parent = item.menu ? menus.at(QLatin1String(item.menu)) : nullptr;
        QAction* a;
        if (item.flags & Submenu) {
            QMenu* m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            m->setObjectName(name);
            menus[name] = m;
            a = m->menuAction();
        } else {
            a = parent->addAction(caption);
            a->setObjectName(name);
            actions_[name] = a;
        }
        a->setCheckable(item.flags & (Checkable | ViewMode));
        if (item.flags & ViewMode) modes->addAction(a);
        if (item.command) connect(a, &QAction::triggered, this, [command = item.command] { command(); });
        a->setEnabled(item.needs.isEmpty() || ctx_.windows.isAvailable(item.needs));
        if (item.key) listKeys_[keyCode(QKeySequence::fromString(QLatin1String(item.key))[0])] = a;
        if ((item.flags & SeparatorAfter) && parent) parent->addSeparator();
    }
}

bool BrowserWindow::handleListKey(const QKeyEvent& key) {
    const auto it = listKeys_.find(keyCode(key.keyCombination()));
    if (it == listKeys_.end()) return false;
    // A command not built yet is disabled, and so is its key; the key is still eaten.
    if (it->second->isEnabled()) it->second->trigger();
    return true;
}

}  // namespace lorvane
