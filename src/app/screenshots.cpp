#include "app/screenshots.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

#include "core/file_service.h"
#include "core/qt_text.h"

namespace lorvane {

namespace {

// A file name for the picture that still says which sample it shows.
QString pictureName(int number, const QString& prefix, const QString& sample) {
    QString tail;
    for (const QChar c : sample.left(40)) tail += c.isLetterOrNumber() ? c : QLatin1Char('_');
    return QStringLiteral("%1-%2%3%4.png")
        .arg(prefix)
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(tail.isEmpty() ? QString() : QStringLiteral("-"), tail);
}

bool save(QWidget* w, const QString& path) {
    QApplication::processEvents();
    const bool ok = w->grab().save(path);
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "unable to write", qPrintable(path));
    return ok;
}

}  // namespace

int RenderScreenshots(AppContext& ctx, const QString& outputFolder, const QString& sampleFolder) {
    if (!QDir().mkpath(outputFolder)) {
        std::fprintf(stderr, "lorvane-manager: unable to create the folder \"%s\"\n", qPrintable(outputFolder));
        return 1;
    }
    // The samples' names as the file system has them, so each is shown as its own file.
    FolderInfo samples;
    FileSystemService::Instance().GetFolder(PathFromQString(QDir(sampleFolder).absolutePath()), samples);
    bool ok = true;

    QWidget* editorWindow = ctx.windows.show(form::Editor);
    EditorForm* editor = ctx.windows.editor();
    if (editorWindow && editor) {
        editorWindow->resize(760, 360);
        ok = save(editorWindow, QDir(outputFolder).filePath(pictureName(0, QStringLiteral("editor"), {}))) && ok;
        int number = 1;
        for (const std::string& name : samples.Files) {
            bool viewerHandled = true;
            editor->InitializeFilename(samples.Path, name, viewerHandled);
            // Show where the problem is, as the user would with Locate Problem.
            if (auto* locate = editorWindow->findChild<QAction*>(QStringLiteral("mnuToolsLocate")))
                if (locate->isEnabled()) locate->trigger();
            ok = save(editorWindow, QDir(outputFolder).filePath(pictureName(number++, QStringLiteral("editor"), ToQString(name)))) && ok;
        }
    }
    ctx.settings.BrowserAutoLoadLastFolder = 0;
    if (QWidget* w = ctx.windows.show(form::Browser)) {
        w->resize(1320, 420);
        if (BrowserForm* browser = ctx.windows.browser()) browser->InitializeFolder(samples.Path);
        ok = save(w, QDir(outputFolder).filePath(pictureName(0, QStringLiteral("browser"), {}))) && ok;
    }
    if (QWidget* w = ctx.windows.show(form::Viewer))
        ok = save(w, QDir(outputFolder).filePath(pictureName(0, QStringLiteral("viewer"), {}))) && ok;
    return ok ? 0 : 1;
}

}  // namespace lorvane
