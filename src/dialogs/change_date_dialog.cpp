#include "dialogs/change_date_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/user_interface.h"
#include "core/qt_text.h"

namespace lorvane {

namespace {

const QString kCaption = QStringLiteral("Change Dates");
const QString kInvalidDate = QStringLiteral("Please enter a valid date.");
const QString kShiftBeyondLimit = QStringLiteral("Please enter a whole number between -1,000,000,000 and +1,000,000,000.");
// The form a date field writes; it also reads two other spellings.
const QString kDateForm = QStringLiteral("yyyy/mm/dd hh:nn:ss");
const QString kDateForms = QStringLiteral("yyyy/mm/dd hh:nn:ss, yyyy-mm-dd hh:mm:ss or yyyy-mm-ddThh:mm:ss");

// Up and Left go to the previous option, Down and Right to the next; 0 for other keys.
int arrowStep(const QKeyEvent& key) {
    if (key.modifiers() & ~Qt::KeypadModifier) return 0;
    switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Left: return -1;
        case Qt::Key_Down:
        case Qt::Key_Right: return 1;
        default: return 0;
    }
}

QString dialogText(DateTime t) { return ToQString(FormatDialogDateTime(t)); }

}  // namespace

ChangeDateDialog::ChangeDateDialog(UserInterface& ui, const QDateTime& now, QWidget* parent)
    : OperationDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("frmChangeDate"));
    setWindowTitle(kCaption);

    auto* frame = new QGroupBox(QStringLiteral("Captured Date"), this);
    auto* grid = new QGridLayout(frame);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(frame);
    outer->addLayout(buttonRow());

    // Captions with their Alt mnemonics, none shared with a label below.
    static constexpr const char* kOptions[] = {"&Generate", "&Round", "Re&place", "&Shift"};
    auto* group = new QButtonGroup(this);
    int row = 0;
    auto label = [&](const char* text, QWidget* buddy, int r, int column) {
        auto* l = new QLabel(QString::fromLatin1(text), frame);
        l->setBuddy(buddy);
        grid->addWidget(l, r, column);
        return l;
    };
    auto field = [&](int option, QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        FaceWhenDisabled(w);
        fields_[static_cast<std::size_t>(option - 1)].push_back(w);
    };
    auto optionButton = [&](int option) {
        auto* b = new QRadioButton(QString::fromLatin1(kOptions[option - 1]), frame);
        b->setObjectName(QStringLiteral("optDate%1").arg(option));
        options_[static_cast<std::size_t>(option - 1)] = b;
        group->addButton(b, option);
        b->installEventFilter(this);
        grid->addWidget(b, row, 0);
    };

    optionButton(1);
    source_ = new QComboBox(frame);
    source_->addItems({QStringLiteral("Date file created"), QStringLiteral("Date file last modified"),
                       QStringLiteral("Earlier of created, modified dates"), QStringLiteral("Date picture taken")});
    source_->setCurrentIndex(2);
    field(1, source_, "DateGenerateSource");
    field(1, label("So&urce", source_, row, 1), "lblDateGenerateSource");
    grid->addWidget(source_, row++, 2, 1, 3);

    optionButton(2);
    precision_ = new QComboBox(frame);
    precision_->addItems({QStringLiteral("Year"), QStringLiteral("Year Month"), QStringLiteral("Year Month Day"),
                          QStringLiteral("Year Month Day Hour"), QStringLiteral("Year Month Day Hour Minute"),
                          QStringLiteral("Year Month Day Hour Minute Second")});
    precision_->setCurrentIndex(2);
    field(2, precision_, "DateRoundPrecision");
    field(2, label("Pre&cision", precision_, row, 1), "lblDateRoundPrecision");
    grid->addWidget(precision_, row++, 2, 1, 3);

    optionButton(3);
    const DateTime start =
        ReadDialogDateTime(now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toStdString()).value_or(DateTime{});
    earliest_ = new QLineEdit(dialogText(start), frame);
    latest_ = new QLineEdit(dialogText(start), frame);
    field(3, earliest_, "DateReplaceEarliest");
    field(3, latest_, "DateReplaceLatest");
    field(3, label("&Earliest", earliest_, row, 1), "lblDateReplaceEarliest");
    grid->addWidget(earliest_, row, 2);
    field(3, label("&Latest", latest_, row, 3), "lblDateReplaceLatest");
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
        field(4, e, kShift[i][1]);
        const int r = row + static_cast<int>(i / 2), c = 1 + 2 * static_cast<int>(i % 2);
        field(4, label(kShift[i][0], e, r, c), (std::string("lbl") + kShift[i][1]).c_str());
        grid->addWidget(e, r, c + 1);
        e->installEventFilter(this);
    }

    // A click or an option's mnemonic chooses it; the arrow keys go through the
    // options in the event filter.
    connect(group, &QButtonGroup::idClicked, this, &ChangeDateDialog::ChooseOption);
    ChooseOption(4);
}

