// frmAbout: its texts from the version information, and the two links with what
// the user is told when the desktop cannot open them.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QUrlQuery>

#include "dialogs/about_dialog.h"
#include "engine/settings.h"
#include "support/qt_test_main.h"
#include "support/scripted_ui.h"

namespace lorvane {

namespace {

const AboutInfo kInfo{QStringLiteral("Lorvane Manager"),
                      2,
                      10,
                      QStringLiteral("2.10 (abc1234)"),
                      QStringLiteral("Acme"),
                      QStringLiteral("Copyright © 2026 Acme"),
                      QStringLiteral("https://lorvane-manager.example/"),
                      QStringLiteral("support@lorvane-manager.example")};

QString shown(AboutDialog& d, const char* name) {
    auto* l = d.findChild<QLabel*>(QLatin1String(name));
    if (!l) qFatal("no label %s", name);
    return QTextDocumentFragment::fromHtml(l->text()).toPlainText();
}

}  // namespace

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The version information as shown; the maker's name closing the notice is cut off.
    void textsFromTheVersionInformation() {
        const struct {
            const char *company, *legal, *shownLegal;
        } cases[] = {
            {"Acme", "Copyright © 2026 Acme", "Copyright © 2026"},
            {"Acme", "Copyright © 2026 Acme Ltd.", "Copyright © 2026 Acme Ltd."},
            {"Acme", "Acme", ""},
            {"", "Copyright © 2026 Acme", "Copyright © 2026 Acme"},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            AboutInfo info = kInfo;
            info.companyName = QString::fromUtf8(c.company);
            info.legalNotice = QString::fromUtf8(c.legal);
            AboutDialog d(ui, info);
            QCOMPARE(d.windowTitle(), QStringLiteral("About Lorvane Manager"));
            QCOMPARE(shown(d, "lblName"), QStringLiteral("Lorvane Manager 2.10"));
            QCOMPARE(shown(d, "lblRevision"), QStringLiteral("Build 2.10 (abc1234)"));
            QCOMPARE(shown(d, "lblCompanyName"), info.companyName);
            QCOMPARE(shown(d, "lblLegalNotice"), QString::fromUtf8(c.shownLegal));
        }
        // This build's: named as the settings store names the program, with a commit
        // (or "unknown"), and both pictures there.
        testing::ScriptedUserInterface ui;
        AboutDialog d(ui);
        QCOMPARE(shown(d, "lblName").toStdString(), ApplicationName());
        QVERIFY(QRegularExpression(QStringLiteral("^Build \\d+\\.\\d+ \\(([0-9a-f]{7,}|unknown)\\)$"))
                    .match(shown(d, "lblRevision"))
                    .hasMatch());
        QVERIFY(!shown(d, "lblCompanyName").isEmpty() &&
                !shown(d, "lblLegalNotice").endsWith(shown(d, "lblCompanyName")));
        for (const char* picture : {"imgStamp", "imgQuarnel"})
            QVERIFY2(!d.findChild<QLabel*>(QLatin1String(picture))->pixmap().isNull(), picture);
    }

    // A click on a link hands the desktop the page, or a message with the build in
    // its subject; when nothing could be opened, a warning says which.
    void linksOpenThroughTheDesktop() {
        const struct {
            const char* link;
            bool opens;
            const char *url, *message, *title;
        } cases[] = {
            {"lblLinkWeb", true, "https://lorvane-manager.example/", nullptr, nullptr},
            {"lblLinkWeb", false, "https://lorvane-manager.example/",
             "Unable to open https://lorvane-manager.example/.", "Launch Web"},
            {"lblLinkMail", true, "mailto:support@lorvane-manager.example", nullptr, nullptr},
            {"lblLinkMail", false, "mailto:support@lorvane-manager.example", "Unable to open email client.",
             "Launch Email"},
        };
        for (const auto& c : cases) {
            testing::ScriptedUserInterface ui;
            ui.openSucceeds = c.opens;
            AboutDialog d(ui, kInfo);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QLabel* link = d.findChild<QLabel*>(QLatin1String(c.link));
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(4, link->height() / 2));
            QCOMPARE(ui.opened.size(), 1);
            QCOMPARE(ui.opened[0].toString(QUrl::RemoveQuery), QLatin1String(c.url));
            if (ui.opened[0].scheme() == QLatin1String("mailto"))
                QCOMPARE(QUrlQuery(ui.opened[0]).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                         QStringLiteral("Lorvane Manager 2.10 Build 2.10 (abc1234)"));
            QCOMPARE(ui.messages.size(), c.message ? 1u : 0u);
            if (!c.message) continue;
            QCOMPARE(ui.messages[0].text, QLatin1String(c.message));
            QCOMPARE(ui.messages[0].title, QLatin1String(c.title));
            QCOMPARE(ui.messages[0].icon, MessageIcon::Exclamation);
        }
    }

    void okCloses() {
        testing::ScriptedUserInterface ui;
        AboutDialog d(ui, kInfo);
        QTimer::singleShot(
            0, &d, [&d] { QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton); });
        QCOMPARE(d.exec(), int(QDialog::Accepted));
    }
};

LORVANE_QTEST(AboutDialogTest);

}  // namespace lorvane

#include "about_dialog_test.moc"
