#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/add_content_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

class AddContentDialogTest : public QObject {
    Q_OBJECT

    static QLineEdit* field(QWidget& d, const char* name) { return d.findChild<QLineEdit*>(QString::fromLatin1(name)); }

private slots:
    void theContextOptionEnablesItsFields() {
        testing::ScriptedUserInterface ui;
        AddContentDialog d(ui);
        d.show();
        for (int option : {1, 2, 1, 2}) {
            auto* b = d.findChild<QRadioButton*>(QStringLiteral("optContext%1").arg(option));
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
            QCOMPARE(d.request().subAttribute, option == 2);
            for (const char* name : {"ContextAttribute", "ContextValue"})
                QCOMPARE(field(d, name)->isEnabled(), option == 2);
        }
    }

    // OK with a blank name or value asks first; No stays in the dialog with the
    // focus in that field. A field typed into and never left is trimmed first.
    void blankFieldsAreAskedAbout_data() {
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("answers");   // Y and N, one per box
        QTest::addColumn<QString>("asked");     // N for the name's question, V for the value's
        QTest::addColumn<QString>("stayedIn");  // empty: confirmed
        QTest::addRow("nothing blank") << "Place"
                                       << "Harbour"
                                       << ""
                                       << ""
                                       << "";
        QTest::addRow("blank name, No") << ""
                                        << "Harbour"
                                        << "N"
                                        << "N"
                                        << "ContentAttribute";
        QTest::addRow("blank name, Yes") << ""
                                         << "Harbour"
                                         << "Y"
                                         << "N"
                                         << "";
        QTest::addRow("blanks only are blank") << "   "
                                               << "Harbour"
                                               << "N"
                                               << "N"
                                               << "ContentAttribute";
        QTest::addRow("blank value, No") << "Place"
                                         << ""
                                         << "N"
                                         << "V"
                                         << "ContentValue";
        QTest::addRow("both, Yes then No") << ""
                                           << " "
                                           << "YN"
                                           << "NV"
                                           << "ContentValue";
        QTest::addRow("both, Yes twice") << ""
                                         << ""
                                         << "YY"
                                         << "NV"
                                         << "";
        QTest::addRow("both, No asks only once") << ""
                                                 << ""
                                                 << "N"
                                                 << "N"
                                                 << "ContentAttribute";
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
        QTimer::singleShot(0, &d, [&] {
            field(d, "ContentAttribute")->setText(attribute);
            field(d, "ContentValue")->setText(value);
            field(d, "ContentValue")->setFocus();
            QTest::keyClick(field(d, "ContentValue"), Qt::Key_Return);  // OK, the default button
            if (!d.isVisible()) return;
            focus = d.focusWidget()->objectName();
            d.reject();
        });
        d.Run();
        QString shown;
        for (const auto& m : ui.messages) {
            const bool name = m.text == QStringLiteral("Are you sure you want to add an attribute with a blank name?");
            QVERIFY(name || m.text == QStringLiteral("Are you sure you want to add an attribute with a blank value?"));
            shown += name ? 'N' : 'V';
            QCOMPARE(m.title, QStringLiteral("Add Content"));
            QCOMPARE(m.icon, MessageIcon::Question);
            QCOMPARE(m.buttons, MessageButtons::YesNoDefaultNo);
        }
        QCOMPARE(shown, asked);
        QCOMPARE(d.Confirm, stayedIn.isEmpty());
        QCOMPARE(focus, stayedIn);
        QCOMPARE(field(d, "ContentAttribute")->text(), attribute.trimmed());
    }
};

LORVANE_QTEST(AddContentDialogTest);

}  // namespace lorvane

#include "add_content_dialog_test.moc"
