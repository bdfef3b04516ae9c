// Start-up: which windows open for each kind of start path and setting, and what
// they are given to load.
#include <QDir>
#include <QFile>
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
        original_ = dir_.filePath(QStringLiteral("program/sample"));
        QVERIFY(QDir().mkpath(folder_) && QDir().mkpath(original_));
        file_ = folder_ + QStringLiteral("/{SU=Ann}.jpg");
        for (const QString& path : {file_, original_ + "/{SU=Ann}.jpg", original_ + "/holiday photo.jpg"})
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    }

    // The first argument only, as its bytes (U+FFFD would name another file), cleaned as
    // every path is and relative to the working folder.
    void startPathIsTheFirstArgumentOnly() {
        QCOMPARE(StartPathFromArguments({"lorvane-manager"}), std::string());
        QCOMPARE(StartPathFromArguments({"prog", "/a b/\xfe.jpg", "x"}), std::string("/a b/\xfe.jpg"));
        QCOMPARE(StartPathFromArguments({"prog", "./pics//"}), QDir::current().absolutePath().toStdString() + "/pics");
    }

    void windowsPerStartPath() {
        const QString missing = dir_.filePath(QStringLiteral("nothing here"));
        for (auto [path, browser, editor, viewer, visible] : {std::tuple{file_, 0, 0, 0, "frmEditor"},
                                                              {file_, 1, 0, 1, "frmBrowser frmEditor frmViewer"},
                                                              {folder_, 0, 0, 0, "frmBrowser"},
                                                              {folder_, 0, 1, 0, "frmBrowser frmEditor"},
                                                              {QString(), 0, 0, 0, "frmBrowser"},
                                                              {QString(), 1, 1, 1, "frmBrowser frmEditor frmViewer"},
                                                              {missing, 0, 0, 0, "frmBrowser"}}) {
            StartRun run;
            run.ctx.settings.StartupOpenBrowser = browser;
            run.ctx.settings.StartupOpenEditor = editor;
            run.ctx.settings.StartupOpenViewer = viewer;
            run.ctx.settings.BrowserAutoLoadLastFolder = 1;
            OpenStartWindows(run.ctx, path.toStdString());
            QCOMPARE(run.visible(), QLatin1String(visible));
            QCOMPARE(run.log.editorFiles,
                     path == file_ ? QStringList{folder_ + QStringLiteral("|{SU=Ann}.jpg")} : QStringList{});
            QCOMPARE(run.log.browserFolders, path == folder_ ? QStringList{folder_} : QStringList{});
            // The Browser loads its last folder only when start-up names nothing.
            if (run.ctx.windows.loaded(form::Browser))
                QCOMPARE(run.log.browserAutoLoad, QList<int>{path == file_ || path == folder_ ? 0 : 1});
            QCOMPARE(run.ctx.settings.BrowserAutoLoadLastFolder, 1);
            // The check marks follow what is shown.
            const bool e = run.ctx.windows.IsFormVisible(form::Editor),
                       b = run.ctx.windows.IsFormVisible(form::Browser);
            if (e) QVERIFY(run.checked(form::Editor, "mnuBrowser") == b &&
                           run.checked(form::Editor, "mnuViewer") == run.ctx.windows.IsFormVisible(form::Viewer));
            if (b) QCOMPARE(run.checked(form::Browser, "mnuEditor"), e);
        }
    }

    // Nothing named: the Browser's folder is its own, or else the user's copy of the
    // sample names, made when missing (whole or not at all) and kept as the user left it.
    void theBrowserStartsInTheUsersCopyOfTheSamples() {
        const QStringList samples = {"holiday photo.jpg", "{SU=Ann}.jpg"}, none;
        const struct {
            bool folderNamed;
            const char* saved;  // the Browser's saved folder: "copy", "elsewhere" or none
            QStringList before;  // the copy's files before start-up; none: no copy
            int refusedCopy;     // the file copy the file system refuses; 0 none
            QStringList after;   // none: no copy
        } rows[] = {
            {false, "", none, 0, samples}, {false, "", {"renamed.jpg"}, 0, {"renamed.jpg"}},  // a copy is kept as it is
            {false, "copy", none, 0, samples}, {false, "", none, 2, none},  // made again; a failed copy leaves none
            {false, "elsewhere", none, 0, none}, {true, "", none, 0, none},
        };
        for (const auto& r : rows) {
            QTemporaryDir data;
            qputenv("XDG_DATA_HOME", data.path().toUtf8());
            const QString copy = data.path() + QStringLiteral("/lorvane/sample");
            for (const QString& name : r.before) {
                QVERIFY(QDir().mkpath(copy));
                QVERIFY(QFile(copy + QLatin1Char('/') + name).open(QIODevice::WriteOnly));
            }
            StartRun run;
            run.ctx.sampleCopy = UserSampleFolder();
            run.ctx.sampleOriginal = original_;
            run.files.failChangeAt = r.refusedCopy;
            if (*r.saved) run.store.write("Browser", "InputPath", (*r.saved == 'c' ? copy : folder_).toStdString());
            OpenStartWindows(run.ctx, r.folderNamed ? folder_.toStdString() : std::string());
            qunsetenv("XDG_DATA_HOME");
            QCOMPARE(run.ctx.sampleFolder(), copy);  // the Browser's folder unless it has its own
            QCOMPARE(QDir(copy).entryList(QDir::Files), r.after);
            // Nothing half made beside it.
            QCOMPARE(QDir(data.path() + QStringLiteral("/lorvane"))
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     r.after.isEmpty() ? QStringList() : QStringList{"sample"});
            QCOMPARE(run.ui.messages.size(), std::size_t(r.refusedCopy ? 1 : 0));
            if (r.refusedCopy)
                QVERIFY(run.ui.messages[0].text.startsWith(
                    QStringLiteral("Unable to copy the sample folder \"%1\" to \"%2\"").arg(original_, copy)));
            QCOMPARE(QDir(original_).entryList(QDir::Files).size(), 2);
        }
    }
};

LORVANE_QTEST(StartUpTest);

}  // namespace lorvane::testing

#include "start_up_test.moc"
