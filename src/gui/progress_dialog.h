// frmProgress: the modeless dialog shown while a long loop runs over files, with a
// caption, a message, a bar and one button (Cancel or Stop) that sets a flag the
// loop watches.
#pragma once

#include <QDialog>

#include <atomic>

#include "core/event_pacer.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace lorvane {

class ProgressDialog final : public QDialog {
    Q_OBJECT
public:
    // How often a loop lets pending window events run: often enough that the
    // button answers within a tenth of a second, rarely enough to cost nothing.
    // Counted from the start of a round, and short of 50 ms by what the work
    // before a round takes (the rows joining the list), so that rounds come at
    // most 50 ms apart.
    static constexpr int kPumpIntervalMs = 45;

    explicit ProgressDialog(QWidget* owner);

    // Clears the flag, empties the bar and the message, sets the caption and the button.
    void Prepare(const QString& caption, const QString& button);
    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    void SetMessage(const QString& message);
    void SetButton(const QString& text);
    void SetRange(int minimum, int maximum);
    void SetValue(int value);

    QString Message() const;
    QString ButtonText() const;
    int Value() const;
    int Maximum() const;

    const std::atomic<bool>& CancelFlag() const { return cancelled_; }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    QPushButton* Button() const { return button_; }

    // Whether the interval has passed since events last ran.
    bool Due() const { return pacer_.Due(); }
    // The pacing itself, for loops that take their own (the folder loader).
    EventPacer& Pacer() { return pacer_; }
    // Lets pending window events run when the interval has passed since the last
    // time, or at once when forced. Returns whether it did.
    bool Pump(bool force = false);

signals:
    // After each round of pending events (for tests that press the button mid-loop).
    void pumped();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLabel* message_;
    QProgressBar* bar_;
    QPushButton* button_;
    std::atomic<bool> cancelled_{false};
    EventPacer pacer_{std::chrono::milliseconds(kPumpIntervalMs)};
};

// A long loop as the windows show it, for as long as this lives: the owner
// disabled but for the progress dialog (a window of its own), the dialog prepared
// and shown; afterwards the owner enabled and the dialog hidden, whatever ended
// the loop.
class BusyWithProgress {
public:
    BusyWithProgress(QWidget& owner, ProgressDialog& dialog, const QString& caption, const QString& button,
                     int total = 0);
    ~BusyWithProgress();
    BusyWithProgress(const BusyWithProgress&) = delete;
    BusyWithProgress& operator=(const BusyWithProgress&) = delete;

private:
    QWidget& owner_;
    ProgressDialog& dialog_;
};

}  // namespace lorvane
