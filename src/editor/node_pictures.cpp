#include "editor/node_pictures.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <functional>

namespace lorvane {

namespace {

// Every picture is drawn on a 16 by 16 grid and scaled to the requested rectangle.
constexpr qreal kGrid = 16.0;

enum class Mark { Good, Warn, Fail, Ready };

QColor fillOf(Mark m) {
    switch (m) {
        case Mark::Good: return QColor(0x2e, 0x8b, 0x57);
        case Mark::Warn: return QColor(0xe0, 0x9a, 0x00);
        case Mark::Fail: return QColor(0xc6, 0x28, 0x28);
        case Mark::Ready: return QColor(0x4a, 0x6f, 0xa5);
    }
    return Qt::gray;
}

QColor outlineOf(Mark m) { return fillOf(m).darker(150); }

// The small sign inside a shape that says Warn or Fail without relying on colour.
void drawSign(QPainter& p, Mark m, QPointF centre, qreal size, const QColor& ink) {
    QPen pen(ink, size * 0.28, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    const qreal h = size / 2;
    if (m == Mark::Warn) {
        p.drawLine(QPointF(centre.x(), centre.y() - h), QPointF(centre.x(), centre.y() + h * 0.25));
        p.drawPoint(QPointF(centre.x(), centre.y() + h * 0.9));
    } else if (m == Mark::Fail) {
        const qreal d = h * 0.8;
        p.drawLine(centre + QPointF(-d, -d), centre + QPointF(d, d));
        p.drawLine(centre + QPointF(-d, d), centre + QPointF(d, -d));
    }
}

void shape(QPainter& p, const QPainterPath& path, Mark m) {
    p.setPen(QPen(outlineOf(m), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fillOf(m));
    p.drawPath(path);
}

// Root: a page with a folded corner, the file whose name the tree holds.
void drawRoot(QPainter& p, Mark m) {
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13.5, 5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(QPen(outlineOf(m), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(10, 1.5);
    fold.lineTo(10, 5);
    fold.lineTo(13.5, 5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(fold);
    // A coloured band across the page carries the status.
    p.setPen(Qt::NoPen);
    p.setBrush(fillOf(m));
    p.drawRoundedRect(QRectF(4.5, 7, 7.5, 6), 1, 1);
    drawSign(p, m, QPointF(8.25, 10), 3.6, Qt::white);
}

// Attribute: a label tag, pointing right while closed and down while open.
void drawAttribute(QPainter& p, Mark m, bool open) {
    p.save();
    if (open) {
        p.translate(8, 8);
        p.rotate(90);
        p.translate(-8, -8);
    }
    QPainterPath tag;
    tag.moveTo(1.5, 3.5);
    tag.lineTo(10, 3.5);
    tag.lineTo(14.5, 8);
    tag.lineTo(10, 12.5);
    tag.lineTo(1.5, 12.5);
    tag.closeSubpath();
    shape(p, tag, m);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11, 8), 1.1, 1.1);
    p.restore();
    const QPointF centre = open ? QPointF(8, 5.5) : QPointF(5.5, 8);
    drawSign(p, m, centre, 4.2, Qt::white);
}

// Value: a round token.
void drawValue(QPainter& p, Mark m) {
    QPainterPath dot;
    dot.addEllipse(QPointF(8, 8), 5.5, 5.5);
    shape(p, dot, m);
    if (m == Mark::Good) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 170));
        p.drawEllipse(QPointF(8, 8), 2, 2);
    }
    drawSign(p, m, QPointF(8, 8), 5, Qt::white);
}

void drawStatus(QPainter& p, StatusPicture s) {
    switch (s) {
        case StatusPicture::Good: {
            QPainterPath c;
            c.addEllipse(QPointF(8, 8), 6.5, 6.5);
            shape(p, c, Mark::Good);
            p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            QPainterPath tick;
            tick.moveTo(4.8, 8.3);
            tick.lineTo(7.1, 10.6);
            tick.lineTo(11.3, 5.6);
            p.drawPath(tick);
            break;
        }
        case StatusPicture::Ready: {
            QPainterPath c;
            c.addEllipse(QPointF(8, 8), 6.5, 6.5);
            shape(p, c, Mark::Ready);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            QPainterPath play;
            play.moveTo(6.3, 4.8);
            play.lineTo(11.2, 8);
            play.lineTo(6.3, 11.2);
            play.closeSubpath();
            p.drawPath(play);
            break;
        }
        case StatusPicture::Warn: {
            QPainterPath t;
            t.moveTo(8, 1.5);
            t.lineTo(15, 14);
            t.lineTo(1, 14);
            t.closeSubpath();
            shape(p, t, Mark::Warn);
            drawSign(p, Mark::Warn, QPointF(8, 9.3), 5.4, QColor(0x30, 0x20, 0x00));
            break;
        }
        case StatusPicture::Fail: {
            QPainterPath c;
            c.addEllipse(QPointF(8, 8), 6.5, 6.5);
            shape(p, c, Mark::Fail);
            drawSign(p, Mark::Fail, QPointF(8, 8), 6.5, Qt::white);
            break;
        }
    }
}

class VectorIconEngine final : public QIconEngine {
public:
    explicit VectorIconEngine(std::function<void(QPainter&)> draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        // Keep the picture square and centred in whatever rectangle it is given.
        const qreal side = std::min(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / kGrid, side / kGrid);
        if (mode == QIcon::Disabled) painter->setOpacity(0.45);
        draw_(*painter);
        painter->restore();
    }

    // Qt asks for device pixels (the logical size times the pixel ratio) and sets
    // the ratio itself, so the picture is drawn at exactly the size asked for.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(0, 0), size), mode, state);
        }
        return pm;
    }

    QIconEngine* clone() const override { return new VectorIconEngine(draw_); }

private:
    std::function<void(QPainter&)> draw_;
};

QIcon vectorIcon(std::function<void(QPainter&)> draw) { return QIcon(new VectorIconEngine(std::move(draw))); }

}  // namespace

QIcon NodePicture(int image) {
    static const std::array<QIcon, 12> pictures = [] {
        std::array<QIcon, 12> a;
        const Mark marks[] = {Mark::Good, Mark::Warn, Mark::Fail};
        for (int i = 0; i < 3; ++i) {
            const Mark m = marks[i];
            a[static_cast<std::size_t>(i)] = vectorIcon([m](QPainter& p) { drawRoot(p, m); });
            a[static_cast<std::size_t>(3 + 2 * i)] = vectorIcon([m](QPainter& p) { drawAttribute(p, m, false); });
            a[static_cast<std::size_t>(4 + 2 * i)] = vectorIcon([m](QPainter& p) { drawAttribute(p, m, true); });
            a[static_cast<std::size_t>(9 + i)] = vectorIcon([m](QPainter& p) { drawValue(p, m); });
        }
        return a;
    }();
    if (image < 1 || image > 12) return {};
    return pictures[static_cast<std::size_t>(image - 1)];
}

QIcon StatusIcon(StatusPicture picture) {
    return vectorIcon([picture](QPainter& p) { drawStatus(p, picture); });
}

}  // namespace lorvane
