// frmChangeSequence: the parameters of Change Sequence Numbers, as a request for
// core's step.
#pragma once

#include "core/batch/change_sequence_numbers.h"
#include "dialogs/operation_dialog.h"

class QComboBox;
class QLineEdit;

namespace lorvane {

class OptionArray;
class UserInterface;

class ChangeSequenceDialog final : public OperationDialog {
    Q_OBJECT
public:
    explicit ChangeSequenceDialog(UserInterface& ui, QWidget* parent = nullptr);

    // The chosen option (optSequence index 1 to 3) and its fields as they stand.
    ChangeSequenceRequest request() const;
    // optSequence's click or mnemonic: that option's fields enabled, the others
    // disabled, and the focus in its first field.
    void ChooseOption(int index);
    int option() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool FieldsAcceptable() override;

private:
    // A number field's check on leaving it; false when it was refused.
    bool checkField(QLineEdit* field);

    UserInterface& ui_;
    OptionArray* options_;
    QComboBox* mode_;
    QLineEdit* start_;
    QLineEdit* step_;
    QLineEdit* number_;
    QLineEdit* amount_;
};

}  // namespace lorvane
