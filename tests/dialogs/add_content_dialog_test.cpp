// frmAddContent: the context option's fields, and the questions about a blank name
// or value.
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "dialogs/add_content_dialog.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"
#include "support/widgets.h"

namespace lorvane {

using testing::child;

class AddContentDialogTest : public QObject {
    Q_OBJECT

private slots:
    void theContextOptionEnablesItsFields() {
        testing::ScriptedUserInterface ui;
        AddContentDialog d(ui);
        d.show();
        for (int option : {2, 1, 2}) {
            testing::click(d, QStringLiteral("optContext%1").arg(option));
            QCOMPARE(d.request().subAttribute, option == 2);
            for (const char* name : {"ContextAttribute", "ContextValue"})
                QCOMPARE(child(d, name)->isEnabled(), option == 2);
        }
    }

    // OK with a blank name or value asks first (N for the name's question, V for the
    // value's); No stays in the dialog with the focus in that field. A field typed
    // into and never left is trimmed first.
    void blankFieldsAreAskedAbout() {
        const struct {
            const char *attribute, *value, *answers, *asked, *stayedIn;  // stayedIn "": confirmed
        } cases[] = {
            {"Place", "Harbour", "", "", ""},
            {"", "Harbour", "N", "N", "ContentAttribute"},
            {"", "Harbour", "Y", "N", ""},
            {"   ", "Harbour", "N", "N", "ContentAttribute"},
            {"Place", "", "N", "V", "ContentValue"},
            {"", " ", "YN", "NV", "ContentValue"},
            {"", "", "YY", "NV", ""},
            {"", "", "N", "N", "ContentAttribute"},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            for (const char* a = c.answers; *a; ++a)
                ui.answers.push_back(*a == 'Y' ? MessageAnswer::Yes : MessageAnswer::No);
            AddContentDialog d(ui);
            QString focus;
            QTimer::singleShot(0, &d, [&] {
                child<QLineEdit>(d, "ContentAttribute")->setText(c.attribute);
                child<QLineEdit>(d, "ContentValue")->setText(c.value);
                child(d, "ContentValue")->setFocus();
                QTest::keyClick(child(d, "ContentValue"), Qt::Key_Return);  // OK, the default button
                if (!d.isVisible()) return;
                focus = d.focusWidget()->objectName();
                d.reject();
            });
            d.Run();
            QString asked;
            for (const auto& m : ui.messages) {
                asked += m.text.endsWith(QStringLiteral("blank name?")) ? 'N' : 'V';
                QCOMPARE(m.text, QStringLiteral("Are you sure you want to add an attribute with a blank %1?")
                                     .arg(asked.endsWith('N') ? "name" : "value"));
                QCOMPARE(m.title, QStringLiteral("Add Content"));
                QCOMPARE(m.buttons, MessageButtons::YesNoDefaultNo);
            }
            QCOMPARE(asked, QString::fromLatin1(c.asked));
            QCOMPARE(focus, QString::fromLatin1(c.stayedIn));
            QCOMPARE(d.Confirm, !*c.stayedIn);
            QCOMPARE(child<QLineEdit>(d, "ContentAttribute")->text(), QString::fromLatin1(c.attribute).trimmed());
        }
    }
};

LORVANE_QTEST(AddContentDialogTest);

}  // namespace lorvane

#include "add_content_dialog_test.moc"
