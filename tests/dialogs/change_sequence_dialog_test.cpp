#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/change_sequence_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

class ChangeSequenceDialogTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        if (!c) qFatal("no child %s", qPrintable(name));
        return c;
    }

private slots:
    void opensOnGenerateForFilesThatLackNumbers() {
        testing::ScriptedUserInterface ui;
        ChangeSequenceDialog d(ui);
        QCOMPARE(d.option(), 1);
        QCOMPARE(child<QComboBox>(d, "SequenceGenerateMode")->currentText(),
                 QStringLiteral("Files that lack Sequence Numbers"));
        const char* texts[][2] = {
            {"SequenceStart", "1"}, {"SequenceStep", "+1"}, {"SequenceReplace", "0"}, {"SequenceShift", "+0"}};
        for (const auto& t : texts) QCOMPARE(child<QLineEdit>(d, t[0])->text(), QString::fromLatin1(t[1]));
        const ChangeSequenceRequest r = d.request();
        QVERIFY(r.mode == SequenceChange::Generate && !r.allFiles && r.start == 1 && r.step == 1);
        child<QComboBox>(d, "SequenceGenerateMode")->setCurrentIndex(1);
        QVERIFY(d.request().allFiles);
    }

    // Mnemonics and clicks choose an option and enable only its fields.
    void choosingAnOptionEnablesOnlyItsFields() {
        testing::ScriptedUserInterface ui;
        ChangeSequenceDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const char* fields[] = {"SequenceGenerateMode", "SequenceStep", "SequenceReplace", "SequenceShift"};
        const int optionOf[] = {1, 1, 2, 3};
        const struct {
            Qt::Key key;
            int option;
            const char* focus;
        } steps[] = {{Qt::Key_R, 2, "SequenceReplace"}, {Qt::Key_S, 3, "SequenceShift"},
                     {Qt::Key_N, 3, "SequenceShift"},  // a disabled field's label does nothing
                     {Qt::Key_G, 1, "SequenceGenerateMode"}, {Qt::Key_E, 1, "SequenceStep"}};
        for (const auto& s : steps) {
            QTest::keyClick(QApplication::focusWidget(), s.key, Qt::AltModifier);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(s.focus));
            QCOMPARE(d.option(), s.option);
            for (int f = 0; f < 4; ++f) QCOMPARE(child<QWidget>(d, fields[f])->isEnabled(), optionOf[f] == s.option);
        }
        QTest::mouseClick(child<QRadioButton>(d, "optSequence3"), Qt::LeftButton);
        QVERIFY(d.request().mode == SequenceChange::Shift);
    }

    // Step and Amount keep a sign, always shown; Start and Number lose theirs; text
    // that is no number is 0; past 32 bits is refused with the focus kept.
    void fieldsAreCheckedOnLeaving_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::addRow("step gets a sign") << 1 << "SequenceStep" << "3" << "+3" << false;
        QTest::addRow("step letters") << 1 << "SequenceStep" << "up" << "+0" << false;
        QTest::addRow("start made absolute") << 1 << "SequenceStart" << "-5" << "5" << false;
        QTest::addRow("start loses its plus") << 1 << "SequenceStart" << "+007" << "7" << false;
        QTest::addRow("start letters") << 1 << "SequenceStart" << "first" << "0" << false;
        QTest::addRow("start too large") << 1 << "SequenceStart" << "-2147483648" << "-2147483648" << true;
        QTest::addRow("number made absolute") << 2 << "SequenceReplace" << "-12" << "12" << false;
        QTest::addRow("amount zero") << 3 << "SequenceShift" << "0" << "+0" << false;
        QTest::addRow("amount too large") << 3 << "SequenceShift" << "2147483648" << "2147483648" << true;
    }
    void fieldsAreCheckedOnLeaving() {
        QFETCH(int, option);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        testing::ScriptedUserInterface ui;
        ChangeSequenceDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.ChooseOption(option);
        auto* edit = child<QLineEdit>(d, field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(edit->text(), shown);
        QCOMPARE(edit->hasFocus(), refused);
        QCOMPARE(ui.messages.size(), std::size_t(refused ? 1 : 0));
        if (refused) {
            QCOMPARE(ui.messages[0].text,
                     QStringLiteral("Please enter a whole number between -2,147,483,647 and +2,147,483,647."));
            QCOMPARE(ui.messages[0].title, QStringLiteral("Change Sequence Numbers"));
            QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
            return;
        }
        const ChangeSequenceRequest r = d.request();
        const std::int64_t read[] = {r.start, r.step, r.number, r.amount};
        const QStringList names = {"SequenceStart", "SequenceStep", "SequenceReplace", "SequenceShift"};
        QCOMPARE(read[names.indexOf(field)], std::int64_t(shown.toLongLong()));
    }

    // Return in a field never left checks it as leaving would: a refusal keeps the
    // dialog open; an accepted number is rewritten and confirms.
    void returnChecksTheChosenOptionsFields() {
        struct Case {
            int option;
            const char *field, *text, *shown;
            bool confirmed;
        } cases[] = {
            {1, "SequenceStep", "99999999999", "99999999999", false},
            {3, "SequenceShift", "4", "+4", true},
            // Fields of the other options are not the run's and are not checked.
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
            QCOMPARE(ui.messages.size(), std::size_t(c.confirmed ? 0 : 1));
            QCOMPARE(child<QLineEdit>(d, c.field)->text(), QString::fromLatin1(c.shown));
        }
    }
};

LORVANE_QTEST(ChangeSequenceDialogTest);

}  // namespace lorvane

#include "change_sequence_dialog_test.moc"
