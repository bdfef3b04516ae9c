// The Filename pane: one line of text that takes dropped files instead of dropped text.
#pragma once

#include <QByteArrayList>
#include <QLineEdit>

namespace lorvane {

class FilenameEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit FilenameEdit(QWidget* parent = nullptr);

signals:
    // Local paths of the dropped files, in the order given, as the file system's
    // bytes (taken from the URLs' encoded form, so a name need not be UTF-8).
    void filesDropped(const QByteArrayList& paths);
    // Something was dropped that holds no files (text, for example).
    void otherDataDropped();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace lorvane
