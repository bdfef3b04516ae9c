// frmOptions as the program joins it: the checks on leaving a field, the master
// switches, Ctrl+Tab, and what OK, Apply and Cancel copy and save.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/register_windows.h"
#include "dialogs/options_dialog.h"
#include "support/fake_windows.h"
#include "support/qt_test_main.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;

namespace {

struct Session {
    MemorySettingsStore store;
    testing::ScriptedUserInterface ui;
    testing::FakeFileSystem files;
    AppContext ctx{store, ui, files, QStringLiteral("/opt/lorvane")};
    Session() { RegisterWindows(ctx); }
    ~Session() { ctx.windows.destroyAll(); }
    OptionsDialog& open() {
        auto* d = static_cast<OptionsDialog*>(ctx.windows.show(form::Options));
        if (!QTest::qWaitForWindowActive(d)) qWarning("frmOptions is not active");
        return *d;
    }
};

const char kWhole[] = "Please enter a whole number between 0 and 2,147,483,647.|Update Integer Value";
const char kIllegal[] = "Delimiters may not contain illegal filename characters.|Validate Delimiters";

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Left by Tab (or Ctrl+Tab, whose new page gives way to the refused field's): an accepted
    // number is rewritten; a refusal says why, in its box, and the focus stays in the field.
    void fieldsAreCheckedOnLeaving() {
        const struct {
            const char *field, *typed;
            bool ctrlTab;
            const char *shown, *refusal;  // shown: nullptr when as typed; refusal: "message|title"
        } rows[] = {
            {"ParseLengthMaximum", " 12.5 ", false, "12", nullptr},
            {"BuildLengthMaximum", "many", true, nullptr, kWhole},
            {"ParseDateMinimumYear", "0999", false, "999", "Minimum Year must be between 1000 and 9999|Update Year"},
            {"ParseDateMaximumYear", "1899", false, nullptr,
             "Maximum Year may not be smaller than Minimum Year|Update Year"},
            {"Parse1xAttributeTopic", "Serial", false, nullptr,
             "Date, Serial, Topic, and Extension attribute names must all be different.|Validate 1.x Attributes"},
            {"Parse1xAttributeDate", "DateDateDateDateDateD", false, nullptr,
             "Please enter an attribute name between 1 and 20 characters in length.|Validate 1.x Attributes"},
            {"Build1xDelimiterExtension", ":", false, nullptr, kIllegal},
            {"BuildDateDelimiterRange", "*", false, nullptr, kIllegal},
            {"Parse2xDelimiterLabel", "", true, nullptr,
             "Parse Start and Parse Label delimiters may not overlap.|Validate Delimiters"},
            {"Build2xDelimiterValue", "=", false, nullptr,
             "Build Label and Build Value delimiters may not overlap.|Validate Delimiters"},
        };
        for (const auto& row : rows) {
            Session s;
            OptionsDialog& d = s.open();
            auto* field = child<QLineEdit>(d, row.field);
            const int page = child<QTabWidget>(d, "TabStrip1")->indexOf(field->parentWidget()->parentWidget());
            child<QTabWidget>(d, "TabStrip1")->setCurrentIndex(page);
            field->setFocus();
            field->setText(QString::fromUtf8(row.typed));
            QTest::keyClick(field, Qt::Key_Tab, row.ctrlTab ? Qt::ControlModifier : Qt::NoModifier);
            QTRY_COMPARE(QApplication::focusWidget() == field, row.refusal != nullptr);
            QStringList got = {row.field, field->text()};
            for (const auto& m : s.ui.messages) got << m.text + "|" + m.title << QString::number(int(m.icon));
            QStringList expected = {row.field, QString::fromUtf8(row.shown ? row.shown : row.typed)};
            if (row.refusal) expected << row.refusal << QString::number(int(MessageIcon::Exclamation));
            QCOMPARE(got, expected);
            QCOMPARE(d.CurrentTab(), page);
        }
    }

    // Ctrl+Tab from anywhere gives the tab strip the focus and the next tab, the last wrapping to the first.
    void controlTabGoesRound() {
        Session s;
        OptionsDialog& d = s.open();
        child(d, "StartupOpenBrowser")->setFocus();
        for (int expected : {1, 2, 3, 4, 0}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(d.CurrentTab(), expected);
            QCOMPARE(QApplication::focusWidget(), child<QTabWidget>(d, "TabStrip1")->tabBar());
        }
    }

    // Each master switch greys the lists of its frame, on opening too; they keep their values, which are saved.
    void masterSwitchesGreyTheirLists() {
        Session s;
        s.ctx.settings.SemanticsAttributeEnable = 0;
        s.ctx.settings.SemanticsAttributeReorder = 1;
        OptionsDialog& d = s.open();
        QString enabled;
        for (const char* flip : {"", "SemanticsAttributeEnable", "SemanticsValueEnable"}) {
            if (*flip) child<QComboBox>(d, flip)->setCurrentIndex(1 - child<QComboBox>(d, flip)->currentIndex());
            for (QComboBox* list : child(d, "Frame1_4")->findChildren<QComboBox*>())
                enabled += list->isEnabled() ? "1" : "0";
            enabled += ' ';
        }
        QCOMPARE(enabled, "1000000011111 1111111111111 1111111110000 ");
        child<QPushButton>(d, "cmdApply")->click();
        QCOMPARE(s.store.read("Semantics", "SemanticsAttributeReorder"), "1");
    }

    // From the Editor's Tools/Options, beside it: OK and Apply copy every value, have the Editor evaluate
    // its name at once and save all 77; OK and Return then close. Cancel and Esc copy nothing; nor does
    // a refused field, which keeps the dialog open.
    void okApplyAndCancel() {
        const struct {
            const char *press, *typed;  // press: a button, or a key pressed in the field
            const char* outcome;        // open, copied, the Editor's status, saved
        } rows[] = {{"cmdOK", "12.5", "0 1 0 77"}, {"cmdApply", "12.5", "1 1 0 77"}, {"cmdCancel", "12.5", "0 0 1 0"},
                    {"Escape", "12.5", "0 0 1 0"}, {"Return", "12.5", "0 1 0 77"},   {"cmdOK", "x", "1 0 1 0"}};
        for (const auto& row : rows) {
            Session s;
            s.ctx.settings.SemanticsAttributeEnable = s.ctx.settings.SemanticsValueEnable = 0;
            QWidget& editor = *s.ctx.windows.show(form::Editor);
            bool viewerHandled = true;
            s.ctx.windows.editor()->InitializeFilename("/photos", "{SU=Ann}.jpg", viewerHandled);
            child<QAction>(editor, "mnuOptions")->trigger();
            QWidget& d = *s.ctx.windows.loaded(form::Options);
            QVERIFY(QTest::qWaitForWindowActive(&d) && !d.isModal());
            child<QComboBox>(d, "ParseFormat")->setCurrentText("1.x");
            auto* field = child<QLineEdit>(d, "ParseLengthMaximum");
            field->setFocus();
            field->setText(QLatin1String(row.typed));
            const QString press = QLatin1String(row.press);
            if (press.startsWith("cmd")) QTest::mouseClick(child(d, press), Qt::LeftButton);
            else QTest::keyClick(field, press == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
            QCoreApplication::processEvents();
            const GlobalSettings& now = s.ctx.settings;
            QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                         .arg(s.ctx.windows.IsFormVisible(form::Options))
                         .arg(now.ParseMode == "1.x" && now.ParseLengthMaximum == 12)
                         .arg(child<QLabel>(editor, "StatusText")->text() == "Lorvane Data 2.x")
                         .arg(s.store.size()),
                     row.outcome);
            QCOMPARE(s.store.read("General", "ParseMode").value_or(""), s.store.size() ? "1.x" : "");
        }
    }
};

LORVANE_QTEST(OptionsDialogTest);

}  // namespace lorvane

#include "options_dialog_test.moc"
