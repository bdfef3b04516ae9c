// frmAddContent: the attribute and value Add Content adds, and where, as a
// request for core's step.
#pragma once

#include "core/batch/add_content.h"
#include "dialogs/content_fields.h"
#include "dialogs/operation_dialog.h"

class QLineEdit;

namespace lorvane {

class UserInterface;

class AddContentDialog final : public OperationDialog {
    Q_OBJECT
public:
    explicit AddContentDialog(UserInterface& ui, QWidget* parent = nullptr);

    // The fields as they stand, trimmed.
    AddContentRequest request() const;

protected:
    // A blank name or value only when the user says so.
    bool FieldsAcceptable() override;

private:
    // The question about a blank field; No keeps the focus in it.
    bool blankConfirmed(QLineEdit* field, const QString& question);

    UserInterface& ui_;
    QLineEdit* attribute_;
    QLineEdit* value_;
    QLineEdit* contextAttribute_;
    QLineEdit* contextValue_;
    FieldOptions context_;
};

}  // namespace lorvane
