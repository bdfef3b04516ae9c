#include "dialogs/change_date_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/user_interface.h"
#include "core/qt_text.h"
#include "dialogs/option_array.h"

namespace lorvane {

namespace {

const QString kCaption = QStringLiteral("Change Dates");
const QString kInvalidDate = QStringLiteral("Please enter a valid date.");
const QString kShiftBeyondLimit = QStringLiteral("Please enter a whole number between -1,000,000,000 and +1,000,000,000.");
// The form a date field writes; it also reads two other spellings.
const QString kDateForm = QStringLiteral("yyyy/mm/dd hh:nn:ss");
const QString kDateForms = QStringLiteral("yyyy/mm/dd hh:nn:ss, yyyy-mm-dd hh:mm:ss or yyyy-mm-ddThh:mm:ss");

QString dialogText(DateTime t) { return ToQString(FormatDialogDateTime(t)); }

}  // namespace

ChangeDateDialog::ChangeDateDialog(UserInterface& ui, const QDateTime& now, QWidget* parent)
    : OperationDialog(parent), ui_(ui), options_(new OptionArray(this)) {
    setObjectName(QStringLiteral("frmChangeDate"));
    setWindowTitle(kCaption);

    auto* frame = new QGroupBox(QStringLiteral("Captured Date"), this);
    auto* grid = new QGridLayout(frame);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addLayout(buttonRow());

    // Captions with their Alt mnemonics, none shared with a label below.
    static constexpr const char* kOptions[] = {"&Generate", "&Round", "Re&place", "&Shift"};
    int row = 0;
    auto label = [&](const char* text, QWidget* buddy, int r, int column) {
        auto* l = new QLabel(QString::fromLatin1(text), frame);
        l->setBuddy(buddy);
        grid->addWidget(l, r, column);
        return l;
    };
    // Fields follow their option: each is added to the option added last.
    auto field = [&](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        options_->addField(w);
    };
    auto optionButton = [&](int option) {
        auto* b = new QRadioButton(QString::fromLatin1(kOptions[option - 1]), frame);
        b->setObjectName(QStringLiteral("optDate%1").arg(option));
        options_->addOption(b);
        grid->addWidget(b, row, 0);
    };

    optionButton(1);
    source_ = new QComboBox(frame);
    source_->addItems({QStringLiteral("Date file created"), QStringLiteral("Date file last modified"),
                       QStringLiteral("Earlier of created, modified dates"), QStringLiteral("Date picture taken")});
    source_->setCurrentIndex(2);
    field(source_, "DateGenerateSource");
    field(label("So&urce", source_, row, 1), "lblDateGenerateSource");
    grid->addWidget(source_, row++, 2, 1, 3);

    optionButton(2);
    precision_ = new QComboBox(frame);
    precision_->addItems({QStringLiteral("Year"), QStringLiteral("Year Month"), QStringLiteral("Year Month Day"),
                          QStringLiteral("Year Month Day Hour"), QStringLiteral("Year Month Day Hour Minute"),
                          QStringLiteral("Year Month Day Hour Minute Second")});
    precision_->setCurrentIndex(2);
    field(precision_, "DateRoundPrecision");
    field(label("Pre&cision", precision_, row, 1), "lblDateRoundPrecision");
    grid->addWidget(precision_, row++, 2, 1, 3);

    optionButton(3);
    const DateTime start =
        ReadDialogDateTime(now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toStdString()).value_or(DateTime{});
    earliest_ = new QLineEdit(dialogText(start), frame);
    latest_ = new QLineEdit(dialogText(start), frame);
    field(earliest_, "DateReplaceEarliest");
    field(latest_, "DateReplaceLatest");
    field(label("&Earliest", earliest_, row, 1), "lblDateReplaceEarliest");
    grid->addWidget(earliest_, row, 2);
    field(label("&Latest", latest_, row, 3), "lblDateReplaceLatest");
    grid->addWidget(latest_, row++, 4);
    for (QLineEdit* e : {earliest_, latest_}) {
        e->installEventFilter(this);
        e->setPlaceholderText(kDateForm);
        e->setToolTip(kDateForms);
        // Room for the whole date-time as the field writes it.
        e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) + 16);
    }

    optionButton(4);
    static constexpr const char* kShift[][2] = {{"&Years", "DateShiftYears"},     {"&Months", "DateShiftMonths"},
                                                {"&Days", "DateShiftDays"},       {"&Hours", "DateShiftHours"},
                                                {"M&inutes", "DateShiftMinutes"}, {"Sec&onds", "DateShiftSeconds"}};
    for (std::size_t i = 0; i < shift_.size(); ++i) {
        auto* e = new QLineEdit(QStringLiteral("+0"), frame);
        shift_[i] = e;
        field(e, kShift[i][1]);
        const int r = row + static_cast<int>(i / 2), c = 1 + 2 * static_cast<int>(i % 2);
        field(label(kShift[i][0], e, r, c), (std::string("lbl") + kShift[i][1]).c_str());
        grid->addWidget(e, r, c + 1);
        e->installEventFilter(this);
    }

    ChooseOption(4);
}

