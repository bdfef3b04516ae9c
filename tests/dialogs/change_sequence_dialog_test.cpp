// frmChangeSequence: the option's fields enabled, the number fields checked on
// leaving and on Return.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

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

    // Step and Amount keep a sign, always shown; Start and Number lose theirs; text
    // that is no number is 0; past 32 bits is refused with the focus kept.
    void fieldsAreCheckedOnLeaving() {
        const struct {
            int option;
            const char *field, *typed, *shown;
        } cases[] = {
            {1, "SequenceStep", "3", "+3"},          {1, "SequenceStep", "up", "+0"},
            {1, "SequenceStart", "-5", "5"},         {1, "SequenceStart", "+007", "7"},
            {2, "SequenceReplace", "-12", "12"},     {3, "SequenceShift", "0", "+0"},
            {1, "SequenceStart", "-2147483648", ""},  // refused: "" (the text stays)
            {3, "SequenceShift", "2147483648", ""},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            ChangeSequenceDialog d(ui);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.ChooseOption(c.option);
            auto* edit = child<QLineEdit>(d, c.field);
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, c.typed);
            QTest::keyClick(edit, Qt::Key_Tab);
            QCoreApplication::processEvents();
            const bool refused = !*c.shown;
            QCOMPARE(edit->text(), QString::fromLatin1(refused ? c.typed : c.shown));
            QCOMPARE(edit->hasFocus(), refused);
            QCOMPARE(ui.messages.size(), std::size_t(refused));
            if (refused)
                QCOMPARE(
                    ui.messages[0].text + '|' + ui.messages[0].title,
                    "Please enter a whole number between -2,147,483,647 and +2,147,483,647.|Change Sequence Numbers");
        }
    }

    // Return in a field never left checks it as leaving would, but only the chosen
    // option's fields: a refusal keeps the dialog open, an accepted number confirms.
    void returnChecksTheChosenOptionsFields() {
        const struct {
            int option;
            const char *field, *text, *shown;
            bool confirmed;
        } cases[] = {
            {1, "SequenceStep", "99999999999", "99999999999", false},
            {3, "SequenceShift", "4", "+4", true},
            {2, "SequenceShift", "99999999999", "99999999999", true},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            ChangeSequenceDialog d(ui);
            d.ChooseOption(c.option);
            QTimer::singleShot(0, &d, [&] {
                auto* field = child<QLineEdit>(d, c.field);
                field->setFocus();
                field->setText(QString::fromLatin1(c.text));
                QTest::keyClick(field, Qt::Key_Return);  // the default button, without leaving the field
                if (d.isVisible()) d.reject();
            });
            d.Run();
            QCOMPARE(d.Confirm, c.confirmed);
            QCOMPARE(ui.messages.size(), std::size_t(!c.confirmed));
            QCOMPARE(child<QLineEdit>(d, c.field)->text(), QString::fromLatin1(c.shown));
        }
    }
};

LORVANE_QTEST(ChangeSequenceDialogTest);

}  // namespace lorvane

#include "change_sequence_dialog_test.moc"
