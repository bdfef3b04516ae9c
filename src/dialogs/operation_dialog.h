// What the batch operations' dialogs share: the Confirm and Persist flags and
// the OK, Apply and Cancel buttons. A dialog keeps its fields between showings.
#pragma once

#include <QDialog>

class QBoxLayout;
class QLineEdit;
class QPushButton;

namespace lorvane {

class UserInterface;

// A field refused on leaving it: the message box (exclamation, with this title),
// then the focus back in the field with its text selected. refusing is true while
// the box is open, so that the focus it takes is no new leaving. Returns false.
bool RefuseDialogField(UserInterface& ui, QWidget* dialog, QLineEdit* field, const QString& message,
                       const QString& title, bool& refusing);

class OperationDialog : public QDialog {
    Q_OBJECT
public:
    explicit OperationDialog(QWidget* parent = nullptr);

    bool Confirm = false;  // the user asked for the operation to run
    bool Persist = false;  // and for the dialog back after the run

    // Clears both flags and shows the dialog modally.
    void Run();

    // Enabled fields show the window background, disabled ones the button face.
    static void FaceWhenDisabled(QWidget* field);

protected:
    // The row of buttons, for the subclass's layout.
    QBoxLayout* buttonRow() const { return buttons_; }
    // Whether every field holds what the run can use; a refusal keeps the dialog
    // open with the focus in the field (the subclass says why).
    virtual bool FieldsAcceptable() { return true; }
    // A field refused on leaving it: the message box (exclamation, the dialog's
    // caption), then the focus back in the field with its text selected. False.
    bool RefuseField(UserInterface& ui, QLineEdit* field, const QString& message);
    // The refusal's box is open: the focus it takes is no new leaving.
    bool Refusing() const { return refusing_; }

private:
    void accept(bool persist);

    QBoxLayout* buttons_;
    bool refusing_ = false;
};

}  // namespace lorvane
