#include "dialogs/operation_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "gui/user_interface.h"

namespace lorvane {

OperationDialog::OperationDialog(QWidget* parent) : QDialog(parent) {
    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons_->addWidget(b);
        return b;
    };
    QPushButton* ok = button("cmdOK", QStringLiteral("OK"));
    QPushButton* apply = button("cmdApply", QStringLiteral("Apply"));
    QPushButton* cancel = button("cmdCancel", QStringLiteral("Cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { accept(false); });
    connect(apply, &QPushButton::clicked, this, [this] { accept(true); });
    // Cancel hides the dialog and leaves the flags as they are.
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void OperationDialog::FaceWhenDisabled(QWidget* field) {
    QPalette p = field->palette();
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Button));
    field->setPalette(p);
}

void OperationDialog::Run() {
    Confirm = false;
    Persist = false;
    exec();
}

void OperationDialog::accept(bool persist) {
    if (!FieldsAcceptable()) return;
    Confirm = true;
    Persist = persist;
    QDialog::accept();
}

bool OperationDialog::RefuseField(UserInterface& ui, QLineEdit* field, const QString& message) {
    return RefuseDialogField(ui, this, field, message, windowTitle(), refusing_);
}

bool RefuseDialogField(UserInterface& ui, QWidget* dialog, QLineEdit* field, const QString& message,
                       const QString& title, bool& refusing) {
    refusing = true;
    ui.ShowMessage(dialog, message, title, MessageIcon::Exclamation);
    refusing = false;
    // The focus stays in the field: given back once the leaving is over.
    QTimer::singleShot(0, field, [field] {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });
    return false;
}

}  // namespace lorvane
