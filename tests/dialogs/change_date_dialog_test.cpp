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

    void shiftFieldsAreRewrittenWithASign() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto* years = child<QLineEdit>(d, "DateShiftYears");
        struct Case {
            QString typed, shown;
            bool refused;
        } cases[] = {{"7", "+7", false},       {"-3", "-3", false},         {"letters", "+0", false},
                     {"", "+0", false},        {"1000000001", "1000000001", true},
                     {"+1000000000", "+1000000000", false}, {"+12", "+12", false}};
        for (const auto& c : cases) {
            ui.messages.clear();
            typeAndLeave(years, c.typed);
            QCoreApplication::processEvents();
            QCOMPARE(years->text(), c.shown);
            QCOMPARE(ui.messages.size(), std::size_t{c.refused});
            QCOMPARE(years->hasFocus(), c.refused);
        }
        QCOMPARE(ui.messages.size(), std::size_t{0});
        typeAndLeave(child<QLineEdit>(d, "DateShiftMinutes"), QStringLiteral("-45"));
        const ChangeDatesRequest r = d.request();
        QCOMPARE(r.shift.years, std::int64_t{12});
        QCOMPARE(r.shift.minutes, std::int64_t{-45});
    }

    void anInvalidDateIsRefusedAndKeepsTheFocus() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.ChooseOption(3);
        auto* earliest = child<QLineEdit>(d, "DateReplaceEarliest");
        for (const QString& bad : {QStringLiteral("tomorrow"), QStringLiteral("2004/02/30 00:00:00"),
                                   QStringLiteral("1899/12/30 00:00:00")}) {
            ui.messages.clear();
            typeAndLeave(earliest, bad);
            QCoreApplication::processEvents();
            QCOMPARE(ui.messages.size(), std::size_t{1});
            QCOMPARE(ui.messages[0].text, QStringLiteral("Please enter a valid date."));
            QCOMPARE(ui.messages[0].title, QStringLiteral("Change Dates"));
            QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
            QVERIFY(earliest->hasFocus());
        }
        ui.messages.clear();
        typeAndLeave(earliest, QStringLiteral("2004-02-29T01:02:03"));
        QVERIFY(ui.messages.empty());
        QCOMPARE(earliest->text(), QStringLiteral("2004/02/29 01:02:03"));
        QCOMPARE(FormatDialogDateTime(d.request().earliest), std::string("2004/02/29 01:02:03"));
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
