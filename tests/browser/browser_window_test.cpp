// The Browser window on temporary folders: loading, rows, sorting, selection,
// Stop and Cancel, and what it tells the Editor.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <unistd.h>

#include <cstring>

#include "browser/browser_window.h"
#include "gui/progress_dialog.h"
#include "support/fake_windows.h"
#include "support/raw_files.h"

using namespace lorvane;
using testing::readBytes;
using testing::ShownMessage;
using testing::writeBytes;

namespace {

// A name that is not UTF-8 and the name its display text encodes back to.
const std::string kRaw = "\xfe.jpg";
const std::string kLookAlike = "\xef\xbf\xbd.jpg";

// Names whose parse is known: statuses, messages and chronology keys.
const char* const kGood2x = "{DT=2004-07-15}{SN=12}{SU=Ann}.jpg";
const char* const kGoodMonth = "{DT=2023-08}{SU=Harbour seals{PS=Left}}{PL=North pier}{CR=Ada}.jpg";
const char* const kBigSequence = "{SN=12345}{SU=Ann}.jpg";
const char* const kWarn = "{SU}{PL=Harbour}.jpg";
const char* const kFail = "holiday photo.jpg";
const char* const kSubGood = "{DT=2024-05-17}{SU=Ann;Ann}{PL=Harbour}.png";
const char* const kSubFail = "another photo.jpg";

std::string bytes(const QString& path) { return path.toStdString(); }

void writeFile(const QString& path, qint64 bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
}

QString columnText(const FileRow& row, const char* key) { return QString::fromStdString(*row.column(key)); }

// Change Dates, answering its dialog with one day on, then OK.
void changeDatesOneDayOn(BrowserWindow& b) {
    QTimer::singleShot(0, [&b] {
        auto* d = b.findChild<QDialog*>(QStringLiteral("frmChangeDate"));
        QVERIFY(d);
        d->findChild<QLineEdit*>(QStringLiteral("DateShiftDays"))->setText(QStringLiteral("+1"));
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    b.Action("mnuChangeDates")->trigger();
}

// F2 on the list's current row: the label editor it opens.
QLineEdit* startRename(QTreeView* list) {
    QTest::keyClick(list, Qt::Key_F2);
    return qobject_cast<QLineEdit*>(list->indexWidget(list->currentIndex()));
}
// F2, the name typed (an empty one leaves the name as shown), Enter.
void renameAs(QTreeView* list, const QString& typed) {
    QLineEdit* label = startRename(list);
    QVERIFY(label);
    if (!typed.isEmpty()) label->setText(typed);
    QTest::keyClick(label, Qt::Key_Return);
    QCoreApplication::processEvents();  // the label is committed after the key
}

// A folder of its own, so that the renames leave the other cases' files alone.
struct BatchFolder {
    QTemporaryDir dir;
    BatchFolder(std::initializer_list<const char*> names = {}) {
        for (const char* name : names) file(name);
    }
    std::string path() const { return QDir(dir.path()).canonicalPath().toStdString(); }
    void file(const char* name) const { writeFile(QString::fromStdString(path()) + '/' + QString::fromUtf8(name), 1); }
    QStringList names() const {
        QStringList n = QDir(QString::fromStdString(path())).entryList(QDir::Files);
        n.sort();
        return n;
    }
    bool has(const char* name) const {
        return QFile::exists(QString::fromStdString(path()) + '/' + QString::fromUtf8(name));
    }
};

}  // namespace

class BrowserWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString root_, sub_;
    GlobalSettings base_;  // what each case starts with
    MemorySettingsStore store_;
    testing::FakeFileSystem files_;
    testing::ScriptedUserInterface ui_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<QTemporaryDir> state_;  // where the batch runs keep their journals, fresh for each case
    testing::WindowLog log_;
    testing::FakeEditor* editor_ = nullptr;
    // A window that closes is deleted later by the registry's closing rules; the
    // pointer then goes null.
    QPointer<BrowserWindow> browser_;

    BrowserWindow& open() {
        delete browser_.data();
        browser_ = new BrowserWindow(*ctx_);
        return *browser_;
    }
    // The Editor, created hidden on first use; shown, the Browser hands it files.
    testing::FakeEditor& editor() {
        ctx_->windows.window(form::Editor);
        return *editor_;
    }
    void showEditor() { ctx_->windows.show(form::Editor); }
    BrowserWindow& openOn(const std::string& folder, bool shown = false) {
        BrowserWindow& b = open();
        if (shown) b.show();
        b.InitializeFolder(folder);
        return b;
    }
    int rowOf(const char* name) const {
        return browser_->Model().findKey((root_ + QLatin1Char('/') + QString::fromUtf8(name)).toStdString());
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath() + QStringLiteral("/photos");
        sub_ = root_ + QStringLiteral("/trip");
        QVERIFY(QDir().mkpath(sub_));
        QVERIFY(QDir().mkpath(root_ + QStringLiteral("/empty/sub")));  // no files, only a subfolder
        writeFile(root_ + '/' + kGood2x, 13005);     // 12.7 KB
        writeFile(root_ + '/' + kGoodMonth, 12800);  // exactly 12.5 KB: rounds to the even 12
        writeFile(root_ + '/' + kBigSequence, 10);
        writeFile(root_ + '/' + kWarn, 0);
        writeFile(root_ + '/' + kFail, 2048);
        writeFile(sub_ + '/' + kSubGood, 1);
        writeFile(sub_ + '/' + kSubFail, 1);
        // These cases are about the list, not the semantic layer (the core row tests
        // cover that): names without a Captured Date stay "Good" here.
        base_.SemanticsAttributeEnable = 0;
        base_.BrowserAutoLoadLastFolder = 0;
        base_.RestoreWindowSizePosition = 0;
    }

    void init() {
        store_ = MemorySettingsStore();
        ui_ = testing::ScriptedUserInterface();
        files_ = testing::FakeFileSystem();
        ctx_ = std::make_unique<AppContext>(store_, ui_, files_, QCoreApplication::applicationDirPath());
        ctx_->settings = base_;
        editor_ = nullptr;
        log_ = testing::WindowLog();
        ctx_->windows.registerWindow(form::Editor,
                                     [this] { return editor_ = new testing::FakeEditor(*ctx_, log_); });
        state_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", state_->path().toUtf8());
    }
    void cleanup() {
        qunsetenv("XDG_STATE_HOME");
        delete browser_.data();
        ctx_->windows.destroyAll();
        ctx_.reset();
    }

    void loadsOwnFilesBeforeSubfolders_data() {
        QTest::addColumn<bool>("subfolders");
        QTest::addColumn<QStringList>("names");
        // The file system's order: by name, ignoring case ("{" after the letters).
        const QStringList own = {"holiday photo.jpg", "{DT=2004-07-15}{SN=12}{SU=Ann}.jpg",
                                 "{DT=2023-08}{SU=Harbour seals{PS=Left}}{PL=North pier}{CR=Ada}.jpg",
                                 "{SN=12345}{SU=Ann}.jpg", "{SU}{PL=Harbour}.jpg"};
        QTest::newRow("folder only") << false << own;
        QTest::newRow("with subfolders") << true
                                         << (own + QStringList{"another photo.jpg",
                                                               "{DT=2024-05-17}{SU=Ann;Ann}{PL=Harbour}.png"});
    }
    void loadsOwnFilesBeforeSubfolders() {
        QFETCH(bool, subfolders);
        QFETCH(QStringList, names);
        BrowserWindow& b = open();
        b.SetIncludeSubfolders(subfolders);
        QSignalSpy loaded(&b, &BrowserWindow::folderLoaded);
        b.InitializeFolder(bytes(root_));
        QCOMPARE(loaded.count(), 1);
        QStringList got;
        for (const FileRow& r : b.Model().rows()) got << QString::fromStdString(r.Text);
        QCOMPARE(got, names);
        QCOMPARE(b.LoadedPanelText(), QStringLiteral("%1 files").arg(names.size()));
        QCOMPARE(b.PathPanelText(), root_);
        QVERIFY(ui_.messages.empty());
        QVERIFY(b.isEnabled());
        QVERIFY(!b.Progress()->isVisible());
        QCOMPARE(b.CurrentRow(), 0);  // the first row is the one the Editor follows
    }

    void rowColumnsAndStatuses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("message");  // empty: only "not the format name" is checked
        QTest::addColumn<QString>("chronology");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("length");
        const QString none = QStringLiteral("0000/00/00 00:00:00 0000 0000 0000"), kb0 = QStringLiteral("000,000 KB");
        const QString v2 = QStringLiteral("Lorvane Data 2.x");
        QTest::newRow("good 2.x with date and sequence")
            << kGood2x << row_icon::Good << "Good" << v2 << "2004/07/15 00:00:00 0012 0000 0000" << "000,013 KB" << "034";
        QTest::newRow("month date, half kilobyte rounds to even")
            << kGoodMonth << row_icon::Good << "Good" << v2 << "2023/08/01 00:00:00 0000 0000 0000" << "000,012 KB" << "066";
        QTest::newRow("sequence wider than four digits")
            << kBigSequence << row_icon::Good << "Good" << v2 << "0000/00/00 00:00:00 12345 0000 0000" << kb0 << "022";
        QTest::newRow("warn") << kWarn << row_icon::Warn << "Warn" << "" << none << kb0 << "020";
        QTest::newRow("fail") << kFail << row_icon::Fail << "Fail" << "" << none << "000,002 KB" << "017";
    }
    void rowColumnsAndStatuses() {
        QFETCH(QString, name);
        QFETCH(int, icon);
        QFETCH(QString, status);
        QFETCH(QString, message);
        QFETCH(QString, chronology);
        QFETCH(QString, size);
        QFETCH(QString, length);
        BrowserWindow& b = open();
        b.SetIncludeSubfolders(false);
        b.InitializeFolder(bytes(root_));
        const int i = rowOf(name.toUtf8().constData());
        QVERIFY(i >= 0);
        const FileRow& r = b.Model().row(i);
        QCOMPARE(r.Icon, icon);
        QCOMPARE(columnText(r, "Name"), name);
        QCOMPARE(columnText(r, "Status"), status);
        if (!message.isEmpty()) QCOMPARE(columnText(r, "Message"), message);
        else QVERIFY(!columnText(r, "Message").isEmpty() && !columnText(r, "Message").startsWith("Lorvane Data"));
        QCOMPARE(columnText(r, "Chronology"), chronology);
        QCOMPARE(columnText(r, "Path"), root_);
        QCOMPARE(columnText(r, "Size"), size);
        QCOMPARE(columnText(r, "Length"), length);
        QVERIFY(!columnText(r, "Type").isEmpty());
        // The model shows the same texts to the views, with a picture in the first column.
        QCOMPARE(b.Model().data(b.Model().index(i, 1)).toString(), status);
        const QIcon picture = b.Model().data(b.Model().index(i, 0), Qt::DecorationRole).value<QIcon>();
        QVERIFY(!picture.isNull());
        // Drawn for each view's size, and not tinted when the row is selected.
        for (const int edge : {16, 32}) {
            QCOMPARE(picture.actualSize(QSize(edge, edge)), QSize(edge, edge));
            QCOMPARE(picture.pixmap(edge, QIcon::Selected).toImage(), picture.pixmap(edge, QIcon::Normal).toImage());
        }
    }

