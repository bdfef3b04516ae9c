// The Editor's layout rules and its character positions.
#include <QTest>

#include "editor/editor_layout.h"
#include "editor/text_positions.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

class EditorPartsTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndSplitterLimits() {
        const EditorGeometry g = LayOutEditor(500, 300, 24);
        QCOMPARE(g.filename, QRect(0, 0, 500, 24));
        QVERIFY(g.splitter.top() == 24 && g.tree.top() == 24 + kSplitterGap && g.tree.bottom() + 1 == 300);
        QVERIFY(g.splitterVisible);
        // Too small for the pane and the gap: no splitter, no tree height.
        const EditorGeometry small = LayOutEditor(500, 24 + kSplitterGap, 24);
        QVERIFY(!small.splitterVisible && small.tree.height() == 0);
        QCOMPARE(LayOutEditor(500, 10, 24).tree.height(), 0);
        QVERIFY(SplitterMoveAllowed(1, 100) && !SplitterMoveAllowed(0, 100));
        QVERIFY(SplitterMoveAllowed(100 - kSplitterGap, 100) && !SplitterMoveAllowed(101 - kSplitterGap, 100));
    }

    void characterPositionsToUtf16() {
        const QString text = QStringLiteral("a\U0001F600b:c");  // the emoji is two UTF-16 units
        QCOMPARE(CharacterCount(text), 5);
        for (auto [character, length, start, units] :
             {std::tuple{4, 1, 4, 1}, {2, 1, 1, 2}, {9, 3, 6, 0}, {0, 1, 0, 1}}) {
            const Utf16Range r = Utf16RangeOf(text, character, length);
            QCOMPARE(QPoint(r.start, r.length), QPoint(start, units));
        }
    }
};

LORVANE_QTEST(EditorPartsTest);

}  // namespace lorvane::testing

#include "editor_parts_test.moc"
