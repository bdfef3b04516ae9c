// Stand-ins for the main windows that keep the closing rules and record what
// start-up and their neighbours asked of them.
#pragma once

#include <QAction>
#include <QCloseEvent>
#include <QWidget>

#include "gui/app_context.h"

namespace lorvane::testing {

struct WindowLog {
    QStringList editorFiles;     // "folder|name" per InitializeFilename
    QStringList browserFolders;  // per InitializeFolder
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
    void ShowPicture(const std::string&) override {}
    void SaveSettings() override {}
};

}  // namespace lorvane::testing
