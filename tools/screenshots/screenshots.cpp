// lorvane-screenshots OUTPUT [SAMPLES]: renders the windows on the names in SAMPLES
// (default: the sample folder) to PNG files in OUTPUT: the Editor on each name
// with its problem located, the Browser in each of its views, frmChangeDate,
// frmChangeSequence, frmAddContent, frmRemoveContent, frmSelect on both tabs,
// the progress dialog, frmOptions on each tab, frmAbout, the Viewer on a sample
// picture, and the Browser with the Editor and the Viewer beside it following its
// selection. Runs on the offscreen platform when there is no display, with the
// default settings in memory: the user's settings are neither read nor changed.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>

#include <cstdio>

#include "app/register_windows.h"
#include "browser/browser_window.h"
#include "core/files/file_service.h"
#include "core/qt_text.h"
#include "core/sample_folder.h"
#include "dialogs/add_content_dialog.h"
#include "dialogs/change_date_dialog.h"
#include "dialogs/change_sequence_dialog.h"
#include "dialogs/remove_content_dialog.h"
#include "dialogs/select_dialog.h"
#include "gui/app_context.h"
#include "gui/progress_dialog.h"
#include "gui/qt_user_interface.h"
#include "gui/start_up.h"
#include "support/memory_settings_store.h"

namespace {

using namespace lorvane;

// A file name for the picture that still says which sample it shows.
QString pictureName(int number, const QString& prefix, const QString& sample) {
    QString tail;
    for (const QChar c : sample.left(40)) tail += c.isLetterOrNumber() ? c : QLatin1Char('_');
    return QStringLiteral("%1-%2%3%4.png")
        .arg(prefix)
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(tail.isEmpty() ? QString() : QStringLiteral("-"), tail);
}

class Renderer {
public:
    explicit Renderer(QString output) : output_(std::move(output)) {}

    void save(QWidget* w, const QString& file) {
        QApplication::processEvents();
        save(w->grab(), file);
    }
    void save(const QPixmap& picture, const QString& file) {
        const QString path = QDir(output_).filePath(file);
        const bool saved = picture.save(path);
        std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "unable to write", qPrintable(path));
        ok_ = ok_ && saved;
    }
    bool ok() const { return ok_; }

private:
    QString output_;
    bool ok_ = true;
};

void renderEditor(AppContext& ctx, const FolderInfo& samples, Renderer& out) {
    QWidget* window = ctx.windows.show(form::Editor);
    EditorForm* editor = ctx.windows.editor();
    if (!window || !editor) return;
    window->resize(760, 360);
    out.save(window, pictureName(0, QStringLiteral("editor"), {}));
    int number = 1;
    for (const std::string& name : samples.Files) {
        bool viewerHandled = true;
        editor->InitializeFilename(samples.Path, name, viewerHandled);
        // Show where the problem is, as the user would with Locate Problem.
        if (auto* locate = window->findChild<QAction*>(QStringLiteral("mnuToolsLocate")))
            if (locate->isEnabled()) locate->trigger();
        out.save(window, pictureName(number++, QStringLiteral("editor"), ToQString(name)));
    }
    window->hide();
}

// The Viewer on the first sample that is a picture, in a wide and a tall window,
// so that the fitting shows both ways.
void renderViewer(AppContext& ctx, const FolderInfo& samples, Renderer& out) {
    QWidget* window = ctx.windows.show(form::Viewer);
    ViewerForm* viewer = ctx.windows.viewer();
    if (!window || !viewer) return;
    for (const std::string& name : samples.Files) {
        viewer->ShowPicture(JoinPath(samples.Path, name));
        if (viewer->PicturePath().empty()) continue;
        window->resize(480, 300);
        out.save(window, QStringLiteral("viewer-wide.png"));
        window->resize(300, 420);
        out.save(window, QStringLiteral("viewer-tall.png"));
        break;
    }
    viewer->ShowPicture({});
    window->hide();
}

// The three windows of a session side by side: the Browser on the samples, the
// Editor and the Viewer on its selected row.
void renderDesktop(AppContext& ctx, const FolderInfo& samples, Renderer& out) {
    auto* browser = dynamic_cast<BrowserWindow*>(ctx.windows.show(form::Browser));
    QWidget* editor = ctx.windows.show(form::Editor);
    QWidget* viewer = ctx.windows.show(form::Viewer);
    if (!browser || !editor || !viewer) return;
    browser->resize(900, 360);
    editor->resize(620, 360);
    viewer->resize(420, 360);
    browser->InitializeFolder(samples.Path);
    browser->SelectOnlyRow(3);
    browser->EditFile();
    browser->ViewFile();
    QApplication::processEvents();
    QPixmap all(browser->width() + editor->width() + viewer->width() + 16, 360);
    all.fill(Qt::darkGray);
    QPainter p(&all);
    int x = 0;
    for (QWidget* w : {static_cast<QWidget*>(browser), editor, viewer}) {
        p.drawPixmap(x, 0, w->grab());
        x += w->width() + 8;
    }
    p.end();
    out.save(all, QStringLiteral("desktop.png"));
    for (QWidget* w : {static_cast<QWidget*>(browser), editor, viewer}) w->hide();
}

