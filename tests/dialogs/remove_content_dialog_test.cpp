#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "dialogs/remove_content_dialog.h"
#include "support/qt_test_main.h"

namespace lorvane {

class RemoveContentDialogTest : public QObject {
    Q_OBJECT

    template <typename T = QWidget>
    static T* child(QWidget& w, const QString& name) {
        T* c = w.findChild<T*>(name);
        if (!c) qFatal("no child %s", qPrintable(name));
        return c;
    }

    // A click on the option's round button.
    static void choose(QWidget& w, const char* option) {
        auto* b = child<QRadioButton>(w, QString::fromLatin1(option));
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

private slots:
    // Each option enables only its own field; the request follows the options.
    void optionsEnableTheirFieldsOnly() {
        RemoveContentDialog d;
        d.show();
        const RemoveContentRequest initial = d.request();
        QCOMPARE(initial.criterion, RemoveCriterion::AttributesNamed);
        QCOMPARE(initial.context, RemoveContext::Any);
        QVERIFY(!initial.promote);
        struct Case {
            const char* option;
            const char* enabled;  // the fields enabled afterwards, by their first letters
        } cases[] = {
            {"optContent1", ""},   {"optContent5", "V"},  {"optContent3", "A"}, {"optContext3", "ACD"},
            {"optContent4", "CD"}, {"optContent2", "CD"}, {"optContext2", ""},  {"optContext1", ""},
        };
        for (const auto& c : cases) {
            choose(d, c.option);
            const QString enabled = QString::fromLatin1(c.enabled);
            const std::pair<const char*, QChar> fields[] = {{"ContentAttribute", 'A'}, {"lblContentValue", 'V'},
                                                            {"ContentValue", 'V'},     {"ContextAttribute", 'C'},
                                                            {"ContextValue", 'D'},     {"lblContextValue", 'D'}};
            for (const auto& [name, letter] : fields)
                QVERIFY2(child(d, QString::fromLatin1(name))->isEnabled() == enabled.contains(letter),
                         qPrintable(QString::fromLatin1(c.option) + QLatin1Char(' ') + QString::fromLatin1(name)));
        }
        choose(d, "optContext3");
        choose(d, "optSubAttributes2");
        child<QLineEdit>(d, QStringLiteral("ContentValue"))->setText(QStringLiteral(" jpg "));
        child<QLineEdit>(d, QStringLiteral("ContextAttribute"))->setText(QStringLiteral("DV "));
        child<QLineEdit>(d, QStringLiteral("ContextValue"))->setText(QStringLiteral(" Nikon"));
        const RemoveContentRequest r = d.request();
        QCOMPARE(r.criterion, RemoveCriterion::AttributesWithEmptyLabels);
        QCOMPARE(r.context, RemoveContext::SubAttributeOf);
        QVERIFY(r.promote);
        // The fields are taken trimmed, also when never left.
        QCOMPARE(r.valueText + "|" + r.contextAttribute + "|" + r.contextValue, std::string("jpg|DV|Nikon"));
    }

    void fieldsAreTrimmedOnLeaving() {
        RemoveContentDialog d;
        choose(d, "optContext3");
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        for (const char* name : {"ContentAttribute", "ContextAttribute", "ContextValue"}) {
            auto* field = child<QLineEdit>(d, QString::fromLatin1(name));
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