void ChangeDateDialog::ChooseOption(int index) { options_->choose(index); }

int ChangeDateDialog::option() const { return options_->chosen(); }

void ChangeDateDialog::showEvent(QShowEvent* event) {
    OperationDialog::showEvent(event);
    // Every showing starts in the chosen option's first field.
    options_->firstField()->setFocus(Qt::TabFocusReason);
}

ChangeDatesRequest ChangeDateDialog::request() const {
    ChangeDatesRequest r;
    r.mode = static_cast<DateChange>(option());
    r.source = static_cast<DateSource>(source_->currentIndex());
    r.precision = static_cast<DatePrecision>(precision_->currentIndex());
    // Fields refused on leaving them never reach a run (FieldsAcceptable).
    ReadReplaceDate(earliest_->text().toStdString(), r.earliest);
    ReadReplaceDate(latest_->text().toStdString(), r.latest);
    std::int64_t* amounts[] = {&r.shift.years, &r.shift.months,  &r.shift.days,
                               &r.shift.hours, &r.shift.minutes, &r.shift.seconds};
    for (std::size_t i = 0; i < shift_.size(); ++i) ReadShiftAmount(shift_[i]->text().toStdString(), *amounts[i]);
    return r;
}

bool ChangeDateDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !Refusing()) {
        if (watched == earliest_ || watched == latest_) checkDateField(static_cast<QLineEdit*>(watched));
        else if (const auto shift = std::find(shift_.begin(), shift_.end(), watched); shift != shift_.end())
            checkShiftField(*shift);
    }
    return OperationDialog::eventFilter(watched, event);
}

bool ChangeDateDialog::checkDateField(QLineEdit* field) {
    DateTime t{};
    if (ReadReplaceDate(field->text().toStdString(), t) != FieldCheck::Accepted)
        return RefuseField(ui_, field, kInvalidDate);
    field->setText(dialogText(t));
    return true;
}

bool ChangeDateDialog::checkShiftField(QLineEdit* field) {
    std::int64_t n = 0;
    // Text that is no number becomes +0; a number past the limit is refused.
    if (ReadShiftAmount(field->text().toStdString(), n) == FieldCheck::BeyondLimit)
        return RefuseField(ui_, field, kShiftBeyondLimit);
    field->setText(ToQString(FormatShiftField(n)));
    return true;
}

bool ChangeDateDialog::FieldsAcceptable() {
    // A field the user typed into and never left (Return pressed in it) is
    // checked as if left now; a field that was left is valid already.
    if (option() == 3) {
        for (QLineEdit* field : {earliest_, latest_})
            if (!checkDateField(field)) return false;
    } else if (option() == 4) {
        for (QLineEdit* field : shift_)
            if (!checkShiftField(field)) return false;
    }
    return true;
}

}  // namespace lorvane
