// A UserInterface for window tests: answers message boxes from a script, records
// every box and beep, and never shows anything.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <vector>

#include "gui/user_interface.h"

namespace lorvane::testing {

struct ShownMessage {
    QString text, title;
    MessageIcon icon;
    MessageButtons buttons;
};

class ScriptedUserInterface final : public UserInterface {
public:
    // Answers for the next message boxes, in order; when none is left a box
    // gets Ok, or Cancel when it has one.
    std::deque<MessageAnswer> answers;
    std::deque<QString> chosenPaths;  // for the file dialogs; empty means cancelled
    std::vector<ShownMessage> messages;
    QStringList dialogs;  // titles of the file dialogs shown
    QStringList filters;  // the filters of the folder choosers shown
    int beeps = 0;
    QList<QUrl> opened;       // the files handed to the desktop to open
    bool openSucceeds = true;

    MessageAnswer ShowMessage(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                              MessageButtons buttons) override {
        messages.push_back({text, title, icon, buttons});
        if (!answers.empty()) {
            const MessageAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MessageButtons::Ok || buttons == MessageButtons::YesNo ? MessageAnswer::Ok
                                                                                 : MessageAnswer::Cancel;
    }
    QString GetOpenFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return nextPath(title);
    }
    QString GetSaveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return nextPath(title);
    }
    QString GetFolder(QWidget*, const QString& title, const QString&) override { return nextPath(title); }
    QString GetFolderAmongFiles(QWidget*, const QString& title, const QString&, const QString& filter) override {
        filters << filter;
        return nextPath(title);
    }
    void Beep() override { ++beeps; }
    bool OpenWithDesktop(const QUrl& file) override {
        opened << file;
        return openSucceeds;
    }

private:
    QString nextPath(const QString& title) {
        dialogs << title;
        if (chosenPaths.empty()) return {};
        const QString p = chosenPaths.front();
        chosenPaths.pop_front();
        return p;
    }
};

}  // namespace lorvane::testing
