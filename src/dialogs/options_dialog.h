// frmOptions: the global settings on five tabs, built from the settings table.
// Each typed value is checked as its field is left; OK and Apply copy every value
// into the program's settings, have the Editor evaluate its name again and save.
#pragma once

#include <QDialog>

#include <map>
#include <string_view>
#include <vector>

class QComboBox;
class QLineEdit;
class QTabWidget;

namespace lorvane {

struct AppContext;

class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(AppContext& ctx, QWidget* parent = nullptr);

    // Every global setting into its control, and back (the reverse of the first).
    void SettingsToOptionsForm();
    void OptionsFormToSettings();

    // The index of the tab whose page is shown, 0 for "General".
    int CurrentTab() const;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        int group;  // in the layout table
        int tab;
    };

    // OK and Apply: the field being typed in is left first; false when it was refused.
    bool applySettings();
    // The dialog goes; the next opening starts again from the settings.
    void finish();
    // A text field's check on leaving it; false when it was refused.
    bool checkField(QLineEdit* field);
    QWidget* control(std::string_view key) const { return controls_.at(key); }

    AppContext& ctx_;
    QTabWidget* tabs_;
    std::map<std::string_view, QWidget*> controls_;  // by setting key
    std::map<QLineEdit*, Field> fields_;
    std::vector<std::vector<QLineEdit*>> groupFields_;  // the text fields of each group, in table order
    bool refusing_ = false;
    bool returning_ = false;  // the focus is on its way back to a refused field
};

}  // namespace lorvane
