// Start-up: which windows open for each kind of start path and setting, and what
// they are given to load.
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "core/sample_folder.h"
#include "gui/start_up.h"
#include "support/qt_test_main.h"
#include "support/fake_windows.h"

namespace lorvane::testing {

using StartRun = FakeDesktop;  // a run of start-up with stand-in windows

class StartUpTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString file_, folder_, original_;

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        folder_ = dir_.filePath(QStringLiteral("My Photos"));
        QVERIFY(QDir().mkpath(folder_));
        file_ = folder_ + QStringLiteral("/{SU=Ann}.jpg");
        QFile f(file_);
        QVERIFY(f.open(QIODevice::WriteOnly));
        original_ = dir_.filePath(QStringLiteral("program/sample"));
        QVERIFY(QDir().mkpath(original_));
        for (const QString& name : {QStringLiteral("{SU=Ann}.jpg"), QStringLiteral("holiday photo.jpg")}) {
            QFile sample(original_ + QLatin1Char('/') + name);
            QVERIFY(sample.open(QIODevice::WriteOnly));
        }
    }

    void startPathIsTheFirstArgumentOnly() {
        QCOMPARE(StartPathFromArguments({"lorvane-manager"}), std::string());
        QCOMPARE(StartPathFromArguments({"prog", "/a b/c d.jpg", "x"}), std::string("/a b/c d.jpg"));
        // Relative to the working folder, and a trailing slash does not stay.
        QCOMPARE(StartPathFromArguments({"prog", "./pics//"}), QDir::current().absolutePath().toStdString() + "/pics");
        // The argument's bytes, not their decoding: U+FFFD would name another file.
        QCOMPARE(StartPathFromArguments({"prog", "/a/\xfe.jpg"}), std::string("/a/\xfe.jpg"));
        // ".." after a link to a folder is the parent of the link's target, as the kernel has it.
        const QString target = dir_.filePath(QStringLiteral("elsewhere/target"));
        QVERIFY(QDir().mkpath(target));
        QVERIFY(QFile::link(target, folder_ + QStringLiteral("/link")));
        QCOMPARE(StartPathFromArguments({"prog", (folder_ + QStringLiteral("/link/..")).toStdString()}),
                 QDir(dir_.filePath(QStringLiteral("elsewhere"))).canonicalPath().toStdString());
        QCOMPARE(StartPathFromArguments({"prog", (folder_ + QStringLiteral("/link/")).toStdString()}),
                 (folder_ + QStringLiteral("/link")).toStdString());
    }

    void windowsPerStartPath_data() {
        QTest::addColumn<QString>("path");  // "file", "folder", "missing" or empty
        QTest::addColumn<int>("openBrowser");
        QTest::addColumn<int>("openEditor");
        QTest::addColumn<int>("openViewer");
        QTest::addColumn<QString>("visible");
        QTest::addRow("file, browser auto") << "file" << 0 << 0 << 0 << "frmEditor";
        QTest::addRow("file, browser yes, viewer") << "file" << 1 << 0 << 1 << "frmBrowser frmEditor frmViewer";
        QTest::addRow("folder, editor auto") << "folder" << 0 << 0 << 0 << "frmBrowser";
        QTest::addRow("folder, editor yes") << "folder" << 0 << 1 << 0 << "frmBrowser frmEditor";
        QTest::addRow("nothing, only browser") << "" << 0 << 0 << 0 << "frmBrowser";
        QTest::addRow("nothing, editor yes") << "" << 1 << 1 << 1 << "frmBrowser frmEditor frmViewer";
        QTest::addRow("missing path as nothing") << "missing" << 0 << 0 << 0 << "frmBrowser";
    }

    void windowsPerStartPath() {
        QFETCH(QString, path);
        QFETCH(int, openBrowser);
        QFETCH(int, openEditor);
        QFETCH(int, openViewer);
        QFETCH(QString, visible);
        StartRun run;
        run.ctx.settings.StartupOpenBrowser = openBrowser;
        run.ctx.settings.StartupOpenEditor = openEditor;
        run.ctx.settings.StartupOpenViewer = openViewer;
        run.ctx.settings.BrowserAutoLoadLastFolder = 1;
        const QString start = path == "file"      ? file_
                              : path == "folder"  ? folder_
                              : path == "missing" ? dir_.filePath(QStringLiteral("nothing here"))
                                                  : QString();
        OpenStartWindows(run.ctx, start.toStdString());

        QCOMPARE(run.visible(), visible);
        QCOMPARE(run.log.editorFiles,
                 path == "file" ? QStringList{folder_ + QStringLiteral("|{SU=Ann}.jpg")} : QStringList{});
        QCOMPARE(run.log.browserFolders, path == "folder" ? QStringList{folder_} : QStringList{});
        // The Browser loads its last folder only when start-up names nothing.
        if (run.ctx.windows.loaded(form::Browser))
            QCOMPARE(run.log.browserAutoLoad, QList<int>{path == "file" || path == "folder" ? 0 : 1});
        QCOMPARE(run.ctx.settings.BrowserAutoLoadLastFolder, 1);
        // The check marks follow what is shown.
        if (run.ctx.windows.IsFormVisible(form::Editor)) {
            QCOMPARE(run.checked(form::Editor, "mnuBrowser"), run.ctx.windows.IsFormVisible(form::Browser));
            QCOMPARE(run.checked(form::Editor, "mnuViewer"), run.ctx.windows.IsFormVisible(form::Viewer));
        }
        if (run.ctx.windows.IsFormVisible(form::Browser))
            QCOMPARE(run.checked(form::Browser, "mnuEditor"), run.ctx.windows.IsFormVisible(form::Editor));
    }

    // Nothing named: the Browser's folder is its own, or else the user's copy of the
    // sample names, made when missing (whole or not at all) and kept as the user left it.
    void theBrowserStartsInTheUsersCopyOfTheSamples_data() {
        QTest::addColumn<bool>("folderNamed");
        QTest::addColumn<QString>("saved");       // the Browser's saved folder: "copy", "elsewhere" or none
        QTest::addColumn<QStringList>("before");  // the copy's files before start-up; none: no copy
        QTest::addColumn<int>("refusedCopy");     // the file copy the file system refuses; 0 none
        QTest::addColumn<QStringList>("after");   // none: no copy
        const QStringList samples = {"holiday photo.jpg", "{SU=Ann}.jpg"};
        QTest::addRow("first start copies") << false << "" << QStringList() << 0 << samples;
        QTest::addRow("a copy is kept as it is")
            << false << "" << QStringList{"renamed.jpg"} << 0 << QStringList{"renamed.jpg"};
        QTest::addRow("a copy gone since is made again") << false << "copy" << QStringList() << 0 << samples;
        QTest::addRow("a failed copy leaves none") << false << "" << QStringList() << 2 << QStringList();
        QTest::addRow("another saved folder: no copy") << false << "elsewhere" << QStringList() << 0 << QStringList();
        QTest::addRow("a folder named: no copy") << true << "" << QStringList() << 0 << QStringList();
    }
    void theBrowserStartsInTheUsersCopyOfTheSamples() {
        QFETCH(bool, folderNamed);
        QFETCH(QString, saved);
        QFETCH(QStringList, before);
        QFETCH(int, refusedCopy);
        QFETCH(QStringList, after);
        QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        const QString copy = data.path() + QStringLiteral("/lorvane/sample");
        for (const QString& name : before) {
            QVERIFY(QDir().mkpath(copy));
            QFile f(copy + QLatin1Char('/') + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        StartRun run;
        run.ctx.sampleCopy = UserSampleFolder();
        run.ctx.sampleOriginal = original_;
        run.files.failChangeAt = refusedCopy;
        if (!saved.isEmpty()) run.store.write("Browser", "InputPath", (saved == "copy" ? copy : folder_).toStdString());
        OpenStartWindows(run.ctx, folderNamed ? folder_.toStdString() : std::string());
        qunsetenv("XDG_DATA_HOME");

        QCOMPARE(run.ctx.sampleFolder(), copy);  // the Browser's folder unless it has its own
        QCOMPARE(QDir(copy).entryList(QDir::Files), after);
        // Nothing half made beside it.
        const auto entries = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(data.path() + QStringLiteral("/lorvane")).entryList(entries),
                 after.isEmpty() ? QStringList() : QStringList{"sample"});
        QCOMPARE(run.ui.messages.size(), std::size_t(refusedCopy ? 1 : 0));
        if (refusedCopy)
            QVERIFY(run.ui.messages[0].text.startsWith(
                QStringLiteral("Unable to copy the sample folder \"%1\" to \"%2\"").arg(original_, copy)));
        QCOMPARE(QDir(original_).entryList(QDir::Files).size(), 2);
    }

    // First start: no saved place, and the windows come up side by side, each fully
    // on the screen, instead of on top of each other in one corner.
    void firstStartLaysTheWindowsOutSideBySide_data() {
        QTest::addColumn<QSize>("editor");
        QTest::addColumn<QSize>("browser");
        QTest::addRow("room for both") << QSize(300, 200) << QSize(400, 300);
        QTest::addRow("wider than the screen together") << QSize(700, 360) << QSize(800, 480);
        QTest::addRow("taller than the screen") << QSize(300, 5000) << QSize(300, 200);
    }
    void firstStartLaysTheWindowsOutSideBySide() {
        QFETCH(QSize, editor);
        QFETCH(QSize, browser);
        StartRun run;
        run.ctx.settings.StartupOpenEditor = 1;
        run.ctx.windows.window(form::Editor)->resize(editor);
        run.ctx.windows.window(form::Browser)->resize(browser);
        OpenStartWindows(run.ctx, folder_.toStdString());
        QWidget* e = run.ctx.windows.loaded(form::Editor);
        QWidget* b = run.ctx.windows.loaded(form::Browser);
        QVERIFY(e->isVisible() && b->isVisible());
        const QRect room = e->screen()->availableGeometry();
        QVERIFY2(room.contains(e->frameGeometry()), "the Editor is off the screen");
        QVERIFY2(room.contains(b->frameGeometry()), "the Browser is off the screen");
        QVERIFY2(!e->frameGeometry().intersects(b->frameGeometry()), "the windows overlap");
        QVERIFY(e->x() < b->x());  // the Editor on the left
    }

    void aSavedPlaceIsLeftAlone() {
        StartRun run;
        run.ctx.settings.StartupOpenEditor = 1;
        run.store.write("Browser", "WindowLeft", "1500");
        run.store.write("Browser", "WindowTop", "1500");
        QWidget* b = run.ctx.windows.window(form::Browser);
        b->move(100, 100);  // where the window's own restore put it
        OpenStartWindows(run.ctx, {});
        QCOMPARE(b->pos(), QPoint(100, 100));
    }

    void withoutBrowserTheEditorOpens() {
        StartRun run(false, false);
        run.ctx.settings.StartupOpenEditor = 0;
        run.ctx.settings.StartupOpenViewer = 1;
        OpenStartWindows(run.ctx, {});
        QCOMPARE(run.visible(), QStringLiteral("frmEditor"));
        QVERIFY(!run.ctx.windows.isAvailable(form::Browser));
        QCOMPARE(run.ctx.windows.show(form::Browser), nullptr);
    }

    void displayIsRequired() {
        const QByteArray saved[] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("QT_QPA_PLATFORM");
        const bool none = HasDisplay();
        qputenv("DISPLAY", ":1");
        const bool x = HasDisplay();
        qputenv("DISPLAY", saved[0]);
        qputenv("WAYLAND_DISPLAY", saved[1]);
        qputenv("QT_QPA_PLATFORM", saved[2]);
        QVERIFY(!none);
        QVERIFY(x);
    }
};

LORVANE_QTEST(StartUpTest);

}  // namespace lorvane::testing

#include "start_up_test.moc"
