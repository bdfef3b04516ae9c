// frmChangeSequence: the option's fields enabled, the number fields checked on
// leaving and on Return.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "dialogs/change_sequence_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;

class ChangeSequenceDialogTest : public QObject {
    Q_OBJECT

private slots:
    // It opens on Generate for files that lack numbers; mnemonics choose an option and
    // enable only its fields.
    void choosingAnOptionEnablesOnlyItsFields() {
        testing::ScriptedUserInterface ui;
        ChangeSequenceDialog d(ui);
        const ChangeSequenceRequest r = d.request();
        QVERIFY(r.mode == SequenceChange::Generate && !r.allFiles && r.start == 1 && r.step == 1);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const QStringList fields = {"SequenceGenerateMode", "SequenceStep", "SequenceReplace", "SequenceShift"};
        const int optionOf[] = {1, 1, 2, 3};
        const struct {
            Qt::Key key;
            int option;
            const char* focus;
        } steps[] = {{Qt::Key_R, 2, "SequenceReplace"},
                     {Qt::Key_S, 3, "SequenceShift"},
                     {Qt::Key_N, 3, "SequenceShift"},  // a disabled field's label does nothing
                     {Qt::Key_G, 1, "SequenceGenerateMode"},
                     {Qt::Key_E, 1, "SequenceStep"}};
        for (const auto& s : steps) {
            QTest::keyClick(QApplication::focusWidget(), s.key, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(s.focus));
            QCOMPARE(d.option(), s.option);
            for (int f = 0; f < 4; ++f) QCOMPARE(child(d, fields[f])->isEnabled(), optionOf[f] == s.option);
        }
        child<QComboBox>(d, "SequenceGenerateMode")->setCurrentIndex(1);
        QVERIFY(d.request().allFiles);
    }

    // On leaving a field (Tab) or on Return in it, as the chosen option's: Step and
    // Amount shown with their sign, Start and Number without; past 32 bits is refused
    // with the focus kept and the dialog open. Another option's field is not checked.
    void fieldsAreCheckedOnLeavingAndOnReturn() {
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
            const bool focusKept = field->hasFocus();
            const bool refused = !*c.shown;
            QCOMPARE(child<QLineEdit>(d, c.field)->text(), QString::fromLatin1(refused ? c.typed : c.shown));
            QCOMPARE(focusKept, refused);
            QCOMPARE(d.Confirm, c.key == Qt::Key_Return && !refused);
            QCOMPARE(ui.messages.size(), std::size_t(refused));
            if (refused)
                QCOMPARE(
                    ui.messages[0].text + '|' + ui.messages[0].title,
                    "Please enter a whole number between -2,147,483,647 and +2,147,483,647.|Change Sequence Numbers");
        }
    }
};

LORVANE_QTEST(ChangeSequenceDialogTest);

}  // namespace lorvane

#include "change_sequence_dialog_test.moc"
