// The Editor's layout rules, its character positions and its pictures.
#include <QImage>
#include <QSet>
#include <QTest>

#include "editor/editor_layout.h"
#include "editor/node_pictures.h"
#include "editor/text_positions.h"
#include "support/qt_test_main.h"

namespace lorvane::testing {

class EditorPartsTest : public QObject {
    Q_OBJECT

private slots:
    void layout() {
        const EditorGeometry g = LayOutEditor(500, 300, 24);
        QCOMPARE(g.filename, QRect(0, 0, 500, 24));
        QCOMPARE(g.splitter.top(), 24);
        QCOMPARE(g.tree.top(), 24 + kSplitterGap);
        QCOMPARE(g.tree.bottom() + 1, 300);
        QVERIFY(g.splitterVisible);
        // Too small for the pane and the gap: no splitter, no tree height.
        const EditorGeometry small = LayOutEditor(500, 24 + kSplitterGap, 24);
        QVERIFY(!small.splitterVisible);
        QCOMPARE(small.tree.height(), 0);
        QCOMPARE(LayOutEditor(500, 10, 24).tree.height(), 0);
    }

    void splitterLimits() {
        QVERIFY(SplitterMoveAllowed(1, 100));
        QVERIFY(!SplitterMoveAllowed(0, 100));
        QVERIFY(SplitterMoveAllowed(100 - kSplitterGap, 100));
        QVERIFY(!SplitterMoveAllowed(101 - kSplitterGap, 100));
    }

    void characterPositionsToUtf16() {
        const QString text = QStringLiteral("a\U0001F600b:c");  // the emoji is two UTF-16 units
        QCOMPARE(CharacterCount(text), 5);
        const Utf16Range r = Utf16RangeOf(text, 4, 1);
        QCOMPARE(text.mid(r.start, r.length), QStringLiteral(":"));
        const Utf16Range emoji = Utf16RangeOf(text, 2, 1);
        QCOMPARE(emoji.length, 2);
        const Utf16Range past = Utf16RangeOf(text, 9, 3);
        QCOMPARE(past.start, text.size());
        QCOMPARE(past.length, 0);
        QCOMPARE(Utf16RangeOf(text, 0, 1).start, 0);
    }

    void everyPictureIsDrawnAndDistinct() {
        QSet<QByteArray> seen;
        auto bytesOf = [](const QIcon& icon, qreal scale) {
            const QPixmap pm = icon.pixmap(QSize(16, 16), scale);
            const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
            return QByteArray(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
        };
        for (int i = 1; i <= 12; ++i) {
            const QIcon icon = NodePicture(i);
            QVERIFY(!icon.isNull());
            const QPixmap high = icon.pixmap(QSize(16, 16), 2.0);
            QCOMPARE(high.devicePixelRatio(), 2.0);
            QCOMPARE(high.size(), QSize(32, 32));
            seen.insert(bytesOf(icon, 1.0));
        }
        for (int s = 1; s <= 4; ++s) seen.insert(bytesOf(StatusIcon(static_cast<StatusPicture>(s)), 1.0));
        QCOMPARE(seen.size(), 16);
        QVERIFY(NodePicture(0).isNull());
        QVERIFY(NodePicture(13).isNull());
    }
};

LORVANE_QTEST(EditorPartsTest);

}  // namespace lorvane::testing

#include "editor_parts_test.moc"