void ChangeDateDialog::ChooseOption(int index) {
    if (!selectOption(index)) return;
    firstField(index)->setFocus(Qt::TabFocusReason);
}

bool ChangeDateDialog::selectOption(int index) {
    if (index < 1 || index > 4) return false;
    option_ = index;
    options_[static_cast<std::size_t>(index - 1)]->setChecked(true);
    for (std::size_t o = 0; o < fields_.size(); ++o)
        for (QWidget* w : fields_[o]) w->setEnabled(static_cast<int>(o) + 1 == index);
    return true;
}

QWidget* ChangeDateDialog::firstField(int index) const { return fields_[static_cast<std::size_t>(index - 1)].front(); }

void ChangeDateDialog::showEvent(QShowEvent* event) {
    OperationDialog::showEvent(event);
    // Every showing starts in the chosen option's first field.
    firstField(option_)->setFocus(Qt::TabFocusReason);
}

ChangeDatesRequest ChangeDateDialog::request() const {
    ChangeDatesRequest r;
    r.mode = static_cast<DateChange>(option_);
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
    const auto option = std::find(options_.begin(), options_.end(), watched);
    if (option != options_.end() && event->type() == QEvent::KeyPress) {
        // As on the desktop: the arrows choose the previous or next option, round
        // the four, and the focus stays on the options.
        if (const int step = arrowStep(*static_cast<QKeyEvent*>(event))) {
            const int next = static_cast<int>((option - options_.begin() + step + 4) % 4) + 1;
            selectOption(next);
            options_[static_cast<std::size_t>(next - 1)]->setFocus(Qt::TabFocusReason);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && !refusing_) {
        if (watched == earliest_ || watched == latest_) checkDateField(static_cast<QLineEdit*>(watched));
        else if (const auto shift = std::find(shift_.begin(), shift_.end(), watched); shift != shift_.end())
            checkShiftField(*shift);
    }
    return OperationDialog::eventFilter(watched, event);
}

bool ChangeDateDialog::checkDateField(QLineEdit* field) {
    DateTime t{};
    if (ReadReplaceDate(field->text().toStdString(), t) != FieldCheck::Accepted) return refuse(field, kInvalidDate);
    field->setText(dialogText(t));
    return true;
}

bool ChangeDateDialog::checkShiftField(QLineEdit* field) {
    std::int64_t n = 0;
    // Text that is no number becomes +0; a number past the limit is refused.
    if (ReadShiftAmount(field->text().toStdString(), n) == FieldCheck::BeyondLimit)
        return refuse(field, kShiftBeyondLimit);
    field->setText(ToQString(FormatShiftField(n)));
    return true;
}

bool ChangeDateDialog::refuse(QLineEdit* field, const QString& message) {
    refusing_ = true;
    ui_.ShowMessage(this, message, kCaption, MessageIcon::Exclamation);
    refusing_ = false;
    // The focus stays in the field: given back once the leaving is over.
    QTimer::singleShot(0, field, [field] {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    });
    return false;
}

bool ChangeDateDialog::FieldsAcceptable() {
    // A field the user typed into and never left (Return pressed in it) is
    // checked as if left now; a field that was left is valid already.
    if (option_ == 3) {
        for (QLineEdit* field : {earliest_, latest_})
            if (!checkDateField(field)) return false;
    } else if (option_ == 4) {
        for (QLineEdit* field : shift_)
            if (!checkShiftField(field)) return false;
    }
    return true;
}

}  // namespace lorvane
