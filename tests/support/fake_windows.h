// Stand-ins for the main windows that keep the closing rules and record what
// start-up and their neighbours asked of them.
#pragma once

#include <QAction>
#include <QCloseEvent>
#include <QWidget>

#include <string>
#include <vector>

#include "gui/app_context.h"
#include "support/fake_file_system.h"
#include "support/memory_settings_store.h"
#include "support/scripted_ui.h"

namespace lorvane::testing {

struct WindowLog {
    QStringList editorFiles;     // "folder|name" per InitializeFilename
    QStringList browserFolders;  // per InitializeFolder
    std::vector<std::string> viewerFiles;  // per ShowPicture, the path's bytes
    QList<int> browserAutoLoad;  // BrowserAutoLoadLastFolder as each Browser saw it at creation
    int created = 0;
};

class FakeWindow : public QWidget {
public:
    FakeWindow(AppContext& ctx, WindowLog& log, std::initializer_list<const char*> menuItems) : ctx_(ctx), log_(log) {
        ++log.created;
        for (const char* name : menuItems) {
            auto* a = new QAction(this);
            a->setObjectName(QLatin1String(name));
            a->setCheckable(true);
        }
    }
    bool refuseClose = false;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (refuseClose) {
            e->ignore();
            return;
        }
        e->accept();
        ctx_.windows.WindowClosing(this);
    }
    AppContext& ctx_;
    WindowLog& log_;
};

// Also the Editor as the Browser meets it: the file it holds (raw bytes, which
// need not be UTF-8), how often it was asked to discard, and how often a batch
// run took its input away.
class FakeEditor final : public FakeWindow, public EditorForm {
public:
    FakeEditor(AppContext& ctx, WindowLog& log) : FakeWindow(ctx, log, {"mnuBrowser", "mnuViewer"}) {}
    std::string folder, name;
    int discardAsks = 0;
    int disabledTimes = 0;

    void InitializeFilename(const std::string& f, const std::string& n, bool&) override {
        log_.editorFiles << QString::fromStdString(f + '|' + n);
        folder = f;
        name = n;
    }
    bool OkayToDiscard() override {
        ++discardAsks;
        return !refuseClose;
    }
    std::string CurrentFolder() const override { return folder; }
    std::string CurrentFileName() const override { return name; }
    void FileRenamed(const std::string& oldPath, const std::string& newPath) override {
        if (JoinPath(folder, name) != oldPath) return;
        folder = newPath.substr(0, newPath.rfind('/'));
        name = newPath.substr(newPath.rfind('/') + 1);
    }
    void UpdateStatus() override {}
    void SaveSettings() override {}

protected:
    void changeEvent(QEvent* e) override {
        if (e->type() == QEvent::EnabledChange && !isEnabled()) ++disabledTimes;
        QWidget::changeEvent(e);
    }
};

class FakeBrowser final : public FakeWindow, public BrowserForm {
public:
    FakeBrowser(AppContext& ctx, WindowLog& log) : FakeWindow(ctx, log, {"mnuEditor", "mnuViewer"}) {
        log.browserAutoLoad << ctx.settings.BrowserAutoLoadLastFolder;
    }
    void InitializeFolder(const std::string& folder) override { log_.browserFolders << QString::fromStdString(folder); }
    void UpdateItem(const std::string&, const std::string&) override {}
    void SaveSettings() override {}
};

class FakeViewer final : public FakeWindow, public ViewerForm {
public:
    FakeViewer(AppContext& ctx, WindowLog& log) : FakeWindow(ctx, log, {}) {}
    void ShowPicture(const std::string& path) override {
        log_.viewerFiles.push_back(path);
        shown = path;
    }
    std::string PicturePath() const override { return shown; }
    std::string shown;
    void SaveSettings() override {}
};

// A context with the stand-ins registered; the Browser and the Viewer can be left
// out, as a build can leave them out.
struct FakeDesktop {
    MemorySettingsStore store;
    ScriptedUserInterface ui;
    FakeFileSystem files;
    AppContext ctx{store, ui, files, QStringLiteral("/opt/lorvane")};
    WindowLog log;
    WindowRegistry& w = ctx.windows;

    explicit FakeDesktop(bool withBrowser = true, bool withViewer = true) {
        w.registerWindow(form::Editor, [this] { return new FakeEditor(ctx, log); });
        if (withBrowser) w.registerWindow(form::Browser, [this] { return new FakeBrowser(ctx, log); });
        if (withViewer) w.registerWindow(form::Viewer, [this] { return new FakeViewer(ctx, log); });
    }
    ~FakeDesktop() {
        for (const QString& name : {form::Editor, form::Browser, form::Viewer}) delete w.loaded(name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The windows loaded, or visible, by name in one line.
    QString loaded() const { return names([this](const QString& n) { return w.loaded(n) != nullptr; }); }
    QString visible() const { return names([this](const QString& n) { return w.IsFormVisible(n); }); }
    bool checked(const QString& window, const char* item) const {
        auto* a = w.loaded(window)->findChild<QAction*>(QLatin1String(item));
        return a && a->isChecked();
    }

private:
    template <typename Pred>
    QString names(Pred keep) const {
        QStringList v;
        for (const QString& name : {form::Browser, form::Editor, form::Viewer})
            if (keep(name)) v << name;
        return v.join(QLatin1Char(' '));
    }
};

}  // namespace lorvane::testing
