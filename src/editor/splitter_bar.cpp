#include "editor/splitter_bar.h"

#include <QMouseEvent>

namespace lorvane {

SplitterBar::SplitterBar(QWidget* parent) : QFrame(parent) {
    setCursor(Qt::SplitVCursor);
    setFrameShape(QFrame::NoFrame);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit dragStarted(event->position().y());
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) emit dragMoved(event->position().y());
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit dragEnded();
}

}  // namespace lorvane
