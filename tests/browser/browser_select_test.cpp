// The Browser's Select Files and Check Chronology on a temporary folder: the
// dialog's runs with Apply, the marks and Select by Status "Dupl".
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <numeric>

#include "browser/browser_window.h"
#include "dialogs/select_dialog.h"
#include "support/fake_windows.h"
#include "support/widgets.h"

using namespace lorvane;
using testing::child;
using testing::click;

class SelectFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    MemorySettingsStore store_;
    testing::FakeFileSystem files_;
    testing::ScriptedUserInterface ui_;
    AppContext ctx_{store_, ui_, files_, QCoreApplication::applicationDirPath()};
    std::unique_ptr<BrowserWindow> browser_;

    BrowserWindow& openOn(const QStringList& names) {
        dir_ = std::make_unique<QTemporaryDir>();
        for (const QString& name : names) QFile(dir_->path() + '/' + name).open(QIODevice::WriteOnly);
        ctx_.settings.SemanticsAttributeEnable = 0;
        ctx_.settings.BrowserAutoLoadLastFolder = 0;
        browser_ = std::make_unique<BrowserWindow>(ctx_);
        browser_->InitializeFolder(QDir(dir_->path()).canonicalPath().toStdString());
        return *browser_;
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

private slots:
    // Apply runs and brings the dialog back as it was left; the second showing removes
    // from the selection by file name and ends with OK. The Editor's row is not moved.
    void selectsByAttributeThenRemovesByNameWithApply() {
        BrowserWindow& b = openOn({"{DT=2004}{SU=Ann}.jpg", "{Update=x}.jpg", "{PL=Harbour}.jpg", "holiday photo.jpg"});
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
            QCOMPARE(d->CurrentTabIndex(), 2);
            QCOMPARE(child<QLineEdit>(*d, "ContentLabel")->text(), QStringLiteral("date"));
            QCOMPARE(shown(true), QStringLiteral("{DT=2004}{SU=Ann}.jpg|{Update=x}.jpg"));
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

    // Sorted by "Chronology", marked, selected by "Dupl"; the marks last until the rows
    // are parsed again.
    void checkChronologySortsMarksAndSelectsByDupl() {
        BrowserWindow& b =
            openOn({"{DT=2005}.jpg", "{DT=2004}{SN=2}.jpg", "a{.jpg", "b{.jpg", "{DT=2004}{SN=2}{SU=x}.jpg"});
        b.Action(QStringLiteral("mnuCheckChronology"))->trigger();
        QVERIFY(b.Sorted() && b.SortColumn() == 3 && b.SortOrder() == Qt::AscendingOrder);
        QCOMPARE(
            shown(false),
            QStringLiteral("a{.jpg Dupl 4|b{.jpg Dupl 4|{DT=2004}{SN=2}.jpg Dupl 4|{DT=2004}{SN=2}{SU=x}.jpg Dupl 4|"
                           "{DT=2005}.jpg Good 1"));
        b.Action(QStringLiteral("mnuSelectDupl"))->trigger();
        QCOMPARE(shown(true), QStringLiteral("a{.jpg|b{.jpg|{DT=2004}{SN=2}.jpg|{DT=2004}{SN=2}{SU=x}.jpg"));
        b.Action(QStringLiteral("mnuParseAll"))->trigger();
        QCOMPARE(
            shown(false),
            QStringLiteral("a{.jpg Fail 3|b{.jpg Fail 3|{DT=2004}{SN=2}.jpg Good 1|{DT=2004}{SN=2}{SU=x}.jpg Good 1|"
                           "{DT=2005}.jpg Good 1"));
    }
};

QTEST_MAIN(SelectFilesTest)
#include "browser_select_test.moc"
