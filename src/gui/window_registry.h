// Every window class exists at most once, is created on first use and is found by
// its class name (its objectName). The closing rules of the main windows live here
// so that each window only says "I am closing".
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>

#include "gui/form_interfaces.h"

namespace lorvane {

class WindowRegistry {
public:
    using Factory = std::function<QWidget*()>;

    // Makes a window class known. A class without a factory (not part of this
    // build) is never created: asking for it yields nothing.
    void registerWindow(const QString& className, Factory factory);
    bool isAvailable(const QString& className) const;

    // The loaded instance, or null; never creates.
    QWidget* loaded(const QString& className) const;
    // The instance, created (hidden) on first use; null when the class is unavailable.
    QWidget* window(const QString& className);
    // Shows the window (creating it first when needed) and brings it to the front.
    QWidget* show(const QString& className);

    EditorForm* editor() { return dynamic_cast<EditorForm*>(window(form::Editor)); }
    BrowserForm* browser() { return dynamic_cast<BrowserForm*>(window(form::Browser)); }
    ViewerForm* viewer() { return dynamic_cast<ViewerForm*>(window(form::Viewer)); }

    bool IsFormVisible(const QString& className) const;
    // Closes the window through its own close handling, which may refuse.
    void UnloadFormByName(const QString& className);
    void UpdateWindowMenus();
    // frmAbout, modal; nothing when this build has no About dialog.
    void ShowAbout();

    // The window menus: close the other window when it is visible, else show it.
    void ToggleWindow(const QString& className);

    // Called by a window from its close handling once it has agreed to close.
    // A main window (Editor or Browser) hides itself when the other main window
    // is visible; otherwise it takes the Viewer and the other main window with
    // it, which ends the program. Other windows just hide.
    void WindowClosing(QWidget* self);
    // File/Exit in a main window: close the Editor first (it may refuse); only when
    // it agreed, close the Viewer and the Browser.
    void Exit();

    // At program end: deletes every loaded window without its close handling.
    void destroyAll();

private:
    struct Entry {
        Factory factory;
        QPointer<QWidget> instance;
    };
    Entry* entry(const QString& className);
    const Entry* entry(const QString& className) const;
    void forget(QWidget* w);

    std::map<QString, Entry> entries_;
};

}  // namespace lorvane
