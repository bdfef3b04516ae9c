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
    void closingRules() {
        for (auto [closing, hiddenFirst, left] :
             {std::tuple{form::Editor, QString(), "frmBrowser frmViewer"}, {form::Editor, form::Browser, ""},
              {form::Browser, QString(), "frmEditor frmViewer"}, {form::Browser, form::Editor, ""},
              {form::Viewer, QString(), "frmBrowser frmEditor"}}) {
            Windows ws;
            ws.showAll();
            if (!hiddenFirst.isEmpty()) ws.w.loaded(hiddenFirst)->hide();
            ws.w.loaded(closing)->close();
            QCOMPARE(ws.loaded(), QLatin1String(left));
            for (const QString& name : QString::fromLatin1(left).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                for (const char* item : {"mnuEditor", "mnuBrowser", "mnuViewer"})
                    if (auto* a = ws.w.loaded(name)->findChild<QAction*>(QLatin1String(item)))
                        QCOMPARE(a->isChecked(), ws.w.IsFormVisible(QStringLiteral("frm") + QLatin1String(item + 3)));
        }
    }

    // Exit keeps everything while the Editor keeps its changes; a hidden Editor that keeps
    // them is shown again when the Browser closes.
    void anEditorThatKeepsItsChangesKeepsTheProgramOpen() {
        Windows ws;
        ws.showAll();
        ws.refuse(form::Editor);
        ws.w.Exit();
        QCOMPARE(ws.loaded(), QStringLiteral("frmBrowser frmEditor frmViewer"));
        static_cast<FakeWindow*>(ws.w.loaded(form::Editor))->refuseClose = false;
        ws.w.Exit();
        QCOMPARE(ws.loaded(), QString());
        Windows hidden;
        hidden.w.show(form::Browser);
        hidden.w.window(form::Editor);  // created hidden, as the Options dialog does
        hidden.refuse(form::Editor);
        hidden.w.loaded(form::Browser)->close();
        QCOMPARE(hidden.loaded(), QStringLiteral("frmEditor"));
        QVERIFY(hidden.w.IsFormVisible(form::Editor));
    }

    void geometryInTwipsAndOnlyWhenNormal() {
        MemorySettingsStore store;
        QWidget w;
        w.move(20, 30);
        w.resize(400, 300);
        SaveWindowGeometry(w, store, "Editor");
        QCOMPARE(store.read("Editor", "WindowWidth").value_or("") + store.read("Editor", "WindowState").value_or(""),
                 "60000");

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
        QCOMPARE(store.read("Editor", "WindowWidth").value_or("") + store.read("Editor", "WindowState").value_or(""),
                 "75002");
    }
};

LORVANE_QTEST(WindowRegistryTest);

}  // namespace lorvane::testing

#include "window_registry_test.moc"
