// The Browser's file commands on temporary folders: Delete (to a trash of the
// test's own), Copy, Move and Create Shortcuts with their questions, failures in
// the middle of a run and what becomes of the rows; Remove from List, Open, Edit
// Filename.
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
using testing::ShownMessage;

namespace {

const QStringList kFiles = {"a.jpg", "b.jpg", "c.jpg"};

QStringList namesIn(const QString& folder) {
    QStringList n = QDir(folder).entryList(QDir::Files | QDir::System);
    n.sort();
    return n;
}

}  // namespace

class BrowserFileOpsTest : public QObject {
    Q_OBJECT

    MemorySettingsStore store_;
    testing::FakeFileSystem files_;
    testing::ScriptedUserInterface ui_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString src_, dst_, trash_;
    testing::WindowLog log_;
    testing::FakeEditor* editor_ = nullptr;
    QPointer<BrowserWindow> browser_;

    BrowserWindow& open() {
        browser_ = new BrowserWindow(*ctx_);
        browser_->InitializeFolder(src_.toStdString());
        browser_->SelectAll();
        return *browser_;
    }
    QStringList rowKeys() const {
        QStringList keys;
        for (const FileRow& r : browser_->Model().rows())
            keys << QString::fromStdString(r.Key).replace(src_, QStringLiteral("s")).replace(dst_, QStringLiteral("d"));
        return keys;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        const QString root = QDir(dir_->path()).canonicalPath();
        src_ = root + QStringLiteral("/src");
        dst_ = root + QStringLiteral("/dst");
        trash_ = root + QStringLiteral("/data/Trash");
        QVERIFY(QDir().mkpath(src_) && QDir().mkpath(dst_));
        for (const QString& n : kFiles) {
            QFile f(src_ + '/' + n);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(n.toUtf8());
        }
        qputenv("XDG_STATE_HOME", (root + QStringLiteral("/state")).toUtf8());
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
        store_ = MemorySettingsStore();
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

    // Three selected files, the second failing: OK goes on to the third, Cancel
    // leaves it; each success does its command's thing to the file and the row.
    void secondFileFailsWithOkOrCancel_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("srcAfter");
        QTest::addColumn<QStringList>("dstAfter");
        QTest::addColumn<QStringList>("rowsAfter");
        const int ok = int(MessageAnswer::Ok), cancel = int(MessageAnswer::Cancel);
        const QStringList all = {"a.jpg", "b.jpg", "c.jpg"}, none;
        const QStringList rows = {"s/a.jpg", "s/b.jpg", "s/c.jpg"};
        QTest::addRow("delete, OK") << "mnuFileDelete" << ok << QStringList{"b.jpg"} << none << QStringList{"s/b.jpg"};
        QTest::addRow("delete, Cancel") << "mnuFileDelete" << cancel << QStringList{"b.jpg", "c.jpg"} << none
                                        << QStringList{"s/b.jpg", "s/c.jpg"};
        QTest::addRow("copy, OK") << "mnuFileCopy" << ok << all << QStringList{"a.jpg", "c.jpg"} << rows;
        QTest::addRow("copy, Cancel") << "mnuFileCopy" << cancel << all << QStringList{"a.jpg"} << rows;
        QTest::addRow("move, OK") << "mnuFileMove" << ok << QStringList{"b.jpg"} << QStringList{"a.jpg", "c.jpg"}
                                  << QStringList{"d/a.jpg", "s/b.jpg", "d/c.jpg"};
        QTest::addRow("move, Cancel") << "mnuFileMove" << cancel << QStringList{"b.jpg", "c.jpg"}
                                      << QStringList{"a.jpg"} << QStringList{"d/a.jpg", "s/b.jpg", "s/c.jpg"};
        QTest::addRow("link, OK") << "mnuCreateShortcut" << ok << all << QStringList{"a.jpg.lnk", "c.jpg.lnk"} << rows;
        QTest::addRow("link, Cancel") << "mnuCreateShortcut" << cancel << all << QStringList{"a.jpg.lnk"} << rows;
    }
    void secondFileFailsWithOkOrCancel() {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(QStringList, srcAfter);
        QFETCH(QStringList, dstAfter);
        QFETCH(QStringList, rowsAfter);
        BrowserWindow& b = open();
        const bool asks = action == "mnuFileDelete" || action == "mnuFileCopy";
        if (asks) ui_.answers.push_back(MessageAnswer::Yes);
        ui_.answers.push_back(MessageAnswer(answer));
        ui_.chosenPaths = {dst_};
        files_.failChangeAt = 2;
        b.Action(action)->trigger();

        QCOMPARE(namesIn(src_), srcAfter);
        QCOMPARE(namesIn(dst_), dstAfter);
        QCOMPARE(rowKeys(), rowsAfter);
        QCOMPARE(ui_.messages.size(), std::size_t(asks ? 2 : 1));  // no closing report
        const ShownMessage& box = ui_.messages.back();
        QCOMPARE(box.title, QStringLiteral("Problem"));
        QCOMPARE(box.buttons, MessageButtons::OkCancel);
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        const QString failed = QStringLiteral("\"%1/b.jpg\" due to the following error: %2.\r\n\r\nClick OK to continue ")
                                   .arg(src_, QString::fromUtf8(std::strerror(files_.failErrno)));
        QVERIFY2(box.text.contains(failed), qPrintable(box.text));
        if (action == "mnuFileDelete") {
            QVERIFY(box.text.startsWith(QStringLiteral("Unable to delete the file ")));
            QCOMPARE(namesIn(trash_ + QStringLiteral("/files")).size(), answer == int(MessageAnswer::Ok) ? 2 : 1);
        } else {
            QCOMPARE(b.OutputPath(), dst_.toStdString());
        }
        if (action == "mnuCreateShortcut")
            QCOMPARE(QFileInfo(dst_ + QStringLiteral("/a.jpg.lnk")).symLinkTarget(), src_ + QStringLiteral("/a.jpg"));
        QVERIFY(b.isEnabled());
        QVERIFY(!b.ReportView()->isHidden());
        QCOMPARE(b.LoadedPanelText(), QString::fromStdString(FormatLoadedPanel(rowsAfter.size())));
    }

