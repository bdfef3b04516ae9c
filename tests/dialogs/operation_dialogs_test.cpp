// frmChangeSequence, frmAddContent, frmRemoveContent and frmSelect: enabling, field checks, questions.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "dialogs/add_content_dialog.h"
#include "dialogs/change_sequence_dialog.h"
#include "dialogs/remove_content_dialog.h"
#include "dialogs/select_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;
using testing::click;

class OperationDialogsTest : public QObject {
    Q_OBJECT

private slots:
    // It opens on Generate for files that lack numbers; mnemonics choose an option and its fields.
    void sequenceOptionEnablesOnlyItsFields() {
        testing::ScriptedUserInterface ui;
        ChangeSequenceDialog d(ui);
        QVERIFY(d.request().mode == SequenceChange::Generate && !d.request().allFiles && d.request().step == 1);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const QStringList fields = {"SequenceGenerateMode", "SequenceStep", "SequenceReplace", "SequenceShift"};
        // Alt and the letter; the option then; the field that has the focus (n: a disabled field's label does nothing).
        const std::tuple<char, int, int> steps[] = {{'r', 2, 2}, {'s', 3, 3}, {'n', 3, 3}, {'g', 1, 0}, {'e', 1, 1}};
        for (const auto& [key, option, focus] : steps) {
            QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), fields[focus]);
            QCOMPARE(d.option(), option);
            for (int f = 0; f < 4; ++f) QCOMPARE(child(d, fields[f])->isEnabled(), std::max(f, 1) == option);
        }
        child<QComboBox>(d, "SequenceGenerateMode")->setCurrentIndex(1);
        QVERIFY(d.request().allFiles);
    }

    // On leaving (Tab) or Return, the chosen option's fields only: Step and Amount signed, Start and
    // Number not; past 32 bits refused with the focus kept and the dialog open.
    void sequenceFieldsAreCheckedOnLeavingAndOnReturn() {
        const struct {
            int option;
            const char *field, *typed;
            Qt::Key key;
            const char* shown;  // "": refused
        } cases[] = {
            {1, "SequenceStep", "3", Qt::Key_Tab, "+3"},
            {1, "SequenceStart", "-5", Qt::Key_Tab, "5"},
            {3, "SequenceShift", "2147483648", Qt::Key_Tab, ""},
            {3, "SequenceShift", "4", Qt::Key_Return, "+4"},
            {1, "SequenceStep", "99999999999", Qt::Key_Return, ""},
            {2, "SequenceShift", "99999999999", Qt::Key_Return, "99999999999"},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            ChangeSequenceDialog d(ui);
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.ChooseOption(c.option);
            auto* field = child<QLineEdit>(d, c.field);
            field->setFocus();
            field->setText(QString::fromLatin1(c.typed));
            QTest::keyClick(field, c.key);  // Return: the default button, without leaving the field
            QCoreApplication::processEvents();
            const bool refused = !*c.shown;
            QCOMPARE(field->hasFocus(), refused);
            QCOMPARE(field->text(), QString::fromLatin1(refused ? c.typed : c.shown));
            QCOMPARE(d.Confirm, c.key == Qt::Key_Return && !refused);
            QString said;
            for (const auto& m : ui.messages) said += m.title + '|' + m.text;
            QCOMPARE(said, refused ? "Change Sequence Numbers|Please enter a whole number between -2,147,483,647 and "
                                     "+2,147,483,647."
                                   : "");
        }
    }

    // OK with a blank name (N) or value (V) asks; No stays with the focus in that field. Texts
    // never left are trimmed first. Under a value, the context fields are enabled.
    void addContentAsksAboutBlankFields() {
        const struct {
            const char *attribute, *value, *answers, *asked, *stayedIn;  // stayedIn "": confirmed
        } cases[] = {
            {"Place", "Harbour", "", "", ""},       {"", "Harbour", "N", "N", "ContentAttribute"},
            {"   ", "Harbour", "Y", "N", ""},       {"Place", "", "N", "V", "ContentValue"},
            {"", " ", "YN", "NV", "ContentValue"},  {"", "", "YY", "NV", ""},
            {"", "", "N", "N", "ContentAttribute"},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            for (const char* a = c.answers; *a; ++a)
                ui.answers.push_back(*a == 'Y' ? MessageAnswer::Yes : MessageAnswer::No);
            AddContentDialog d(ui);
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            click(d, QStringLiteral("optContext%1").arg(1 + !*c.asked));
            QCOMPARE(child(d, "ContextValue")->isEnabled() + d.request().subAttribute * 2, *c.asked ? 0 : 3);
            child<QLineEdit>(d, "ContentAttribute")->setText(c.attribute);
            child<QLineEdit>(d, "ContentValue")->setText(c.value);
            child(d, "ContentValue")->setFocus();
            QTest::keyClick(child(d, "ContentValue"), Qt::Key_Return);
            QString asked;
            for (const auto& m : ui.messages) {
                asked += m.text.endsWith(QStringLiteral("name?")) ? 'N' : 'V';
                QCOMPARE(m.title + '|' + m.text, QStringLiteral("Add Content|Are you sure you want to add an attribute "
                                                                "with a blank %1?")
                                                     .arg(asked.endsWith('N') ? "name" : "value"));
                QCOMPARE(m.buttons, MessageButtons::YesNoDefaultNo);
            }
            QCOMPARE(asked, QString::fromLatin1(c.asked));
            QCOMPARE(d.isVisible() ? d.focusWidget()->objectName() : QString(), QString::fromLatin1(c.stayedIn));
            QCOMPARE(d.Confirm, !*c.stayedIn);
            QCOMPARE(child<QLineEdit>(d, "ContentAttribute")->text(), QString::fromLatin1(c.attribute).trimmed());
        }
    }

    // Each option enables only its fields (by letter: text, value label and text, context
    // attribute, its value's label and text); the request follows, its texts trimmed.
    void removeContentOptionsEnableTheirFieldsOnly() {
        RemoveContentDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const char* cases[][2] = {{"optContent1", ""},     {"optContent5", "VV"},  {"optContent3", "A"},
                                  {"optContext3", "ACDD"}, {"optContent4", "CDD"}, {"optContent2", "CDD"},
                                  {"optContext2", ""},     {"optContext1", ""}};
        const QString fields[] = {"ContentAttribute", "lblContentValue", "ContentValue",
                                  "ContextAttribute", "ContextValue",    "lblContextValue"};
        for (const auto& c : cases) {
            click(d, c[0]);
            QString enabled;
            for (int f = 0; f < 6; ++f) enabled += child(d, fields[f])->isEnabled() ? "AVVCDD"[f] : ' ';
            QCOMPARE(enabled.remove(' '), QString::fromLatin1(c[1]));
        }
        for (const char* option : {"optContent3", "optContext3", "optSubAttributes2"}) click(d, option);
        child<QLineEdit>(d, "ContextValue")->setText(QStringLiteral(" Nikon "));
        QVERIFY(d.request().criterion == RemoveCriterion::AttributesNamed && d.request().promote);
        QVERIFY(d.request().context == RemoveContext::SubAttributeOf && d.request().contextValue == "Nikon");
    }

    // First tab and action at first; Control+Tab goes round; a frame's last option enables its fields.
    void selectTabsAndOptionsEnableTheirFields() {
        SelectDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.CurrentTabIndex() * 10 + d.CurrentOperationIndex(), 11);
        child(d, "Filename")->setFocus();
        for (int expected : {2, 1, 2}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(int(d.request().tab) * 10 + child(d, "TabFrame2")->isVisible(), expected * 10 + (expected == 2));
        }
        const QStringList options = {"optLabel", "optValue", "optContext"};
        const QStringList fields[] = {{"ContentLabel", "chkLabelWholeWord", "chkLabelMatchCase"},
                                      {"ContentValue", "chkValueWholeWord", "chkValueMatchCase"},
                                      {"ContextLabel", "ContextValue"}};
        for (int o = 0; o < 3; ++o)
            for (int i = 1, last = o == 2 ? 3 : 4; i <= last; ++i) {
                click(d, options[o] + QString::number(i));
                for (const QString& f : fields[o]) QCOMPARE(child(d, f)->isEnabled(), i == last);
            }
    }
};

LORVANE_QTEST(OperationDialogsTest);

}  // namespace lorvane

#include "operation_dialogs_test.moc"
