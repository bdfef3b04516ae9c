#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "dialogs/change_date_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;

class ChangeDateDialogTest : public QObject {
    Q_OBJECT

    // Types into a field and leaves it with Tab, as a user does.
    static void typeAndLeave(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
        QCoreApplication::processEvents();
    }

private slots:
    // It opens on Shift, its replacement range at the time it was given; an option
    // enables only its fields.
    void opensOnShiftAndAnOptionEnablesOnlyItsFields() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui, QDateTime(QDate(2026, 12, 7), QTime(5, 6, 7)));
        QCOMPARE(d.option(), 4);
        for (const char* name : {"DateReplaceEarliest", "DateReplaceLatest"})
            QCOMPARE(child<QLineEdit>(d, name)->text(), QStringLiteral("2026/12/07 05:06:07"));
        d.show();
        const char* fieldOf[] = {"DateGenerateSource", "DateRoundPrecision", "DateReplaceLatest", "DateShiftSeconds"};
        for (int option = 1; option <= 4; ++option) {
            QTest::mouseClick(child<QRadioButton>(d, QStringLiteral("optDate%1").arg(option)),
                              Qt::LeftButton);
            QVERIFY(d.option() == option && static_cast<int>(d.request().mode) == option);
            for (int other = 1; other <= 4; ++other)
                QCOMPARE(child(d, fieldOf[other - 1])->isEnabled(), other == option);
        }
    }

    void theKeyboardReachesEveryOptionAndField() {
        testing::ScriptedUserInterface ui;
        ChangeDateDialog d(ui);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("DateShiftYears"));
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int option;
            const char* focus;
        } steps[] = {
            {Qt::Key_R, Qt::AltModifier, 2, "DateRoundPrecision"},  // an option's mnemonic: its first field
            {Qt::Key_Backtab, Qt::ShiftModifier, 2, "optDate2"},
            {Qt::Key_Down, {}, 3, "optDate3"},  // the arrows choose, round
            {Qt::Key_Right, {}, 4, "optDate4"}, {Qt::Key_Down, {}, 1, "optDate1"}, {Qt::Key_Up, {}, 4, "optDate4"},
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
    void fieldsAreCheckedOnLeaving() {
        const char *number = "Please enter a whole number between -1,000,000,000 and +1,000,000,000.",
                   *date = "Please enter a valid date.";
        const std::tuple<const char*, const char*, const char*> rows[] = {  // typed, shown, refusal
            {"7", "+7", ""}, {"letters", "+0", ""}, {"", "+0", ""}, {"1000000001", "1000000001", number},
            {"2004-02-29T01:02:03", "2004/02/29 01:02:03", ""}, {"tomorrow", "tomorrow", date}};
        for (auto [typed, shown, refusal] : rows) {
            testing::ScriptedUserInterface ui;
            ChangeDateDialog d(ui);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            const bool isDate = std::string_view(shown).find('/') != std::string_view::npos || refusal == date;
            if (isDate) d.ChooseOption(3);
            auto* edit = child<QLineEdit>(d, isDate ? "DateReplaceEarliest" : "DateShiftYears");
            typeAndLeave(edit, QString::fromLatin1(typed));
            QCoreApplication::processEvents();
            QCOMPARE(edit->text(), QLatin1String(shown));
            QCOMPARE(edit->hasFocus(), *refusal != 0);
            QCOMPARE(ui.messages.size(), std::size_t(*refusal ? 1 : 0));
            if (*refusal)
                QVERIFY(ui.messages[0].text == QLatin1String(refusal) &&
                        ui.messages[0].icon == MessageIcon::Exclamation);
            else if (isDate) QCOMPARE(FormatDialogDateTime(d.request().earliest), std::string(shown));
            else QCOMPARE(d.request().shift.years, std::stoll(shown));
        }
    }
};

LORVANE_QTEST(ChangeDateDialogTest);

}  // namespace lorvane

#include "change_date_dialog_test.moc"
