// The window registry: one instance per class, created on first use, and the
// closing rules by which the program ends with the last of Browser and Editor.
#include <QTest>

#include "support/fake_windows.h"
#include "gui/window_settings.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

namespace {

struct Windows : FakeDesktop {
    void showAll() {
        for (const QString& name : {form::Browser, form::Editor, form::Viewer}) w.show(name);
        w.UpdateWindowMenus();
    }
    void refuse(const QString& name) { static_cast<FakeWindow*>(w.loaded(name))->refuseClose = true; }
};

}  // namespace

class WindowRegistryTest : public QObject {
    Q_OBJECT

private slots:
    void askingNeverCreates() {
        Windows ws;
        QVERIFY(!ws.w.IsFormVisible(form::Editor));
        ws.w.UnloadFormByName(form::Editor);
        ws.w.UpdateWindowMenus();
        QCOMPARE(ws.log.created, 0);
        QCOMPARE(ws.w.IsFormVisible(QStringLiteral("frmeditor")), false);
    }

    void oneInstanceUntilUnloaded() {
        Windows ws;
        QWidget* first = ws.w.show(form::Editor);
        QCOMPARE(ws.w.window(form::Editor), first);
        QCOMPARE(first->objectName(), form::Editor);
        ws.w.show(form::Browser);
        ws.w.UnloadFormByName(form::Editor);
        QVERIFY(!ws.w.loaded(form::Editor));
        QWidget* again = ws.w.window(form::Editor);
        QVERIFY(again && again != first);
        QCOMPARE(ws.log.created, 3);
    }

    void closingRules_data() {
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("hiddenFirst");  // a window hidden before the close, or empty
        QTest::addColumn<QString>("left");
        QTest::addRow("editor, browser stays") << "frmEditor" << "" << "frmBrowser frmViewer";
        QTest::addRow("editor last ends all") << "frmEditor" << "frmBrowser" << "";
        QTest::addRow("browser, editor stays") << "frmBrowser" << "" << "frmEditor frmViewer";
        QTest::addRow("browser last ends all") << "frmBrowser" << "frmEditor" << "";
        QTest::addRow("viewer closes alone") << "frmViewer" << "" << "frmBrowser frmEditor";
    }

    void closingRules() {
        QFETCH(QString, closing);
        QFETCH(QString, hiddenFirst);
        QFETCH(QString, left);
        Windows ws;
        ws.showAll();
        if (!hiddenFirst.isEmpty()) ws.w.loaded(hiddenFirst)->hide();
        ws.w.loaded(closing)->close();
        QCOMPARE(ws.loaded(), left);
        for (const QString& name : left.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            QWidget* other = ws.w.loaded(name);
            for (const char* item : {"mnuEditor", "mnuBrowser", "mnuViewer"})
                if (auto* a = other->findChild<QAction*>(QLatin1String(item)))
                    QCOMPARE(a->isChecked(), ws.w.IsFormVisible(QStringLiteral("frm") + QLatin1String(item + 3)));
        }
    }

    void exitKeepsEverythingWhenTheEditorRefuses() {
        Windows ws;
        ws.showAll();
        ws.refuse(form::Editor);
        ws.w.Exit();
        QCOMPARE(ws.loaded(), QStringLiteral("frmBrowser frmEditor frmViewer"));
        static_cast<FakeWindow*>(ws.w.loaded(form::Editor))->refuseClose = false;
        ws.w.Exit();
        QCOMPARE(ws.loaded(), QString());
    }

    void hiddenEditorThatKeepsChangesIsShownAgain() {
        Windows ws;
        ws.w.show(form::Browser);
        ws.w.window(form::Editor);  // created hidden, as the Options dialog does
        ws.refuse(form::Editor);
        ws.w.loaded(form::Browser)->close();
        QCOMPARE(ws.loaded(), QStringLiteral("frmEditor"));
        QVERIFY(ws.w.IsFormVisible(form::Editor));
    }

    void toggleShowsAndCloses() {
        Windows ws;
        ws.w.show(form::Editor);
        ws.w.ToggleWindow(form::Viewer);
        QVERIFY(ws.w.IsFormVisible(form::Viewer));
        QVERIFY(ws.w.loaded(form::Editor)->findChild<QAction*>(QStringLiteral("mnuViewer"))->isChecked());
        ws.w.ToggleWindow(form::Viewer);
        QVERIFY(!ws.w.loaded(form::Viewer));
        QVERIFY(!ws.w.loaded(form::Editor)->findChild<QAction*>(QStringLiteral("mnuViewer"))->isChecked());
    }

    void geometryInTwipsAndOnlyWhenNormal() {
        MemorySettingsStore store;
        QWidget w;
        w.move(20, 30);
        w.resize(400, 300);
        SaveWindowGeometry(w, store, "Editor");
        QCOMPARE(store.read("Editor", "WindowWidth").value_or(""), std::string("6000"));
        QCOMPARE(store.read("Editor", "WindowState").value_or(""), std::string("0"));

        QWidget restored;
        RestoreWindowGeometry(restored, store, "Editor", false);
        QVERIFY(restored.size() != QSize(400, 300));
        RestoreWindowGeometry(restored, store, "Editor", true);
        QCOMPARE(restored.size(), QSize(400, 300));
        QCOMPARE(restored.pos(), QPoint(20, 30));

        // Maximised: only the state is written, the last normal rectangle stays.
        store.write("Editor", "WindowWidth", "7500");
        w.setWindowState(Qt::WindowMaximized);
        SaveWindowGeometry(w, store, "Editor");
        QCOMPARE(store.read("Editor", "WindowState").value_or(""), std::string("2"));
        QCOMPARE(store.read("Editor", "WindowWidth").value_or(""), std::string("7500"));
    }
};

LORVANE_QTEST(WindowRegistryTest);

}  // namespace lorvane::testing

#include "window_registry_test.moc"
