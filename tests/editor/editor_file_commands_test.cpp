// The Editor's File menu and the Editor following the Browser, driven as a user
// drives them, on a temporary folder shown in the real Browser.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <cstring>

#include "app/register_windows.h"
#include "browser/browser_window.h"
#include "gui/start_up.h"
#include "editor/editor_fixture.h"
#include "support/qt_test_main.h"
#include "support/raw_files.h"

namespace lorvane::testing {

namespace {

using namespace std::chrono;

const QString kAnn = QStringLiteral("{SU=Ann}.jpg");
const QString kBen = QStringLiteral("{SU=Ben}.jpg");
const QString kCy = QStringLiteral("{SU=Cy}.jpg");

// The Editor and the Browser of one run, on a folder whose files hold their own
// first names as content, so that a test can tell which file went where.
struct Desktop {
    QTemporaryDir dir;
    MemorySettingsStore store;
    ScriptedUserInterface ui;
    FakeFileSystem files;
    AppContext ctx{store, ui, files, QStringLiteral("/opt/lorvane")};
    EditorWindow* editor = nullptr;
    BrowserWindow* browser = nullptr;

    // load false: the windows are registered but not opened.
    explicit Desktop(const QStringList& names = {kAnn, kBen, kCy}, bool load = true) {
        for (const QString& name : names) write(name, name);
        // Names read as typed: no translation or reordering.
        ctx.settings.SemanticsAttributeEnable = 0;
        ctx.settings.SemanticsValueEnable = 0;
        ctx.settings.BrowserAutoLoadLastFolder = 0;
        RegisterWindows(ctx);  // joined as the program joins them
        if (!load) return;
        editor = static_cast<EditorWindow*>(ctx.windows.show(form::Editor));
        editor->SetClock([] { return sys_days{2024y / May / 17} + 14h + 30min + 5s; });
        browser = static_cast<BrowserWindow*>(ctx.windows.show(form::Browser));
        browser->InitializeFolder(folder().toStdString());
    }
    ~Desktop() { ctx.windows.destroyAll(); }

    QString folder() const { return QDir(dir.path()).absolutePath(); }
    QString path(const QString& name) const { return folder() + QLatin1Char('/') + name; }
    void write(const QString& name, const QString& content) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content.toUtf8());
    }
    // The file's content, or "-" when there is no such file.
    QString content(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("-");
    }
    QStringList filesOnDisk() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    QStringList rows() const {
        QStringList r;
        for (const FileRow& row : browser->Model().rows()) r << QString::fromStdString(row.Text);
        return r;
    }
    QString pane() const { return editor->findChild<QLineEdit*>(QStringLiteral("Filename"))->text(); }
    void type(const QString& text) {
        auto* pane = editor->findChild<QLineEdit*>(QStringLiteral("Filename"));
        pane->selectAll();
        pane->setFocus();
        QTest::keyClicks(pane, text);
    }
    void command(const char* name) { editor->findChild<QAction*>(QLatin1String(name))->trigger(); }
    QString lastMessage() const { return ui.messages.empty() ? QString() : ui.messages.back().text; }
    // A click on a row of the Browser's list, as the mouse does it.
    void click(int row) {
        QTreeView* list = browser->ReportView();
        const QRect r = list->visualRect(browser->Model().index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        QCoreApplication::processEvents();  // the Browser follows after the release
    }
};

}  // namespace

class EditorFileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void startedOnAFolderTheEditorFollowsTheBrowser() {
        Desktop d({kAnn, kBen}, false);
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(d.folder());
        // As a shell passes "sample/".
        OpenStartWindows(d.ctx, StartPathFromArguments({"lorvane-manager", "./"}));
        QDir::setCurrent(cwd);
        d.editor = static_cast<EditorWindow*>(d.ctx.windows.loaded(form::Editor));
        d.browser = static_cast<BrowserWindow*>(d.ctx.windows.loaded(form::Browser));
        QVERIFY(d.editor && d.browser && d.editor->isVisible() && d.browser->isVisible());
        QCOMPARE(QString::fromStdString(d.browser->InputPath()), d.folder());
        QCOMPARE(d.rows(), (QStringList{kAnn, kBen}));
        QCOMPARE(QString::fromStdString(d.editor->folder()), d.folder());
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kAnn);
        d.click(1);
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kBen);
    }

    void saveRenamesTheFileAndTheBrowserRowFollows() {
        Desktop d;
        d.type(QStringLiteral("{SU = Dee}.JPG"));
        QVERIFY(!d.editor->isClean());
        QVERIFY(d.editor->FileSave());
        // The tree's name is what is saved, not the text as typed.
        const QString saved = QStringLiteral("{SU=Dee}.jpg");
        QCOMPARE(d.pane(), saved);
        QCOMPARE(d.filesOnDisk(), (QStringList{kBen, kCy, saved}));
        QCOMPARE(d.content(saved), kAnn);
        QCOMPARE(d.rows(), (QStringList{saved, kBen, kCy}));
        QCOMPARE(d.browser->Model().row(0).Key, d.path(saved).toStdString());
        QVERIFY(d.editor->isClean());
        QCOMPARE(QString::fromStdString(d.editor->fileName()), saved);
        QCOMPARE(d.editor->dialogFileName(), d.path(saved));
        QCOMPARE(d.ui.messages.size(), std::size_t{0});
    }

    void saveNeverReplacesAnotherFile() {
        Desktop d;
        d.type(kBen);
        QVERIFY(!d.editor->FileSave());
        QCOMPARE(d.lastMessage(), QStringLiteral("Unable to save filename due to the following error: File exists."));
        QCOMPARE(d.ui.messages.back().title, QStringLiteral("Save Filename"));
        QCOMPARE(d.ui.messages.back().icon, MessageIcon::Exclamation);
        QCOMPARE(d.content(kAnn), kAnn);
        QCOMPARE(d.content(kBen), kBen);
        QCOMPARE(d.rows(), (QStringList{kAnn, kBen, kCy}));
        QVERIFY(!d.editor->isClean());
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kAnn);
        QCOMPARE(d.pane(), kBen);
        // A rename the file system refuses: the same box with its reason, nothing moved.
        d.files.failChangeAt = d.files.changes + 1;
        d.type(QStringLiteral("{SU=Dee}.jpg"));
        QVERIFY(!d.editor->FileSave());
        QCOMPARE(d.lastMessage(),
                 QStringLiteral("Unable to save filename due to the following error: %1.").arg(strerror(EACCES)));
        QCOMPARE(d.filesOnDisk(), (QStringList{kAnn, kBen, kCy}));
    }

    void saveChecksTheNameFirst_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");  // to the Warn question; -1 when none is asked
        QTest::addColumn<bool>("renamed");
        QTest::addRow("fail") << "{SU=A:nn}.jpg" << -1 << false;
        QTest::addRow("a slash would leave the folder") << "{SU=a/b}.jpg" << -1 << false;
        QTest::addRow("warn, no") << "{SU}{PL=Harbour}.jpg" << int(MessageAnswer::No) << false;
        QTest::addRow("warn, yes") << "{SU}{PL=Harbour}.jpg" << int(MessageAnswer::Yes) << true;
    }
    void saveChecksTheNameFirst() {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(bool, renamed);
        Desktop d;
        d.type(name);
        if (answer >= 0) d.ui.answers = {MessageAnswer(answer)};
        d.command("mnuFileSave");
        QCOMPARE(d.ui.messages.size(), std::size_t{1});
        const ShownMessage& m = d.ui.messages[0];
        QCOMPARE(m.title, QStringLiteral("Save Filename"));
        if (answer < 0) {
            QVERIFY(m.text.startsWith(
                QStringLiteral("The current filename cannot be saved due to the following problem: ")));
            QVERIFY(m.text.endsWith(QLatin1Char('.')));
            QCOMPARE(m.icon, MessageIcon::Stop);
            // The problem is located in the pane.
            QVERIFY(d.editor->findChild<QLineEdit*>(QStringLiteral("Filename"))->hasSelectedText());
        } else {
            QCOMPARE(m.text, QStringLiteral("There are one or more problems with the current filename.\n\n"
                                            "Would you like to save anyway?"));
            QCOMPARE(m.buttons, MessageButtons::YesNo);
        }
        QCOMPARE(d.content(name), renamed ? kAnn : QStringLiteral("-"));
        QCOMPARE(d.content(kAnn), renamed ? QStringLiteral("-") : kAnn);
        QCOMPARE(d.editor->isClean(), renamed);
    }

    void saveAfterTheFileWentAway_data() {
        QTest::addColumn<QString>("chosen");  // empty: the dialog is cancelled
        QTest::addColumn<QString>("onDisk");
        QTest::addRow("cancelled") << "" << QStringList{kBen, kCy}.join(QLatin1Char(','));
        QTest::addRow("onto another file")
            << kCy << QStringList{kBen, QStringLiteral("{SU=Dee}.jpg")}.join(QLatin1Char(','));
        QTest::addRow("onto a missing file") << "nothing.jpg" << QStringList{kBen, kCy}.join(QLatin1Char(','));
    }
    void saveAfterTheFileWentAway() {
        QFETCH(QString, chosen);
        QFETCH(QString, onDisk);
        Desktop d;
        d.type(QStringLiteral("{SU=Dee}.jpg"));
        QVERIFY(QFile::remove(d.path(kAnn)));  // renamed or deleted outside the program
        if (!chosen.isEmpty()) d.ui.chosenPaths = {d.path(chosen)};
        const bool saved = d.editor->FileSave();
        QCOMPARE(d.ui.messages[0].text,
                 QStringLiteral("The file \"{SU=Ann}.jpg\" has been moved, renamed, or deleted.\n\n"
                                "Please select a new file onto which the Filename can be saved..."));
        QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Save Filename Onto")});
        QCOMPARE(d.filesOnDisk().join(QLatin1Char(',')), onDisk);
        QCOMPARE(saved, chosen == kCy);
        if (chosen == kCy) {
            QCOMPARE(d.content(QStringLiteral("{SU=Dee}.jpg")), kCy);
            QCOMPARE(d.rows(), (QStringList{kAnn, kBen, QStringLiteral("{SU=Dee}.jpg")}));
        } else if (!chosen.isEmpty()) {
            QCOMPARE(
                d.lastMessage(),
                QStringLiteral("Filename cannot be saved because you selected an invalid file. Please try again."));
        }
    }

    void newOffersTheSampleName_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("sample");
        QTest::addRow("defaults") << "{" << "=" << "}" << "{DT=2024-05-17 @14-30-05}{CO=This is a sample filename}.jpg";
        QTest::addRow("own delimiters")
            << "[" << "+" << "]" << "[DT+2024-05-17 @14-30-05][CO+This is a sample filename].jpg";
    }
    void newOffersTheSampleName() {
        QFETCH(QString, start);
        QFETCH(QString, label);
        QFETCH(QString, end);
        QFETCH(QString, sample);
        Desktop d;
        d.ctx.settings.Parse2xDelimiterStart = start.toStdString();
        d.ctx.settings.Parse2xDelimiterLabel = label.toStdString();
        d.ctx.settings.Parse2xDelimiterEnd = end.toStdString();
        d.command("mnuFileNew");  // a clean file: no question, a new empty name
        QCOMPARE(d.ui.messages.size(), std::size_t{0});
        QCOMPARE(QString::fromStdString(d.editor->fileName()), QString());
        QCOMPARE(QString::fromStdString(d.editor->folder()), d.folder());
        QCOMPARE(d.editor->findChild<QLabel*>(QStringLiteral("StatusText"))->text(), QStringLiteral("Ready"));

        d.ui.answers = {MessageAnswer::No};
        d.command("mnuFileNew");
        QCOMPARE(d.lastMessage(), QStringLiteral("You are already working with a new filename.\n\n"
                                                 "Would you like a sample filename to get started with?"));
        QCOMPARE(d.ui.messages.back().title, QStringLiteral("New Filename"));
        QCOMPARE(d.pane(), QString());

        d.ui.answers = {MessageAnswer::Yes};
        d.command("mnuFileNew");
        QCOMPARE(d.pane(), sample);
        QCOMPARE(d.editor->statusPicture(), StatusPicture::Good);  // it reads back as typed
        QVERIFY(!d.editor->isClean());
        QCOMPARE(QString::fromStdString(d.editor->fileName()), QString());

        // Saving a name with no file behind it asks straight for the file that receives it.
        d.ui.chosenPaths = {d.path(kBen)};
        QVERIFY(d.editor->FileSave());
        QCOMPARE(d.ui.messages.size(), std::size_t{2});
        QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Save Filename Onto")});
        const QString saved = d.pane();  // built with the build-side delimiters
        if (start == QStringLiteral("{")) QCOMPARE(saved, sample);
        QCOMPARE(d.content(saved), kBen);
        QCOMPARE(d.rows(), (QStringList{kAnn, saved, kCy}));
    }

    void openThroughTheDialog() {
        Desktop d;
        QVERIFY(QDir(d.folder()).mkdir(QStringLiteral("more")));
        d.write(QStringLiteral("more/{PL=Lake}.png"), QStringLiteral("lake"));
        d.ui.chosenPaths = {d.path(QStringLiteral("more/{PL=Lake}.png"))};
        d.command("mnuFileOpen");
        QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Open Filename")});
        QCOMPARE(QString::fromStdString(d.editor->fileName()), QStringLiteral("{PL=Lake}.png"));
        QCOMPARE(QString::fromStdString(d.editor->folder()), d.path(QStringLiteral("more")));
        QCOMPARE(d.store.read("Editor", "InputPath").value_or(""), d.path(QStringLiteral("more")).toStdString());

        d.ui.chosenPaths = {d.path(QStringLiteral("gone.jpg"))};
        d.command("mnuFileOpen");
        QCOMPARE(d.lastMessage(), QStringLiteral("CommonDialog returned invalid file despite cdlOFNFileMustExist"));
        QCOMPARE(d.ui.messages.back().title, QStringLiteral("Open Filename"));
        QCOMPARE(QString::fromStdString(d.editor->fileName()), QStringLiteral("{PL=Lake}.png"));

        d.command("mnuFileOpen");  // cancelled
        QCOMPARE(d.ui.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(d.editor->fileName()), QStringLiteral("{PL=Lake}.png"));
    }

    void revert() {
        Desktop d;
        d.type(QStringLiteral("{SU=Dee}.jpg"));
        d.ui.answers = {MessageAnswer::No};
        d.command("mnuFileRevert");
        QCOMPARE(d.lastMessage(), QStringLiteral("Are you sure you want to lose the changes you made and revert to "
                                                 "the last saved version?"));
        QCOMPARE(d.ui.messages.back().buttons, MessageButtons::YesNoDefaultNo);
        QCOMPARE(d.pane(), QStringLiteral("{SU=Dee}.jpg"));
        d.ui.answers = {MessageAnswer::Yes};
        d.command("mnuFileRevert");
        QCOMPARE(d.pane(), kAnn);
        QVERIFY(d.editor->isClean());
        d.command("mnuFileRevert");  // clean: no question
        QCOMPARE(d.ui.messages.size(), std::size_t{2});

        d.command("mnuFileNew");
        d.command("mnuFileRevert");
        QCOMPARE(d.lastMessage(),
                 QStringLiteral("Revert is only possible when working with a filename opened from disk."));
        QCOMPARE(d.ui.messages.back().icon, MessageIcon::Information);
    }

    void previousAndNextWalkTheListAsShown() {
        Desktop d;
        d.browser->ColumnClicked(0);
        d.browser->ColumnClicked(0);  // by name, descending: Cy, Ben, Ann
        QCOMPARE(d.rows(), (QStringList{kCy, kBen, kAnn}));
        d.browser->SelectOnlyRow(0);
        d.browser->EditFile();
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kCy);

        d.command("mnuFilePrevious");  // the first row
        QCOMPARE(d.ui.beeps, 1);
        QStringList walked;
        for (int i = 0; i < 3; ++i) {
            d.command("mnuFileNext");
            walked << QString::fromStdString(d.editor->fileName());
        }
        QCOMPARE(walked, (QStringList{kBen, kAnn, kAnn}));
        QCOMPARE(d.ui.beeps, 2);  // stopped at the last row
        QCOMPARE(d.browser->SelectedRows(), std::vector<int>{2});
        d.command("mnuFilePrevious");
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kBen);
        QCOMPARE(d.browser->SelectedRows(), std::vector<int>{1});

        d.browser->hide();
        d.command("mnuFileNext");
        QCOMPARE(QString::fromStdString(d.editor->fileName()), kBen);
        QCOMPARE(d.ui.beeps, 2);
    }

    // A name that is not UTF-8 shows as U+FFFD, like the look-alike beside it; Save,
    // Revert, Previous/Next and the start path still name the file it came from.
    void namesThatAreNotUtf8KeepTheirFile() {
        Desktop d({}, false);
        const std::string folder = d.folder().toStdString();
        // Names that parse, so that the pane's text can be saved as it stands.
        const std::string raw = "{SU=\xfe}.jpg", lookAlike = "{SU=\xef\xbf\xbd}.jpg";
        for (const std::string& name : {raw, lookAlike}) writeBytes(folder + '/' + name, name);
        auto contentOf = [&](const std::string& name) { return readBytes(folder + '/' + name); };

        // Started on the raw file, as a shell passes its bytes.
        d.ctx.settings.StartupOpenBrowser = 1;
        OpenStartWindows(d.ctx, StartPathFromArguments({"lorvane-manager", folder + '/' + raw}));
        d.editor = static_cast<EditorWindow*>(d.ctx.windows.loaded(form::Editor));
        d.browser = static_cast<BrowserWindow*>(d.ctx.windows.loaded(form::Browser));
        QVERIFY(d.editor && d.browser);
        QCOMPARE(d.editor->fileName(), raw);
        d.browser->InitializeFolder(folder);
        const int rawRow = d.browser->Model().findKey(folder + '/' + raw);
        const int otherRow = d.browser->Model().findKey(folder + '/' + lookAlike);
        QVERIFY(rawRow >= 0 && otherRow >= 0);

        // Previous and Next step between the two, each as itself.
        d.browser->SelectOnlyRow(otherRow);
        d.browser->EditFile();
        QCOMPARE(d.editor->fileName(), lookAlike);
        d.command(rawRow < otherRow ? "mnuFilePrevious" : "mnuFileNext");
        QCOMPARE(d.editor->fileName(), raw);
        QCOMPARE(d.editor->folder(), folder);

        // Saved as shown: nothing moves (the pane's text is not the name's bytes).
        QVERIFY(d.editor->FileSave());
        QCOMPARE(contentOf(raw), raw);
        QCOMPARE(contentOf(lookAlike), lookAlike);

        // Edited, reverted: the raw file again.
        d.type(QStringLiteral("x"));
        d.ui.answers = {MessageAnswer::Yes};
        d.command("mnuFileRevert");
        QCOMPARE(d.editor->fileName(), raw);

        // A new name, Save: the raw file is renamed, the look-alike untouched, and
        // the Browser's row for the raw file follows.
        d.type(QStringLiteral("{SU=Raw}.jpg"));
        QVERIFY(d.editor->FileSave());
        QCOMPARE(d.ui.messages.size(), std::size_t{1});  // Revert's question only
        QCOMPARE(contentOf(raw), std::string("-"));
        QCOMPARE(contentOf("{SU=Raw}.jpg"), raw);
        QCOMPARE(contentOf(lookAlike), lookAlike);
        QCOMPARE(d.browser->Model().row(rawRow).Key, folder + "/{SU=Raw}.jpg");
        QCOMPARE(d.browser->Model().row(otherRow).Key, folder + '/' + lookAlike);
        QCOMPARE(d.editor->fileName(), std::string("{SU=Raw}.jpg"));
        std::remove((folder + '/' + lookAlike).c_str());
    }

    void leavingAnEditedNameAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("editing");  // the file the Editor holds afterwards
        QTest::addColumn<QString>("onDisk");
        const QString untouched = QStringList{kAnn, kBen, kCy}.join(QLatin1Char(','));
        QTest::addRow("cancel keeps the edit") << int(MessageAnswer::Cancel) << kAnn << untouched;
        QTest::addRow("no drops it") << int(MessageAnswer::No) << kBen << untouched;
        QTest::addRow("yes saves it") << int(MessageAnswer::Yes) << kBen
                                      << QStringList{kBen, kCy, QStringLiteral("{SU=Dee}.jpg")}.join(QLatin1Char(','));
    }
    void leavingAnEditedNameAsksFirst() {
        QFETCH(int, answer);
        QFETCH(QString, editing);
        QFETCH(QString, onDisk);
        Desktop d;
        d.type(QStringLiteral("{SU=Dee}.jpg"));
        d.ui.answers = {MessageAnswer(answer)};
        d.command("mnuFileNext");
        QCOMPARE(d.ui.messages.size(), std::size_t{1});
        QCOMPARE(d.ui.messages[0].text,
                 QStringLiteral("Do you want to save the changes you made to the filename in the Editor?"));
        QCOMPARE(QString::fromStdString(d.editor->fileName()), editing);
        QCOMPARE(d.filesOnDisk().join(QLatin1Char(',')), onDisk);
        if (answer == int(MessageAnswer::Cancel)) {
            QCOMPARE(d.pane(), QStringLiteral("{SU=Dee}.jpg"));
            QVERIFY(!d.editor->isClean());
            // New and Open ask the same way, and Cancel keeps the edit there too.
            for (const char* command : {"mnuFileNew", "mnuFileOpen"}) {
                d.ui.answers = {MessageAnswer::Cancel};
                d.command(command);
                QCOMPARE(d.pane(), QStringLiteral("{SU=Dee}.jpg"));
            }
            QCOMPARE(d.ui.messages.size(), std::size_t{3});
            QVERIFY(d.ui.dialogs.isEmpty());
        }
    }
};

LORVANE_QTEST(EditorFileCommandsTest);

}  // namespace lorvane::testing

#include "editor_file_commands_test.moc"
