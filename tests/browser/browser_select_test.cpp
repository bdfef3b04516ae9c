// The Browser's Select Files and Check Chronology on a temporary folder: the
// dialog's runs with Apply, the marks and Select by Status "Dupl".
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "browser/browser_window.h"
#include "dialogs/select_dialog.h"
#include "support/fake_windows.h"

using namespace lorvane;

class SelectFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    MemorySettingsStore store_;
    testing::FakeFileSystem files_;
    testing::ScriptedUserInterface ui_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<BrowserWindow> browser_;

    BrowserWindow& openOn(const std::vector<std::string>& names) {
        const QString folder = QDir(dir_.path()).canonicalPath();
        for (const QString& old : QDir(folder).entryList(QDir::Files)) QFile::remove(folder + '/' + old);
        for (const std::string& name : names)
            QFile(folder + '/' + QString::fromStdString(name)).open(QIODevice::WriteOnly);
        browser_ = std::make_unique<BrowserWindow>(*ctx_);
        browser_->InitializeFolder(folder.toStdString());
        return *browser_;
    }
    QStringList selectedNames() const {
        QStringList names;
        for (int r : browser_->SelectedRows()) names << QString::fromStdString(browser_->Model().row(r).Text);
        return names;
    }
    static void click(QWidget* d, const char* name) {
        QWidget* w = d->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(w, name);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(8, w->width() / 2), w->height() / 2));
    }

private slots:
    void init() {
        files_ = testing::FakeFileSystem();
        ctx_ = std::make_unique<AppContext>(store_, ui_, files_, QCoreApplication::applicationDirPath());
        ctx_->settings.SemanticsAttributeEnable = 0;
        ctx_->settings.BrowserAutoLoadLastFolder = 0;
    }
    void cleanup() {
        browser_.reset();
        ctx_.reset();
    }

    // Apply runs and brings the dialog back as it was left; the second showing
    // removes from the selection by file name and ends with OK.
    void selectsByAttributeThenRemovesByNameWithApply() {
        BrowserWindow& b = openOn({"{DT=2004}{SU=Ann}.jpg", "{Update=x}.jpg", "{PL=Harbour}.jpg", "holiday photo.jpg"});
        b.SetCurrentRow(2);
        int shown = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* d = b.findChild<SelectDialog*>(QStringLiteral("frmSelect"));
            if (!d || !d->isVisible()) return;
            if (++shown == 1) {
                d->ShowTab(2);
                click(d, "optLabel4");
                d->findChild<QLineEdit*>(QStringLiteral("ContentLabel"))->setText(QStringLiteral(" date "));
                click(d, "cmdApply");
            } else {
                QCOMPARE(d->CurrentTabIndex(), 2);
                QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("ContentLabel"))->text(), QStringLiteral("date"));
                QCOMPARE(selectedNames(), (QStringList{"{DT=2004}{SU=Ann}.jpg", "{Update=x}.jpg"}));
                d->ShowTab(1);
                click(d, "optOperation4");
                d->findChild<QLineEdit*>(QStringLiteral("Filename"))->setText(QStringLiteral("UPDATE"));
                click(d, "cmdOK");
            }
        });
        answer.start(5);
        b.Action(QStringLiteral("mnuSelectFiles"))->trigger();
        answer.stop();
        QCOMPARE(shown, 2);
        QCOMPARE(selectedNames(), QStringList{"{DT=2004}{SU=Ann}.jpg"});
        QCOMPARE(b.CurrentRow(), 2);    // the Editor's row is not moved
        QVERIFY(ui_.messages.empty());  // no report
        QVERIFY(b.isEnabled());
    }

    void checkChronologySortsMarksAndSelectsByDupl() {
        BrowserWindow& b = openOn({"{DT=2005}.jpg", "{DT=2004}{SN=2}.jpg", "a{.jpg", "{DT=2004}{SN=2}{SU=x}.jpg",
                                   "b{.jpg", "{DT=2004}{SN=3}.jpg"});
        b.Action(QStringLiteral("mnuCheckChronology"))->trigger();
        QVERIFY(b.Sorted());
        QCOMPARE(b.SortColumn(), 3);
        QCOMPARE(b.SortOrder(), Qt::AscendingOrder);
        QStringList shown;
        for (const FileRow& r : b.Model().rows())
            shown << QString::fromStdString(r.Text + " " + r.Status + " " + std::to_string(r.Icon));
        QCOMPARE(shown, (QStringList{"a{.jpg Dupl 4", "b{.jpg Dupl 4", "{DT=2004}{SN=2}.jpg Dupl 4",
                                     "{DT=2004}{SN=2}{SU=x}.jpg Dupl 4", "{DT=2004}{SN=3}.jpg Good 1",
                                     "{DT=2005}.jpg Good 1"}));
        b.Action(QStringLiteral("mnuSelectDupl"))->trigger();
        QCOMPARE(selectedNames(),
                 (QStringList{"a{.jpg", "b{.jpg", "{DT=2004}{SN=2}.jpg", "{DT=2004}{SN=2}{SU=x}.jpg"}));
        // The marks last until the rows are parsed again.
        b.Action(QStringLiteral("mnuParseAll"))->trigger();
        QCOMPARE(b.Model().row(0).Status, std::string("Fail"));
        QCOMPARE(b.Model().row(2).Message, std::string("Lorvane Data 2.x"));
    }
};

QTEST_MAIN(SelectFilesTest)
#include "browser_select_test.moc"
