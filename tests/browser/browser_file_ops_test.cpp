// The Browser's file commands on temporary folders: Delete (to a trash of the
// test's own), Copy, Move and Create Shortcuts with their questions, failures in
// the middle of a run and what becomes of the rows; Remove from List, Open, Edit
// Filename by their keys.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <cstring>

#include "browser/browser_window.h"
#include "support/fake_windows.h"

using namespace lorvane;

class BrowserFileOpsTest : public QObject {
    Q_OBJECT

    MemorySettingsStore store_;
    testing::FakeFileSystem files_;
    testing::ScriptedUserInterface ui_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString src_, dst_;
    testing::WindowLog log_;
    testing::FakeEditor* editor_ = nullptr;
    QPointer<BrowserWindow> browser_;

    // The Browser on a, b and c of src, all selected, shown when a key is pressed.
    BrowserWindow& open(bool shown = false) {
        browser_ = new BrowserWindow(*ctx_);
        browser_->InitializeFolder(src_.toStdString());
        browser_->SelectAll();
        if (shown) browser_->show(), (void)QTest::qWaitForWindowExposed(browser_);
        return *browser_;
    }
    // "s/a.jpg d/b.jpg": the rows' files, in src or dst.
    QString rows() const {
        QStringList keys;
        for (const FileRow& r : browser_->Model().rows()) keys << QString::fromStdString(r.Key);
        return keys.join(' ').replace(src_, QStringLiteral("s")).replace(dst_, QStringLiteral("d"));
    }
    static QString names(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name).join(' ');
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        const QString root = QDir(dir_->path()).canonicalPath();
        src_ = root + QStringLiteral("/src");
        dst_ = root + QStringLiteral("/dst");
        QVERIFY(QDir().mkpath(src_) && QDir().mkpath(dst_));
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
            QFile f(src_ + '/' + n);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(n) > 0);
        }
        qputenv("XDG_STATE_HOME", (root + QStringLiteral("/state")).toUtf8());
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
        ui_ = testing::ScriptedUserInterface();
        files_ = testing::FakeFileSystem();
        ctx_ = std::make_unique<AppContext>(store_, ui_, files_, QCoreApplication::applicationDirPath());
        ctx_->settings.BrowserAutoLoadLastFolder = 0;
        ctx_->settings.RestoreWindowSizePosition = 0;
        ctx_->windows.registerWindow(form::Editor, [this] { return editor_ = new testing::FakeEditor(*ctx_, log_); });
    }
    void cleanup() {
        delete browser_.data();
        ctx_->windows.destroyAll();
        ctx_.reset();
        qunsetenv("XDG_STATE_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    // Three selected files, the second failing: OK goes on to the third, Cancel leaves
    // it; each success does its command's thing to the file and the row.
    void secondFileFailsWithOkOrCancel() {
        constexpr auto Ok = MessageAnswer::Ok, Cancel = MessageAnswer::Cancel;
        const struct {
            const char* action;
            MessageAnswer answer;
            const char *src, *to, *rows;  // after; to: dst, or the trash on Delete; rows "": as they were
        } cases[] = {
            {"mnuFileDelete", Ok, "b.jpg", "a.jpg c.jpg", "s/b.jpg"},
            {"mnuFileDelete", Cancel, "b.jpg c.jpg", "a.jpg", "s/b.jpg s/c.jpg"},
            {"mnuFileCopy", Ok, "a.jpg b.jpg c.jpg", "a.jpg c.jpg", ""},
            {"mnuFileCopy", Cancel, "a.jpg b.jpg c.jpg", "a.jpg", ""},
            {"mnuFileMove", Ok, "b.jpg", "a.jpg c.jpg", "d/a.jpg s/b.jpg d/c.jpg"},
            {"mnuFileMove", Cancel, "b.jpg c.jpg", "a.jpg", "d/a.jpg s/b.jpg s/c.jpg"},
            {"mnuCreateShortcut", Ok, "a.jpg b.jpg c.jpg", "a.jpg.lnk c.jpg.lnk", ""},
            {"mnuCreateShortcut", Cancel, "a.jpg b.jpg c.jpg", "a.jpg.lnk", ""},
        };
        for (const auto& c : cases) {
            cleanup();
            init();
            BrowserWindow& b = open();
            const QByteArray action = c.action;
            const bool asks = action == "mnuFileDelete" || action == "mnuFileCopy";
            ui_.answers = {MessageAnswer::Yes, c.answer};
            if (!asks) ui_.answers.pop_front();
            ui_.chosenPaths = {dst_};
            files_.failChangeAt = 2;
            b.Action(c.action)->trigger();
            const QString to = action == "mnuFileDelete" ? src_ + QStringLiteral("/../data/Trash/files") : dst_;
            QCOMPARE(names(src_) + '|' + names(to) + '|' + rows(),
                     QStringLiteral("%1|%2|%3").arg(c.src, c.to, *c.rows ? c.rows : "s/a.jpg s/b.jpg s/c.jpg"));
            QCOMPARE(ui_.messages.size(), std::size_t(asks ? 2 : 1));  // no closing report
            const testing::ShownMessage& box = ui_.messages.back();
            QCOMPARE(box.title, QStringLiteral("Problem"));
            QCOMPARE(box.buttons, MessageButtons::OkCancel);
            QVERIFY2(box.text.contains(QStringLiteral("\"%1/b.jpg\" due to the following error: %2.\r\n\r\nClick OK")
                                           .arg(src_, QString::fromUtf8(std::strerror(files_.failErrno)))),
                     qPrintable(box.text));
            if (to == dst_) QCOMPARE(b.OutputPath(), dst_.toStdString());
            if (action == "mnuCreateShortcut")
                QCOMPARE(QFileInfo(dst_ + QStringLiteral("/a.jpg.lnk")).symLinkTarget(),
                         src_ + QStringLiteral("/a.jpg"));
            QVERIFY(b.isEnabled());
            QCOMPARE(b.LoadedPanelText(), QString::fromStdString(FormatLoadedPanel(rows().count(' ') + 1)));
        }
    }

    // The questions and the destination chooser's title by the number of rows; No to
    // the question or a cancelled chooser does nothing.
    void questionsAndTitles() {
        const struct {
            const char* action;
            int rows;
            const char *question, *destination;  // "": none
        } cases[] = {
            {"mnuFileDelete", 1, "Confirm File Delete|Are you sure you want to delete \"b.jpg\"?", ""},
            {"mnuFileCopy", 3, "Confirm Multiple File Copy|Are you sure you want to copy these 3 files?",
             "Copy 3 files to Folder"},
            {"mnuFileMove", 1, "", "Move file to Folder"},
            {"mnuCreateShortcut", 3, "", "Create 3 shortcuts in Folder"},
        };
        for (const auto& c : cases) {
            ui_ = testing::ScriptedUserInterface();
            BrowserWindow& b = open();
            if (c.rows == 1) b.SetCurrentRow(1);
            ui_.answers = {MessageAnswer::No};
            b.Action(c.action)->trigger();
            QString asked;
            for (const auto& m : ui_.messages) asked += m.title + '|' + m.text;
            QCOMPARE(asked, QString::fromUtf8(c.question));
            if (*c.question) {
                QCOMPARE(ui_.messages[0].buttons, MessageButtons::YesNo);
                QVERIFY(ui_.dialogs.isEmpty());  // No ends the command before the chooser
                ui_.answers = {MessageAnswer::Yes};
                if (*c.destination) b.Action(c.action)->trigger();
            }
            QCOMPARE(ui_.dialogs.join('|'), QString::fromLatin1(c.destination));
            QCOMPARE(names(src_) + '|' + names(dst_), QStringLiteral("a.jpg b.jpg c.jpg|"));
            delete browser_.data();
        }
    }

    // Del takes the selected rows off the list without a question and touches no file;
    // Shift+Enter hands the current row's file to the desktop, or says it is gone;
    // Enter opens the Editor on the current row, or hands the row to the Editor shown.
    void keysOnTheRows() {
        BrowserWindow& b = open(true);
        for (const int row : {2, 0}) {
            b.SetCurrentRow(row);
            QTest::keyClick(b.ReportView(), Qt::Key_Return);
            QCOMPARE(editor_->name, b.Model().row(row).Text);
        }
        QVERIFY(ctx_->windows.IsFormVisible(form::Editor) && b.Action("mnuEditor")->isChecked());
        b.Selection().select(b.Model().index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        b.Selection().select(b.Model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(b.ReportView(), Qt::Key_Delete);
        QCOMPARE(rows() + '|' + b.LoadedPanelText() + '|' + names(src_),
                 QStringLiteral("s/b.jpg|1 file|a.jpg b.jpg c.jpg"));
        QCOMPARE(files_.changes + int(ui_.messages.size()), 0);
        b.SetCurrentRow(0);
        for (int i = 0; i < 2; ++i) {  // the second time the file is gone
            QTest::keyClick(b.ReportView(), Qt::Key_Return, Qt::ShiftModifier);
            QCOMPARE(ui_.opened.size(), 1);
            QCOMPARE(ui_.opened[0].toLocalFile(), src_ + QStringLiteral("/b.jpg"));
            QFile::remove(src_ + QStringLiteral("/b.jpg"));
        }
        QCOMPARE(ui_.messages.size(), std::size_t{1});
        QCOMPARE(ui_.messages[0].title + '|' + ui_.messages[0].text,
                 QStringLiteral("Shell Open|Unable to open \"%1/b.jpg\" due to the following error: No such file or "
                                "directory.")
                     .arg(src_));
    }
};

QTEST_MAIN(BrowserFileOpsTest)
#include "browser_file_ops_test.moc"
