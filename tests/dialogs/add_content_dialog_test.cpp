#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/add_content_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

class AddContentDialogTest : public QObject {
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
    void theContextOptionEnablesItsFields() {
        testing::ScriptedUserInterface ui;
        AddContentDialog d(ui);
        d.show();
        QVERIFY(!d.request().subAttribute);
        for (const char* option : {"optContext2", "optContext1", "optContext2"}) {
            choose(d, option);
            const bool sub = option[10] == '2';
            QCOMPARE(d.request().subAttribute, sub);
            for (const char* field : {"ContextAttribute", "ContextValue", "lblContextValue"})
                QCOMPARE(child(d, QString::fromLatin1(field))->isEnabled(), sub);
            QVERIFY(child(d, QStringLiteral("ContentAttribute"))->isEnabled());
        }
    }

    // Each field loses the blanks at its ends when the user leaves it.
    void fieldsAreTrimmedOnLeaving() {
        testing::ScriptedUserInterface ui;
        AddContentDialog d(ui);
        choose(d, "optContext2");
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        for (const char* name : {"ContentAttribute", "ContentValue", "ContextAttribute", "ContextValue"}) {
            auto* field = child<QLineEdit>(d, QString::fromLatin1(name));
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral("  Lake  Orta "));
            QTest::keyClick(field, Qt::Key_Tab);
            QCOMPARE(field->text(), QStringLiteral("Lake  Orta"));
        }
        const AddContentRequest r = d.request();
        for (const std::string& text : {r.attribute, r.value, r.contextAttribute, r.contextValue})
            QCOMPARE(text, std::string("Lake  Orta"));
    }

    // OK with a blank name or value asks first; No stays in the dialog with the
    // focus in that field. Fields typed into and never left are trimmed first.
    void blankFieldsAreAskedAbout_data() {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("answers");   // Y and N, one per box
        QTest::addColumn<QString>("asked");     // A for the name's question, V for the value's
        QTest::addColumn<QString>("stayedIn");  // empty: confirmed
        const QString a = QStringLiteral("ContentAttribute"), v = QStringLiteral("ContentValue");
        QTest::addRow("nothing blank") << "Place"
                                       << "Harbour"
                                       << ""
                                       << ""
                                       << "";
        QTest::addRow("blank name, No") << ""
                                        << "Harbour"
                                        << "N"
                                        << "A" << a;
        QTest::addRow("blank name, Yes") << ""
                                         << "Harbour"
                                         << "Y"
                                         << "A"
                                         << "";
        QTest::addRow("blanks only are blank") << "   "
                                               << "Harbour"
                                               << "N"
                                               << "A" << a;
        QTest::addRow("blank value, No") << "Place"
                                         << ""
                                         << "N"
                                         << "V" << v;
        QTest::addRow("both, Yes then No") << ""
                                           << " "
                                           << "YN"
                                           << "AV" << v;
        QTest::addRow("both, Yes twice") << ""
                                         << ""
                                         << "YY"
                                         << "AV"
                                         << "";
        QTest::addRow("both, No asks only once") << ""
                                                 << ""
                                                 << "N"
                                                 << "A" << a;
    }
    void blankFieldsAreAskedAbout() {
        QFETCH(QString, attribute);
        QFETCH(QString, value);
        QFETCH(QString, answers);
        QFETCH(QString, asked);
        QFETCH(QString, stayedIn);
        testing::ScriptedUserInterface ui;
        for (QChar c : answers) ui.answers.push_back(c == 'Y' ? MessageAnswer::Yes : MessageAnswer::No);
        AddContentDialog d(ui);
        QString focus;
        bool visible = false;
        QTimer::singleShot(0, &d, [&] {
            child<QLineEdit>(d, QStringLiteral("ContentAttribute"))->setText(attribute);
            auto* field = child<QLineEdit>(d, QStringLiteral("ContentValue"));
            field->setText(value);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);  // OK, the default button, without leaving the field
            focus = d.focusWidget() ? d.focusWidget()->objectName() : QString();
            visible = d.isVisible();
            if (visible) d.reject();
        });
        d.Run();
        QString shown;
        for (const auto& m : ui.messages) {
            shown += m.text.contains(QStringLiteral("blank name")) ? 'A' : 'V';
            QCOMPARE(m.title, QStringLiteral("Add Content"));
            QCOMPARE(m.icon, MessageIcon::Question);
            QCOMPARE(m.buttons, MessageButtons::YesNoDefaultNo);
        }
        QCOMPARE(shown, asked);
        QCOMPARE(d.Confirm, stayedIn.isEmpty());
        QCOMPARE(visible, !stayedIn.isEmpty());
        if (!stayedIn.isEmpty()) QCOMPARE(focus, stayedIn);
        QCOMPARE(ui.messages.empty() ? QString() : ui.messages[0].text,
                 asked.isEmpty() ? QString()
                 : asked.startsWith('A')
                     ? QStringLiteral("Are you sure you want to add an attribute with a blank name?")
                     : QStringLiteral("Are you sure you want to add an attribute with a blank value?"));
        if (d.Confirm) QCOMPARE(QString::fromStdString(d.request().attribute), attribute.trimmed());
    }
};

LORVANE_QTEST(AddContentDialogTest);

}  // namespace lorvane

#include "add_content_dialog_test.moc"
