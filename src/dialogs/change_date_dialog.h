// frmChangeDate: the parameters of Change Dates, as a request for core's step.
#pragma once

#include <QDateTime>

#include <array>

#include "core/batch/change_dates.h"
#include "dialogs/operation_dialog.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace lorvane {

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
    int option() const { return option_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool FieldsAcceptable() override;

private:
    // ChooseOption without moving the focus (the arrow keys keep it on the options).
    bool selectOption(int index);
    QWidget* firstField(int index) const;
    // A field's check on leaving it; false when it was refused.
    bool checkDateField(QLineEdit* field);
    bool checkShiftField(QLineEdit* field);
    // Shows why and keeps the focus in the field; false.
    bool refuse(QLineEdit* field, const QString& message);

    UserInterface& ui_;
    int option_ = 0;
    std::array<QRadioButton*, 4> options_{};
    std::array<std::vector<QWidget*>, 4> fields_;
    QComboBox* source_;
    QComboBox* precision_;
    QLineEdit* earliest_;
    QLineEdit* latest_;
    std::array<QLineEdit*, 6> shift_{};
    bool refusing_ = false;  // a refusal's box is open: its focus change is no new leaving
};

}  // namespace lorvane
