#include "browser/row_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <map>

#include "core/rows/file_rows.h"

namespace lorvane {

namespace {

// Drawn on a 16-unit square and scaled, so both sizes share one drawing.
void drawGood(QPainter& p) {
    p.setBrush(QColor(46, 160, 67));
    p.setPen(QPen(QColor(22, 100, 38), 0.8));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QPen tick(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    p.setBrush(Qt::NoBrush);
    const QPointF pts[] = {{4.5, 8.2}, {7.0, 10.8}, {11.5, 5.2}};
    p.drawPolyline(pts, 3);
}

void drawWarn(QPainter& p) {
    QPainterPath tri;
    tri.moveTo(8, 1.2);
    tri.lineTo(15.2, 14.5);
    tri.lineTo(0.8, 14.5);
    tri.closeSubpath();
    p.setBrush(QColor(240, 180, 20));
    p.setPen(QPen(QColor(150, 100, 0), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tri);
    p.setPen(QPen(QColor(40, 30, 0), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 5.5), QPointF(8, 9.8));
    p.drawPoint(QPointF(8, 12.4));
}

void drawFail(QPainter& p) {
    p.setBrush(QColor(210, 45, 45));
    p.setPen(QPen(QColor(130, 20, 20), 0.8));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
    p.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
}

// Two overlapping sheets: a name whose chronology repeats another's.
void drawDupl(QPainter& p) {
    p.setPen(QPen(QColor(30, 70, 140), 0.8));
    p.setBrush(QColor(120, 160, 220));
    p.drawRoundedRect(QRectF(1, 1, 9.5, 11), 1.2, 1.2);
    p.setBrush(QColor(70, 120, 200));
    p.drawRoundedRect(QRectF(5.5, 4, 9.5, 11), 1.2, 1.2);
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 8), QPointF(13, 8));
    p.drawLine(QPointF(7.5, 11), QPointF(13, 11));
}

QPixmap draw(int icon, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (icon) {
        case row_icon::Good: drawGood(p); break;
        case row_icon::Warn: drawWarn(p); break;
        case row_icon::Fail: drawFail(p); break;
        case row_picture::Dupl: drawDupl(p); break;
        default: break;
    }
    return pm;
}

}  // namespace

QPixmap RowPicture(int icon, int size) {
    if (icon < row_icon::Good || icon > row_picture::Dupl || size <= 0) return {};
    // Painted once per size: every visible row asks for its picture on each repaint.
    // Kept for the whole run (never destroyed after the application object).
    static auto* cache = new std::map<std::pair<int, int>, QPixmap>;
    auto [it, fresh] = cache->try_emplace({icon, size});
    if (fresh) it->second = draw(icon, size);
    return it->second;
}

QIcon RowIcon(int icon) {
    static auto* icons = new std::array<QIcon, 5>;
    if (icon < row_icon::Good || icon > row_picture::Dupl) return {};
    QIcon& i = (*icons)[static_cast<std::size_t>(icon)];
    if (i.isNull()) {
        // Both sizes and their doubles for screens of twice the density, each drawn
        // rather than scaled; the same picture when selected, where the default
        // would tint it with the selection colour and blur the mark.
        for (const int size :
             {row_picture::SmallSize, row_picture::LargeSize, 2 * row_picture::SmallSize, 2 * row_picture::LargeSize}) {
            const QPixmap pm = RowPicture(icon, size);
            i.addPixmap(pm, QIcon::Normal);
            i.addPixmap(pm, QIcon::Selected);
        }
    }
    return i;
}

}  // namespace lorvane
