#include "dialogs/options_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <span>
#include <string>

#include "dialogs/operation_dialog.h"
#include "engine/settings_checks.h"
#include "gui/app_context.h"

namespace lorvane {

namespace {

// What a group's fields answer to, beyond the integer check of every integer field;
// a master switch is the group's first list, which enables the others.
enum class Rule { None, AttributeNames1x, Delimiters, Delimiters2x, MasterSwitch };

// A group: a run of the settings table, first to last key, in a frame of one of the
// two columns of a tab's page. Parse and Build twins share a row, in two columns.
struct Group {
    int tab, column;
    const char* caption;
    std::string_view first, last;
    Rule rule;
};

const char* const kTabs[] = {"General", "1.x", "2.x", "Date/Time", "Semantics"};

// clang-format off
const Group kGroups[] = {
    {0, 0, "Startup", "StartupOpenBrowser", "BrowserAutoLoadLastFolder", Rule::None},
    {0, 0, "Editor", "EditMoveNodeUpDownMode", "ParseShowTreeLevels", Rule::None},
    {0, 1, "General", "ParseMode", "BuildExtensionLengthMaximum", Rule::None},
    {1, 0, "Lorvane Data 1.x Attributes", "Parse1xAttributeDate", "Parse1xAttributeExtension", Rule::AttributeNames1x},
    {1, 0, "Lorvane Data 1.x Delimiters", "Parse1xDelimiterSerial", "Build1xDelimiterExtension", Rule::Delimiters},
    {1, 1, "Lorvane Data 1.x Rules", "Parse1xSerialMinimum", "Build1xSpaceBeforeTopic", Rule::None},
    {2, 0, "Lorvane Data 2.x Delimiters", "Parse2xDelimiterStart", "Build2xDelimiterValue", Rule::Delimiters2x},
    {2, 1, "Lorvane Data 2.x Rules", "Parse2xAllowLabelDelimiters", "Parse2xStrictMode", Rule::None},
    {3, 0, "Date/Time Delimiters", "ParseDateDelimiterDate", "BuildDateDelimiterRange", Rule::Delimiters},
    {3, 1, "Date/Time Rules", "ParseDateMinimumYear", "BuildDateInsertSpaceAfter", Rule::None},
    {4, 0, "Attribute Semantics", "SemanticsAttributeEnable", "SemanticsAttributeConsolidate", Rule::MasterSwitch},
    {4, 1, "Value Semantics", "SemanticsValueEnable", "SemanticsValueConsolidate", Rule::MasterSwitch},
};
// clang-format on

// The group's rows of the settings table.
std::span<const SettingDef> settingsOf(const Group& g) {
    const std::span<const SettingDef> all = GlobalSettingTable();
    const auto first = FindGlobalSetting(g.first) - all.data();
    return all.subspan(static_cast<std::size_t>(first),
                       static_cast<std::size_t>(FindGlobalSetting(g.last) - all.data() - first + 1));
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The two modes' lists carry names of their own; every other control is named after its setting.
QString controlName(std::string_view key) {
    if (key == "ParseMode") return QStringLiteral("ParseFormat");
    if (key == "BuildMode") return QStringLiteral("BuildFormat");
    return text(key);
}

// The frame's name: "fra" and the caption's letters and digits (fraAttributeSemantics).
QString frameName(const Group& g) {
    QString name = QStringLiteral("fra");
    for (QChar c : QLatin1String(g.caption))
        if (c.isLetterOrNumber()) name += c;
    return name;
}

// Two columns, Parse and Build, when one of the group's Parse settings has its Build twin beside it.
bool hasColumns(std::span<const SettingDef> defs) {
    return std::any_of(defs.begin(), defs.end(), [defs](const SettingDef& d) {
        if (!d.key.starts_with("Parse")) return false;
        const std::string twin = "Build" + std::string(d.key.substr(5));
        return std::any_of(defs.begin(), defs.end(), [&twin](const SettingDef& t) { return t.key == twin; });
    });
}

}  // namespace

OptionsDialog::OptionsDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(form::Options);
    setWindowTitle(QStringLiteral("Lorvane Options"));
    // Open beside the main windows, it does not keep the program running once they close.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* outer = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    outer->addWidget(tabs_);

    QVBoxLayout* pageColumns[std::size(kTabs)][2];
    for (std::size_t tab = 0; tab < std::size(kTabs); ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("Frame1_%1").arg(tab));
        auto* columns = new QHBoxLayout(page);
        for (QVBoxLayout*& column : pageColumns[tab]) columns->addLayout(column = new QVBoxLayout);
        tabs_->addTab(page, QLatin1String(kTabs[tab]));
    }

