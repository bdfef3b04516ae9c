#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/change_date_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

class ChangeDateDialogTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromLatin1(name));
        if (!c) qFatal("no child %s", name);
        return c;
    }
    // Types into a field and leaves it with Tab, as a user does.
    static void typeAndLeave(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
        QCoreApplication::processEvents();
    }

private slots:
    // It opens on Shift, its replacement range at the time it was given.
    void opensOnShiftAtTheGivenTime() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui, QDateTime(QDate(2026, 12, 7), QTime(5, 6, 7)));
        QCOMPARE(d.option(), 4);
        for (const char* name : {"DateReplaceEarliest", "DateReplaceLatest"})
            QCOMPARE(child<QLineEdit>(d, name)->text(), QStringLiteral("2026/12/07 05:06:07"));
        QCOMPARE(d.request().shift.days, std::int64_t{0});
    }

    void choosingAnOptionEnablesOnlyItsFields() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        const char* fieldOf[] = {"DateGenerateSource", "DateRoundPrecision", "DateReplaceLatest", "DateShiftSeconds"};
        for (int option = 1; option <= 4; ++option) {
            QTest::mouseClick(child<QRadioButton>(d, QStringLiteral("optDate%1").arg(option).toLatin1()),
                              Qt::LeftButton);
            QCOMPARE(d.option(), option);
            for (int other = 1; other <= 4; ++other)
                QCOMPARE(child<QWidget>(d, fieldOf[other - 1])->isEnabled(), other == option);
            QCOMPARE(static_cast<int>(d.request().mode), option);
        }
    }

    void theKeyboardReachesEveryOptionAndField() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("DateShiftYears"));
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int option;
            const char* focus;
        } steps[] = {
            {Qt::Key_R, Qt::AltModifier, 2, "DateRoundPrecision"},  // an option's mnemonic: its first field
            {Qt::Key_Backtab, Qt::ShiftModifier, 2, "optDate2"},
            {Qt::Key_Down, Qt::NoModifier, 3, "optDate3"},  // the arrows choose and stay on the options
            {Qt::Key_Right, Qt::NoModifier, 4, "optDate4"},
            {Qt::Key_Down, Qt::NoModifier, 1, "optDate1"},  // round the four
            {Qt::Key_Up, Qt::NoModifier, 4, "optDate4"},
            {Qt::Key_Left, Qt::NoModifier, 3, "optDate3"},
            {Qt::Key_S, Qt::AltModifier, 4, "DateShiftYears"},
            {Qt::Key_I, Qt::AltModifier, 4, "DateShiftMinutes"},  // a label's mnemonic: its field
            {Qt::Key_P, Qt::AltModifier, 3, "DateReplaceEarliest"},
            {Qt::Key_L, Qt::AltModifier, 3, "DateReplaceLatest"},
            {Qt::Key_G, Qt::AltModifier, 1, "DateGenerateSource"},
        };
        for (const auto& s : steps) {
            QTest::keyClick(QApplication::focusWidget(), s.key, s.modifiers);
            // A button's mnemonic clicks it a moment later.
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(s.focus));
            QCOMPARE(d.option(), s.option);
        }
        for (const char* name : {"DateReplaceEarliest", "DateReplaceLatest"})
            QCOMPARE(child<QLineEdit>(d, name)->placeholderText(), QStringLiteral("yyyy/mm/dd hh:nn:ss"));
        QVERIFY(ui.messages.empty());
    }

    // Leaving a field checks it: a shift is rewritten with its sign, a date in the
    // dialog's form; what cannot be held is refused with a box and keeps the focus.
    void fieldsAreCheckedOnLeaving_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("refusal");  // empty: taken
        const QString years = QStringLiteral("DateShiftYears"), earliest = QStringLiteral("DateReplaceEarliest");
        const QString number = QStringLiteral("Please enter a whole number between -1,000,000,000 and +1,000,000,000.");
        const QString date = QStringLiteral("Please enter a valid date.");
        QTest::addRow("a sign added") << years << "7" << "+7" << "";
        QTest::addRow("negative") << years << "-3" << "-3" << "";
        QTest::addRow("letters are none") << years << "letters" << "+0" << "";
        QTest::addRow("empty is none") << years << "" << "+0" << "";
        QTest::addRow("the largest") << years << "+1000000000" << "+1000000000" << "";
        QTest::addRow("too large") << years << "1000000001" << "1000000001" << number;
        QTest::addRow("a date in another form") << earliest << "2004-02-29T01:02:03" << "2004/02/29 01:02:03" << "";
        QTest::addRow("words") << earliest << "tomorrow" << "tomorrow" << date;
        QTest::addRow("no such day") << earliest << "2004/02/30 00:00:00" << "2004/02/30 00:00:00" << date;
        QTest::addRow("before 1900") << earliest << "1899/12/30 00:00:00" << "1899/12/30 00:00:00" << date;
    }
    void fieldsAreCheckedOnLeaving() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const bool isDate = field == QStringLiteral("DateReplaceEarliest");
        if (isDate) d.ChooseOption(3);
        auto* edit = child<QLineEdit>(d, field.toLatin1().constData());
        typeAndLeave(edit, typed);
        QCoreApplication::processEvents();
        QCOMPARE(edit->text(), shown);
        QCOMPARE(edit->hasFocus(), !refusal.isEmpty());
        QCOMPARE(ui.messages.size(), std::size_t(refusal.isEmpty() ? 0 : 1));
        if (!refusal.isEmpty()) {
            QCOMPARE(ui.messages[0].text, refusal);
            QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
        } else if (isDate) {
            QCOMPARE(QString::fromStdString(FormatDialogDateTime(d.request().earliest)), shown);
        } else {
            QCOMPARE(d.request().shift.years, std::int64_t(shown.toLongLong()));
        }
    }

    void okApplyAndCancelSetTheFlags() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        struct Case {
            const char* button;
            bool confirm, persist;
        } cases[] = {{"cmdOK", true, false}, {"cmdApply", true, true}, {"cmdCancel", false, false}};
        for (const auto& c : cases) {
            QString focusAtStart;  // every showing starts in the chosen option's first field
            QTimer::singleShot(0, &d, [&] {
                focusAtStart = d.focusWidget()->objectName();
                QTest::mouseClick(child<QPushButton>(d, c.button), Qt::LeftButton);
            });
            d.Run();
            QCOMPARE(focusAtStart, QStringLiteral("DateShiftYears"));
            QCOMPARE(d.Confirm, c.confirm);
            QCOMPARE(d.Persist, c.persist);
            QVERIFY(!d.isVisible());
        }
        // The fields stay as the user left them between showings.
        child<QLineEdit>(d, "DateShiftDays")->setText(QStringLiteral("+3"));
        QTimer::singleShot(0, &d, [&] { QTest::mouseClick(child<QPushButton>(d, "cmdOK"), Qt::LeftButton); });
        d.Run();
        QCOMPARE(child<QLineEdit>(d, "DateShiftDays")->text(), QStringLiteral("+3"));
    }

    void returnInARefusedFieldDoesNotConfirm() {
        struct Case {
            int option;
            const char *field, *text, *message;
        } cases[] = {
            {3, "DateReplaceLatest", "never", "Please enter a valid date."},
            {4, "DateShiftDays", "-99999999999",
             "Please enter a whole number between -1,000,000,000 and +1,000,000,000."},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            ChangeDateDialog d(ui);
            d.ChooseOption(c.option);
            QTimer::singleShot(0, &d, [&] {
                auto* field = child<QLineEdit>(d, c.field);
                field->setFocus();
                field->setText(QString::fromLatin1(c.text));
                QTest::keyClick(field, Qt::Key_Return);  // the default button, without leaving the field
                QCOMPARE(ui.messages.size(), std::size_t{1});
                QCOMPARE(ui.messages[0].text, QString::fromLatin1(c.message));
                QVERIFY(d.isVisible());
                d.reject();
            });
            d.Run();
            QVERIFY(!d.Confirm);
        }
    }
};

LORVANE_QTEST(ChangeDateDialogTest);

}  // namespace lorvane

#include "change_date_dialog_test.moc"
