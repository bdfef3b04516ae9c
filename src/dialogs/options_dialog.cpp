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
#include <string>

#include "dialogs/operation_dialog.h"
#include "engine/settings_checks.h"
#include "gui/app_context.h"

namespace lorvane {

namespace {

using Keys = std::vector<std::string_view>;

// What a group's text fields are checked against as one is left, beyond the
// integer check of every integer field.
enum class Check { None, AttributeNames1x, Delimiters, Delimiters2x };

struct Group {
    int tab;
    int column;  // of the page: groups stack in two columns
    const char* caption;
    const char* name;  // the frame's object name, where it has one of its own
    Check check;
    bool masterSwitch;  // the first list enables the others
    Keys keys;          // Parse and Build twins share a row, in two columns
};

const char* const kTabs[] = {"General", "1.x", "2.x", "Date/Time", "Semantics"};

const std::vector<Group>& groups() {
    static const std::vector<Group> g = {
        {0,
         0,
         "Startup",
         nullptr,
         Check::None,
         false,
         {"StartupOpenBrowser", "StartupOpenEditor", "StartupOpenViewer", "RestoreWindowSizePosition",
          "BrowserAutoLoadLastFolder"}},
        {0,
         0,
         "Editor",
         nullptr,
         Check::None,
         false,
         {"ParseShowTreeLevels", "EditMoveNodeUpDownMode", "EditAddNodeAutoEdit"}},
        {0,
         1,
         "General",
         nullptr,
         Check::None,
         false,
         {"ParseMode", "BuildMode", "ParseLengthMaximum", "BuildLengthMaximum", "ParseAllowIllegal",
          "BuildAllowIllegal", "BuildExtensionLengthMinimum", "BuildExtensionLengthMaximum"}},
        {1,
         0,
         "Lorvane Data 1.x Attributes",
         nullptr,
         Check::AttributeNames1x,
         false,
         {"Parse1xAttributeDate", "Parse1xAttributeSerial", "Parse1xAttributeTopic", "Parse1xAttributeExtension"}},
        {1,
         0,
         "Lorvane Data 1.x Delimiters",
         nullptr,
         Check::Delimiters,
         false,
         {"Parse1xDelimiterSerial", "Parse1xDelimiterTopic", "Parse1xDelimiterExtension", "Build1xDelimiterSerial",
          "Build1xDelimiterTopic", "Build1xDelimiterExtension"}},
        {1,
         1,
         "Lorvane Data 1.x Rules",
         nullptr,
         Check::None,
         false,
         {"Parse1xSerialMinimum", "Parse1xSerialMaximum", "Parse1xTopicLengthMaximum", "Build1xSerialMinimum",
          "Build1xSerialMaximum", "Build1xTopicLengthMaximum", "Build1xSpaceBeforeSerial", "Build1xSpaceBeforeTopic"}},
        {2,
         0,
         "Lorvane Data 2.x Delimiters",
         nullptr,
         Check::Delimiters2x,
         false,
         {"Parse2xDelimiterStart", "Parse2xDelimiterEnd", "Parse2xDelimiterLabel", "Parse2xDelimiterValue",
          "Build2xDelimiterStart", "Build2xDelimiterEnd", "Build2xDelimiterLabel", "Build2xDelimiterValue"}},
        {2,
         1,
         "Lorvane Data 2.x Rules",
         nullptr,
         Check::None,
         false,
         {"Parse2xAllowLabelDelimiters", "Build2xAllowLabelDelimiters", "Parse2xStrictMode"}},
        {3,
         0,
         "Date/Time Delimiters",
         nullptr,
         Check::Delimiters,
         false,
         {"ParseDateDelimiterDate", "ParseDateDelimiterDateComponent", "ParseDateDelimiterTime",
          "ParseDateDelimiterTimeComponent", "ParseDateDelimiterRange", "BuildDateDelimiterDate",
          "BuildDateDelimiterDateComponent", "BuildDateDelimiterTime", "BuildDateDelimiterTimeComponent",
          "BuildDateDelimiterRange"}},
        {3,
         1,
         "Date/Time Rules",
         nullptr,
         Check::None,
         false,
         {"ParseDateMinimumYear", "ParseDateMaximumYear", "BuildDateOmitUnknownDate", "BuildDateOmitUnknownTime",
          "BuildDateOmitRedundantDate", "BuildDateOmitRedundantTime", "BuildDateInsertSpaceBetween",
          "BuildDateInsertSpaceBefore", "BuildDateInsertSpaceAfter"}},
        {4,
         0,
         "Attribute Semantics",
         "fraAttributeSemantics",
         Check::None,
         true,
         {"SemanticsAttributeEnable", "SemanticsAttributeValidateName", "SemanticsAttributeValidateContext",
          "SemanticsAttributeValidateStructure", "SemanticsAttributeTranslateParse", "SemanticsAttributeTranslateBuild",
          "SemanticsAttributeReorder", "SemanticsAttributeConsolidate"}},
        {4,
         1,
         "Value Semantics",
         "fraValueSemantics",
         Check::None,
         true,
         {"SemanticsValueEnable", "SemanticsValueValidateFormat", "SemanticsValueReformat", "SemanticsValueReorder",
          "SemanticsValueConsolidate"}},
    };
    return g;
}

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The two modes' lists carry names of their own; every other control is named after its setting.
QString controlName(std::string_view key) {
    if (key == "ParseMode") return QStringLiteral("ParseFormat");
    if (key == "BuildMode") return QStringLiteral("BuildFormat");
    return text(key);
}

// The frame's name: its own, else "fra" and the caption's letters and digits.
QString frameName(const Group& g) {
    if (g.name) return QLatin1String(g.name);
    QString name = QStringLiteral("fra");
    for (QChar c : QLatin1String(g.caption))
        if (c.isLetterOrNumber()) name += c;
    return name;
}

bool isBuild(std::string_view key) { return key.starts_with("Build"); }

// A group has a Parse and a Build column when one of its Parse settings has its Build twin beside it.
bool hasColumns(const Keys& keys) {
    return std::any_of(keys.begin(), keys.end(), [&](std::string_view k) {
        if (!k.starts_with("Parse")) return false;
        const std::string twin = "Build" + std::string(k.substr(5));
        return std::find(keys.begin(), keys.end(), twin) != keys.end();
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

    std::vector<std::pair<QVBoxLayout*, QVBoxLayout*>> pageColumns;
    for (std::size_t tab = 0; tab < std::size(kTabs); ++tab) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("Frame1_%1").arg(tab));
        auto* columns = new QHBoxLayout(page);
        auto* left = new QVBoxLayout;
        auto* right = new QVBoxLayout;
        columns->addLayout(left);
        columns->addLayout(right);
        pageColumns.emplace_back(left, right);
        tabs_->addTab(page, QLatin1String(kTabs[tab]));
    }

    const int digitWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    groupFields_.resize(groups().size());
    for (std::size_t gi = 0; gi < groups().size(); ++gi) {
        const Group& g = groups()[gi];
        QVBoxLayout* column = g.column == 0 ? pageColumns[g.tab].first : pageColumns[g.tab].second;
        QWidget* page = tabs_->widget(g.tab);
        auto* frame = new QGroupBox(QLatin1String(g.caption), page);
        frame->setObjectName(frameName(g));
        column->addWidget(frame);
        auto* grid = new QGridLayout(frame);
        const bool twoColumns = hasColumns(g.keys);
        if (twoColumns) {
            grid->addWidget(new QLabel(QStringLiteral("Parse"), frame), 0, 1);
            grid->addWidget(new QLabel(QStringLiteral("Build"), frame), 0, 2);
        }
        // One row per caption: twins share theirs.
        std::vector<std::string_view> captions;
        for (std::string_view key : g.keys) {
            const SettingDef& def = *FindGlobalSetting(key);
            auto at = std::find(captions.begin(), captions.end(), def.caption);
            const int row = static_cast<int>(at - captions.begin()) + (twoColumns ? 1 : 0);
            QWidget* w;
            if (def.kind == SettingKind::Integer || def.kind == SettingKind::Text) {
                auto* e = new QLineEdit(frame);
                // Delimiters are a character or two, names up to twenty characters.
                const int chars = g.check == Check::AttributeNames1x ? 16 : g.check == Check::None ? 8 : 4;
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
            grid->addWidget(w, row, twoColumns && isBuild(key) ? 2 : 1,
                            qobject_cast<QLineEdit*>(w) ? Qt::AlignLeft : Qt::Alignment());
            if (at == captions.end()) {
                captions.push_back(def.caption);
                auto* label = new QLabel(text(def.caption), frame);
                label->setBuddy(w);
                grid->addWidget(label, row, 0);
            }
        }
        grid->setColumnStretch(3, 1);
        if (g.masterSwitch) {
            auto* master = static_cast<QComboBox*>(control(g.keys.front()));
            std::vector<QWidget*> lists;
            for (std::size_t k = 1; k < g.keys.size(); ++k) {
                QWidget* list = control(g.keys[k]);
                // Greyed in the frame's own colour; the value stays and is saved as it is.
                QPalette p = list->palette();
                for (auto role : {QPalette::Base, QPalette::Button})
                    p.setColor(QPalette::Disabled, role, frame->palette().color(QPalette::Window));
                list->setPalette(p);
                lists.push_back(list);
            }
            connect(master, &QComboBox::currentIndexChanged, this, [lists](int index) {
                for (QWidget* list : lists) list->setEnabled(index == 1);
            });
        }
    }
    for (auto [left, right] : pageColumns) {
        left->addStretch(1);
        right->addStretch(1);
    }

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
    const Group& g = groups()[where.group];
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
        switch (g.check) {
            case Check::AttributeNames1x: {
                const auto leaving = std::find(group.begin(), group.end(), field) - group.begin();
                problem = Check1xAttributeNames({v[0], v[1], v[2], v[3]}, static_cast<std::size_t>(leaving));
                break;
            }
            case Check::Delimiters: problem = CheckDelimitersLegal(v); break;
            case Check::Delimiters2x:
                problem = Check2xDelimiters({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]});
                break;
            case Check::None: break;
        }
    }
    // What the checks above leave open and the setting itself does not allow (four
    // empty 2.x delimiters of one side, which overlap nowhere) would not read back.
    if (!problem)
        if (const std::string why = StoredValueProblem(def, field->text().toStdString()); !why.empty())
            problem = SettingProblem{std::string(def.caption) + " " + why + ".", windowTitle().toStdString()};
    if (!problem) return true;
    // The field's page comes back first when the leaving went to another tab.
    QTimer::singleShot(0, field, [this, tab = where.tab] { tabs_->setCurrentIndex(tab); });
    RefuseDialogField(ctx_.ui, this, field, text(problem->message), text(problem->title), refusing_);
    // The focus coming back leaves the field it had gone to: no check of that one
    // (the four 1.x names would refuse it for the same names).
    returning_ = true;
    QTimer::singleShot(0, this, [this] { returning_ = false; });
    return false;
}

}  // namespace lorvane