    void emptyAndMissingFolders() {
        BrowserWindow& b = openOn(bytes(root_ + QStringLiteral("/empty")));
        QCOMPARE(b.Model().size(), 0);
        QCOMPARE(b.LoadedPanelText(), QStringLiteral("0 files"));
        b.InitializeFolder(bytes(root_));
        QTest::keyClick(b.ReportView(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(b.Model().size(), 0);
        QCOMPARE(QString::fromStdString(b.InputPath()), root_);  // Clear keeps the folder for Reload
        QTest::keyClick(b.ReportView(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(b.Model().size(), 7);
        b.InitializeFolder(bytes(root_ + QStringLiteral("/no such folder")));
        QCOMPARE(b.Model().size(), 0);
        QCOMPARE(b.PathPanelText(), root_ + QStringLiteral("/no such folder"));
        QVERIFY(ui_.messages.empty());  // a missing folder is no error
    }

    void sortsByEveryColumn_data() {
        QTest::addColumn<int>("column");
        for (int c = 0; c < 8; ++c) QTest::newRow(kBrowserColumns[static_cast<std::size_t>(c)].data()) << c;
    }
    void sortsByEveryColumn() {
        QFETCH(int, column);
        BrowserWindow& b = openOn(bytes(root_));
        const std::string key(kBrowserColumns[static_cast<std::size_t>(column)]);
        auto texts = [&] {
            std::vector<std::string> t;
            for (const FileRow& r : b.Model().rows()) t.push_back(*r.column(key));
            return t;
        };
        // The selection follows its row through the sort.
        const std::string chosen = b.Model().row(2).Key;
        b.Selection().select(b.Model().index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

        emit b.ReportView()->header()->sectionClicked(column);
        QVERIFY(b.Sorted());
        QCOMPARE(b.SortOrder(), Qt::AscendingOrder);
        std::vector<std::string> t = texts();
        QVERIFY(std::is_sorted(t.begin(), t.end()));
        emit b.ReportView()->header()->sectionClicked(column);
        QCOMPARE(b.SortOrder(), Qt::DescendingOrder);
        t = texts();
        QVERIFY(std::is_sorted(t.rbegin(), t.rend()));
        const std::vector<int> selected = b.SelectedRows();
        QCOMPARE(selected.size(), std::size_t(1));
        QCOMPARE(b.Model().row(selected[0]).Key, chosen);

        // Another column starts ascending again; so does the same one after a reload.
        const int other = (column + 1) % 8;
        emit b.ReportView()->header()->sectionClicked(other);
        QCOMPARE(b.SortColumn(), other);
        QCOMPARE(b.SortOrder(), Qt::AscendingOrder);
        b.ReloadList();
        QVERIFY(!b.Sorted());
        emit b.ReportView()->header()->sectionClicked(other);
        QCOMPARE(b.SortOrder(), Qt::AscendingOrder);
    }

    void sortingIsStableAndByteOrdered() {
        BrowserWindow& b = openOn(bytes(root_));
        b.ColumnClicked(1);  // Status: Fail < Good < Warn
        QStringList got;
        for (const FileRow& r : b.Model().rows()) got << QString::fromStdString(r.Status + " " + r.Text);
        QCOMPARE(got, (QStringList{"Fail holiday photo.jpg", "Fail another photo.jpg",
                                   "Good {DT=2004-07-15}{SN=12}{SU=Ann}.jpg",
                                   "Good {DT=2023-08}{SU=Harbour seals{PS=Left}}{PL=North pier}{CR=Ada}.jpg",
                                   "Good {SN=12345}{SU=Ann}.jpg", "Good {DT=2024-05-17}{SU=Ann;Ann}{PL=Harbour}.png",
                                   "Warn {SU}{PL=Harbour}.jpg"}));
    }

    void selectsByStatus() {
        BrowserWindow& b = open();
        b.SetIndicateSelected(true);
        b.InitializeFolder(bytes(root_));
        const struct {
            const char* action;
            std::size_t count;
        } cases[] = {{"mnuSelectGood", 4}, {"mnuSelectWarn", 1}, {"mnuSelectFail", 2}, {"mnuSelectDupl", 0}};
        for (const auto& c : cases) {
            b.SelectAll();
            b.Action(QString::fromLatin1(c.action))->trigger();
            const std::vector<int> rows = b.SelectedRows();
            QCOMPARE(rows.size(), c.count);
            const std::string want = QString::fromLatin1(c.action).mid(9).toStdString();
            for (int r : rows) QCOMPARE(b.Model().row(r).Status, want);
            QCOMPARE(b.SelectedPanelText(), QStringLiteral("%1 selected ").arg(c.count));
        }
        // A chronology mark is found like any other status word; case matters.
        b.Model().updateRow(0, [](FileRow& r) { r.Status = "Dupl"; });
        b.Model().updateRow(1, [](FileRow& r) { r.Status = "dupl"; });
        b.SelectByStatus("Dupl");
        QCOMPARE(b.SelectedRows(), std::vector<int>{0});
        b.InvertSelection();
        QCOMPARE(b.SelectedRows().size(), std::size_t(b.Model().size() - 1));
        b.SelectAll();
        QCOMPARE(b.SelectedPanelText(), QStringLiteral("7 selected "));
        QVERIFY(log_.editorFiles.isEmpty());  // selection commands leave the Editor alone
    }

    // The progress dialog's button while a folder loads: Cancel while counting loads
    // nothing, Stop while loading keeps the rows parsed so far; the next load is whole.
    void interruptingALoad_data() {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("button");
        QTest::addRow("counting") << "Counting Files..." << "Cancel";
        QTest::addRow("loading") << "Loading Files..." << "Stop";
    }
    void interruptingALoad() {
        QFETCH(QString, phase);
        QFETCH(QString, button);
        QTemporaryDir many;
        QVERIFY(QDir().mkpath(many.path() + QStringLiteral("/sub")));
        for (int i = 0; i < 400; ++i) writeFile(many.path() + QStringLiteral("/{SN=%1}{SU=Ann}.jpg").arg(i), 1);
        BrowserWindow& b = open();
        ProgressDialog* dlg = b.Progress();
        bool pressed = false, disabledMeanwhile = false;
        connect(dlg, &ProgressDialog::pumped, this, [&] {
            if (pressed || dlg->windowTitle() != phase) return;
            disabledMeanwhile = !b.isEnabled() && dlg->isEnabled() && dlg->ButtonText() == button;
            pressed = true;
            QTest::mouseClick(dlg->Button(), Qt::LeftButton);
        });
        b.InitializeFolder(bytes(many.path()));
        disconnect(dlg, &ProgressDialog::pumped, this, nullptr);
        QVERIFY(pressed);
        QVERIFY(disabledMeanwhile);
        const int kept = b.Model().size();
        if (button == QStringLiteral("Stop")) QVERIFY(kept >= 1 && kept < 400);
        else QCOMPARE(b.LoadedPanelText(), QStringLiteral("0 files"));
        for (const FileRow& r : b.Model().rows()) QCOMPARE(r.Status, std::string("Good"));
        QVERIFY(b.isEnabled());
        QVERIFY(!dlg->isVisible());
        QVERIFY(ui_.messages.empty());
        b.ReloadList();
        QCOMPARE(b.Model().size(), 400);
    }

    void countErrorIsReported() {
        if (geteuid() == 0) QSKIP("permissions do not stop the superuser");
        QTemporaryDir d;
        QVERIFY(QDir().mkpath(d.path() + "/locked"));
        writeFile(d.path() + "/a.jpg", 1);
        QFile::setPermissions(d.path() + "/locked", QFileDevice::Permissions());
        BrowserWindow& b = openOn(bytes(d.path()));
        QFile::setPermissions(d.path() + "/locked",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(b.Model().size(), 0);
        QCOMPARE(ui_.messages.size(), std::size_t(1));
        QCOMPARE(ui_.messages[0].title, QStringLiteral("Load Files"));
        QCOMPARE(ui_.messages[0].icon, MessageIcon::Stop);
        QVERIFY(ui_.messages[0].text.startsWith(
            QStringLiteral(
                "Attempting to determine the number of files in \"%1/locked\" has resulted in the following error: ")
                .arg(d.path())));
    }

    void updateItemRefreshesTheRenamedRow() {
        QTemporaryDir d;
        const QString before = d.path() + QStringLiteral("/holiday.jpg");
        const QString after = d.path() + QStringLiteral("/{DT=2004-07-15 @14-30}{SN=12}.jpg");
        writeFile(before, 1);
        writeFile(d.path() + "/other.jpg", 1);
        BrowserWindow& b = openOn(bytes(d.path()));
        const int i = b.Model().findKey(before.toStdString());
        QCOMPARE(b.Model().row(i).Status, std::string("Fail"));
        QVERIFY(QFile::rename(before, after));
        b.UpdateItem(bytes(before), bytes(after));
        const FileRow& r = b.Model().row(i);
        QCOMPARE(QString::fromStdString(r.Key), after);
        QCOMPARE(QString::fromStdString(r.Text), QFileInfo(after).fileName());
        QCOMPARE(r.Status, std::string("Good"));
        QCOMPARE(r.Icon, row_icon::Good);
        QCOMPARE(r.Length, std::string("033"));
        // An unknown path changes nothing.
        const std::vector<FileRow> rows = b.Model().rows();
        b.UpdateItem(bytes(d.path() + "/not listed.jpg"), bytes(after));
        QCOMPARE(b.Model().size(), 2);
        QCOMPARE(b.Model().row(i).Key, rows[static_cast<std::size_t>(i)].Key);
    }

    void editFileFollowsTheCurrentRow() {
        BrowserWindow& b = open();
        b.SetIncludeSubfolders(false);
        b.InitializeFolder(bytes(root_));
        QVERIFY(log_.editorFiles.isEmpty());  // the Editor is not visible: not even asked
        QCOMPARE(editor().discardAsks, 0);

        showEditor();
        b.EditFile();
        b.EditFile();  // the same file: nothing to do
        QCOMPARE(log_.editorFiles, QStringList{root_ + '|' + kFail});
        QCOMPARE(editor().discardAsks, 1);

        b.SetCurrentRow(4);
        editor().refuseClose = true;
        b.EditFile();
        QCOMPARE(log_.editorFiles.size(), 1);  // the Editor kept its changes
        editor().refuseClose = false;
        b.EditFile();
        QCOMPARE(editor().name, std::string(kWarn));

        b.ClearList();
        b.EditFile();  // an empty list empties the Editor
        QCOMPARE(log_.editorFiles.last(), QStringLiteral("|"));
    }

    // F2, a name, Enter: the file and its row take the name, or keep theirs with a box.
    void labelEditRenamesTheFile_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("goneFirst");  // the file went away behind the list's back
        QTest::addColumn<QString>("refusal");  // empty: renamed
        QTest::addRow("a new name") << "{SN=7}{SU=Ann}.jpg" << false << "";
        QTest::addRow("into a subfolder") << "sub/x.jpg" << false << "A file name cannot contain \"/\"";
        QTest::addRow("the file went away")
            << "y.jpg" << true << "The original file has been moved, renamed, or deleted.";
    }
    void labelEditRenamesTheFile() {
        QFETCH(QString, typed);
        QFETCH(bool, goneFirst);
        QFETCH(QString, refusal);
        BatchFolder f{"x.jpg"};
        QVERIFY(QDir().mkpath(QString::fromStdString(f.path()) + QStringLiteral("/sub")));
        BrowserWindow& b = openOn(f.path(), true);
        b.SetCurrentRow(0);
        if (goneFirst) QVERIFY(QFile::remove(QString::fromStdString(f.path()) + QStringLiteral("/x.jpg")));
        renameAs(b.ReportView(), typed);
        const QString name = refusal.isEmpty() ? typed : QStringLiteral("x.jpg");
        QCOMPARE(f.names(), goneFirst ? QStringList() : QStringList{name});
        const FileRow& r = b.Model().row(0);
        QCOMPARE(QString::fromStdString(r.Text), name);
        QCOMPARE(QString::fromStdString(r.Key), QString::fromStdString(f.path()) + '/' + name);
        QCOMPARE(ui_.messages.size(), std::size_t(refusal.isEmpty() ? 0 : 1));
        if (!refusal.isEmpty()) QCOMPARE(ui_.messages[0].text, refusal);
        else QCOMPARE(r.Chronology, std::string("0000/00/00 00:00:00 0007 0000 0000"));  // parsed again
    }

    // A name that is not UTF-8 shows as U+FFFD, like its look-alike; every operation
    // still names the file it came from.
    void namesThatAreNotUtf8KeepTheirFile() {
        QTemporaryDir d;
        const std::string folder = bytes(QDir(d.path()).canonicalPath());
        const std::string raw = folder + '/' + kRaw, lookAlike = folder + '/' + kLookAlike;
        writeBytes(raw, "raw");
        writeBytes(lookAlike, "look-alike");
        showEditor();
        BrowserWindow& b = open();
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.InitializeFolder(folder);
        QCOMPARE(b.Model().size(), 2);
        const int rawRow = b.Model().findKey(raw), otherRow = b.Model().findKey(lookAlike);
        QVERIFY(rawRow >= 0 && otherRow >= 0 && rawRow != otherRow);
        QCOMPARE(b.Model().data(b.Model().index(rawRow, 0)), b.Model().data(b.Model().index(otherRow, 0)));

        // The Editor gets each row's own bytes, and a step to the look-alike is a step.
        b.SetCurrentRow(rawRow);
        b.EditFile();
        QCOMPARE(editor().folder, folder);
        QCOMPARE(editor().name, kRaw);
        b.SetCurrentRow(otherRow);
        b.EditFile();
        QCOMPARE(editor().name, kLookAlike);

        // F2, Enter on the name as shown: nothing renamed.
        QTreeView* list = b.ReportView();
        b.SetCurrentRow(rawRow);
        renameAs(list, {});
        QCOMPARE(readBytes(raw), std::string("raw"));
        QCOMPARE(readBytes(lookAlike), std::string("look-alike"));

        // F2 and a new name: the raw file is renamed, the look-alike stays.
        renameAs(list, QStringLiteral("{SU=Raw}.jpg"));
        const std::string renamed = folder + "/{SU=Raw}.jpg";
        QCOMPARE(readBytes(raw), std::string("-"));
        QCOMPARE(readBytes(renamed), std::string("raw"));
        QCOMPARE(readBytes(lookAlike), std::string("look-alike"));
        QCOMPARE(b.Model().row(rawRow).Key, renamed);
        QCOMPARE(b.Model().row(otherRow).Key, lookAlike);
        QVERIFY(ui_.messages.empty());

        // UpdateItem finds the row by its bytes: renaming the look-alike on disk and
        // telling the list leaves the other row alone.
        const std::string back = folder + '/' + kRaw;
        QVERIFY(std::rename(lookAlike.c_str(), back.c_str()) == 0);
        b.UpdateItem(lookAlike, back);
        QCOMPARE(b.Model().row(otherRow).Key, back);
        QCOMPARE(b.Model().row(otherRow).Text, kRaw);
        QCOMPARE(b.Model().row(rawRow).Key, renamed);
        std::remove(back.c_str());  // Qt cannot remove a name it cannot decode
    }

    // Load Files takes any existing folder, also one without files of its own, and
    // the list has the keyboard afterwards, whatever the chooser answered.
    void loadFilesGivesTheListTheKeyboard_data() {
        QTest::addColumn<QString>("chosen");  // under the photos folder; "-": cancelled
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("boxes");
        QTest::addRow("only subfolders") << "/empty" << 0 << 0;
        QTest::addRow("a folder with files") << "" << 7 << 0;
        QTest::addRow("cancelled") << "-" << 7 << 0;
        QTest::addRow("a folder that is gone") << "/gone" << 7 << 1;
    }
    void loadFilesGivesTheListTheKeyboard() {
        QFETCH(QString, chosen);
        QFETCH(int, rows);
        QFETCH(int, boxes);
        BrowserWindow& b = openOn(bytes(root_), true);
        QVERIFY(QTest::qWaitForWindowActive(&b));
        b.statusBar()->setFocusPolicy(Qt::StrongFocus);
        b.statusBar()->setFocus();
        QTest::keyClick(&b, Qt::Key_O, Qt::ControlModifier);  // unbound outside the list
        QVERIFY(ui_.dialogs.isEmpty());
        if (chosen != QStringLiteral("-")) ui_.chosenPaths = {root_ + chosen};
        b.LoadFiles();
        QCOMPARE(ui_.filters, QStringList{QStringLiteral("All Files (*)")});  // files shown, folders chosen
        QCOMPARE(b.Model().size(), rows);
        QCOMPARE(ui_.messages.size(), std::size_t(boxes));
        QTRY_COMPARE(QApplication::focusWidget(), b.ReportView());
        if (!rows) return;
        QCOMPARE(b.CurrentRow(), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // at once, no click
        QCOMPARE(b.CurrentRow(), 1);
    }

    // What the icon views give each name: the list view's columns hold the longest
    // name whole, the large-icon view wraps it under the picture over three lines.
    void iconViewsLeaveNamesRoom() {
        BrowserWindow& b = open();
        b.resize(1400, 500);
        b.show();
        b.InitializeFolder(bytes(root_));
        QListView* v = b.IconView();
        const QFontMetrics text(v->font());
        int longest = 0;
        for (const FileRow& r : b.Model().rows())
            longest = std::max(longest, text.horizontalAdvance(QString::fromStdString(r.Text)));

        b.SetListView(list_view::List);
        QVERIFY(v->gridSize().width() >= 16 + longest);
        QCOMPARE(v->viewMode(), QListView::ListMode);

        b.SetListView(list_view::LargeIcons);
        const QSize cell = v->itemDelegate()->sizeHint(QStyleOptionViewItem(), b.Model().index(0, 0));
        QVERIFY(cell.height() >= 32 + 3 * text.height());
        QVERIFY(cell.width() <= v->gridSize().width());
        QCOMPARE(v->iconSize(), QSize(32, 32));

        b.SetListView(list_view::SmallIcons);
        QCOMPARE(v->iconSize(), QSize(16, 16));
        QVERIFY(v->itemDelegate()->sizeHint(QStyleOptionViewItem(), b.Model().index(0, 0)).height() >= text.height());
    }

    // Each key shows after its menu caption and runs that item from the list.
    void listKeysShowInTheMenu_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("shown");
        QTest::addRow("Load Files") << "mnuFileLoad" << int(Qt::Key_O) << int(Qt::ControlModifier) << "Ctrl+O";
        QTest::addRow("Clear List") << "mnuFileClear" << int(Qt::Key_N) << int(Qt::ControlModifier) << "Ctrl+N";
        QTest::addRow("Reload List") << "mnuFileReload" << int(Qt::Key_R) << int(Qt::ControlModifier) << "Ctrl+R";
        QTest::addRow("Rename") << "mnuFileRename" << int(Qt::Key_F2) << int(Qt::NoModifier) << "F2";
        QTest::addRow("Select All") << "mnuSelectAll" << int(Qt::Key_A) << int(Qt::ControlModifier) << "Ctrl+A";
    }
    void listKeysShowInTheMenu() {
        QFETCH(QString, action);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, shown);
        BrowserWindow& b = openOn(bytes(root_));
        QSignalSpy fired(b.Action(action), &QAction::triggered);
        QTest::keyClick(b.ReportView(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(fired.count(), 1);
        QCOMPARE(b.Action(action)->text().section(QLatin1Char('\t'), 1), shown);
    }

    // F2 selects the name without its extension, as the desktop does.
    void renameSelectsTheNameWithoutItsExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("selected");
        QTest::addRow("last extension only") << "a.b.jpg" << "a.b";
        QTest::addRow("no dot: all") << "README" << "README";
        QTest::addRow("leading dot only: all") << ".hidden" << ".hidden";
        QTest::addRow("leading dot and extension") << ".a.jpg" << ".a";
    }
    void renameSelectsTheNameWithoutItsExtension() {
        QFETCH(QString, name);
        QFETCH(QString, selected);
        BatchFolder f;
        f.file(name.toUtf8().constData());
        BrowserWindow& b = openOn(f.path(), true);
        QTreeView* list = b.ReportView();
        QLineEdit* label = startRename(list);
        QVERIFY(label);
        QCOMPARE(label->selectedText(), selected);
    }

    // Commands whose code is not there yet are disabled, and so are their keys and
    // the double-click; once a command is enabled, its key and the click reach it.
    void notBuiltCommandsAreDisabledWithTheirKeys_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("key");  // 0: no key of its own
        QTest::addColumn<int>("modifiers");
        for (const char* name : {"mnuOptions", "mnuViewer", "mnuHelpAbout"})
            QTest::addRow("%s", name) << name << 0 << 0;
    }
    void notBuiltCommandsAreDisabledWithTheirKeys() {
        QFETCH(QString, action);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        BrowserWindow& b = open();
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        b.InitializeFolder(bytes(root_));
        QAction* a = b.Action(action);
        QVERIFY(a);
        QVERIFY(!a->isEnabled());
        QSignalSpy fired(a, &QAction::triggered);
        QTreeView* list = b.ReportView();
        const QPoint row = list->visualRect(b.Model().index(1, 0)).center();
        auto press = [&] {
            if (key) QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
        };
        press();
        QCOMPARE(fired.count(), 0);
        QCOMPARE(b.Model().size(), 7);
        QVERIFY(!list->indexWidget(list->currentIndex()));  // no label edit started instead
        a->setEnabled(true);
        press();
        // The double-click is Enter's: it reaches Edit Filename only.
        const int expected = (key ? 1 : 0) + (action == "mnuFileOpen" ? 1 : 0);
        QCOMPARE(fired.count(), expected);
        QTest::keyClick(list, Qt::Key_Delete, Qt::AltModifier);  // a key with another modifier: nothing
        QCOMPARE(fired.count(), expected);
    }

    void settingsRoundTrip() {
        {
            // Each item flips its default.
            BrowserWindow& b = open();
            b.Action("mnuViewSmall")->trigger();
            b.Action("mnuViewGridlines")->trigger();
            b.Action("mnuIndicateLoaded")->trigger();
            b.Action("mnuIndicateSelected")->trigger();
            b.Action("mnuFileSubfolders")->trigger();
            b.InitializeFolder(bytes(root_));
            b.SetOutputPath("/tmp/out");
            b.SaveSettings();
        }
        const auto value = [&](const char* key) { return store_.read("Browser", key).value_or("(absent)"); };
        QCOMPARE(value("FileListView"), std::string("1"));
        QCOMPARE(value("FileListGridlines"), std::string("False"));
        QCOMPARE(value("IndicateLoaded"), std::string("False"));
        QCOMPARE(value("IndicateSelected"), std::string("True"));
        QCOMPARE(value("LoadSubfolders"), std::string("False"));
        QCOMPARE(QString::fromStdString(value("InputPath")), root_);
        QCOMPARE(value("OutputPath"), std::string("/tmp/out"));
        QCOMPARE(value("WindowState"), std::string("0"));
        QVERIFY(store_.read("Browser", "WindowWidth").has_value());

        BrowserWindow& again = open();
        QCOMPARE(again.ListView(), list_view::SmallIcons);
        QVERIFY(again.Action("mnuViewSmall")->isChecked());
        QVERIFY(!again.Action("mnuViewDetails")->isChecked());
        QVERIFY(!again.Gridlines());
        QVERIFY(!again.LoadedPanelVisible());
        QVERIFY(again.SelectedPanelVisible());
        QVERIFY(!again.IncludeSubfolders());
        QCOMPARE(QString::fromStdString(again.InputPath()), root_);
        QCOMPARE(again.Model().size(), 0);  // auto-load is off
    }

    // --- Batch commands ---

    void changeDatesRenamesSelectedRowsReportsAndUndoes() {
        BatchFolder f{"{DT=2004-05-17}{SU=Ann}.jpg", "x{.jpg", "{SU=Ben}.jpg"};
        showEditor();
        BrowserWindow& b = openOn(f.path(), true);
        b.SelectAll();
        editor().folder = f.path();
        editor().name = "{DT=2004-05-17}{SU=Ann}.jpg";
        changeDatesOneDayOn(b);
        QCOMPARE(f.names(), (QStringList{"x{.jpg", "{DT=2004-05-18}{SU=Ann}.jpg", "{SU=Ben}.jpg"}));
        QCOMPARE(editor().name, std::string("{DT=2004-05-18}{SU=Ann}.jpg"));  // the Editor follows its file
        QCOMPARE(editor().disabledTimes, 1);  // no Save under the run
        QVERIFY(editor().isEnabled());
        QVERIFY(b.isEnabled());
        QVERIFY(b.ReportView()->isVisible());
        const int renamed = b.Model().findKey(f.path() + "/{DT=2004-05-18}{SU=Ann}.jpg");
        QVERIFY(renamed >= 0);
        QCOMPARE(b.Model().row(renamed).Text, std::string("{DT=2004-05-18}{SU=Ann}.jpg"));
        QCOMPARE(ui_.messages.size(), std::size_t{1});
        QCOMPARE(ui_.messages[0].title, QStringLiteral("Change Dates"));
        QCOMPARE(ui_.messages[0].icon, MessageIcon::Information);
        QCOMPARE(ui_.messages[0].text, QStringLiteral("1  filenames successfully processed\r\n"
                                                      "1  filenames could not be parsed\r\n"
                                                      "1  filenames did not have/need dates\r\n"
                                                      "0  filenames could not be re-built\r\n"
                                                      "0  filenames could not be saved\r\n"
                                                      "=\r\n"
                                                      "3  total filenames attempted"));

        ui_.messages.clear();
        ui_.answers = {MessageAnswer::Yes};
        b.Action("mnuUndoBatch")->trigger();
        QCOMPARE(ui_.messages[0].buttons, MessageButtons::YesNo);
        const QString folder = QStringLiteral(" in \"%1\" (1 file, Lorvane Manager: Change Dates)?")
                                   .arg(QString::fromStdString(f.path()));
        QVERIFY2(ui_.messages[0].text.endsWith(folder), qPrintable(ui_.messages[0].text));
        QCOMPARE(f.names(), (QStringList{"x{.jpg", "{DT=2004-05-17}{SU=Ann}.jpg", "{SU=Ben}.jpg"}));
        QVERIFY(b.Model().findKey(f.path() + "/{DT=2004-05-17}{SU=Ann}.jpg") >= 0);
        QCOMPARE(editor().name, std::string("{DT=2004-05-17}{SU=Ann}.jpg"));
        // {SU=Ben}.jpg was rebuilt to its own name: nothing recorded, nothing to undo.
        QVERIFY2(ui_.messages.back().text.startsWith(QStringLiteral("Restored 1 of 1 files of the run of ")),
                 qPrintable(ui_.messages.back().text));
        QVERIFY(!b.Action("mnuUndoBatch")->isEnabled());  // nothing left to undo
        QCOMPARE(ui_.messages.back().icon, MessageIcon::Information);
    }

    void changeDatesWithoutSelectionShowsNoDialog() {
        BatchFolder f{"{DT=2004-05-17}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.Selection().clearSelection();
        b.Action("mnuChangeDates")->trigger();
        QCOMPARE(ui_.messages.size(), std::size_t{1});
        QCOMPARE(ui_.messages[0].text, QStringLiteral("No files are selected."));
        QVERIFY(!b.findChild<QDialog*>(QStringLiteral("frmChangeDate")));
    }

    // A run that could not be undone does not start: no journal, no rename.
    void aJournalThatCannotBeWrittenStopsTheRunBeforeItsFirstRename() {
        const QString blocked = state_->path() + QStringLiteral("/not-a-folder");
        writeFile(blocked, 1);  // the journal's folder would have to be made inside a file
        qputenv("XDG_STATE_HOME", blocked.toUtf8());
        BatchFolder f{"{DT=2004-05-17}{SU=Ann}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.SelectAll();
        changeDatesOneDayOn(b);
        QVERIFY(f.has("{DT=2004-05-17}{SU=Ann}.jpg"));
        QCOMPARE(ui_.messages.size(), std::size_t{1});  // the refusal, no report
        QCOMPARE(ui_.messages[0].icon, MessageIcon::Stop);
        QCOMPARE(ui_.messages[0].title, QStringLiteral("Change Dates"));
        QVERIFY(ui_.messages[0].text.endsWith(QStringLiteral("; nothing was renamed.")));
        QVERIFY(b.isEnabled());
    }

    // Apply runs and brings the dialog back with its fields as they were; Cancel
    // then ends the loop without a second run.
    void changeDatesApplyRunsAndShowsTheDialogAgain() {
        BatchFolder f{"{DT=2004-05-17}{SU=Ann}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.SelectAll();
        int shown = 0;
        QString daysOnSecondShowing;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* d = b.findChild<QDialog*>(QStringLiteral("frmChangeDate"));
            if (!d || !d->isVisible()) return;
            auto* days = d->findChild<QLineEdit*>(QStringLiteral("DateShiftDays"));
            if (++shown == 1) {
                days->setText(QStringLiteral("+1"));
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdApply")), Qt::LeftButton);
            } else {
                daysOnSecondShowing = days->text();
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("cmdCancel")), Qt::LeftButton);
            }
        });
        answer.start(5);
        b.Action("mnuChangeDates")->trigger();
        answer.stop();
        QCOMPARE(shown, 2);
        QCOMPARE(daysOnSecondShowing, QStringLiteral("+1"));
        QCOMPARE(f.names(), QStringList{"{DT=2004-05-18}{SU=Ann}.jpg"});  // one run, not two; Cancel ran none
        QCOMPARE(ui_.messages.size(), std::size_t{1});  // the one run's report
        QVERIFY(ui_.messages[0].text.startsWith(QStringLiteral("1  filenames successfully processed")));
    }

    // Stop, or closing the window, ends the run after the file in hand: the report
    // counts only the files attempted, every file after them keeps its name, and a
    // closed window closes after the report.
    void interruptingAChangeDatesRun_data() {
        QTest::addColumn<bool>("close");
        QTest::addRow("Stop") << false;
        QTest::addRow("closing the window") << true;
    }
    void interruptingAChangeDatesRun() {
        QFETCH(bool, close);
        BatchFolder f;
        constexpr int kFiles = 300;
        for (int i = 0; i < kFiles; ++i)
            f.file(QStringLiteral("{DT=2004-05-17}{SN=%1}.jpg").arg(i).toUtf8().constData());
        BrowserWindow& b = openOn(f.path(), true);
        b.SelectAll();
        ProgressDialog* dlg = b.Progress();
        dlg->Pacer() = EventPacer(std::chrono::milliseconds(0));  // events before every file: it lands at file 100
        bool pressed = false, hiddenMeanwhile = false;
        connect(dlg, &ProgressDialog::pumped, this, [&] {
            if (pressed || dlg->windowTitle() != QStringLiteral("Changing Dates...") || dlg->Value() < 100) return;
            hiddenMeanwhile = !b.ReportView()->isVisible() && !b.isEnabled() && dlg->isEnabled();
            pressed = true;
            if (close) b.close();
            else QTest::mouseClick(dlg->Button(), Qt::LeftButton);
        });
        changeDatesOneDayOn(b);
        disconnect(dlg, &ProgressDialog::pumped, this, nullptr);
        QVERIFY(pressed);
        QVERIFY(hiddenMeanwhile);
        int renamed = 0, kept = 0;
        for (const QString& name : QDir(QString::fromStdString(f.path())).entryList(QDir::Files)) {
            if (name.startsWith(QStringLiteral("{DT=2004-05-18}"))) ++renamed;
            if (name.startsWith(QStringLiteral("{DT=2004-05-17}"))) ++kept;
        }
        QCOMPARE(renamed + kept, kFiles);
        QCOMPARE(renamed, 99);  // the file it was seen at is not touched
        QCOMPARE(ui_.messages.size(), std::size_t{1});  // the report, before any closing
        const QStringList lines = ui_.messages[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first().section(QLatin1Char(' '), 0, 0).toInt(), renamed);  // processed
        if (close) {
            QTRY_VERIFY(!browser_);  // closed the normal way: its settings saved, then deleted
            QVERIFY(store_.read("Browser", "WindowState").has_value());
            return;
        }
        QCOMPARE(lines[lines.size() - 2].section(QLatin1Char(' '), 0, 0).toInt(), renamed);  // total attempted
        QCOMPARE(lines.last(), QStringLiteral("The run was stopped: %1 of the %2 selected filenames were not attempted.")
                                   .arg(kFiles - renamed)
                                   .arg(QLocale(QLocale::English).toString(kFiles)));
        QVERIFY(b.isEnabled());
        QVERIFY(b.ReportView()->isVisible());
    }

    void rebuildAsksByNameAndReportsWhatCouldNotBeParsed() {
        ctx_->settings.SemanticsAttributeEnable = 1;  // {Subject=...} rebuilds as {SU=...}
        BatchFolder f{"{Subject=Ann}.jpg", "x{.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.Selection().clearSelection();
        const int one = b.Model().findKey(f.path() + "/{Subject=Ann}.jpg");
        b.Selection().select(b.Model().index(one, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ui_.answers = {MessageAnswer::No};
        b.Action("mnuRebuild")->trigger();
        QCOMPARE(ui_.messages[0].text,
                 QStringLiteral("Are you sure you want to rebuild the filename \"{Subject=Ann}.jpg\"?"));
        QVERIFY(f.has("{Subject=Ann}.jpg"));  // No: nothing renamed

        ui_.messages.clear();
        b.SelectAll();
        ui_.answers = {MessageAnswer::Yes};
        b.Action("mnuRebuild")->trigger();
        QCOMPARE(ui_.messages[0].text, QStringLiteral("Are you sure you want to rebuild these 2 filenames?"));
        QVERIFY(f.has("{SU=Ann}.jpg"));
        QCOMPARE(ui_.messages.size(), std::size_t{2});
        QCOMPARE(ui_.messages[1].text, QStringLiteral("Of the 2 filenames attempted, 1 filename was not processed "
                                                      "because it could not be parsed."));
    }

    // A rebuilt name that is taken fails like any refused rename: never an overwrite.
    void aTakenNameIsNotOverwritten() {
        ctx_->settings.SemanticsAttributeEnable = 1;  // {Subject=...} rebuilds as {SU=...}
        BatchFolder f{"{Subject=Ann}.jpg", "{SU=Ann}.jpg", "{Subject=Cy}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.SelectAll();
        ui_.answers = {MessageAnswer::Yes, MessageAnswer::Cancel};
        b.Action("mnuRebuild")->trigger();
        QCOMPARE(f.names(), (QStringList{"{SU=Ann}.jpg", "{Subject=Ann}.jpg", "{Subject=Cy}.jpg"}));
        QCOMPARE(ui_.messages[1].title, QStringLiteral("Problem"));
    }

    // The file system refuses the second of three renames; the answer to the box
    // decides whether the third is renamed, and the report counts what was attempted.
    void aRenameRefusedMidRunGoesOnOrAborts_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("processed");
        QTest::addColumn<int>("attempted");
        QTest::addRow("OK goes on") << int(MessageAnswer::Ok)
                                    << QStringList{"{DT=2004-05-17}{SN=002}.jpg", "{DT=2004-05-18}{SN=001}.jpg",
                                                   "{DT=2004-05-18}{SN=003}.jpg"}
                                    << 2 << 3;
        QTest::addRow("Cancel aborts") << int(MessageAnswer::Cancel)
                                       << QStringList{"{DT=2004-05-17}{SN=002}.jpg", "{DT=2004-05-17}{SN=003}.jpg",
                                                      "{DT=2004-05-18}{SN=001}.jpg"}
                                       << 1 << 2;
    }
    void aRenameRefusedMidRunGoesOnOrAborts() {
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        QFETCH(int, processed);
        QFETCH(int, attempted);
        BatchFolder f{"{DT=2004-05-17}{SN=001}.jpg", "{DT=2004-05-17}{SN=002}.jpg", "{DT=2004-05-17}{SN=003}.jpg"};
        files_.failChangeAt = 2;
        BrowserWindow& b = openOn(f.path());
        b.SelectAll();
        ui_.answers = {MessageAnswer(answer)};
        changeDatesOneDayOn(b);
        QCOMPARE(f.names(), after);
        QCOMPARE(ui_.messages.size(), std::size_t{2});
        const ShownMessage& box = ui_.messages[0];
        QCOMPARE(box.buttons, MessageButtons::OkCancel);
        QCOMPARE(box.icon, MessageIcon::Exclamation);
        QVERIFY(box.text.startsWith(QStringLiteral("Unable to rename the file \"")));
        QVERIFY(box.text.contains(QString::fromUtf8(std::strerror(files_.failErrno))));
        QVERIFY(box.text.endsWith(QStringLiteral("Click OK to continue processing the remaining files or Cancel to abort.")));
        const QStringList report = ui_.messages[1].text.split(QStringLiteral("\r\n"));
        QCOMPARE(report.first(), QStringLiteral("%1  filenames successfully processed").arg(processed));
        QCOMPARE(report[4], QStringLiteral("1  filenames could not be saved"));
        QCOMPARE(report[6], QStringLiteral("%1  total filenames attempted").arg(attempted));
        QCOMPARE(report.size(), attempted == 3 ? 7 : 8);  // a cancelled run says what it left
    }

    void reparseParsesEveryRow() {
        BatchFolder f{"{DT=2004-05-17}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.Selection().clearSelection();
        ctx_->settings.ParseMode = "1.x";  // the rows' status is stale until Re-Parse
        b.Parser().RefreshOptions();
        b.Action("mnuParseAll")->trigger();
        QCOMPARE(QString::fromStdString(b.Model().row(0).Status), QStringLiteral("Fail"));
    }
};

QTEST_MAIN(BrowserWindowTest)
#include "browser_window_test.moc"
