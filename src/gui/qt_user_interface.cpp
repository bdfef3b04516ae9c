#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QFileDialog>
#include <QMessageBox>

namespace lorvane {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None: return QMessageBox::NoIcon;
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return QMessageBox::Ok;
        case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// The answer when the box is closed without pressing a button.
MessageAnswer closedAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoDefaultNo: return MessageAnswer::No;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer QtUserInterface::ShowMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                                           MessageButtons buttons) {
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons), parent);
    if (buttons == MessageButtons::YesNoDefaultNo) box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Cancel: return MessageAnswer::Cancel;
        default: return closedAnswer(buttons);
    }
}

QString QtUserInterface::GetOpenFileName(QWidget* parent, const QString& title, const QString& initialPath,
                                         const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, initialPath, filter);
}

QString QtUserInterface::GetSaveFileName(QWidget* parent, const QString& title, const QString& initialPath,
                                         const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, initialPath, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtUserInterface::GetFolder(QWidget* parent, const QString& title, const QString& initialFolder) {
    return QFileDialog::getExistingDirectory(parent, title, initialFolder);
}

QString QtUserInterface::GetFolderAmongFiles(QWidget* parent, const QString& title, const QString& initialFolder,
                                             const QString& filter) {
    // Directory mode: no name to validate, and the dialog itself refuses a path that
    // does not exist. Files stay listed so the user sees which folder holds what.
    QFileDialog dialog(parent, title, initialFolder, filter);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, false);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void QtUserInterface::Beep() { QApplication::beep(); }

bool QtUserInterface::OpenWithDesktop(const QUrl& file) { return QDesktopServices::openUrl(file); }

}  // namespace lorvane
