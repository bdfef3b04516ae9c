// The Editor as a user drives it: typing a name, editing labels, node commands by
// key, move mode, locating problems, dropping, closing and its settings.
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "editor/editor_fixture.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

class EditorWindowTest : public QObject {
    Q_OBJECT

private slots:
    void typingANameFillsTreeStatusAndLengthAndLocatesItsProblem() {
        EditorFixture f;
        QVERIFY(f.status() == QStringLiteral("Ready") && f.editor->statusPicture() == StatusPicture::Ready);
        QVERIFY(f.length() == QStringLiteral("Len 0") && !f.action("mnuToolsLocate")->isEnabled() &&
                f.editor->isClean());
        QCOMPARE(QString::fromStdString(f.editor->folder()), QStringLiteral("/opt/lorvane/sample"));
        f.type(QStringLiteral("{"));
        QVERIFY(!f.editor->isClean() && f.status() != QStringLiteral("Ready"));
        QVERIFY(f.editor->statusPicture() != StatusPicture::Good);
        f.type(QStringLiteral("SU=Ann;B"));
        f.filename()->insert(QStringLiteral("ö"));  // typed through an input method
        f.type(QStringLiteral("}{PL=Harbour}.jpg"));
        QCOMPARE(f.treeText(), QStringLiteral("Filename(SU(Ann,Bö),PL(Harbour),Extension(JPG))"));
        QVERIFY(f.status() == QStringLiteral("Lorvane Data 2.x") && f.editor->statusPicture() == StatusPicture::Good);
        QCOMPARE(f.length(), QStringLiteral("Len 27"));  // characters, not bytes
        QVERIFY(!f.action("mnuToolsLocate")->isEnabled());
        QCOMPARE(f.editor->lastSource(), EditorWindow::Source::Filename);
        QTest::keyClick(f.filename(), Qt::Key_Return);  // Enter does not end the line
        QCOMPARE(f.filename()->text(), QStringLiteral("{SU=Ann;Bö}{PL=Harbour}.jpg"));

        f.filename()->clear();
        f.type(QStringLiteral("{SU=A:nn}.jpg"));
        QVERIFY(f.editor->statusPicture() == StatusPicture::Fail && f.action("mnuToolsLocate")->isEnabled());
        QCOMPARE(f.editor->statusSource(), EditorWindow::Source::Filename);
        f.editor->LocateProblem();
        QCOMPARE(f.filename()->selectionStart(), f.editor->result().position - 1);
        QCOMPARE(f.filename()->selectedText(), QStringLiteral(":"));
    }

    // F2 opens a value's or an attribute's label with its text selected; the label is
    // trimmed and rebuilds the name. The root's is not edited, quietly; an inserted node opens its own.
    void editingALabelRebuildsTheName() {
        EditorFixture f;
        f.load(QStringLiteral("{SU=Ann}{PL=Harbour}.jpg"));
        for (auto [node, typed, name, selected] :
             {std::tuple{"Ann", "  Ben Ho  ", "{SU=Ben Ho}{PL=Harbour}.jpg", "Ben Ho|"},
              {"PL", "  Date  ", "{SU=Ben Ho}{Date=Harbour}.jpg", "Date|Date"}}) {
            f.select(QLatin1String(node));
            f.key(Qt::Key_F2);
            QVERIFY(f.labelEditor() && f.labelEditor()->selectedText() == QLatin1String(node));
            f.finishLabel(QLatin1String(typed));
            QCOMPARE(f.filename()->text(), QLatin1String(name));
            QVERIFY(!f.editor->isClean() && f.editor->lastSource() == EditorWindow::Source::Tree);
            QCOMPARE(f.selected(), std::string(selected));
        }
        f.select(QStringLiteral("Filename"));
        f.key(Qt::Key_F2);
        QVERIFY(!f.labelEditor() && f.ui.beeps == 0);
        f.select(QStringLiteral("Ben Ho"));
        f.action("mnuNodeInsertAfter")->trigger();
        f.finishLabel(QStringLiteral("Cy"));
        QCOMPARE(f.filename()->text(), QStringLiteral("{SU=Ben Ho;Cy}{Date=Harbour}.jpg"));
    }

