#include "browser/browser_snapshot.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTreeView>

#include <map>

#include "browser/browser_window.h"
#include "core/qt_text.h"

namespace lorvane {

namespace {

class ScratchStore final : public SettingsStore {
public:
    std::optional<std::string> read(std::string_view section, std::string_view key) const override {
        const auto it = values_.find({std::string(section), std::string(key)});
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void write(std::string_view section, std::string_view key, std::string_view value) override {
        values_[{std::string(section), std::string(key)}] = std::string(value);
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace

QStringList RenderBrowserSnapshots(const QString& folder, const QString& outputFolder) {
    QStringList written;
    if (!QDir().mkpath(outputFolder)) return written;
    GlobalSettings settings;
    settings.BrowserAutoLoadLastFolder = 0;
    settings.RestoreWindowSizePosition = 0;
    ScratchStore store;
    BrowserWindow browser(settings, store);
    browser.resize(1320, 430);  // wide enough for every column at its designed width
    browser.show();
    QApplication::processEvents();
    browser.InitializeFolder(PathFromQString(QDir(folder).absolutePath()));

    auto save = [&](const char* name) {
        QApplication::processEvents();
        const QString path = QDir(outputFolder).filePath(QString::fromLatin1(name));
        if (browser.grab().save(path)) written << path;
    };
    const struct {
        int mode;
        const char* file;
    } views[] = {{list_view::Details, "browser-details.png"},
                 {list_view::LargeIcons, "browser-large-icons.png"},
                 {list_view::SmallIcons, "browser-small-icons.png"},
                 {list_view::List, "browser-list.png"}};
    for (const auto& v : views) {
        browser.SetListView(v.mode);
        save(v.file);
    }
    // Details again, sorted by status, the Warn rows selected and counted.
    browser.SetListView(list_view::Details);
    browser.SetIndicateSelected(true);
    browser.ColumnClicked(1);
    browser.SelectByStatus("Warn");
    browser.ReportView()->setFocus();
    save("browser-selected.png");
    return written;
}

}  // namespace lorvane
