// The Browser window on temporary folders: loading, rows, sorting, selection,
// Stop and Cancel, and what it tells the Editor.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include "browser/browser_window.h"
#include "gui/progress_dialog.h"
#include "support/fake_windows.h"
#include "support/raw_files.h"

using namespace lorvane;
using testing::readBytes;
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
    QString at(const char* name) const { return QString::fromStdString(path()) + '/' + QString::fromUtf8(name); }
    void file(const char* name) const { writeFile(at(name), 1); }
    QStringList names() const { return QDir(QString::fromStdString(path())).entryList(QDir::Files, QDir::Name); }
    bool has(const char* name) const { return QFile::exists(at(name)); }
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
        ctx_->windows.registerWindow(form::Viewer, [this] { return new testing::FakeViewer(*ctx_, log_); });
        state_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_STATE_HOME", state_->path().toUtf8());
    }
    void cleanup() {
        qunsetenv("XDG_STATE_HOME");
        delete browser_.data();
        ctx_->windows.destroyAll();
        ctx_.reset();
    }

    // A text column and a number column (Size); the status column shows the sort is stable.
    void sortsByAColumnAndBack() {
        for (const int column : {0, 6}) {
            BrowserWindow& b = openOn(bytes(root_));
            const std::string key(kBrowserColumns[static_cast<std::size_t>(column)]);
            auto sorted = [&](bool up) {
                std::vector<std::string> t;
                for (const FileRow& r : b.Model().rows()) t.push_back(*r.column(key));
                return up ? std::is_sorted(t.begin(), t.end()) : std::is_sorted(t.rbegin(), t.rend());
            };
            // The selection follows its row through the sort.
            const std::string chosen = b.Model().row(2).Key;
            b.Selection().select(b.Model().index(2, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            emit b.ReportView()->header()->sectionClicked(column);
            QVERIFY(b.Sorted() && b.SortOrder() == Qt::AscendingOrder && sorted(true));
            emit b.ReportView()->header()->sectionClicked(column);
            QVERIFY(b.SortOrder() == Qt::DescendingOrder && sorted(false));
            QCOMPARE(b.SelectedRows().size(), std::size_t(1));
            QCOMPARE(b.Model().row(b.SelectedRows()[0]).Key, chosen);
            // Another column starts ascending again.
            emit b.ReportView()->header()->sectionClicked(7 - column);
            QVERIFY(b.SortColumn() == 7 - column && b.SortOrder() == Qt::AscendingOrder);
        }
        // Stable, and by bytes: Fail < Good < Warn, ties in load order.
        BrowserWindow& b = openOn(bytes(root_));
        b.ColumnClicked(1);
        QStringList got;
        for (const FileRow& r : b.Model().rows()) got << QString::fromStdString(r.Status + " " + r.Text);
        QCOMPARE(got,
                 (QStringList{"Fail holiday photo.jpg", "Fail another photo.jpg", QStringLiteral("Good ") + kGood2x,
                              QStringLiteral("Good ") + kGoodMonth, QStringLiteral("Good ") + kBigSequence,
                              QStringLiteral("Good ") + kSubGood, QStringLiteral("Warn ") + kWarn}));
    }

    void selectsByStatus() {
        BrowserWindow& b = open();
        b.SetIndicateSelected(true);
        b.InitializeFolder(bytes(root_));
        for (auto [action, count] : {std::pair{"mnuSelectGood", 4}, {"mnuSelectWarn", 1}, {"mnuSelectFail", 2},
                                     {"mnuSelectDupl", 0}}) {
            b.SelectAll();
            b.Action(QString::fromLatin1(action))->trigger();
            const std::vector<int> rows = b.SelectedRows();
            QCOMPARE(int(rows.size()), count);
            for (int r : rows) QCOMPARE(b.Model().row(r).Status, std::string(action + 9));
            QCOMPARE(b.SelectedPanelText(), QStringLiteral("%1 selected ").arg(count));
        }
        // A chronology mark is found like any other status word; case matters.
        b.Model().updateRow(0, [](FileRow& r) { r.Status = "Dupl"; });
        b.Model().updateRow(1, [](FileRow& r) { r.Status = "dupl"; });
        b.SelectByStatus("Dupl");
        QCOMPARE(b.SelectedRows(), std::vector<int>{0});
        b.InvertSelection();
        QCOMPARE(b.SelectedRows().size(), std::size_t(b.Model().size() - 1));
        QVERIFY(log_.editorFiles.isEmpty());  // selection commands leave the Editor alone
    }

    // The progress dialog's button while a folder loads: Cancel while counting loads
    // nothing, Stop while loading keeps the rows parsed so far; the next load is whole.
    void interruptingALoad() {
        QTemporaryDir many;
        QVERIFY(QDir().mkpath(many.path() + QStringLiteral("/sub")));
        for (int i = 0; i < 400; ++i) writeFile(many.path() + QStringLiteral("/{SN=%1}{SU=Ann}.jpg").arg(i), 1);
        for (auto [phase, button] : {std::pair{"Counting Files...", "Cancel"}, {"Loading Files...", "Stop"}}) {
            BrowserWindow& b = open();
            ProgressDialog* dlg = b.Progress();
            bool pressed = false, disabledMeanwhile = false;
            connect(dlg, &ProgressDialog::pumped, this, [&] {
                if (pressed || dlg->windowTitle() != QLatin1String(phase)) return;
                disabledMeanwhile = !b.isEnabled() && dlg->isEnabled() && dlg->ButtonText() == QLatin1String(button);
                pressed = true;
                QTest::mouseClick(dlg->Button(), Qt::LeftButton);
            });
            b.InitializeFolder(bytes(many.path()));
            disconnect(dlg, &ProgressDialog::pumped, this, nullptr);
            QVERIFY(pressed && disabledMeanwhile);
            const int kept = b.Model().size();
            QVERIFY(*button == 'S' ? kept >= 1 && kept < 400 : kept == 0);
            for (const FileRow& r : b.Model().rows()) QCOMPARE(r.Status, std::string("Good"));
            QVERIFY(b.isEnabled() && !dlg->isVisible() && ui_.messages.empty());
            b.ReloadList();
            QCOMPARE(b.Model().size(), 400);
        }
    }

    void editAndViewFileFollowTheCurrentRow() {
        BrowserWindow& b = open();
        b.SetIncludeSubfolders(false);
        b.InitializeFolder(bytes(root_));
        b.ViewFile();
        QVERIFY(log_.editorFiles.isEmpty() && log_.viewerFiles.empty());  // not visible: not even asked
        QCOMPARE(editor().discardAsks, 0);
        showEditor();
        ctx_->windows.show(form::Viewer);
        b.EditFile();
        b.EditFile();  // the same file: nothing to do
        b.ViewFile();
        b.ViewFile();
        QCOMPARE(log_.editorFiles, QStringList{root_ + '|' + kFail});
        QCOMPARE(log_.viewerFiles, std::vector<std::string>{bytes(root_) + '/' + kFail});
        QCOMPARE(editor().discardAsks, 1);
        b.SetCurrentRow(4);
        editor().refuseClose = true;
        b.EditFile();
        QCOMPARE(log_.editorFiles.size(), 1);  // the Editor kept its changes
        editor().refuseClose = false;
        b.EditFile();
        QCOMPARE(editor().name, std::string(kWarn));
        b.ClearList();
        b.EditFile();  // an empty list empties the Editor and the Viewer
        b.ViewFile();
        QCOMPARE(log_.editorFiles.last(), QStringLiteral("|"));
        QCOMPARE(log_.viewerFiles.back(), std::string());
    }

    // F2, a name, Enter: the file and its row take the name, or keep theirs with a box.
    // F2 selects the name without its extension, as the desktop does.
    void labelEditRenamesTheFile() {
        const struct {
            const char *typed, *refusal;  // "": renamed
            bool goneFirst;              // the file went away behind the list's back
        } rows[] = {{"{SN=7}{SU=Ann}.jpg", "", false}, {"sub/x.jpg", "A file name cannot contain \"/\"", false},
                    {"y.jpg", "The original file has been moved, renamed, or deleted.", true}};
        for (const auto& r : rows) {
            BatchFolder f{"x.jpg"};
            QVERIFY(QDir().mkpath(QString::fromStdString(f.path()) + QStringLiteral("/sub")));
            ui_.messages.clear();
            ctx_->windows.show(form::Viewer);
            BrowserWindow& b = openOn(f.path(), true);
            b.SetCurrentRow(0);
            if (r.goneFirst) QVERIFY(QFile::remove(QString::fromStdString(f.path()) + QStringLiteral("/x.jpg")));
            renameAs(b.ReportView(), QString::fromUtf8(r.typed));
            const QString name = QString::fromUtf8(*r.refusal ? "x.jpg" : r.typed);
            QCOMPARE(f.names(), r.goneFirst ? QStringList() : QStringList{name});
            QCOMPARE(QString::fromStdString(b.Model().row(0).Key), QString::fromStdString(f.path()) + '/' + name);
            if (!r.goneFirst) QCOMPARE(log_.viewerFiles.back(), b.Model().row(0).Key);  // the Viewer follows
            QCOMPARE(ui_.messages.size(), std::size_t(*r.refusal ? 1 : 0));
            if (*r.refusal) QCOMPARE(ui_.messages[0].text, QString::fromUtf8(r.refusal));
            else
                QCOMPARE(b.Model().row(0).Chronology,
                         std::string("0000/00/00 00:00:00 0007 0000 0000"));  // parsed again
        }
        for (auto [name, selected] : {std::pair{"a.b.jpg", "a.b"}, {"README", "README"}, {".hidden", ".hidden"},
                                      {".a.jpg", ".a"}}) {
            BatchFolder f{name};
            BrowserWindow& b = openOn(f.path(), true);
            QLineEdit* label = startRename(b.ReportView());
            QVERIFY(label);
            QCOMPARE(label->selectedText(), QString::fromUtf8(selected));
        }
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
        BrowserWindow& b = openOn(folder, true);
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        const int rawRow = b.Model().findKey(raw), otherRow = b.Model().findKey(lookAlike);
        QVERIFY(rawRow >= 0 && otherRow >= 0 && rawRow != otherRow);
        QCOMPARE(b.Model().data(b.Model().index(rawRow, 0)), b.Model().data(b.Model().index(otherRow, 0)));
        // The Editor and the Viewer get each row's own bytes, and a step to the look-alike is a step.
        ctx_->windows.show(form::Viewer);
        for (const int row : {rawRow, otherRow}) {
            b.SetCurrentRow(row);
            b.EditFile();
            b.ViewFile();
            QCOMPARE(editor().folder + '/' + editor().name, b.Model().row(row).Key);
            QCOMPARE(log_.viewerFiles.back(), b.Model().row(row).Key);
        }
        // F2, Enter on the name as shown: nothing renamed; F2 and a new name: the raw file
        // is renamed, the look-alike stays.
        b.SetCurrentRow(rawRow);
        renameAs(b.ReportView(), {});
        QCOMPARE(readBytes(raw) + "|" + readBytes(lookAlike), std::string("raw|look-alike"));
        renameAs(b.ReportView(), QStringLiteral("{SU=Raw}.jpg"));
        const std::string renamed = folder + "/{SU=Raw}.jpg";
        QCOMPARE(readBytes(raw) + "|" + readBytes(renamed) + "|" + readBytes(lookAlike),
                 std::string("-|raw|look-alike"));
        QCOMPARE(b.Model().row(rawRow).Key + "|" + b.Model().row(otherRow).Key, renamed + "|" + lookAlike);
        QVERIFY(ui_.messages.empty());
        // UpdateItem finds the row by its bytes: renaming the look-alike on disk and
        // telling the list leaves the other row alone.
        QVERIFY(std::rename(lookAlike.c_str(), raw.c_str()) == 0);
        b.UpdateItem(lookAlike, raw);
        QCOMPARE(b.Model().row(otherRow).Key + "|" + b.Model().row(otherRow).Text, raw + "|" + kRaw);
        QCOMPARE(b.Model().row(rawRow).Key, renamed);
        std::remove(raw.c_str());  // Qt cannot remove a name it cannot decode
    }

    // Load Files takes any existing folder, also one without files of its own, and
    // the list has the keyboard afterwards, whatever the chooser answered.
    void loadFilesGivesTheListTheKeyboard() {
        for (auto [chosen, rows, boxes] : {std::tuple{"/empty", 0, 0}, {"", 7, 0}, {"-", 7, 0}, {"/gone", 7, 1}}) {
            ui_ = testing::ScriptedUserInterface();
            BrowserWindow& b = openOn(bytes(root_), true);
            QVERIFY(QTest::qWaitForWindowActive(&b));
            b.statusBar()->setFocusPolicy(Qt::StrongFocus);
            b.statusBar()->setFocus();
            QTest::keyClick(&b, Qt::Key_O, Qt::ControlModifier);  // unbound outside the list
            QVERIFY(ui_.dialogs.isEmpty());
            if (*chosen != '-') ui_.chosenPaths = {root_ + QLatin1String(chosen)};
            b.LoadFiles();
            QCOMPARE(ui_.filters, QStringList{QStringLiteral("All Files (*)")});  // files shown, folders chosen
            QCOMPARE(b.Model().size(), rows);
            QCOMPARE(int(ui_.messages.size()), boxes);
            QTRY_COMPARE(QApplication::focusWidget(), b.ReportView());
            if (!rows) continue;
            QCOMPARE(b.CurrentRow(), 0);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);  // at once, no click
            QCOMPARE(b.CurrentRow(), 1);
        }
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
        QVERIFY(v->gridSize().width() >= 16 + longest && v->viewMode() == QListView::ListMode);
        b.SetListView(list_view::LargeIcons);
        const QSize cell = v->itemDelegate()->sizeHint(QStyleOptionViewItem(), b.Model().index(0, 0));
        QVERIFY(cell.height() >= 32 + 3 * text.height() && cell.width() <= v->gridSize().width());
        QCOMPARE(v->iconSize(), QSize(32, 32));
        b.SetListView(list_view::SmallIcons);
        QCOMPARE(v->iconSize(), QSize(16, 16));
        QVERIFY(v->itemDelegate()->sizeHint(QStyleOptionViewItem(), b.Model().index(0, 0)).height() >= text.height());
    }

    // A key runs its item from the list and shows after its caption; a double-click is
    // Enter's, for Edit Filename only.
    void keysAndDoubleClick() {
        BrowserWindow& b = openOn(bytes(root_), true);
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        for (auto [action, key, modifiers, shown] :
             {std::tuple{"mnuFileLoad", Qt::Key_O, Qt::ControlModifier, "Ctrl+O"},
              {"mnuFileClear", Qt::Key_N, Qt::ControlModifier, "Ctrl+N"},
              {"mnuFileReload", Qt::Key_R, Qt::ControlModifier, "Ctrl+R"},
              {"mnuFileRename", Qt::Key_F2, Qt::NoModifier, "F2"},
              {"mnuSelectAll", Qt::Key_A, Qt::ControlModifier, "Ctrl+A"}}) {
            QSignalSpy fired(b.Action(action), &QAction::triggered);
            QTest::keyClick(b.ReportView(), key, modifiers);
            if (QLineEdit* label =
                    qobject_cast<QLineEdit*>(b.ReportView()->indexWidget(b.ReportView()->currentIndex())))
                QTest::keyClick(label, Qt::Key_Escape);
            QCOMPARE(fired.count(), 1);
            QCOMPARE(b.Action(action)->text().section(QLatin1Char('\t'), 1), QLatin1String(shown));
        }
        b.ReloadList();
        QTreeView* list = b.ReportView();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                           list->visualRect(b.Model().index(1, 0)).center());
        QVERIFY(!list->indexWidget(list->currentIndex()));  // no label edit started instead
        QCOMPARE(b.Model().size(), 7);
    }

    void settingsRoundTrip() {
        {
            // Each item flips its default.
            BrowserWindow& b = open();
            for (const char* item : {"mnuViewSmall", "mnuViewGridlines", "mnuIndicateLoaded", "mnuIndicateSelected",
                                     "mnuFileSubfolders"})
                b.Action(QLatin1String(item))->trigger();
            b.InitializeFolder(bytes(root_));
            b.SetOutputPath("/tmp/out");
            b.SaveSettings();
        }
        std::string saved;
        for (const char* key : {"FileListView", "FileListGridlines", "IndicateLoaded", "IndicateSelected",
                                "LoadSubfolders", "OutputPath", "WindowState"})
            saved += store_.read("Browser", key).value_or("(absent)") + " ";
        QCOMPARE(saved, std::string("1 False False True False /tmp/out 0 "));
        QCOMPARE(QString::fromStdString(store_.read("Browser", "InputPath").value_or("")), root_);
        QVERIFY(store_.read("Browser", "WindowWidth").has_value());

        BrowserWindow& again = open();
        QCOMPARE(again.ListView(), list_view::SmallIcons);
        QVERIFY(again.Action("mnuViewSmall")->isChecked() && !again.Action("mnuViewDetails")->isChecked());
        QVERIFY(!again.Gridlines() && !again.LoadedPanelVisible() && again.SelectedPanelVisible());
        QVERIFY(!again.IncludeSubfolders());
        QCOMPARE(QString::fromStdString(again.InputPath()), root_);
        QCOMPARE(again.Model().size(), 0);  // auto-load is off
    }

    // --- Batch commands ---

    void changeDatesRenamesSelectedRowsReportsAndUndoes() {
        BatchFolder f{"{DT=2004-05-17}{SU=Ann}.jpg", "x{.jpg", "{SU=Ben}.jpg"};
        showEditor();
        BrowserWindow& b = openOn(f.path(), true);
        b.Selection().clearSelection();
        b.Action("mnuChangeDates")->trigger();  // nothing selected: no dialog
        QCOMPARE(ui_.messages.at(0).text, QStringLiteral("No files are selected."));
        QVERIFY(!b.findChild<QDialog*>(QStringLiteral("frmChangeDate")));
        ui_.messages.clear();
        b.SelectAll();
        editor().folder = f.path();
        editor().name = "{DT=2004-05-17}{SU=Ann}.jpg";
        changeDatesOneDayOn(b);
        QCOMPARE(f.names(), (QStringList{"x{.jpg", "{DT=2004-05-18}{SU=Ann}.jpg", "{SU=Ben}.jpg"}));
        QCOMPARE(editor().name, std::string("{DT=2004-05-18}{SU=Ann}.jpg"));  // the Editor follows its file
        QCOMPARE(editor().disabledTimes, 1);  // no Save under the run
        QVERIFY(editor().isEnabled() && b.isEnabled() && b.ReportView()->isVisible());
        QVERIFY(b.Model().findKey(f.path() + "/{DT=2004-05-18}{SU=Ann}.jpg") >= 0);
        QCOMPARE(ui_.messages.size(), std::size_t{1});  // the report
        QVERIFY(ui_.messages[0].title == QStringLiteral("Change Dates") &&
                ui_.messages[0].icon == MessageIcon::Information);
        ui_.messages.clear();
        ui_.answers = {MessageAnswer::Yes};
        b.Action("mnuUndoBatch")->trigger();
        QCOMPARE(ui_.messages[0].buttons, MessageButtons::YesNo);
        QVERIFY(ui_.messages[0].text.endsWith(QStringLiteral(" in \"%1\" (1 file, Lorvane Manager: Change Dates)?")
                                                  .arg(QString::fromStdString(f.path()))));
        QCOMPARE(f.names(), (QStringList{"x{.jpg", "{DT=2004-05-17}{SU=Ann}.jpg", "{SU=Ben}.jpg"}));
        QVERIFY(b.Model().findKey(f.path() + "/{DT=2004-05-17}{SU=Ann}.jpg") >= 0);
        QCOMPARE(editor().name, std::string("{DT=2004-05-17}{SU=Ann}.jpg"));
        // {SU=Ben}.jpg was rebuilt to its own name: nothing recorded, nothing to undo.
        QVERIFY(ui_.messages.back().text.startsWith(QStringLiteral("Restored 1 of 1 files of the run of ")));
        QCOMPARE(ui_.messages.back().icon, MessageIcon::Information);
        QVERIFY(!b.Action("mnuUndoBatch")->isEnabled());  // nothing left to undo
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
        QVERIFY(ui_.messages[0].icon == MessageIcon::Stop && ui_.messages[0].title == QStringLiteral("Change Dates"));
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
            if (++shown == 1) days->setText(QStringLiteral("+1"));
            else daysOnSecondShowing = days->text();
            QTest::mouseClick(d->findChild<QPushButton*>(shown == 1 ? "cmdApply" : "cmdCancel"), Qt::LeftButton);
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
    void interruptingAChangeDatesRun() {
        constexpr int kFiles = 300;
        for (const bool close : {false, true}) {
            ui_.messages.clear();
            BatchFolder f;
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
            QVERIFY(pressed && hiddenMeanwhile);
            const QStringList names = QDir(QString::fromStdString(f.path())).entryList(QDir::Files);
            // The file it was seen at is not touched.
            QCOMPARE(names.filter(QStringLiteral("{DT=2004-05-18}")).size(), 99);
            QCOMPARE(names.filter(QStringLiteral("{DT=2004-05-17}")).size(), kFiles - 99);
            QCOMPARE(ui_.messages.size(), std::size_t{1});  // the report, before any closing
            QVERIFY(ui_.messages[0].text.endsWith(
                QStringLiteral(": 201 of the 300 selected filenames were not attempted.")));
            if (close) {
                QTRY_VERIFY(!browser_);  // closed the normal way: its settings saved, then deleted
                QVERIFY(store_.read("Browser", "WindowState").has_value());
                continue;
            }
            QVERIFY(b.isEnabled() && b.ReportView()->isVisible());
        }
    }

    void rebuildAsksByNameAndReportsWhatCouldNotBeParsed() {
        ctx_->settings.SemanticsAttributeEnable = 1;  // {Subject=...} rebuilds as {SU=...}
        BatchFolder f{"{Subject=Ann}.jpg", "x{.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.Selection().select(b.Model().index(b.Model().findKey(f.path() + "/{Subject=Ann}.jpg"), 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
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
        QCOMPARE(ui_.messages[1].text,
                 QStringLiteral(
                     "Of the 2 filenames attempted, 1 filename was not processed because it could not be parsed."));
    }

    // Settings changed since the load (as Options changes them) hold for the next run.
    void reparseTakesTheSettingsAsTheyAreNow() {
        BatchFolder f{"{SU=Ann}.jpg"};
        BrowserWindow& b = openOn(f.path());
        b.Selection().clearSelection();
        QCOMPARE(b.Model().row(0).Status, std::string("Good"));
        ctx_->settings.SemanticsAttributeEnable = 1;  // and with it: a name without a Captured Date warns
        b.Action("mnuParseAll")->trigger();
        QCOMPARE(b.Model().row(0).Status, std::string("Warn"));
    }
};

QTEST_MAIN(BrowserWindowTest)
#include "browser_window_test.moc"
