#include "dialogs/change_sequence_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/qt_text.h"
#include "dialogs/option_array.h"
#include "engine/dates.h"
#include "gui/user_interface.h"

namespace lorvane {

namespace {

const QString kBeyondLimit = QStringLiteral("Please enter a whole number between -2,147,483,647 and +2,147,483,647.");

}  // namespace

ChangeSequenceDialog::ChangeSequenceDialog(UserInterface& ui, QWidget* parent)
    : OperationDialog(parent), ui_(ui), options_(new OptionArray(this)) {
    setObjectName(QStringLiteral("frmChangeSequence"));
    setWindowTitle(QStringLiteral("Change Sequence Numbers"));

    auto* frame = new QGroupBox(QStringLiteral("Sequence Number"), this);
    auto* grid = new QGridLayout(frame);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addLayout(buttonRow());

    int row = 0, options = 0;
    auto option = [&](const char* caption) {
        auto* b = new QRadioButton(QString::fromLatin1(caption), frame);
        b->setObjectName(QStringLiteral("optSequence%1").arg(++options));
        options_->addOption(b);
        grid->addWidget(b, row, 0);
    };
    // A field of the option added last, with its label (Alt mnemonics none shared).
    auto field = [&](QWidget* w, const char* name, const char* caption, int r, int column, int span = 1) {
        w->setObjectName(QString::fromLatin1(name));
        auto* l = new QLabel(QString::fromLatin1(caption), frame);
        l->setObjectName(QStringLiteral("lbl") + w->objectName());
        l->setBuddy(w);
        grid->addWidget(l, r, column);
        grid->addWidget(w, r, column + 1, 1, span);
        options_->addField(w);
        options_->addField(l);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->installEventFilter(this);
    };
    auto number = [&](const char* text) { return new QLineEdit(QString::fromLatin1(text), frame); };

    option("&Generate");
    mode_ = new QComboBox(frame);
    mode_->addItems({QStringLiteral("Files that lack Sequence Numbers"), QStringLiteral("All files")});
    field(mode_, "SequenceGenerateMode", "Apply &to", row++, 1, 3);
    start_ = number("1");
    step_ = number("+1");
    field(start_, "SequenceStart", "St&art", row, 1);
    field(step_, "SequenceStep", "St&ep", row++, 3);
    option("&Replace");
    number_ = number("0");
    field(number_, "SequenceReplace", "&Number", row++, 1);
    option("&Shift");
    amount_ = number("+0");
    field(amount_, "SequenceShift", "A&mount", row++, 1);

    ChooseOption(1);
}

void ChangeSequenceDialog::ChooseOption(int index) { options_->choose(index); }

int ChangeSequenceDialog::option() const { return options_->chosen(); }

void ChangeSequenceDialog::showEvent(QShowEvent* event) {
    OperationDialog::showEvent(event);
    // Every showing starts in the chosen option's first field.
    options_->firstField()->setFocus(Qt::TabFocusReason);
}

ChangeSequenceRequest ChangeSequenceDialog::request() const {
    ChangeSequenceRequest r;
    r.mode = static_cast<SequenceChange>(option());
    r.allFiles = mode_->currentIndex() == 1;
    // Fields refused on leaving them never reach a run (FieldsAcceptable).
    ReadSequenceAbsolute(start_->text().toStdString(), r.start);
    ReadSequenceSigned(step_->text().toStdString(), r.step);
    ReadSequenceAbsolute(number_->text().toStdString(), r.number);
    ReadSequenceSigned(amount_->text().toStdString(), r.amount);
    return r;
}

bool ChangeSequenceDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !Refusing())
        for (QLineEdit* field : {start_, step_, number_, amount_})
            if (watched == field) checkField(field);
    return OperationDialog::eventFilter(watched, event);
}

bool ChangeSequenceDialog::checkField(QLineEdit* field) {
    // Step and Amount keep their sign, shown always; Start and Number lose it.
    const bool isSigned = field == step_ || field == amount_;
    std::int64_t n = 0;
    // Text that is no number becomes 0; a number past 32 bits is refused.
    const FieldCheck check = isSigned ? ReadSequenceSigned(field->text().toStdString(), n)
                                      : ReadSequenceAbsolute(field->text().toStdString(), n);
    if (check == FieldCheck::BeyondLimit) return RefuseField(ui_, field, kBeyondLimit);
    field->setText(isSigned ? ToQString(FormatShiftField(n)) : QString::number(n));
    return true;
}

bool ChangeSequenceDialog::FieldsAcceptable() {
    // A field the user typed into and never left (Return pressed in it) is
    // checked as if left now.
    switch (option()) {
        case 1: return checkField(start_) && checkField(step_);
        case 2: return checkField(number_);
        case 3: return checkField(amount_);
        default: return true;
    }
}

}  // namespace lorvane
