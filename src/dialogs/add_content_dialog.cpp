#include "dialogs/add_content_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/user_interface.h"

namespace lorvane {

namespace {

const QString kCaption = QStringLiteral("Add Content");
enum { TopLevel = 1, SubAttribute = 2 };

}  // namespace

AddContentDialog::AddContentDialog(UserInterface& ui, QWidget* parent)
    : OperationDialog(parent), ui_(ui), context_(this, QStringLiteral("optContext")) {
    setObjectName(QStringLiteral("frmAddContent"));
    setWindowTitle(kCaption);
    auto* outer = new QVBoxLayout(this);

    auto* content = new QGroupBox(QStringLiteral("Content"), this);
    auto* grid = new QGridLayout(content);
    attribute_ = NewTrimmedField(content, QStringLiteral("ContentAttribute"));
    value_ = NewTrimmedField(content, QStringLiteral("ContentValue"));
    AddLabelled(grid, 0, 0, QStringLiteral("&Attribute"), attribute_);
    AddLabelled(grid, 1, 0, QStringLiteral("&Value"), value_);
    outer->addWidget(content);

    auto* frame = new QGroupBox(QStringLiteral("Context"), this);
    grid = new QGridLayout(frame);
    contextAttribute_ = NewTrimmedField(frame, QStringLiteral("ContextAttribute"));
    contextValue_ = NewTrimmedField(frame, QStringLiteral("ContextValue"));
    // The context's fields stand indented under the option they go with.
    QWidget* attributeLabel = AddLabelled(grid, 2, 1, QStringLiteral("Att&ribute"), contextAttribute_);
    QWidget* valueLabel = AddLabelled(grid, 3, 1, QStringLiteral("Va&lue"), contextValue_);
    grid->addWidget(context_.Add(TopLevel, QStringLiteral("&Top-level attribute")), 0, 0, 1, 3);
    grid->addWidget(context_.Add(SubAttribute, QStringLiteral("&Sub-attribute of"),
                                 {contextAttribute_, contextValue_, attributeLabel, valueLabel}),
                    1, 0, 1, 3);
    grid->setColumnMinimumWidth(0, 16);
    outer->addWidget(frame);
    outer->addLayout(buttonRow());

    SetTabChain(this,
                {"ContentAttribute", "ContentValue", "optContext1", "optContext2", "ContextAttribute", "ContextValue"});
    context_.Choose(TopLevel);
}

AddContentRequest AddContentDialog::request() const {
    AddContentRequest r;
    r.attribute = ContentField(attribute_->text().toStdString());
    r.value = ContentField(value_->text().toStdString());
    r.subAttribute = context_.chosen() == SubAttribute;
    r.contextAttribute = ContentField(contextAttribute_->text().toStdString());
    r.contextValue = ContentField(contextValue_->text().toStdString());
    return r;
}

bool AddContentDialog::FieldsAcceptable() {
    for (QLineEdit* field : {attribute_, value_, contextAttribute_, contextValue_}) TrimField(field);
    // Each blank field asked about in turn, the name first.
    const AddContentRequest r = request();
    if (r.attribute.empty() &&
        !blankConfirmed(attribute_, QStringLiteral("Are you sure you want to add an attribute with a blank name?")))
        return false;
    return !r.value.empty() ||
           blankConfirmed(value_, QStringLiteral("Are you sure you want to add an attribute with a blank value?"));
}

bool AddContentDialog::blankConfirmed(QLineEdit* field, const QString& question) {
    if (ui_.ShowMessage(this, question, kCaption, MessageIcon::Question, MessageButtons::YesNoDefaultNo) ==
        MessageAnswer::Yes)
        return true;
    field->setFocus(Qt::OtherFocusReason);
    return false;
}

}  // namespace lorvane
