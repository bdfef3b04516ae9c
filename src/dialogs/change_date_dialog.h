// frmChangeDate: the parameters of Change Dates, as a request for core's step.
#pragma once

#include <QDateTime>

#include <array>

#include "core/batch/change_dates.h"
#include "dialogs/operation_dialog.h"

class QComboBox;
class QLineEdit;

namespace lorvane {

class OptionArray;
class UserInterface;

class ChangeDateDialog final : public OperationDialog {
    Q_OBJECT
public:
    // now: the date-time Earliest and Latest start with.
    ChangeDateDialog(UserInterface& ui, const QDateTime& now = QDateTime::currentDateTime(), QWidget* parent = nullptr);

    // The chosen option (optDate index 1 to 4) and its fields as they stand.
    ChangeDatesRequest request() const;
    // optDate's click or mnemonic: that option's fields enabled, all others
    // disabled, and the focus in its first field.
    void ChooseOption(int index);
    int option() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool FieldsAcceptable() override;

private:
    // A field's check on leaving it; false when it was refused.
    bool checkDateField(QLineEdit* field);
    bool checkShiftField(QLineEdit* field);

    UserInterface& ui_;
    OptionArray* options_;
    QComboBox* source_;
    QComboBox* precision_;
    QLineEdit* earliest_;
    QLineEdit* latest_;
    std::array<QLineEdit*, 6> shift_{};
};

}  // namespace lorvane
