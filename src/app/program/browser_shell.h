// The Browser as the shell runs it: its host answers through the registry and the
// shared message boxes, and it takes the public methods the other windows call.
#pragma once

#include "app/app_context.h"
#include "browser/browser_host.h"
#include "browser/browser_window.h"

namespace lorvane {

class ShellBrowserHost final : public BrowserHost {
public:
    explicit ShellBrowserHost(AppContext& ctx) : ctx_(ctx) {}

    bool EditorVisible() override;
    std::string EditorFolder() override;
    std::string EditorFileName() override;
    bool EditorOkayToDiscard() override;
    void EditorInitializeFilename(const std::string& folder, const std::string& fileName) override;
    bool ViewerAvailable() override;
    bool OptionsAvailable() override;
    bool AboutAvailable() override;
    bool ViewerVisible() override;
    void ViewerShowPicture(const std::string& path) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& title, BrowserIcon icon) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& initialFolder) override;
    void ToggleEditor() override;
    void ToggleViewer() override;
    void ShowOptions() override;
    void ShowAbout() override;
    void Exit(QWidget* browser) override;
    UserInterface& Ui() override;
    void BatchRunning(bool running) override;
    void UpdateWindowMenus() override;
    void BrowserClosing(QWidget* browser) override;

private:
    EditorForm* loadedEditor() const;
    AppContext& ctx_;
};

class ShellBrowser final : public BrowserWindow, public BrowserForm {
public:
    ShellBrowser(AppContext& ctx, ShellBrowserHost& host) : BrowserWindow(ctx.settings, ctx.store, &host) {}

    void InitializeFolder(const std::string& folder) override { BrowserWindow::InitializeFolder(folder); }
    void UpdateItem(const std::string& oldPath, const std::string& newPath) override {
        BrowserWindow::UpdateItem(oldPath, newPath);
    }
    void SaveSettings() override { BrowserWindow::SaveSettings(); }
    int RowCount() const override { return Model().size(); }
    int SelectedRow() const override { return CurrentRow(); }
    void SelectOnlyRow(int row) override {
        SetCurrentRow(row);
        UpdateIndicators();
    }
    void EditFile() override { BrowserWindow::EditFile(); }
    void ViewFile() override { BrowserWindow::ViewFile(); }
};

}  // namespace lorvane