    const int digitWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    groupFields_.resize(std::size(kGroups));
    for (std::size_t gi = 0; gi < std::size(kGroups); ++gi) {
        const Group& g = kGroups[gi];
        const std::span<const SettingDef> defs = settingsOf(g);
        auto* frame = new QGroupBox(QLatin1String(g.caption), tabs_->widget(g.tab));
        frame->setObjectName(frameName(g));
        pageColumns[g.tab][g.column]->addWidget(frame);
        auto* grid = new QGridLayout(frame);
        const bool twoColumns = hasColumns(defs);
        if (twoColumns) {
            grid->addWidget(new QLabel(QStringLiteral("Parse"), frame), 0, 1);
            grid->addWidget(new QLabel(QStringLiteral("Build"), frame), 0, 2);
        }
        // One row per caption: twins share theirs.
        std::vector<std::string_view> captions;
        for (const SettingDef& def : defs) {
            auto at = std::find(captions.begin(), captions.end(), def.caption);
            const int row = static_cast<int>(at - captions.begin()) + (twoColumns ? 1 : 0);
            QWidget* w;
            if (def.kind == SettingKind::Integer || def.kind == SettingKind::Text) {
                auto* e = new QLineEdit(frame);
                // Delimiters are a character or two, names up to twenty characters.
                const int chars = g.rule == Rule::AttributeNames1x ? 16 : g.rule == Rule::None ? 8 : 4;
                e->setFixedWidth(digitWidth * chars + 12);
                e->installEventFilter(this);
                fields_[e] = {static_cast<int>(gi), g.tab};
                groupFields_[gi].push_back(e);
                w = e;
            } else {
                auto* list = new QComboBox(frame);
                for (std::string_view choice : def.choices) list->addItem(text(choice));
                w = list;
            }
            w->setObjectName(controlName(def.key));
            controls_[def.key] = w;
            // Text boxes keep their width; the lists of a column take the widest one's.
            grid->addWidget(w, row, twoColumns && def.key.starts_with("Build") ? 2 : 1,
                            qobject_cast<QLineEdit*>(w) ? Qt::AlignLeft : Qt::Alignment());
            if (at == captions.end()) {
                captions.push_back(def.caption);
                auto* label = new QLabel(text(def.caption), frame);
                label->setBuddy(w);
                grid->addWidget(label, row, 0);
            }
        }
        grid->setColumnStretch(3, 1);
        if (g.rule == Rule::MasterSwitch) {
            std::vector<QWidget*> lists;
            for (const SettingDef& def : defs.subspan(1)) {
                QWidget* list = control(def.key);
                // Greyed in the frame's own colour; the value stays and is saved as it is.
                QPalette p = list->palette();
                for (auto role : {QPalette::Base, QPalette::Button})
                    p.setColor(QPalette::Disabled, role, frame->palette().color(QPalette::Window));
                list->setPalette(p);
                lists.push_back(list);
            }
            connect(static_cast<QComboBox*>(control(g.first)), &QComboBox::currentIndexChanged, this,
                    [lists](int index) {
                        for (QWidget* list : lists) list->setEnabled(index == 1);
                    });
        }
    }
    Q_ASSERT(controls_.size() == kGlobalSettingCount);  // the groups cover the settings table
    for (auto& columns : pageColumns)
        for (QVBoxLayout* column : columns) column->addStretch(1);

    // Clicking a button leaves no field: the check of the field being typed in runs
    // once, in OK and Apply. Tab still reaches the buttons, and that does leave the field.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto button = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::TabFocus);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* ok = button("cmdOK", "OK");
    QPushButton* cancel = button("cmdCancel", "Cancel");
    QPushButton* apply = button("cmdApply", "Apply");
    ok->setDefault(true);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (applySettings()) finish();
    });
    connect(apply, &QPushButton::clicked, this, [this] { applySettings(); });
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);

    // Control+Tab: the tab strip takes the focus (the field being typed in is left)
    // and the next tab is shown, from the last back to the first.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] {
        tabs_->tabBar()->setFocus(Qt::TabFocusReason);
        tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count());
    });

    SettingsToOptionsForm();
}

int OptionsDialog::CurrentTab() const { return tabs_->currentIndex(); }

