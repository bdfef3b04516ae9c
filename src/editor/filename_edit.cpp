#include "editor/filename_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace lorvane {

FilenameEdit::FilenameEdit(QWidget* parent) : QLineEdit(parent) { setAcceptDrops(true); }

void FilenameEdit::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void FilenameEdit::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void FilenameEdit::dropEvent(QDropEvent* event) {
    QByteArrayList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    event->acceptProposedAction();
    if (paths.isEmpty()) emit otherDataDropped();
    else emit filesDropped(paths);
}

void FilenameEdit::keyPressEvent(QKeyEvent* event) {
    // The pane stays one line and Enter means nothing here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace lorvane
