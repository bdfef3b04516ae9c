#include "gui/progress_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace lorvane {

ProgressDialog::ProgressDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmProgress"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setMinimumWidth(320);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("pbrProgress"));
    bar_->setTextVisible(false);
    button_ = new QPushButton(tr("Cancel"), this);
    button_->setObjectName(QStringLiteral("cmdCancel"));
    button_->setAutoDefault(false);
    connect(button_, &QPushButton::clicked, this, [this] { cancelled_.store(true, std::memory_order_relaxed); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
}

void ProgressDialog::Prepare(const QString& caption, const QString& button) {
    cancelled_.store(false, std::memory_order_relaxed);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    setWindowTitle(caption);
    message_->clear();
    button_->setText(button);
}

void ProgressDialog::SetMessage(const QString& message) { message_->setText(message); }
void ProgressDialog::SetButton(const QString& text) { button_->setText(text); }

void ProgressDialog::SetRange(int minimum, int maximum) { bar_->setRange(minimum, std::max(minimum, maximum)); }

void ProgressDialog::SetValue(int value) {
    // A folder that gained files since counting widens the bar instead of overrunning it.
    if (value > bar_->maximum()) bar_->setMaximum(value);
    bar_->setValue(value);
}

QString ProgressDialog::Message() const { return message_->text(); }
QString ProgressDialog::ButtonText() const { return button_->text(); }
int ProgressDialog::Value() const { return bar_->value(); }
int ProgressDialog::Maximum() const { return bar_->maximum(); }

bool ProgressDialog::Pump(bool force) {
    if (!force && !pacer_.Due()) return false;
    pacer_.Ran();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    emit pumped();
    return true;
}

// Closing the dialog or pressing Escape means the same as its button.
void ProgressDialog::closeEvent(QCloseEvent* event) {
    cancelled_.store(true, std::memory_order_relaxed);
    event->ignore();
}

void ProgressDialog::reject() { cancelled_.store(true, std::memory_order_relaxed); }

BusyWithProgress::BusyWithProgress(QWidget& owner, ProgressDialog& dialog, const QString& caption,
                                   const QString& button, int total)
    : owner_(owner), dialog_(dialog) {
    dialog_.Prepare(caption, button);
    dialog_.SetRange(0, total);
    dialog_.show();
    owner_.setEnabled(false);
    dialog_.setEnabled(true);  // a window of its own: stays usable while its owner is disabled
}

BusyWithProgress::~BusyWithProgress() {
    owner_.setEnabled(true);
    dialog_.hide();
}

}  // namespace lorvane
