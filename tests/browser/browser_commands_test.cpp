// The Browser's file commands, Select Files and Check Chronology on temporary folders,
// with a trash of the test's own: questions, failures mid-run, keys, what becomes of rows.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QLineEdit>
#include <QTimer>
#include <QTreeView>

#include <cstring>
#include <numeric>

#include "browser/browser_window.h"
#include "dialogs/select_dialog.h"
#include "support/fake_windows.h"
#include "support/widgets.h"

using namespace lorvane;
using testing::child;
using testing::click;

class BrowserCommandsTest : public QObject {
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

    // The Browser on these files of src (each holding its name), all selected; shown for keys.
    BrowserWindow& open(bool shown = false, const QStringList& files = {"a.jpg", "b.jpg", "c.jpg"}) {
        for (const QString& name : files) {
            QFile f(src_ + '/' + name);
            if (f.open(QIODevice::WriteOnly)) f.write(name.toUtf8());
        }
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
    // The selected rows, or every row with its status and picture.
    QString shown(bool selectedOnly) const {
        std::vector<int> rows = browser_->SelectedRows();
        if (!selectedOnly) rows.resize(browser_->Model().rowCount()), std::iota(rows.begin(), rows.end(), 0);
        QStringList out;
        for (const int r : rows) {
            const FileRow& row = browser_->Model().row(r);
            out << QString::fromStdString(selectedOnly ? row.Text
                                                       : row.Text + " " + row.Status + " " + std::to_string(row.Icon));
        }
        return out.join('|');
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
        qputenv("XDG_STATE_HOME", (root + QStringLiteral("/state")).toUtf8());
        qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
        ui_ = testing::ScriptedUserInterface();
        files_ = testing::FakeFileSystem();
        ctx_ = std::make_unique<AppContext>(store_, ui_, files_, QCoreApplication::applicationDirPath());
        ctx_->settings.BrowserAutoLoadLastFolder = 0;
        ctx_->settings.RestoreWindowSizePosition = 0;
        ctx_->settings.SemanticsAttributeEnable = 0;  // labels as written
        ctx_->windows.registerWindow(form::Editor, [this] { return editor_ = new testing::FakeEditor(*ctx_, log_); });
    }
    void cleanup() {
        delete browser_.data();
        ctx_->windows.destroyAll();
        ctx_.reset();
    }

    // The second of three files failing: OK goes on, Cancel stops; what each success does to file and row.
    void secondFileFailsWithOkOrCancel() {
        constexpr auto Ok = MessageAnswer::Ok, Cancel = MessageAnswer::Cancel;
        const struct {
            const char* action;
            MessageAnswer answer;
            const char *src, *to, *rows;  // after; to: dst, or the trash on Delete; rows "": as they were
            const char *asked, *chooser;  // the question's verb, the folder chooser's title
        } cases[] = {
            {"mnuFileDelete", Ok, "b.jpg", "a.jpg c.jpg", "s/b.jpg", "Delete", ""},
            {"mnuFileDelete", Cancel, "b.jpg c.jpg", "a.jpg", "s/b.jpg s/c.jpg", "", ""},
            {"mnuFileCopy", Ok, "a.jpg b.jpg c.jpg", "a.jpg c.jpg", "", "Copy", "Copy 3 files to Folder"},
            {"mnuFileCopy", Cancel, "a.jpg b.jpg c.jpg", "a.jpg", "", "", ""},
            {"mnuFileMove", Ok, "b.jpg", "a.jpg c.jpg", "d/a.jpg s/b.jpg d/c.jpg", "", "Move 3 files to Folder"},
            {"mnuFileMove", Cancel, "b.jpg c.jpg", "a.jpg", "d/a.jpg s/b.jpg s/c.jpg", "", ""},
            {"mnuCreateShortcut", Ok, "a.jpg b.jpg c.jpg", "a.jpg.lnk c.jpg.lnk", "", "",
             "Create 3 shortcuts in Folder"},
            {"mnuCreateShortcut", Cancel, "a.jpg b.jpg c.jpg", "a.jpg.lnk", "", "", ""},
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
            if (*c.asked)
                QCOMPARE(ui_.messages.front().title + '|' + ui_.messages.front().text,
                         QStringLiteral("Confirm Multiple File %1|Are you sure you want to %2 these 3 files?")
                             .arg(c.asked, QString(c.asked).toLower()));
            if (*c.chooser) QCOMPARE(ui_.dialogs, QStringList{c.chooser});
            QCOMPARE(ui_.messages.size(), std::size_t(asks ? 2 : 1));  // no closing report
            const testing::ShownMessage& box = ui_.messages.back();
            const QString failed = QStringLiteral("\"%1/b.jpg\" due to the following error: %2.\r\n\r\nClick OK");
            QVERIFY2(box.title == "Problem" && box.buttons == MessageButtons::OkCancel &&
                         box.text.contains(failed.arg(src_, QString::fromUtf8(std::strerror(files_.failErrno)))),
                     qPrintable(box.text));
            if (to == dst_) QCOMPARE(b.OutputPath(), dst_.toStdString());
            if (action == "mnuCreateShortcut")
                QCOMPARE(QFileInfo(dst_ + QStringLiteral("/a.jpg.lnk")).symLinkTarget(),
                         src_ + QStringLiteral("/a.jpg"));
            QVERIFY(b.isEnabled());
            QCOMPARE(b.LoadedPanelText(), QString::fromStdString(FormatLoadedPanel(rows().count(' ') + 1)));
        }
    }

    // Enter opens the row in the Editor (or hands it over); Del drops rows, no file; Shift+Enter
    // hands the file to the desktop, or says it is gone.
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
        QCOMPARE(ui_.messages.size() == 1 ? ui_.messages[0].title + '|' + ui_.messages[0].text : QString(),
                 QStringLiteral("Shell Open|Unable to open \"%1/b.jpg\" due to the following error: %2.")
                     .arg(src_, QString::fromUtf8(std::strerror(ENOENT))));
    }

