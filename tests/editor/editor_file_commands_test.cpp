// The Editor's File menu and the Editor following the Browser, driven as a user
// drives them, on a temporary folder shown in the real Browser.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

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
    // The path of the file the Editor holds.
    QString held() const { return QString::fromStdString(editor->folder() + '/' + editor->fileName()); }
    QString lastMessage() const { return ui.messages.empty() ? QString() : ui.messages.back().text; }
};

}  // namespace

class EditorFileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    // Save never replaces another file, and a refused rename says why; a save renames the
    // file to the tree's name (not the text as typed) and its row follows.
    void saveRenamesTheFileWithoutReplacingAndTheBrowserRowFollows() {
        Desktop d;
        d.type(kBen);
        QVERIFY(!d.editor->FileSave());
        QCOMPARE(d.lastMessage(), QStringLiteral("Unable to save filename due to the following error: File exists."));
        QVERIFY(d.ui.messages.back().title == QStringLiteral("Save Filename") &&
                d.ui.messages.back().icon == MessageIcon::Exclamation);
        QCOMPARE(d.content(kAnn) + d.content(kBen) + d.content(kCy), kAnn + kBen + kCy);
        QVERIFY(!d.editor->isClean() && d.held() == d.path(kAnn));
        QCOMPARE(d.rows(), (QStringList{kAnn, kBen, kCy}));
        d.ui.messages.clear();
        d.type(QStringLiteral("{SU = Dee}.JPG"));
        QVERIFY(d.editor->FileSave());
        const QString saved = QStringLiteral("{SU=Dee}.jpg");
        QCOMPARE(d.pane(), saved);
        QCOMPARE(d.filesOnDisk(), (QStringList{kBen, kCy, saved}));
        QCOMPARE(d.content(saved), kAnn);
        QCOMPARE(d.rows(), (QStringList{saved, kBen, kCy}));
        QCOMPARE(d.browser->Model().row(0).Key, d.path(saved).toStdString());
        QVERIFY(d.editor->isClean() && d.held() == d.path(saved) && d.editor->dialogFileName() == d.path(saved));
        QVERIFY(d.ui.messages.empty());
    }

    // A name that fails, or would leave the folder, is refused and located; one that
    // warns is saved when the user says so.
    void saveChecksTheNameFirst() {
        for (auto [name, answer] : {std::pair{"{SU=A:nn}.jpg", MessageAnswer::Ok},
                                    {"{SU=a/b}.jpg", MessageAnswer::Ok},
                                    {"{SU}{PL=Harbour}.jpg", MessageAnswer::No},
                                    {"{SU}{PL=Harbour}.jpg", MessageAnswer::Yes}}) {
            Desktop d;
            d.type(QString::fromUtf8(name));
            d.ui.answers = {answer};
            d.command("mnuFileSave");
            QCOMPARE(d.ui.messages.size(), std::size_t{1});
            const ShownMessage& m = d.ui.messages[0];
            QCOMPARE(m.title, QStringLiteral("Save Filename"));
            if (answer == MessageAnswer::Ok) {
                QVERIFY(m.text.startsWith(
                    QStringLiteral("The current filename cannot be saved due to the following problem: ")));
                QVERIFY(m.text.endsWith(QLatin1Char('.')) && m.icon == MessageIcon::Stop);
                QVERIFY(d.editor->findChild<QLineEdit*>(QStringLiteral("Filename"))->hasSelectedText());
            } else {
                QCOMPARE(m.text, QStringLiteral("There are one or more problems with the current filename.\n\n"
                                                "Would you like to save anyway?"));
                QCOMPARE(m.buttons, MessageButtons::YesNo);
            }
            const bool renamed = answer == MessageAnswer::Yes;
            QCOMPARE(d.content(QString::fromUtf8(name)) + d.content(kAnn), renamed ? kAnn + "-" : "-" + kAnn);
            QCOMPARE(d.editor->isClean(), renamed);
        }
    }

    // The file went away: Save asks for the file that receives the name; only an
    // existing file is taken.
    void saveAfterTheFileWentAway() {
        for (const QString& chosen : {QString(), kCy, QStringLiteral("nothing.jpg")}) {
            Desktop d;
            d.type(QStringLiteral("{SU=Dee}.jpg"));
            QVERIFY(QFile::remove(d.path(kAnn)));  // renamed or deleted outside the program
            if (!chosen.isEmpty()) d.ui.chosenPaths = {d.path(chosen)};
            QCOMPARE(d.editor->FileSave(), chosen == kCy);
            QCOMPARE(d.ui.messages[0].text,
                     QStringLiteral("The file \"{SU=Ann}.jpg\" has been moved, renamed, or deleted.\n\n"
                                    "Please select a new file onto which the Filename can be saved..."));
            QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Save Filename Onto")});
            QCOMPARE(d.filesOnDisk(), (QStringList{kBen, chosen == kCy ? QStringLiteral("{SU=Dee}.jpg") : kCy}));
            if (chosen == kCy) QCOMPARE(d.content(QStringLiteral("{SU=Dee}.jpg")), kCy);
            else if (!chosen.isEmpty())
                QCOMPARE(
                    d.lastMessage(),
                    QStringLiteral("Filename cannot be saved because you selected an invalid file. Please try again."));
        }
    }

    void newOffersTheSampleName() {
        for (auto [start, label, end, sample] :
             {std::tuple{"{", "=", "}", "{DT=2024-05-17 @14-30-05}{CO=This is a sample filename}.jpg"},
              {"[", "+", "]", "[DT+2024-05-17 @14-30-05][CO+This is a sample filename].jpg"}}) {
            Desktop d;
            d.ctx.settings.Parse2xDelimiterStart = start;
            d.ctx.settings.Parse2xDelimiterLabel = label;
            d.ctx.settings.Parse2xDelimiterEnd = end;
            d.command("mnuFileNew");  // a clean file: no question, a new empty name
            QVERIFY(d.ui.messages.empty());
            QCOMPARE(d.held(), d.folder() + '/');
            QCOMPARE(d.editor->findChild<QLabel*>(QStringLiteral("StatusText"))->text(), QStringLiteral("Ready"));
            d.ui.answers = {MessageAnswer::No};
            d.command("mnuFileNew");
            QCOMPARE(d.lastMessage(), QStringLiteral("You are already working with a new filename.\n\n"
                                                     "Would you like a sample filename to get started with?"));
            QCOMPARE(d.ui.messages.back().title, QStringLiteral("New Filename"));
            QCOMPARE(d.pane(), QString());
            d.ui.answers = {MessageAnswer::Yes};
            d.command("mnuFileNew");
            QCOMPARE(d.pane(), QLatin1String(sample));
            QCOMPARE(d.editor->statusPicture(), StatusPicture::Good);  // it reads back as typed
            QVERIFY(!d.editor->isClean());
            // Saving a name with no file behind it asks straight, without a box, for the file that receives it.
            d.ui.chosenPaths = {d.path(kBen)};
            QVERIFY(d.editor->FileSave() && d.ui.messages.size() == 2);
            QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Save Filename Onto")});
            QCOMPARE(d.content(d.pane()) + " " + d.rows().join(' '), kBen + " " + kAnn + " " + d.pane() + " " + kCy);
        }
    }

    void openThroughTheDialog() {
        Desktop d;
        QVERIFY(QDir(d.folder()).mkdir(QStringLiteral("more")));
        d.write(QStringLiteral("more/{PL=Lake}.png"), QStringLiteral("lake"));
        d.ui.chosenPaths = {d.path(QStringLiteral("more/{PL=Lake}.png"))};
        d.command("mnuFileOpen");
        QCOMPARE(d.ui.dialogs, QStringList{QStringLiteral("Open Filename")});
        QCOMPARE(d.held(), d.path(QStringLiteral("more/{PL=Lake}.png")));
        QCOMPARE(d.store.read("Editor", "InputPath").value_or(""), d.path(QStringLiteral("more")).toStdString());
        d.ui.chosenPaths = {d.path(QStringLiteral("gone.jpg"))};
        d.command("mnuFileOpen");
        QCOMPARE(d.lastMessage(), QStringLiteral("CommonDialog returned invalid file despite cdlOFNFileMustExist"));
        QCOMPARE(d.ui.messages.back().title, QStringLiteral("Open Filename"));
        d.command("mnuFileOpen");  // cancelled
        QCOMPARE(d.ui.messages.size(), std::size_t{1});
        QCOMPARE(d.held(), d.path(QStringLiteral("more/{PL=Lake}.png")));
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
        d.browser->SelectOnlyRow(0);
        d.browser->EditFile();
        QCOMPARE(d.held(), d.path(kCy));
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
        QCOMPARE(d.held(), d.path(kBen));
        QCOMPARE(d.browser->SelectedRows(), std::vector<int>{1});
        d.browser->hide();
        d.command("mnuFileNext");
        QCOMPARE(d.held(), d.path(kBen));
        QCOMPARE(d.ui.beeps, 2);
    }

    // A name that is not UTF-8 shows as U+FFFD, like the look-alike beside it, and started
    // on it the Editor holds its bytes; saved as shown nothing moves, and a new name renames
    // it, the look-alike untouched, the Browser's row following.
    void namesThatAreNotUtf8KeepTheirFile() {
        Desktop d({}, false);
        const std::string folder = d.folder().toStdString();
        // Names that parse, so that the pane's text can be saved as it stands.
        const std::string raw = "{SU=\xfe}.jpg", lookAlike = "{SU=\xef\xbf\xbd}.jpg";
        for (const std::string& name : {raw, lookAlike}) writeBytes(folder + '/' + name, name);
        auto contents = [&] {
            return readBytes(folder + '/' + raw) + "|" + readBytes(folder + "/{SU=Raw}.jpg") + "|" +
                   readBytes(folder + '/' + lookAlike);
        };
        d.ctx.settings.StartupOpenBrowser = 1;
        OpenStartWindows(d.ctx, StartPathFromArguments({"lorvane-manager", folder + '/' + raw}));
        d.editor = static_cast<EditorWindow*>(d.ctx.windows.loaded(form::Editor));
        d.browser = static_cast<BrowserWindow*>(d.ctx.windows.loaded(form::Browser));
        QVERIFY(d.editor && d.browser && d.editor->fileName() == raw);
        d.browser->InitializeFolder(folder);  // the Editor follows the first row, the look-alike
        const int rawRow = d.browser->Model().findKey(folder + '/' + raw);
        d.browser->SelectOnlyRow(rawRow);
        d.browser->EditFile();
        QCOMPARE(d.editor->fileName(), raw);
        QVERIFY(d.editor->FileSave());
        QCOMPARE(contents(), raw + "|-|" + lookAlike);
        d.type(QStringLiteral("{SU=Raw}.jpg"));
        QVERIFY(d.editor->FileSave() && d.ui.messages.empty());
        QCOMPARE(contents(), "-|" + raw + "|" + lookAlike);
        QCOMPARE(d.browser->Model().row(rawRow).Key, folder + "/{SU=Raw}.jpg");
        QCOMPARE(d.editor->fileName(), std::string("{SU=Raw}.jpg"));
        std::remove((folder + '/' + lookAlike).c_str());
    }

    // Cancel keeps the edit (also for New and Open), No drops it, Yes saves it.
    void leavingAnEditedNameAsksFirst() {
        for (auto [answer, editing, third] : {std::tuple{MessageAnswer::Cancel, kAnn, kAnn},
                                              {MessageAnswer::No, kBen, kAnn},
                                              {MessageAnswer::Yes, kBen, QStringLiteral("{SU=Dee}.jpg")}}) {
            Desktop d;
            d.type(QStringLiteral("{SU=Dee}.jpg"));
            d.ui.answers = {answer};
            d.command("mnuFileNext");
            QCOMPARE(d.ui.messages.size(), std::size_t{1});
            QCOMPARE(d.ui.messages[0].text,
                     QStringLiteral("Do you want to save the changes you made to the filename in the Editor?"));
            QCOMPARE(d.held(), d.path(editing));
            QStringList onDisk{third, kBen, kCy};
            onDisk.sort();
            QCOMPARE(d.filesOnDisk(), onDisk);
            if (answer != MessageAnswer::Cancel) continue;
            QCOMPARE(d.pane(), QStringLiteral("{SU=Dee}.jpg"));
            QVERIFY(!d.editor->isClean());
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
