// frmAbout: its texts from the version information, and the two links with what
// the user is told when the desktop cannot open them.
#include <QLabel>
#include <QTest>
#include <QTextDocumentFragment>
#include <QUrlQuery>

#include "dialogs/about_dialog.h"
#include "engine/settings.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

class AboutDialogTest : public QObject {
    Q_OBJECT

    const AboutInfo info_{"Lorvane Manager", 2, 10, "2.10 (abc1234)", "Acme", "", "https://a.example/", "me@a.example"};
    static QString shown(AboutDialog& d, const char* name) {
        return QTextDocumentFragment::fromHtml(d.findChild<QLabel*>(QLatin1String(name))->text()).toPlainText();
    }

private slots:
    // The maker's name closing the notice is cut off: it has its own line.
    void textsFromTheVersionInformation() {
        const struct {
            const char *legal, *shownLegal;
        } cases[] = {{"© 2026 Acme", "© 2026"}, {"© 2026 Acme Ltd.", "© 2026 Acme Ltd."}, {"Acme", ""}};
        testing::ScriptedUserInterface ui;
        for (const auto& c : cases) {
            AboutInfo info = info_;
            info.legalNotice = QString::fromUtf8(c.legal);
            AboutDialog d(ui, info);
            QCOMPARE(QStringList({d.windowTitle(), shown(d, "lblName"), shown(d, "lblRevision"),
                                  shown(d, "lblCompanyName"), shown(d, "lblLegalNotice")}),
                     QStringList({"About Lorvane Manager", "Lorvane Manager 2.10", "Build 2.10 (abc1234)", "Acme",
                                  QString::fromUtf8(c.shownLegal)}));
        }
        // This build's: named as the settings store names the program, with its commit, and both pictures.
        AboutDialog d(ui);
        QCOMPARE(shown(d, "lblName").toStdString(), ApplicationName());
        QVERIFY(QRegularExpression("^Build \\d+\\.\\d+ \\(([0-9a-f]{7,}|unknown)\\)$")
                    .match(shown(d, "lblRevision"))
                    .hasMatch());
        for (const char* picture : {"imgStamp", "imgQuarnel"})
            QVERIFY2(!d.findChild<QLabel*>(QLatin1String(picture))->pixmap().isNull(), picture);
    }

    // A click on a link hands the desktop the page, or a mail message with the build in
    // its subject; when nothing could be opened, a warning says which.
    void linksOpenThroughTheDesktop() {
        const struct {
            const char *link, *url, *message, *title;
        } cases[] = {{"lblLinkWeb", "https://a.example/", "Unable to open https://a.example/.", "Launch Web"},
                     {"lblLinkMail", "mailto:me@a.example", "Unable to open email client.", "Launch Email"}};
        for (const auto& c : cases) {
            for (bool opens : {true, false}) {
                testing::ScriptedUserInterface ui;
                ui.openSucceeds = opens;
                AboutDialog d(ui, info_);
                d.show();
                QVERIFY(QTest::qWaitForWindowExposed(&d));
                QLabel* link = d.findChild<QLabel*>(QLatin1String(c.link));
                QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
                QCOMPARE(ui.opened.size(), 1);
                QCOMPARE(ui.opened[0].toString(QUrl::RemoveQuery), QLatin1String(c.url));
                QCOMPARE(QUrlQuery(ui.opened[0]).queryItemValue("subject", QUrl::FullyDecoded),
                         ui.opened[0].scheme() == "mailto" ? "Lorvane Manager 2.10 Build 2.10 (abc1234)" : "");
                QCOMPARE(ui.messages.size(), opens ? 0u : 1u);
                if (opens) continue;
                QCOMPARE(QStringList({ui.messages[0].text, ui.messages[0].title}), QStringList({c.message, c.title}));
                QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
            }
        }
    }
};

LORVANE_QTEST(AboutDialogTest);

}  // namespace lorvane

#include "about_dialog_test.moc"
