// frmRemoveContent: what Remove Content removes, where, and what becomes of the
// sub-attributes, as a request for core's step.
#pragma once

#include "core/batch/remove_content.h"
#include "dialogs/content_fields.h"
#include "dialogs/operation_dialog.h"

class QLineEdit;

namespace lorvane {

class RemoveContentDialog final : public OperationDialog {
    Q_OBJECT
public:
    explicit RemoveContentDialog(QWidget* parent = nullptr);

    // The options and fields as they stand, the fields trimmed.
    RemoveContentRequest request() const;

private:
    QLineEdit* attribute_;
    QLineEdit* value_;
    QLineEdit* contextAttribute_;
    QLineEdit* contextValue_;
    FieldOptions content_, context_, subAttributes_;
};

}  // namespace lorvane
