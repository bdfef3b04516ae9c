#include "dialogs/option_array.h"

#include <algorithm>

#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>

namespace lorvane {

namespace {

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

}  // namespace

OptionArray::OptionArray(QObject* parent) : QObject(parent), group_(new QButtonGroup(this)) {
    connect(group_, &QButtonGroup::idClicked, this, &OptionArray::choose);
}

void OptionArray::addOption(QRadioButton* button) {
    buttons_.push_back(button);
    fields_.emplace_back();
    group_->addButton(button, static_cast<int>(buttons_.size()));
    button->installEventFilter(this);
}

void OptionArray::addField(QWidget* field) {
    // Enabled fields show the window background, disabled ones the button face.
    QPalette p = field->palette();
    p.setColor(QPalette::Disabled, QPalette::Base, p.color(QPalette::Active, QPalette::Button));
    field->setPalette(p);
    field->setEnabled(false);
    fields_.back().push_back(field);
}

void OptionArray::choose(int index) {
    if (!select(index)) return;
    firstField()->setFocus(Qt::TabFocusReason);
}

bool OptionArray::select(int index) {
    if (index < 1 || index > static_cast<int>(buttons_.size())) return false;
    chosen_ = index;
    buttons_[static_cast<std::size_t>(index - 1)]->setChecked(true);
    for (std::size_t o = 0; o < fields_.size(); ++o)
        for (QWidget* w : fields_[o]) w->setEnabled(static_cast<int>(o) + 1 == index);
    return true;
}

QWidget* OptionArray::firstField() const {
    if (chosen_ < 1) return nullptr;
    const auto& fields = fields_[static_cast<std::size_t>(chosen_ - 1)];
    return fields.empty() ? static_cast<QWidget*>(buttons_[static_cast<std::size_t>(chosen_ - 1)]) : fields.front();
}

bool OptionArray::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto button = std::find(buttons_.begin(), buttons_.end(), watched);
    if (button == buttons_.end()) return false;
    const int step = arrowStep(*static_cast<QKeyEvent*>(event));
    if (!step) return false;
    const int count = static_cast<int>(buttons_.size());
    const int next = static_cast<int>((button - buttons_.begin() + step + count) % count) + 1;
    select(next);
    buttons_[static_cast<std::size_t>(next - 1)]->setFocus(Qt::TabFocusReason);
    return true;
}

}  // namespace lorvane