    // A batch run renamed the file: a clean Editor shows the new name, one with
    // edits keeps them and saves from where the file is now.
    void followsItsFileRenamedElsewhere() {
        EditorFixture f;
        f.load(QStringLiteral("{SU=Ann}.jpg"));
        f.editor->FileRenamed("/photos/other.jpg", "/photos/x.jpg");
        QCOMPARE(f.filename()->text(), QStringLiteral("{SU=Ann}.jpg"));
        f.editor->FileRenamed("/photos/{SU=Ann}.jpg", "/elsewhere/{SU=Bob}.jpg");
        QCOMPARE(f.filename()->text(), QStringLiteral("{SU=Bob}.jpg"));
        QCOMPARE(f.editor->CurrentFolder(), std::string("/elsewhere"));
        QVERIFY(f.editor->isClean());

        f.type(QStringLiteral("x"));
        f.editor->FileRenamed("/elsewhere/{SU=Bob}.jpg", "/elsewhere/{SU=Cy}.jpg");
        QCOMPARE(f.filename()->text(), QStringLiteral("{SU=Bob}.jpgx"));
        QCOMPARE(f.editor->CurrentFileName(), std::string("{SU=Cy}.jpg"));
    }

    void locateProblemSelectsCharactersInTheLabel() {
        EditorFixture f;
        f.load(QStringLiteral("{SU=Ann}.jpg"));
        f.select(QStringLiteral("Ann"));
        f.editor->RunCommand(NodeCommand::Edit);
        f.finishLabel(QStringLiteral("A|nn"));
        QCOMPARE(f.editor->statusPicture(), StatusPicture::Fail);
        QCOMPARE(f.filename()->text(), QString());  // a failed build empties the pane
        QCOMPARE(f.editor->statusSource(), EditorWindow::Source::Tree);
        f.select(QStringLiteral("SU"));
        f.action("mnuToolsLocate")->trigger();
        QCOMPARE(f.selected(), std::string("A|nn|"));
        QVERIFY(f.labelEditor() && f.labelEditor()->selectedText() == QStringLiteral("|"));
        QCOMPARE(f.labelEditor()->selectionStart(), 1);
    }

