// Finding a window's widgets by object name and clicking them as a user would.
#pragma once

#include <QTest>
#include <QWidget>

namespace lorvane::testing {

template <typename T = QWidget>
T* child(const QWidget& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    if (!c) qFatal("no child %s", qPrintable(name));
    return c;
}

// Near the left end, where an option button's indicator is, however wide the button.
inline void click(const QWidget& w, const QString& name) {
    QWidget* c = child(w, name);
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(qMin(8, c->width() / 2), c->height() / 2));
}

}  // namespace lorvane::testing