    // The questions, their titles and the destination chooser's title by the number of rows.
    void questionsAndTitles_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("question");  // empty: none asked
        QTest::addColumn<QString>("destination");
        QTest::addRow("delete one") << "mnuFileDelete" << 1 << "Confirm File Delete|Are you sure you want to delete \"b.jpg\"?" << "";
        QTest::addRow("copy three") << "mnuFileCopy" << 3
                                    << "Confirm Multiple File Copy|Are you sure you want to copy these 3 files?"
                                    << "Copy 3 files to Folder";
        QTest::addRow("move one") << "mnuFileMove" << 1 << "" << "Move file to Folder";
        QTest::addRow("link three") << "mnuCreateShortcut" << 3 << "" << "Create 3 shortcuts in Folder";
    }
    void questionsAndTitles() {
        QFETCH(QString, action);
        QFETCH(int, rows);
        QFETCH(QString, question);
        QFETCH(QString, destination);
        BrowserWindow& b = open();
        if (rows == 1) b.SetCurrentRow(1);
        // No to the question, and the chooser cancelled: nothing happens either way.
        ui_.answers = {MessageAnswer::No};
        b.Action(action)->trigger();
        if (!question.isEmpty()) {
            QCOMPARE(ui_.messages.size(), std::size_t{1});
            QCOMPARE(ui_.messages[0].title + '|' + ui_.messages[0].text, question);
            QCOMPARE(ui_.messages[0].buttons, MessageButtons::YesNo);
            QVERIFY(ui_.dialogs.isEmpty());  // No ends the command before the chooser
            ui_.messages.clear();
            ui_.answers = {MessageAnswer::Yes};
            if (destination.isEmpty()) return;
            b.Action(action)->trigger();
        }
        QCOMPARE(ui_.dialogs, QStringList{destination});
        QCOMPARE(namesIn(src_), kFiles);
        QCOMPARE(namesIn(dst_), QStringList());
    }

    // A name that is no path asks again; a folder that is not there ends the command.
    void destinationProblems() {
        BrowserWindow& b = open();
        const std::string before = b.OutputPath();
        ui_.chosenPaths = {QStringLiteral("dst"), src_ + QStringLiteral("/missing")};
        b.Action("mnuFileMove")->trigger();
        QCOMPARE(ui_.dialogs.size(), 2);
        QCOMPARE(ui_.messages.size(), std::size_t{2});
        QCOMPARE(ui_.messages[0].text, QStringLiteral("You have selected an invalid folder. Please try again."));
        QCOMPARE(ui_.messages[0].title, QStringLiteral("Problem"));
        QCOMPARE(ui_.messages[1].text, QStringLiteral("CommonDialog returned invalid path despite cdlOFNPathMustExist"));
        QCOMPARE(ui_.messages[1].title, QStringLiteral("Move 3 files to Folder"));
        QCOMPARE(ui_.messages[1].icon, MessageIcon::Stop);
        QCOMPARE(b.OutputPath(), before);
        QCOMPARE(namesIn(src_), kFiles);
    }

    // Del takes the selected rows off the list without a question; the files stay.
    void removeFromListTouchesNoFile() {
        BrowserWindow& b = open();
        b.show();
        b.Selection().clearSelection();
        b.SetCurrentRow(0);
        b.Selection().select(b.Model().index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(b.ReportView(), Qt::Key_Delete);
        QCOMPARE(rowKeys(), QStringList{"s/b.jpg"});
        QVERIFY(ui_.messages.empty());
        QCOMPARE(namesIn(src_), kFiles);
        QCOMPARE(b.LoadedPanelText(), QStringLiteral("1 file"));
        QCOMPARE(files_.changes, 0);
    }

    // Shift+Enter hands the current row's file to the desktop; the two failures.
    void openHandsTheFileToTheDesktop_data() {
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<bool>("gone");
        QTest::addColumn<QString>("message");
        QTest::addRow("opened") << true << false << "";
        QTest::addRow("file gone") << true << true
                                   << "Unable to open \"%1/b.jpg\" due to the following error: No such file or directory.";
    }
    void openHandsTheFileToTheDesktop() {
        QFETCH(bool, succeeds);
        QFETCH(bool, gone);
        QFETCH(QString, message);
        BrowserWindow& b = open();
        b.show();
        b.SetCurrentRow(1);
        ui_.openSucceeds = succeeds;
        if (gone) QVERIFY(QFile::remove(src_ + QStringLiteral("/b.jpg")));
        QTest::keyClick(b.ReportView(), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(ui_.opened.size(), gone ? 0 : 1);
        if (!gone) QCOMPARE(ui_.opened[0].toLocalFile(), src_ + QStringLiteral("/b.jpg"));
        QCOMPARE(ui_.messages.size(), std::size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) {
            QCOMPARE(ui_.messages[0].text, message.arg(src_));
            QCOMPARE(ui_.messages[0].title, QStringLiteral("Shell Open"));
        }
    }

    // Enter opens the Editor on the current row's file, or hands it the file when open.
    void editFilenameOpensTheEditorOnTheRow() {
        BrowserWindow& b = open();
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.SetCurrentRow(2);
        QTest::keyClick(b.ReportView(), Qt::Key_Return);
        QVERIFY(ctx_->windows.IsFormVisible(form::Editor));
        QCOMPARE(editor_->name, std::string("c.jpg"));
        QVERIFY(b.Action("mnuEditor")->isChecked());
        b.SetCurrentRow(0);  // with the Editor visible, Enter hands it the row
        QTest::keyClick(b.ReportView(), Qt::Key_Return);
        QCOMPARE(editor_->name, std::string("a.jpg"));
    }

};

QTEST_MAIN(BrowserFileOpsTest)
#include "browser_file_ops_test.moc"