void OptionsDialog::SettingsToOptionsForm() {
    for (const SettingDef& def : GlobalSettingTable()) {
        const QString value = text(StoredValue(ctx_.settings, def));
        QWidget* w = control(def.key);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->setText(value);
        } else {
            auto* list = static_cast<QComboBox*>(w);
            const int index = def.kind == SettingKind::ListText
                                  ? list->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive)
                                  : value.toInt();
            // Set twice so that a master switch greys its lists even when its index does not change.
            list->setCurrentIndex(-1);
            list->setCurrentIndex(index);
        }
    }
}

void OptionsDialog::OptionsFormToSettings() {
    for (const SettingDef& def : GlobalSettingTable()) {
        QWidget* w = control(def.key);
        std::string stored;
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            stored = e->text().toStdString();
            std::int32_t n = 0;
            if (def.kind == SettingKind::Integer && !CheckIntegerField(stored, &n)) stored = std::to_string(n);
        } else {
            auto* list = static_cast<QComboBox*>(w);
            stored = def.kind == SettingKind::ListText ? list->currentText().toStdString()
                                                       : std::to_string(list->currentIndex());
        }
        // The checks on leaving have let through only what the setting allows.
        ApplyStoredValue(ctx_.settings, def, stored);
    }
}

bool OptionsDialog::applySettings() {
    if (auto* typing = qobject_cast<QLineEdit*>(focusWidget()); typing && fields_.count(typing))
        if (!checkField(typing)) return false;
    OptionsFormToSettings();
    // The Editor is made for this when it is not open, so that its name follows the settings.
    if (EditorForm* editor = ctx_.windows.editor()) editor->UpdateStatus();
    SaveGlobalSettings(ctx_.settings, ctx_.store);
    if (const std::string problem = ctx_.store.flush(); !problem.empty())
        ctx_.ui.ShowMessage(this, text(problem), windowTitle(), MessageIcon::Exclamation);
    return true;
}

void OptionsDialog::reject() { finish(); }

void OptionsDialog::finish() { ctx_.windows.WindowClosing(this); }

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    // Another window or a context menu taking the focus is no leaving of the field.
    if (event->type() == QEvent::FocusOut && !refusing_ && !returning_ && isVisible()) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto* field = qobject_cast<QLineEdit*>(watched);
        if (field && fields_.count(field) && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            checkField(field);
    }
    return QDialog::eventFilter(watched, event);
}

bool OptionsDialog::checkField(QLineEdit* field) {
    const Field where = fields_.at(field);
    const Group& g = kGroups[where.group];
    const SettingDef& def = *FindGlobalSetting(field->objectName().toStdString());
    SettingCheck problem;
    if (def.kind == SettingKind::Integer) {
        std::int32_t n = 0;
        problem = CheckIntegerField(field->text().toStdString(), &n);
        if (!problem) {
            field->setText(QString::number(n));
            // The other year field has passed its own checks, so it holds plain digits.
            auto year = [this](std::string_view key) { return static_cast<QLineEdit*>(control(key))->text().toInt(); };
            if (def.key == "ParseDateMinimumYear") problem = CheckMinimumYear(n, year("ParseDateMaximumYear"));
            if (def.key == "ParseDateMaximumYear") problem = CheckMaximumYear(n, year("ParseDateMinimumYear"));
        }
    } else {
        const std::vector<QLineEdit*>& group = groupFields_[where.group];
        std::vector<std::string> texts;
        for (QLineEdit* e : group) texts.push_back(e->text().toStdString());
        const std::vector<std::string_view> v(texts.begin(), texts.end());
        switch (g.rule) {
            case Rule::AttributeNames1x: {
                const auto leaving = std::find(group.begin(), group.end(), field) - group.begin();
                problem = Check1xAttributeNames({v[0], v[1], v[2], v[3]}, static_cast<std::size_t>(leaving));
                break;
            }
            case Rule::Delimiters: problem = CheckDelimitersLegal(v); break;
            case Rule::Delimiters2x:
                problem = Check2xDelimiters({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]});
                break;
            case Rule::None:
            case Rule::MasterSwitch: break;
        }
    }
    if (!problem) return true;
    // Refused once the leaving is over: a box opened while a tab change is under way
    // would run that change and the field's own page back into each other. Until
    // the focus is back in the field, leaving any other field checks nothing.
    returning_ = true;
    QTimer::singleShot(0, field,
                       [this, field, tab = where.tab, message = text(problem->message), title = text(problem->title)] {
                           tabs_->setCurrentIndex(tab);
                           RefuseDialogField(ctx_.ui, this, field, message, title, refusing_);
                           QTimer::singleShot(0, this, [this] { returning_ = false; });
                       });
    return false;
}

}  // namespace lorvane
