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
#include "editor/editor_window.h"
#include "support/fake_file_system.h"
#include "support/memory_settings_store.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"
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
    QWidget* dialog() const { return ctx.windows.loaded(form::Options); }
};

const char kWhole[] = "Please enter a whole number between 0 and 2,147,483,647.";
const char kIllegal[] = "Delimiters may not contain illegal filename characters.";

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
            const char *shown, *message, *title;
        } rows[] = {
            {"ParseLengthMaximum", " 12.5 ", false, "12", "", ""},
            {"Build1xTopicLengthMaximum", "13.5", false, "14", "", ""},
            {"ParseShowTreeLevels", "-1", false, "-1", kWhole, "Update Integer Value"},
            {"Build1xSerialMaximum", "2147483648", false, "2147483648", kWhole, "Update Integer Value"},
            {"BuildLengthMaximum", "many", true, "many", kWhole, "Update Integer Value"},
            {"ParseDateMinimumYear", "0999", false, "999", "Minimum Year must be between 1000 and 9999", "Update Year"},
            {"ParseDateMinimumYear", "2101", true, "2101", "Minimum Year may not be larger than Maximum Year",
             "Update Year"},
            {"ParseDateMaximumYear", "10000", false, "10000", "Maximum Year must be between 1000 and 9999",
             "Update Year"},
            {"ParseDateMaximumYear", "1899", false, "1899", "Maximum Year may not be smaller than Minimum Year",
             "Update Year"},
            {"Parse1xAttributeExtension", "date", false, "date", "", ""},
            {"Parse1xAttributeTopic", "Serial", false, "Serial",
             "Date, Serial, Topic, and Extension attribute names must all be different.", "Validate 1.x Attributes"},
            {"Parse1xAttributeDate", "DateDateDateDateDateD", false, "DateDateDateDateDateD",
             "Please enter an attribute name between 1 and 20 characters in length.", "Validate 1.x Attributes"},
            {"Parse1xAttributeSerial", "a|b", false, "a|b", "Attribute names may not contain illegal characters.",
             "Validate 1.x Attributes"},
            {"Build1xDelimiterExtension", ":", false, ":", kIllegal, "Validate Delimiters"},
            {"BuildDateDelimiterRange", "*", false, "*", kIllegal, "Validate Delimiters"},
            {"Build2xDelimiterStart", "<", false, "<", kIllegal, "Validate Delimiters"},
            {"Parse2xDelimiterEnd", "{{", false, "{{", "Parse Start and Parse End delimiters may not overlap.",
             "Validate Delimiters"},
            {"Parse2xDelimiterLabel", "", true, "", "Parse Start and Parse Label delimiters may not overlap.",
             "Validate Delimiters"},
            {"Build2xDelimiterValue", "=", false, "=", "Build Label and Build Value delimiters may not overlap.",
             "Validate Delimiters"},
        };
        for (const auto& row : rows) {
            Session s;
            OptionsDialog& d = s.open();
            auto* tabs = child<QTabWidget>(d, "TabStrip1");
            auto* field = child<QLineEdit>(d, row.field);
            int page = 0;
            while (!tabs->widget(page)->isAncestorOf(field)) ++page;
            tabs->setCurrentIndex(page);
            field->setFocus();
            field->setText(QString::fromUtf8(row.typed));
            QTest::keyClick(field, Qt::Key_Tab, row.ctrlTab ? Qt::ControlModifier : Qt::NoModifier);
            QCoreApplication::processEvents();
            const bool refused = *row.message;
            QStringList got = {row.field, field->text()};
            for (const auto& m : s.ui.messages)
                got << m.text << m.title << QString::number(m.icon == MessageIcon::Exclamation);
            QStringList expected = {row.field, QString::fromUtf8(row.shown)};
            if (refused) expected << row.message << row.title << "1";
            QCOMPARE(got, expected);
            QCOMPARE(QApplication::focusWidget() == field, refused);
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
        const auto enabled = [&d] {
            QString on;
            for (auto* frame : {"fraAttributeSemantics", "fraValueSemantics"})
                for (QComboBox* list : child(d, frame)->findChildren<QComboBox*>()) on += list->isEnabled() ? "1" : "0";
            return on;
        };
        QCOMPARE(enabled(), "1000000011111");
        child<QComboBox>(d, "SemanticsAttributeEnable")->setCurrentIndex(1);
        child<QComboBox>(d, "SemanticsValueEnable")->setCurrentIndex(0);
        QCOMPARE(enabled(), "1111111110000");
        child<QPushButton>(d, "cmdApply")->click();
        QCOMPARE(s.store.read("Semantics", "SemanticsAttributeReorder"), "1");
        QCOMPARE(s.store.read("Semantics", "SemanticsValueConsolidate"), "1");
    }

    // OK and Apply copy every value, have the Editor (made for it) evaluate its name and save all 77;
    // OK and Return then close. Cancel and Esc copy nothing. A refused field keeps the dialog as it was.
    void okApplyAndCancel() {
        const struct {
            const char* press;  // a button, or a key pressed in the field
            const char* typed;
            bool open, copied;
        } rows[] = {{"cmdOK", "12.5", false, true},      {"cmdApply", "12.5", true, true},
                    {"cmdCancel", "12.5", false, false}, {"Escape", "12.5", false, false},
                    {"Return", "12.5", false, true},     {"Return", "x", true, false},
                    {"cmdOK", "x", true, false}};
        for (const auto& row : rows) {
            Session s;
            OptionsDialog& d = s.open();
            child<QComboBox>(d, "ParseFormat")->setCurrentIndex(3);
            auto* field = child<QLineEdit>(d, "ParseLengthMaximum");
            field->setFocus();
            field->setText(QLatin1String(row.typed));
            const QString press = QLatin1String(row.press);
            if (press.startsWith("cmd")) QTest::mouseClick(child(d, press), Qt::LeftButton);
            else QTest::keyClick(field, press == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
            QCoreApplication::processEvents();
            QCOMPARE(s.dialog() && s.dialog()->isVisible(), row.open);
            QCOMPARE(s.ctx.settings.ParseMode == "Batch" && s.ctx.settings.ParseLengthMaximum == 12, row.copied);
            QCOMPARE(s.ctx.windows.loaded(form::Editor) != nullptr, row.copied);
            QCOMPARE(s.store.size(), row.copied ? kGlobalSettingCount : 0u);
            QCOMPARE(s.store.read("General", "ParseMode").value_or(""), row.copied ? "Batch" : "");
        }
    }

    // From the Editor's Tools/Options, beside it: a change applied shows in the Editor at once,
    // and the item again brings the same dialog forward.
    void aChangeTakesEffectInTheEditorAtOnce() {
        Session s;
        s.ctx.settings.SemanticsAttributeEnable = s.ctx.settings.SemanticsValueEnable = 0;
        auto* editor = static_cast<EditorWindow*>(s.ctx.windows.show(form::Editor));
        bool viewerHandled = true;
        editor->InitializeFilename("/photos", "{SU=Ann}.jpg", viewerHandled);
        auto status = [editor] { return child<QLabel>(*editor, "StatusText")->text(); };
        QCOMPARE(status(), "Lorvane Data 2.x");
        auto* options = child<QAction>(*editor, "mnuOptions");
        options->trigger();
        QWidget* d = s.dialog();
        QVERIFY(d && d->isVisible() && !d->isModal());
        child<QComboBox>(*d, "ParseFormat")->setCurrentText("1.x");
        child<QPushButton>(*d, "cmdApply")->click();
        QVERIFY(status() != "Lorvane Data 2.x");
        options->trigger();
        QCOMPARE(s.dialog(), d);
    }
};

LORVANE_QTEST(OptionsDialogTest);

}  // namespace lorvane

#include "options_dialog_test.moc"
