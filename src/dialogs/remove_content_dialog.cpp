#include "dialogs/remove_content_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/batch/add_content.h"

namespace lorvane {

namespace {

enum { Remove = 1, Promote = 2 };

std::string fieldText(const QLineEdit* field) { return ContentField(field->text().toStdString()); }

}  // namespace

RemoveContentDialog::RemoveContentDialog(QWidget* parent)
    : OperationDialog(parent),
      content_(this, QStringLiteral("optContent")),
      context_(this, QStringLiteral("optContext")),
      subAttributes_(this, QStringLiteral("optSubAttributes")) {
    setObjectName(QStringLiteral("frmRemoveContent"));
    setWindowTitle(QStringLiteral("Remove Content"));
    auto* outer = new QVBoxLayout(this);
    auto frame = [&](const char* caption) {
        auto* box = new QGroupBox(QString::fromLatin1(caption), this);
        outer->addWidget(box);
        return new QGridLayout(box);
    };

    // Mnemonics: none shared within the dialog.
    QGridLayout* grid = frame("Remove");
    attribute_ = NewTrimmedField(this, QStringLiteral("ContentAttribute"));
    value_ = NewTrimmedField(this, QStringLiteral("ContentValue"));
    const struct {
        const char* caption;
        QLineEdit* field;
        const char* label;
    } criteria[] = {{"Attributes that have &no values", nullptr, nullptr},
                    {"Attributes that have empty la&bels", nullptr, nullptr},
                    {"Attributes whose labels &contain", attribute_, "&Text"},
                    {"Values that are &empty", nullptr, nullptr},
                    {"&Values that contain", value_, "Te&xt"}};
    for (int i = 0; i < 5; ++i) {
        const auto& c = criteria[i];
        std::vector<QWidget*> fields;
        if (c.field) fields = {c.field, AddLabelled(grid, i, 1, QString::fromLatin1(c.label), c.field)};
        grid->addWidget(content_.Add(i + 1, QString::fromLatin1(c.caption), fields), i, 0);
    }

    grid = frame("Context");
    contextAttribute_ = NewTrimmedField(this, QStringLiteral("ContextAttribute"));
    contextValue_ = NewTrimmedField(this, QStringLiteral("ContextValue"));
    QWidget* contextAttributeLabel = AddLabelled(grid, 2, 1, QStringLiteral("Attr&ibute"), contextAttribute_);
    QWidget* contextValueLabel = AddLabelled(grid, 3, 1, QStringLiteral("Va&lue"), contextValue_);
    grid->addWidget(context_.Add(int(RemoveContext::Any), QStringLiteral("&Any")), 0, 0);
    grid->addWidget(context_.Add(int(RemoveContext::TopLevel), QStringLiteral("T&op-level attribute")), 1, 0);
    grid->addWidget(context_.Add(int(RemoveContext::SubAttributeOf), QStringLiteral("&Sub-attribute of"),
                                 {contextAttribute_, contextValue_, contextAttributeLabel, contextValueLabel}),
                    2, 0);

    grid = frame("Sub-attributes");
    grid->addWidget(subAttributes_.Add(Remove, QStringLiteral("&Remove")), 0, 0);
    grid->addWidget(subAttributes_.Add(Promote, QStringLiteral("&Promote")), 0, 1);
    outer->addLayout(buttonRow());

    SetTabChain(this, {"optContent1", "optContent2", "optContent3", "ContentAttribute", "optContent4", "optContent5",
                       "ContentValue", "optContext1", "optContext2", "optContext3", "ContextAttribute", "ContextValue",
                       "optSubAttributes1", "optSubAttributes2"});
    content_.Choose(int(RemoveCriterion::AttributesNamed));
    context_.Choose(int(RemoveContext::Any));
    subAttributes_.Choose(Remove);
}

RemoveContentRequest RemoveContentDialog::request() const {
    RemoveContentRequest r;
    r.criterion = static_cast<RemoveCriterion>(content_.chosen());
    r.attributeText = fieldText(attribute_);
    r.valueText = fieldText(value_);
    r.context = static_cast<RemoveContext>(context_.chosen());
    r.contextAttribute = fieldText(contextAttribute_);
    r.contextValue = fieldText(contextValue_);
    r.promote = subAttributes_.chosen() == Promote;
    return r;
}

}  // namespace lorvane
