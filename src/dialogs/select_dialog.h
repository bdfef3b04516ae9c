// frmSelect: the action and the criteria of Select Files, as a request for core.
#pragma once

#include <array>

#include "core/rows/select_files.h"
#include "dialogs/operation_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace lorvane {

class SelectDialog final : public OperationDialog {
    Q_OBJECT
public:
    explicit SelectDialog(QWidget* parent = nullptr);

    SelectRequest request() const;
    int CurrentTabIndex() const { return tab_; }              // 1 "By Filename", 2 "By Attribute"
    int CurrentOperationIndex() const { return operation_; }  // optOperation 1 to 4
    void ShowTab(int index);
    void ChooseLabel(int index);
    void ChooseValue(int index);
    void ChooseContext(int index);

protected:
    // OK and Apply first trim the blanks around the five texts.
    bool FieldsAcceptable() override;

private:
    int tab_ = 1, operation_ = 1, label_ = 1, value_ = 1, context_ = 1;
    QTabWidget* tabs_;
    std::array<QRadioButton*, 4> operations_{}, labels_{}, values_{};
    std::array<QRadioButton*, 3> contexts_{};
    QLineEdit *filename_, *contentLabel_, *contentValue_, *contextLabel_, *contextValue_;
    QCheckBox *filenameWholeWord_, *filenameMatchCase_;
    QCheckBox *labelWholeWord_, *labelMatchCase_, *valueWholeWord_, *valueMatchCase_;
};

}  // namespace lorvane