void renderBrowser(AppContext& ctx, const FolderInfo& samples, Renderer& out) {
    auto* browser = dynamic_cast<BrowserWindow*>(ctx.windows.show(form::Browser));
    if (!browser) return;
    browser->resize(1320, 430);  // wide enough for every column at its designed width
    browser->InitializeFolder(samples.Path);
    const struct {
        int mode;
        const char* file;
    } views[] = {{list_view::Details, "browser-details.png"},
                 {list_view::LargeIcons, "browser-large-icons.png"},
                 {list_view::SmallIcons, "browser-small-icons.png"},
                 {list_view::List, "browser-list.png"}};
    for (const auto& v : views) {
        browser->SetListView(v.mode);
        out.save(browser, QString::fromLatin1(v.file));
    }
    // Details again, sorted by status, the Warn rows selected and counted.
    browser->SetListView(list_view::Details);
    browser->SetIndicateSelected(true);
    browser->ColumnClicked(1);
    browser->SelectByStatus("Warn");
    browser->ReportView()->setFocus();
    out.save(browser, QStringLiteral("browser-selected.png"));

    // The batch dialogs as a run shows them.
    ChangeDateDialog dates(ctx.ui, QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)), browser);
    dates.show();
    out.save(&dates, QStringLiteral("dialog-change-dates.png"));
    dates.ChooseOption(4);
    out.save(&dates, QStringLiteral("dialog-change-dates-shift.png"));
    dates.hide();
    ChangeSequenceDialog sequence(ctx.ui, browser);
    sequence.show();
    out.save(&sequence, QStringLiteral("dialog-change-sequence.png"));
    sequence.ChooseOption(3);
    out.save(&sequence, QStringLiteral("dialog-change-sequence-shift.png"));
    sequence.hide();
    AddContentDialog add(ctx.ui, browser);
    add.show();
    out.save(&add, QStringLiteral("dialog-add-content.png"));
    add.findChild<QRadioButton*>(QStringLiteral("optContext2"))->click();
    out.save(&add, QStringLiteral("dialog-add-content-sub-attribute.png"));
    add.hide();
    RemoveContentDialog remove(browser);
    remove.show();
    out.save(&remove, QStringLiteral("dialog-remove-content.png"));
    remove.hide();
    // frmSelect on each tab, the attribute tab with a criterion in each frame.
    SelectDialog select(browser);
    select.show();
    out.save(&select, QStringLiteral("dialog-select-by-filename.png"));
    select.ShowTab(2);
    select.ChooseLabel(4);
    select.ChooseContext(3);
    out.save(&select, QStringLiteral("dialog-select-by-attribute.png"));
    select.hide();
    ProgressDialog& progress = *browser->Progress();
    progress.Prepare(QStringLiteral("Changing Dates..."), QStringLiteral("Stop"));
    progress.SetRange(0, 100000);
    progress.SetValue(41250);
    progress.SetMessage(QStringLiteral("41,250 of 100,000"));
    progress.show();
    out.save(&progress, QStringLiteral("dialog-progress.png"));
    progress.hide();
}

// frmOptions on each of its tabs, named after the tab.
void renderOptions(AppContext& ctx, Renderer& out) {
    QWidget* options = ctx.windows.show(form::Options);
    auto* tabs = options ? options->findChild<QTabWidget*>(QStringLiteral("TabStrip1")) : nullptr;
    if (!tabs) return;
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QString name = tabs->tabText(tab).toLower();
        name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('.'), QString());
        out.save(options, QStringLiteral("dialog-options-%1.png").arg(name));
    }
    options->hide();
}

// frmAbout as Help/About shows it (here without its modality, to be drawn).
void renderAbout(AppContext& ctx, Renderer& out) {
    QWidget* about = ctx.windows.window(form::About);
    if (!about) return;
    about->show();
    out.save(about, QStringLiteral("dialog-about.png"));
    about->hide();
}

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lorvane-manager"));
    if (argc < 2) {
        std::fputs("usage: lorvane-screenshots OUTPUT_FOLDER [SAMPLE_FOLDER]\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "lorvane-screenshots: unable to create the folder \"%s\"\n", qPrintable(output));
        return 1;
    }
    QtUserInterface ui;
    MemorySettingsStore store;
    const QString programFolder = QCoreApplication::applicationDirPath();
    AppContext ctx(store, ui, FileSystemService::Instance(), programFolder);
    ctx.settings.BrowserAutoLoadLastFolder = 0;
    ctx.settings.RestoreWindowSizePosition = 0;
    RegisterWindows(ctx);

    // The samples' names as the file system has them, so each is shown as its own file.
    const QString sampleFolder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : FindSampleFolder(programFolder);
    FolderInfo samples;
    FileSystemService::Instance().GetFolder(PathFromQString(QDir(sampleFolder).absolutePath()), samples);

    Renderer out(output);
    renderEditor(ctx, samples, out);
    renderBrowser(ctx, samples, out);
    renderViewer(ctx, samples, out);
    renderDesktop(ctx, samples, out);
    renderOptions(ctx, out);
    renderAbout(ctx, out);
    ctx.windows.destroyAll();
    return out.ok() ? 0 : 1;
}
