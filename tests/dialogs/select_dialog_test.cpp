#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "dialogs/select_dialog.h"
#include "support/qt_test_main.h"

namespace lorvane {

class SelectDialogTest : public QObject {
    Q_OBJECT

    template <typename T>
    static T* child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        if (!c) qFatal("no child %s", qPrintable(name));
        return c;
    }
    // Near the left end, where an option button's indicator is, however wide the button.
    static void click(QWidget& d, const QString& name) {
        QWidget* w = child<QWidget>(d, name);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(8, w->width() / 2), w->height() / 2));
    }

private slots:
    // Each option of a frame enables its text boxes (and check boxes) or not.
    void optionsEnableTheirFields() {
        const struct {
            const char* option;
            int count, enabling;
            QStringList fields;
        } cases[] = {
            {"optLabel", 4, 4, {"ContentLabel", "chkLabelWholeWord", "chkLabelMatchCase"}},
            {"optValue", 4, 4, {"ContentValue", "chkValueWholeWord", "chkValueMatchCase"}},
            {"optContext", 3, 3, {"ContextLabel", "ContextValue"}},
        };
        SelectDialog d;
        d.show();
        d.ShowTab(2);
        for (const auto& c : cases) {
            for (int i = 1; i <= c.count; ++i) {
                click(d, QString::fromLatin1(c.option) + QString::number(i));
                for (const QString& f : c.fields) QCOMPARE(child<QWidget>(d, f)->isEnabled(), i == c.enabling);
            }
            QCOMPARE(static_cast<int>(c.option[3] == 'L'   ? d.request().label
                                      : c.option[3] == 'V' ? LabelCriterion(d.request().value)
                                                           : LabelCriterion(d.request().context)),
                     c.count);
        }
    }

    // It opens on the first tab with the first options; Control+Tab goes round the tabs.
    void controlTabGoesRoundTheTabs() {
        SelectDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(d.CurrentTabIndex(), 1);
        QCOMPARE(d.CurrentOperationIndex(), 1);
        QVERIFY(child<QRadioButton>(d, "optLabel1")->isChecked() && !child<QWidget>(d, "ContentLabel")->isEnabled());
        child<QWidget>(d, "Filename")->setFocus();
        for (int expected : {2, 1, 2}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(d.CurrentTabIndex(), expected);
            QCOMPARE(child<QWidget>(d, "TabFrame2")->isVisible(), expected == 2);
            QCOMPARE(child<QWidget>(d, "TabFrame1")->isVisible(), expected == 1);
            QCOMPARE(static_cast<int>(d.request().tab), expected);
        }
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
            const QString expected = c.confirm ? QStringLiteral("a b \t") : QStringLiteral("  a b \t ");
            for (const QString& b : boxes) QCOMPARE(child<QLineEdit>(d, b)->text(), expected);
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
