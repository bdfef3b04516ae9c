// frmSelect: each option's fields enabled, Control+Tab, and OK and Apply trimming
// the texts, which stay for the next showing.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "dialogs/select_dialog.h"
#include "support/qt_test_main.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;
using testing::click;

class SelectDialogTest : public QObject {
    Q_OBJECT

private slots:
    // It opens on the first tab with the first options; Control+Tab goes round the tabs,
    // and on the second each option of a frame enables its text boxes and check boxes or not.
    void tabsAndOptionsEnableTheirFields() {
        SelectDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.CurrentTabIndex() * 10 + d.CurrentOperationIndex(), 11);
        child(d, "Filename")->setFocus();
        for (int expected : {2, 1, 2}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(d.CurrentTabIndex(), expected);
            QCOMPARE(child(d, "TabFrame2")->isVisible(), expected == 2);
            QCOMPARE(static_cast<int>(d.request().tab), expected);
        }
        const struct {
            const char* option;
            int count, enabling;
            QStringList fields;
        } cases[] = {
            {"optLabel", 4, 4, {"ContentLabel", "chkLabelWholeWord", "chkLabelMatchCase"}},
            {"optValue", 4, 4, {"ContentValue", "chkValueWholeWord", "chkValueMatchCase"}},
            {"optContext", 3, 3, {"ContextLabel", "ContextValue"}},
        };
        for (const auto& c : cases)
            for (int i = 1; i <= c.count; ++i) {
                click(d, QString::fromLatin1(c.option) + QString::number(i));
                for (const QString& f : c.fields) QCOMPARE(child(d, f)->isEnabled(), i == c.enabling);
            }
        const SelectRequest r = d.request();
        QVERIFY(r.label == LabelCriterion::Contains && r.value == ValueCriterion::Contains &&
                r.context == ContextCriterion::SubAttributeOf);
    }

    // OK and Apply trim the blanks around the five texts and set the flags; Cancel
    // only hides. The fields, the tab and the action stay for the next showing.
    void okAndApplyTrimAndTheFieldsStay() {
        const struct {
            const char* button;
            bool confirm, persist;
        } cases[] = {{"cmdCancel", false, false}, {"cmdOK", true, false}, {"cmdApply", true, true}};
        SelectDialog d;
        const QStringList boxes = {"Filename", "ContentLabel", "ContentValue", "ContextLabel", "ContextValue"};
        for (const auto& c : cases) {
            QTimer::singleShot(0, &d, [&] {
                d.ShowTab(2);
                click(d, QStringLiteral("optOperation3"));
                click(d, QStringLiteral("optLabel4"));
                child<QCheckBox>(d, QStringLiteral("chkLabelWholeWord"))->setChecked(true);
                for (const QString& b : boxes) child<QLineEdit>(d, b)->setText(QStringLiteral("  a b \t "));
                click(d, QString::fromLatin1(c.button));
            });
            d.Run();
            QCOMPARE(d.Confirm, c.confirm);
            QCOMPARE(d.Persist, c.persist);
            for (const QString& b : boxes)
                QCOMPARE(child<QLineEdit>(d, b)->text(),
                         c.confirm ? QStringLiteral("a b \t") : QStringLiteral("  a b \t "));
        }
        QTimer::singleShot(0, &d, [&] { click(d, QStringLiteral("cmdCancel")); });
        d.Run();
        const SelectRequest r = d.request();
        QVERIFY(r.action == SelectAction::Subselect && r.tab == SelectTab::ByAttribute &&
                r.label == LabelCriterion::Contains && r.labelText.wholeWord);
        QCOMPARE(r.labelText.text + r.contextLabel, std::string("a b \ta b \t"));
    }
};

LORVANE_QTEST(SelectDialogTest);

}  // namespace lorvane

#include "select_dialog_test.moc"
