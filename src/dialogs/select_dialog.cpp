#include "dialogs/select_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lorvane {

namespace {

QString latin(const char* text) { return QString::fromLatin1(text); }

// Enabled text boxes show the window background, disabled ones the button face.
QLineEdit* textBox(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(latin(name));
    QPalette p = e->palette();
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Button));
    e->setPalette(p);
    return e;
}

QCheckBox* checkBox(const char* name, const char* caption, QWidget* parent) {
    auto* c = new QCheckBox(latin(caption), parent);
    c->setObjectName(latin(name));
    return c;
}

// Option buttons 1 to N of one control array, named name1, name2, ...; a click
// passes its index on.
template <std::size_t N, typename Choose>
void optionButtons(std::array<QRadioButton*, N>& buttons, const char* name, const std::array<const char*, N>& captions,
                   QGroupBox* frame, QGridLayout* grid, Choose choose) {
    for (std::size_t i = 0; i < N; ++i) {
        auto* b = new QRadioButton(latin(captions[i]), frame);
        b->setObjectName(latin(name) + QString::number(i + 1));
        buttons[i] = b;
        grid->addWidget(b, static_cast<int>(i), 0, 1, 2);
        QObject::connect(b, &QRadioButton::clicked, frame, [choose, i] { choose(static_cast<int>(i) + 1); });
    }
}

QString trimmedSpaces(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == QLatin1Char(' ')) ++b;
    while (e > b && text[e - 1] == QLatin1Char(' ')) --e;
    return text.mid(b, e - b);
}

TextSearch search(const QLineEdit* text, const QCheckBox* wholeWord, const QCheckBox* matchCase) {
    return {text->text().toStdString(), wholeWord->isChecked(), matchCase->isChecked()};
}

}  // namespace

SelectDialog::SelectDialog(QWidget* parent) : OperationDialog(parent) {
    setObjectName(latin("frmSelect"));
    setWindowTitle(latin("Select Files"));
    auto* outer = new QVBoxLayout(this);

    auto* action = new QGroupBox(latin("Action"), this);
    action->setObjectName(latin("fraOperation"));
    auto* actionGrid = new QGridLayout(action);
    optionButtons<4>(
        operations_, "optOperation",
        {"&Create new selection", "&Add to selection", "Su&bselect within selection", "&Remove from selection"}, action,
        actionGrid, [this](int i) { operation_ = i; });
    outer->addWidget(action);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(latin("TabStrip1"));
    outer->addWidget(tabs_);
    outer->addLayout(buttonRow());

    // Tab 1: the raw file name.
    auto* byName = new QWidget;
    byName->setObjectName(latin("TabFrame1"));
    auto* raw = new QGroupBox(latin("Raw Filename"), byName);
    auto* rawGrid = new QGridLayout(raw);
    filename_ = textBox("Filename", raw);
    auto* contains = new QLabel(latin("C&ontains"), raw);
    contains->setBuddy(filename_);
    rawGrid->addWidget(contains, 0, 0);
    rawGrid->addWidget(filename_, 0, 1, 1, 3);
    filenameWholeWord_ = checkBox("chkFilenameWholeWord", "&Whole word", raw);
    filenameMatchCase_ = checkBox("chkFilenameMatchCase", "&Match case", raw);
    rawGrid->addWidget(filenameWholeWord_, 1, 1);
    rawGrid->addWidget(filenameMatchCase_, 1, 2);
    rawGrid->setColumnStretch(3, 1);  // the text box takes the room, the check boxes stay together
    auto* nameLayout = new QVBoxLayout(byName);
    nameLayout->addWidget(raw);
    nameLayout->addStretch(1);
    tabs_->addTab(byName, latin("By &Filename"));

    // Tab 2: label, value and context of an attribute.
    auto* byAttribute = new QWidget;
    byAttribute->setObjectName(latin("TabFrame2"));
    auto* attributeLayout = new QHBoxLayout(byAttribute);
    auto frame = [&](const char* name, const char* title) {
        auto* f = new QGroupBox(latin(title), byAttribute);
        f->setObjectName(latin(name));
        attributeLayout->addWidget(f, 0, Qt::AlignTop);
        return f;
    };
    // A text box under the options, with its caption; row: the grid row.
    auto labelled = [](QGroupBox* f, QGridLayout* grid, int row, const char* caption, QLineEdit* box) {
        grid->addWidget(new QLabel(latin(caption), f), row, 0);
        grid->addWidget(box, row, 1);
    };

    QGroupBox* labelFrame = frame("fraLabel", "&Label");
    auto* labelGrid = new QGridLayout(labelFrame);
    optionButtons<4>(labels_, "optLabel", {"Any", "Empty", "Unrecognized", "Contains"}, labelFrame, labelGrid,
                     [this](int i) { ChooseLabel(i); });
    contentLabel_ = textBox("ContentLabel", labelFrame);
    labelled(labelFrame, labelGrid, 4, "Text", contentLabel_);
    labelWholeWord_ = checkBox("chkLabelWholeWord", "Whole word", labelFrame);
    labelMatchCase_ = checkBox("chkLabelMatchCase", "Match case", labelFrame);
    labelGrid->addWidget(labelWholeWord_, 5, 0, 1, 2);
    labelGrid->addWidget(labelMatchCase_, 6, 0, 1, 2);

    QGroupBox* valueFrame = frame("fraValue", "&Value");
    auto* valueGrid = new QGridLayout(valueFrame);
    optionButtons<4>(values_, "optValue", {"Any", "None", "Empty", "Contains"}, valueFrame, valueGrid,
                     [this](int i) { ChooseValue(i); });
    contentValue_ = textBox("ContentValue", valueFrame);
    labelled(valueFrame, valueGrid, 4, "Text", contentValue_);
    valueWholeWord_ = checkBox("chkValueWholeWord", "Whole word", valueFrame);
    valueMatchCase_ = checkBox("chkValueMatchCase", "Match case", valueFrame);
    valueGrid->addWidget(valueWholeWord_, 5, 0, 1, 2);
    valueGrid->addWidget(valueMatchCase_, 6, 0, 1, 2);

    QGroupBox* contextFrame = frame("fraContext", "Conte&xt");
    auto* contextGrid = new QGridLayout(contextFrame);
    optionButtons<3>(contexts_, "optContext", {"Any", "Top-level", "Sub-attribute of"}, contextFrame, contextGrid,
                     [this](int i) { ChooseContext(i); });
    contextLabel_ = textBox("ContextLabel", contextFrame);
    contextValue_ = textBox("ContextValue", contextFrame);
    labelled(contextFrame, contextGrid, 3, "Label", contextLabel_);
    labelled(contextFrame, contextGrid, 4, "Value", contextValue_);
    tabs_->addTab(byAttribute, latin("By A&ttribute"));

    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) { tab_ = i + 1; });
    // Control+Tab goes to the next tab, from the last back to the first, wherever the focus is.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { ShowTab(tab_ % 2 + 1); });

    operations_[0]->setChecked(true);
    ChooseLabel(1);
    ChooseValue(1);
    ChooseContext(1);
    tab_ = tabs_->currentIndex() + 1;
}

