#include "dialogs/content_fields.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "core/batch/add_content.h"
#include "core/qt_text.h"
#include "dialogs/operation_dialog.h"

namespace lorvane {

QLineEdit* NewTrimmedField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    QObject::connect(field, &QLineEdit::editingFinished, field, [field] { TrimField(field); });
    return field;
}

void TrimField(QLineEdit* field) {
    const QString trimmed = ToQString(ContentField(field->text().toStdString()));
    if (trimmed != field->text()) field->setText(trimmed);
}

FieldOptions::FieldOptions(QWidget* parent, const QString& prefix)
    : parent_(parent), prefix_(prefix), group_(new QButtonGroup(parent)) {
    QObject::connect(group_, &QButtonGroup::idToggled, parent, [this](int index, bool on) {
        if (on) enableFields(index);
    });
}

QRadioButton* FieldOptions::Add(int index, const QString& caption, std::vector<QWidget*> fields) {
    auto* b = new QRadioButton(caption, parent_);
    b->setObjectName(prefix_ + QString::number(index));
    group_->addButton(b, index);
    for (QWidget* f : fields) {
        OperationDialog::FaceWhenDisabled(f);
        f->setEnabled(false);
        fields_.emplace_back(index, f);
    }
    return b;
}

void FieldOptions::Choose(int index) {
    if (QAbstractButton* b = group_->button(index)) b->setChecked(true);
}

int FieldOptions::chosen() const { return group_->checkedId(); }

void FieldOptions::enableFields(int index) {
    for (const auto& [option, field] : fields_) field->setEnabled(option == index);
}

void SetTabChain(QWidget* dialog, std::initializer_list<const char*> names) {
    QWidget* previous = nullptr;
    auto chain = [&](const char* name) {
        auto* w = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        if (previous && w) QWidget::setTabOrder(previous, w);
        if (w) previous = w;
    };
    for (const char* name : names) chain(name);
    for (const char* name : {"cmdOK", "cmdApply", "cmdCancel"}) chain(name);
}

QWidget* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setObjectName(QStringLiteral("lbl") + field->objectName());
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
    return label;
}

}  // namespace lorvane