    // Apply runs and brings the dialog back as left, trimmed; the second showing removes by
    // file name and ends with OK. The Editor's row is not moved.
    void selectsByAttributeThenRemovesByNameWithApply() {
        BrowserWindow& b =
            open(false, {"{DT=2004}{SU=Ann}.jpg", "{Update=x}.jpg", "{PL=Harbour}.jpg", "holiday photo.jpg"});
        b.SetCurrentRow(2);
        int showings = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* d = b.findChild<SelectDialog*>(QStringLiteral("frmSelect"));
            if (!d || !d->isVisible()) return;
            if (++showings == 1) {
                d->ShowTab(2);
                click(*d, "optLabel4");
                child<QLineEdit>(*d, "ContentLabel")->setText(QStringLiteral(" date "));
                return click(*d, "cmdApply");
            }
            QCOMPARE(shown(true), QStringLiteral("{DT=2004}{SU=Ann}.jpg|{Update=x}.jpg"));
            QCOMPARE(QString::number(d->CurrentTabIndex()) + child<QLineEdit>(*d, "ContentLabel")->text(),
                     QStringLiteral("2date"));
            d->ShowTab(1);
            click(*d, "optOperation4");
            child<QLineEdit>(*d, "Filename")->setText(QStringLiteral("UPDATE"));
            click(*d, "cmdOK");
        });
        answer.start(5);
        b.Action(QStringLiteral("mnuSelectFiles"))->trigger();
        answer.stop();
        QCOMPARE(showings, 2);
        QCOMPARE(shown(true), QStringLiteral("{DT=2004}{SU=Ann}.jpg"));
        QCOMPARE(b.CurrentRow(), 2);
        QVERIFY(ui_.messages.empty() && b.isEnabled());  // no report
    }

    // Sorted by "Chronology", marked, selected by "Dupl"; marks last until the rows are parsed.
    void checkChronologySortsMarksAndSelectsByDupl() {
        BrowserWindow& b = open(false, {"{DT=2005}.jpg", "{DT=2004}.jpg", "a{.jpg", "b{.jpg", "{DT=2004}{SU=x}.jpg"});
        b.Action(QStringLiteral("mnuCheckChronology"))->trigger();
        QVERIFY(b.Sorted() && b.SortColumn() == 3 && b.SortOrder() == Qt::AscendingOrder);
        QCOMPARE(shown(false),
                 "a{.jpg Dupl 4|b{.jpg Dupl 4|{DT=2004}.jpg Dupl 4|{DT=2004}{SU=x}.jpg Dupl 4|{DT=2005}.jpg Good 1");
        b.Action(QStringLiteral("mnuSelectDupl"))->trigger();
        QCOMPARE(shown(true), QStringLiteral("a{.jpg|b{.jpg|{DT=2004}.jpg|{DT=2004}{SU=x}.jpg"));
        b.Action(QStringLiteral("mnuParseAll"))->trigger();
        QCOMPARE(shown(false),
                 "a{.jpg Fail 3|b{.jpg Fail 3|{DT=2004}.jpg Good 1|{DT=2004}{SU=x}.jpg Good 1|{DT=2005}.jpg Good 1");
    }
};

QTEST_MAIN(BrowserCommandsTest)
#include "browser_commands_test.moc"
