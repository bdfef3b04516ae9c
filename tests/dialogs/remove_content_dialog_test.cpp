// frmRemoveContent: each option's fields enabled, and the texts trimmed.
#include <QLineEdit>
#include <QTest>

#include "dialogs/remove_content_dialog.h"
#include "support/qt_test_main.h"
#include "support/widgets.h"

namespace lorvane {

class RemoveContentDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Each option enables only its own fields (named by letter); the request follows the
    // options; the texts are trimmed on leaving, and also when never left.
    void optionsEnableTheirFieldsOnly() {
        RemoveContentDialog d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        const struct {
            const char *option, *enabled;
        } cases[] = {
            {"optContent1", ""},   {"optContent5", "V"},  {"optContent3", "A"}, {"optContext3", "ACD"},
            {"optContent4", "CD"}, {"optContent2", "CD"}, {"optContext2", ""},  {"optContext1", ""},
        };
        const QString fields[] = {"ContentAttribute", "lblContentValue", "ContentValue",
                                  "ContextAttribute", "ContextValue",    "lblContextValue"};
        for (const auto& c : cases) {
            testing::click(d, c.option);
            QString enabled;
            for (int f = 0; f < 6; ++f)
                if (testing::child(d, fields[f])->isEnabled()) enabled += "AVVCDD"[f];
            QCOMPARE(enabled, QString::fromLatin1(c.enabled).replace('V', "VV").replace('D', "DD"));
        }
        for (const char* option : {"optContent3", "optContext3", "optSubAttributes2"}) testing::click(d, option);
        for (const char* name : {"ContentAttribute", "ContextAttribute"}) {
            auto* field = testing::child<QLineEdit>(d, name);
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral(" a b  "));
            QTest::keyClick(field, Qt::Key_Tab);
            QCOMPARE(field->text(), QStringLiteral("a b"));
        }
        testing::child<QLineEdit>(d, "ContextValue")->setText(QStringLiteral(" Nikon"));
        const RemoveContentRequest r = d.request();
        QVERIFY(r.criterion == RemoveCriterion::AttributesNamed && r.context == RemoveContext::SubAttributeOf &&
                r.promote);
        QCOMPARE(r.contextValue, std::string("Nikon"));
    }
};

LORVANE_QTEST(RemoveContentDialogTest);

}  // namespace lorvane

#include "remove_content_dialog_test.moc"
