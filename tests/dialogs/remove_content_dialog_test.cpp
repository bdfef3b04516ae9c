#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <cstring>

#include "dialogs/remove_content_dialog.h"
#include "support/qt_test_main.h"

namespace lorvane {

class RemoveContentDialogTest : public QObject {
    Q_OBJECT

    static void choose(QWidget& d, const char* option) {
        auto* b = d.findChild<QRadioButton*>(QString::fromLatin1(option));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

private slots:
    // Each option enables only its own fields; the request follows the options.
    void optionsEnableTheirFieldsOnly() {
        RemoveContentDialog d;
        d.show();
        struct Case {
            const char* option;
            const char* enabled;  // the fields below enabled afterwards, by their letters
        } cases[] = {
            {"optContent1", ""},   {"optContent5", "V"},  {"optContent3", "A"}, {"optContext3", "ACD"},
            {"optContent4", "CD"}, {"optContent2", "CD"}, {"optContext2", ""},  {"optContext1", ""},
        };
        const std::pair<const char*, char> fields[] = {{"ContentAttribute", 'A'}, {"lblContentValue", 'V'},
                                                       {"ContentValue", 'V'},     {"ContextAttribute", 'C'},
                                                       {"ContextValue", 'D'},     {"lblContextValue", 'D'}};
        for (const auto& c : cases) {
            choose(d, c.option);
            for (const auto& [name, letter] : fields)
                QVERIFY2(d.findChild<QWidget*>(QString::fromLatin1(name))->isEnabled() ==
                             (std::strchr(c.enabled, letter) != nullptr),
                         c.option);
        }
        choose(d, "optContext3");
        choose(d, "optSubAttributes2");
        d.findChild<QLineEdit*>(QStringLiteral("ContextValue"))->setText(QStringLiteral(" Nikon"));
        const RemoveContentRequest r = d.request();
        QCOMPARE(r.criterion, RemoveCriterion::AttributesWithEmptyLabels);
        QCOMPARE(r.context, RemoveContext::SubAttributeOf);
        QVERIFY(r.promote);
        QCOMPARE(r.contextValue, std::string("Nikon"));  // trimmed also when never left
    }

    void fieldsAreTrimmedOnLeaving() {
        RemoveContentDialog d;
        choose(d, "optContext3");
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        for (const char* name : {"ContentAttribute", "ContextAttribute", "ContextValue"}) {
            auto* field = d.findChild<QLineEdit*>(QString::fromLatin1(name));
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral(" a b  "));
            QTest::keyClick(field, Qt::Key_Tab);
            QCOMPARE(field->text(), QStringLiteral("a b"));
        }
    }
};

LORVANE_QTEST(RemoveContentDialogTest);

}  // namespace lorvane

#include "remove_content_dialog_test.moc"