    // Each key runs its command on the selected node (the keypad's arrows too), or beeps where
    // the command cannot be done; an added node is not edited unless asked.
    void commandsByKeyAndTheirRefusals() {
        EditorFixture f;
        f.ctx.settings.EditAddNodeAutoEdit = 0;
        f.load(QStringLiteral("{SU=Ann;Ben}{PL=Harbour}.jpg"));
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier, none = Qt::NoModifier;
        for (auto [node, key, modifiers, tree, beeps] :
             {std::tuple{"Ben", Qt::Key_Up, ctrl | Qt::KeypadModifier, "SU(Ben,Ann),PL(Harbour),Extension(JPG)", 0},
              {"Ben", Qt::Key_Up, ctrl, "SU(Ben,Ann),PL(Harbour),Extension(JPG)", 1},  // first value of the first
              {"PL", Qt::Key_Left, ctrl, "SU(Ben,Ann),PL(Harbour),Extension(JPG)", 2},  // top level: no promotion
              {"PL", Qt::Key_Delete, none, "SU(Ben,Ann),Extension(JPG)", 2},
              {"SU", Qt::Key_Right, alt, "SU(Ben,Ann,),Extension(JPG)", 2},
              {"Filename", Qt::Key_Up, alt, "SU(Ben,Ann,),Extension(JPG)", 3}, {"Filename", Qt::Key_Delete, none, "", 3}}) {
            if (!f.editor->tree().empty()) f.select(QLatin1String(node));
            f.key(key, modifiers);
            QCOMPARE(f.treeText(), f.editor->tree().empty() ? QString() : "Filename(" + QLatin1String(tree) + ")");
            QCOMPARE(f.ui.beeps, beeps);
        }
        QVERIFY(!f.labelEditor());
        f.key(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(f.treeText(), QStringLiteral("Filename"));
    }

    void moveModeSuspendsReorderUntilCtrlIsReleased() {
        EditorFixture f(true);
        f.ctx.settings.SemanticsValueReorder = 1;  // alphabetical
        f.load(QStringLiteral("{SU=Ann;Ben;Cy}{PL=Harbour}.jpg"));
        // The values of the attribute that holds Cy, in order.
        auto values = [&] {
            const AttributeTree& t = f.editor->tree();
            int cy = 0;
            for (int n = 1; n <= t.count(); ++n)
                if (t[n].text == "Cy") cy = n;
            QStringList v;
            for (int c = t[t[cy].parent].child; c; c = t[c].next) v << QString::fromStdString(t[c].text);
            return v.join(QLatin1Char(','));
        };
        QCOMPARE(values(), QStringLiteral("Ann,Ben,Cy"));
        f.select(QStringLiteral("Cy"));
        // Sent one by one: QTest's own clicks would press and release Ctrl around each key.
        auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers m) {
            QKeyEvent event(type, key, m);
            QCoreApplication::sendEvent(f.treeView(), &event);
        };
        send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        QVERIFY(f.editor->moveMode());
        for (int i = 0; i < 2; ++i) {
            send(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
            send(QEvent::KeyRelease, Qt::Key_Up, Qt::ControlModifier);
        }
        QCOMPARE(f.treeText(), QStringLiteral("Filename(Subject(Cy,Ann,Ben),Place(Harbour),Extension(JPG))"));
        // Releasing Ctrl applies the order again, and the moved node stays selected.
        send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        QVERIFY(!f.editor->moveMode());
        QCOMPARE(values(), QStringLiteral("Ann,Ben,Cy"));
        QCOMPARE(f.selected(), std::string("Cy|"));
    }

    // Typing shows the format the text was read in and never rewrites the pane; a build
    // from the tree writes the format it was parsed from, or the one the settings ask for.
    void statusNamesTheFormatReadThenTheOneBuilt() {
        for (auto [buildMode, built] : {std::pair{"(Auto)", "2024-05-17 #003 Seals.jpg Lorvane Data 1.x"},
                                        {"2.x", "{Date=2024-05-17}{Serial=3}{Topic=Seals}.jpg Lorvane Data 2.x"}}) {
            EditorFixture f;
            f.ctx.settings.BuildMode = buildMode;
            f.type(QStringLiteral("2024-05-17 #3 Seals.jpg"));
            QCOMPARE(f.filename()->text() + " " + f.status(),
                     QStringLiteral("2024-05-17 #3 Seals.jpg Lorvane Data 1.x"));
            f.action("mnuToolsUpdate")->trigger();
            QCOMPARE(f.filename()->text() + " " + f.status(), QLatin1String(built));
            QCOMPARE(f.editor->lastSource(), EditorWindow::Source::Tree);
        }
    }

    void closingAsksAboutUnsavedChanges() {
        EditorFixture f;
        f.type(QStringLiteral("{SU=Ann}"));
        f.ui.answers = {MessageAnswer::Cancel};
        f.editor->close();
        QVERIFY(f.ctx.windows.IsFormVisible(form::Editor));
        QCOMPARE(f.ui.messages.size(), std::size_t{1});
        QCOMPARE(
            f.ui.messages[0].title + ": " + f.ui.messages[0].text,
            QStringLiteral("Lorvane Editor: Do you want to save the changes you made to the filename in the Editor?"));
        QCOMPARE(f.ui.messages[0].buttons, MessageButtons::YesNoCancel);
        f.ui.answers = {MessageAnswer::No};
        f.editor->close();
        QVERIFY(!f.ctx.windows.loaded(form::Editor));
        QCOMPARE(f.store.read("Editor", "InputPath").value_or(""), std::string("/opt/lorvane/sample"));
        QVERIFY(f.store.read("Editor", "WindowState").has_value());
    }

    // A dropped folder is no file; of several files the first is taken; text is refused with a box.
    void droppedFiles() {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("{SU=Ann}.jpg")), b = dir.filePath(QStringLiteral("b.jpg"));
        for (const QString& p : {a, b}) QVERIFY(QFile(p).open(QIODevice::WriteOnly));
        EditorFixture f;
        // Qt delivers a drop only to the widget that accepted the drag's entry.
        auto drop = [&](const QList<QUrl>& urls, const QString& text, const QString& shown) {
            QMimeData data;
            if (urls.isEmpty()) data.setText(text);
            else data.setUrls(urls);
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(f.filename(), &enter);
            QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(f.filename(), &event);
            QCOMPARE(f.filename()->text(), shown);
        };
        drop({QUrl::fromLocalFile(dir.path())}, {}, QString());
        drop({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)}, {}, QStringLiteral("{SU=Ann}.jpg"));
        QCOMPARE(QString::fromStdString(f.editor->folder()), QDir(dir.path()).absolutePath());
        QVERIFY(f.editor->isClean() && f.ui.messages.empty());
        drop({}, QStringLiteral("words"), QStringLiteral("{SU=Ann}.jpg"));
        QVERIFY(f.ui.messages.back().title == QStringLiteral("Drag and Drop") &&
                f.ui.messages.back().icon == MessageIcon::Information);
    }
};

LORVANE_QTEST(EditorWindowTest);

}  // namespace lorvane::testing

#include "editor_window_test.moc"
