// An Editor on its own, with settings in memory, scripted message boxes and the
// semantic layer off unless a test turns it on, so that trees read as typed.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include "support/fake_file_system.h"
#include "support/memory_settings_store.h"
#include "editor/editor_window.h"
#include "support/scripted_ui.h"
#include "support/tree_text.h"

namespace lorvane::testing {

struct EditorFixture {
    MemorySettingsStore store;
    ScriptedUserInterface ui;
    FakeFileSystem files;
    AppContext ctx{store, ui, files, QStringLiteral("/opt/lorvane")};
    EditorWindow* editor = nullptr;

    explicit EditorFixture(bool semantics = false) {
        if (!semantics) {
            ctx.settings.SemanticsAttributeEnable = 0;
            ctx.settings.SemanticsValueEnable = 0;
        }
        ctx.windows.registerWindow(form::Editor, [this] { return new EditorWindow(ctx); });
        editor = static_cast<EditorWindow*>(ctx.windows.show(form::Editor));
        if (!QTest::qWaitForWindowExposed(editor)) qWarning("the Editor window was not exposed");
    }
    ~EditorFixture() {
        delete ctx.windows.loaded(form::Editor);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QLineEdit* filename() const { return editor->findChild<QLineEdit*>(QStringLiteral("Filename")); }
    QTreeView* treeView() const { return editor->findChild<QTreeView*>(QStringLiteral("TreeView1")); }
    QString status() const { return editor->findChild<QLabel*>(QStringLiteral("StatusText"))->text(); }
    QString length() const { return editor->findChild<QLabel*>(QStringLiteral("Length"))->text(); }
    QString treeText() const { return QString::fromStdString(testing::treeText(editor->tree())); }
    QAction* action(const char* name) const { return editor->findChild<QAction*>(QLatin1String(name)); }

    void type(const QString& text) {
        filename()->setFocus();
        QTest::keyClicks(filename(), text);
    }
    void load(const QString& name) {
        bool handled = true;
        editor->InitializeFilename("/photos", name.toStdString(), handled);
    }
    // Makes the node with this text the tree pane's current node.
    void select(const QString& text) {
        const QModelIndexList found = treeView()->model()->match(treeView()->model()->index(0, 0), Qt::DisplayRole,
                                                                 text, 1, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        treeView()->setFocus();
        treeView()->setCurrentIndex(found.first());
    }
    // The selected node's text and tag.
    std::string selected() const {
        const AttributeTree& t = editor->tree();
        return t[t.selected()].text + "|" + t[t.selected()].tag;
    }
    QLineEdit* labelEditor() const {
        return qobject_cast<QLineEdit*>(treeView()->indexWidget(treeView()->currentIndex()));
    }
    // Types a label into the open label editor and presses Enter.
    void finishLabel(const QString& text) {
        QLineEdit* e = labelEditor();
        QVERIFY(e);
        e->setText(text);
        QTest::keyClick(e, Qt::Key_Return);
        // The view commits, then the model hands the label on: two rounds of events.
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(treeView(), static_cast<Qt::Key>(k), m);
    }
};

}  // namespace lorvane::testing
