// The bar between the Filename pane and the tree pane; dragging it changes the
// Filename pane's height. It reports mouse positions; the Editor applies its rules.
#pragma once

#include <QFrame>

namespace lorvane {

class SplitterBar final : public QFrame {
    Q_OBJECT
public:
    explicit SplitterBar(QWidget* parent = nullptr);

signals:
    void dragStarted(qreal y);
    void dragMoved(qreal y);
    void dragEnded();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace lorvane
