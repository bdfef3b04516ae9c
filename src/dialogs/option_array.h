// An option array of a dialog (optDate, optSequence...): radio buttons indexed
// from 1, each enabling its own fields, chosen by click, mnemonic or arrow keys.
#pragma once

#include <QObject>

#include <vector>

class QButtonGroup;
class QRadioButton;
class QWidget;

namespace lorvane {

class OptionArray final : public QObject {
    Q_OBJECT
public:
    explicit OptionArray(QObject* parent);

    // The next option (index 1, 2, ...) and, after it, the fields it enables.
    void addOption(QRadioButton* button);
    void addField(QWidget* field);

    // The option's click or mnemonic: its fields enabled, all others disabled,
    // and the focus in its first field.
    void choose(int index);
    // The same without moving the focus; false for an index outside the array.
    bool select(int index);
    int chosen() const { return chosen_; }
    QWidget* firstField() const;

protected:
    // As on the desktop: the arrows choose the previous or next option, round the
    // array, and the focus stays on the options.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    std::vector<std::vector<QWidget*>> fields_;
    int chosen_ = 0;
};

}  // namespace lorvane
