// UserInterface on Qt's own message boxes, file dialogs and beep.
#pragma once

#include "gui/user_interface.h"

namespace lorvane {

class QtUserInterface final : public UserInterface {
public:
    MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                              MessageButtons buttons) override;
    QString GetOpenFileName(QWidget* parent, const QString& title, const QString& initialPath,
                            const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& initialPath,
                            const QString& filter) override;
    QString GetFolder(QWidget* parent, const QString& title, const QString& initialFolder) override;
    QString GetFolderAmongFiles(QWidget* parent, const QString& title, const QString& initialFolder,
                                const QString& filter) override;
    void Beep() override;
    bool OpenWithDesktop(const QUrl& file) override;
};

}  // namespace lorvane
