// What the Add Content and Remove Content dialogs share: text fields that lose
// the blanks at their ends when the user leaves them, and options that enable
// the fields that go with them.
#pragma once

#include <QString>

#include <initializer_list>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace lorvane {

// A field named name, trimmed as the run takes it when the user leaves it (or
// presses Return in it).
QLineEdit* NewTrimmedField(QWidget* parent, const QString& name);
// The field's text trimmed now, for a field never left before OK.
void TrimField(QLineEdit* field);

// A set of options, each with the fields (and their labels) it enables.
class FieldOptions {
public:
    // prefix: the options' object names, prefix1, prefix2, ... by index.
    FieldOptions(QWidget* parent, const QString& prefix);

    // The option index, with its caption; it enables fields, and no others.
    QRadioButton* Add(int index, const QString& caption, std::vector<QWidget*> fields = {});
    void Choose(int index);
    int chosen() const;

private:
    void enableFields(int index);

    QWidget* parent_;
    QString prefix_;
    QButtonGroup* group_;
    std::vector<std::pair<int, QWidget*>> fields_;
};

// Tab goes through the named children of dialog in this order, then through
// its OK, Apply and Cancel buttons.
void SetTabChain(QWidget* dialog, std::initializer_list<const char*> names);

// A label with its mnemonic for field, both in the grid; the label.
QWidget* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field);

}  // namespace lorvane
