// What the batch operations' dialogs share: the Confirm and Persist flags and
// the OK, Apply and Cancel buttons. A dialog keeps its fields between showings.
#pragma once

#include <QDialog>

class QBoxLayout;
class QPushButton;

namespace lorvane {

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

private:
    void accept(bool persist);

    QBoxLayout* buttons_;
};

}  // namespace lorvane