void SelectDialog::ShowTab(int index) {
    if (index >= 1 && index <= tabs_->count()) tabs_->setCurrentIndex(index - 1);
}

void SelectDialog::ChooseLabel(int index) {
    label_ = index;
    labels_[static_cast<std::size_t>(index - 1)]->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{contentLabel_, labelWholeWord_, labelMatchCase_})
        w->setEnabled(index == 4);
}

void SelectDialog::ChooseValue(int index) {
    value_ = index;
    values_[static_cast<std::size_t>(index - 1)]->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{contentValue_, valueWholeWord_, valueMatchCase_})
        w->setEnabled(index == 4);
}

void SelectDialog::ChooseContext(int index) {
    context_ = index;
    contexts_[static_cast<std::size_t>(index - 1)]->setChecked(true);
    for (QWidget* w : {contextLabel_, contextValue_}) w->setEnabled(index == 3);
}

bool SelectDialog::FieldsAcceptable() {
    for (QLineEdit* e : {filename_, contentLabel_, contentValue_, contextLabel_, contextValue_})
        e->setText(trimmedSpaces(e->text()));
    return true;
}

SelectRequest SelectDialog::request() const {
    SelectRequest r;
    r.action = static_cast<SelectAction>(operation_);
    r.tab = static_cast<SelectTab>(tab_);
    r.filename = search(filename_, filenameWholeWord_, filenameMatchCase_);
    r.label = static_cast<LabelCriterion>(label_);
    r.labelText = search(contentLabel_, labelWholeWord_, labelMatchCase_);
    r.value = static_cast<ValueCriterion>(value_);
    r.valueText = search(contentValue_, valueWholeWord_, valueMatchCase_);
    r.context = static_cast<ContextCriterion>(context_);
    r.contextLabel = contextLabel_->text().toStdString();
    r.contextValue = contextValue_->text().toStdString();
    return r;
}

}  // namespace lorvane
