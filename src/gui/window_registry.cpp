#include "gui/window_registry.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>

namespace lorvane {

void WindowRegistry::registerWindow(const QString& className, Factory factory) {
    entries_[className].factory = std::move(factory);
}

bool WindowRegistry::isAvailable(const QString& className) const {
    const Entry* e = entry(className);
    return e && e->factory;
}

WindowRegistry::Entry* WindowRegistry::entry(const QString& className) {
    auto it = entries_.find(className);
    return it == entries_.end() ? nullptr : &it->second;
}

const WindowRegistry::Entry* WindowRegistry::entry(const QString& className) const {
    auto it = entries_.find(className);
    return it == entries_.end() ? nullptr : &it->second;
}

QWidget* WindowRegistry::loaded(const QString& className) const {
    const Entry* e = entry(className);
    return e ? e->instance.data() : nullptr;
}

QWidget* WindowRegistry::window(const QString& className) {
    Entry* e = entry(className);
    if (!e || !e->factory) return nullptr;
    if (!e->instance) {
        QWidget* w = e->factory();
        if (!w) return nullptr;
        w->setObjectName(className);
        e->instance = w;
    }
    return e->instance;
}

QWidget* WindowRegistry::show(const QString& className) {
    QWidget* w = window(className);
    if (!w) return nullptr;
    // A window already on screen is brought to the front; a new one comes up there anyway.
    const bool wasVisible = w->isVisible();
    w->show();
    if (wasVisible) {
        w->raise();
        w->activateWindow();
    }
    return w;
}

bool WindowRegistry::IsFormVisible(const QString& className) const {
    const QWidget* w = loaded(className);
    return w && w->isVisible();
}

void WindowRegistry::UnloadFormByName(const QString& className) {
    if (QWidget* w = loaded(className)) w->close();
}

void WindowRegistry::UpdateWindowMenus() {
    auto check = [](QWidget* w, const char* item, bool on) {
        if (auto* a = w->findChild<QAction*>(QLatin1String(item))) a->setChecked(on);
    };
    if (IsFormVisible(form::Browser)) {
        QWidget* b = loaded(form::Browser);
        check(b, "mnuEditor", IsFormVisible(form::Editor));
        check(b, "mnuViewer", IsFormVisible(form::Viewer));
    }
    if (IsFormVisible(form::Editor)) {
        QWidget* e = loaded(form::Editor);
        check(e, "mnuBrowser", IsFormVisible(form::Browser));
        check(e, "mnuViewer", IsFormVisible(form::Viewer));
    }
}

void WindowRegistry::ShowAbout() {
    QWidget* w = window(form::About);
    if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->exec();
    } else if (w) {
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
    }
}

void WindowRegistry::ToggleWindow(const QString& className) {
    if (IsFormVisible(className)) UnloadFormByName(className);
    else show(className);
    UpdateWindowMenus();
}

void WindowRegistry::forget(QWidget* w) {
    for (auto& [name, e] : entries_)
        if (e.instance == w) e.instance.clear();
}

void WindowRegistry::WindowClosing(QWidget* self) {
    const QString name = self->objectName();
    // Hidden and forgotten first, so that the windows asked below already see it as gone.
    forget(self);
    self->hide();
    if (name == form::Editor || name == form::Browser) {
        const QString other = name == form::Editor ? form::Browser : form::Editor;
        if (IsFormVisible(other)) {
            UpdateWindowMenus();
        } else {
            UnloadFormByName(form::Viewer);
            UnloadFormByName(other);
            // A hidden Editor that keeps its unsaved changes stays, and is shown again
            // so that the user can still save them.
            if (QWidget* kept = loaded(other)) {
                kept->show();
                UpdateWindowMenus();
            }
        }
    } else {
        UpdateWindowMenus();
    }
    self->deleteLater();
}

void WindowRegistry::destroyAll() {
    for (auto& [name, e] : entries_) delete e.instance.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WindowRegistry::Exit() {
    UnloadFormByName(form::Editor);
    if (IsFormVisible(form::Editor)) return;
    UnloadFormByName(form::Viewer);
    UnloadFormByName(form::Browser);
}

}  // namespace lorvane
