// Message boxes, file dialogs and the beep. Windows reach them only through this
// interface so that tests can answer them without a screen and see what was asked.
#pragma once

#include <QString>

class QUrl;
class QWidget;

namespace lorvane {

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
// YesNoDefaultNo: Yes and No with No as the default button, for confirmations that lose work.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal box; returns the button pressed (closing the box counts as Cancel,
    // or No when there is no Cancel, or Ok for a box with only Ok).
    virtual MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                                      MessageButtons buttons = MessageButtons::Ok) = 0;

    // File dialogs: the chosen path, or empty when the user cancelled. Choosing an
    // existing file in the save dialog is not confirmed there: the caller decides what
    // it means (nothing is ever replaced).
    virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& initialPath,
                                    const QString& filter) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& initialPath,
                                    const QString& filter) = 0;
    virtual QString GetFolder(QWidget* parent, const QString& title, const QString& initialFolder) = 0;
    // A folder chosen among files: any existing folder is accepted, with files of its
    // own or without; the files (through filter) are there only to help find it.
    virtual QString GetFolderAmongFiles(QWidget* parent, const QString& title, const QString& initialFolder,
                                        const QString& filter) = 0;

    // The refusal of an editing command: a sound, nothing else.
    virtual void Beep() = 0;

    // Opens a file, a web page or a mailto: message with the program the desktop
    // associates with it (the freedesktop.org associations); false when none could
    // be started.
    virtual bool OpenWithDesktop(const QUrl& file) = 0;
};

}  // namespace lorvane
