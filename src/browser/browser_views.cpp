#include "browser/browser_views.h"

#include <QHeaderView>
#include <QListView>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <vector>

#include "browser/browser_model.h"
#include "browser/row_pictures.h"
#include "core/qt_text.h"
#include "gui/window_settings.h"

namespace lorvane {

// The report view's grid lines: a thin line right of and below every cell.
class GridLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool on = true;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!on) return;
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

// The icon views' cells. Left to the style, every name would be measured on one
// line, and the large-icon view would cut each to a single line under its
// picture; a fixed cell gives the name room to wrap and keeps the sizes uniform,
// which the view needs to lay out a large folder quickly.
class IconCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize cell;  // empty: the style's own size

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return cell.isEmpty() ? QStyledItemDelegate::sizeHint(option, index) : cell;
    }
};

BrowserViews::BrowserViews(BrowserModel& model, QWidget* parent) : QStackedWidget(parent), model_(model) {
    report_ = new QTreeView(this);
    report_->setObjectName(QStringLiteral("lvwFiles"));
    report_->setModel(&model_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report_->setSelectionBehavior(QAbstractItemView::SelectRows);
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->setSortingEnabled(false);
    report_->header()->setSectionsClickable(true);
    report_->header()->setSectionsMovable(true);
    report_->header()->setStretchLastSection(false);
    report_->header()->setSortIndicatorShown(false);
    grid_ = new GridLineDelegate(report_);
    report_->setItemDelegate(grid_);
    connect(report_->header(), &QHeaderView::sectionClicked, this, &BrowserViews::columnClicked);

    icons_ = new QListView(this);
    icons_->setObjectName(QStringLiteral("lvwFilesIcons"));
    icons_->setModel(&model_);
    icons_->setSelectionModel(report_->selectionModel());  // one selection for all views
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    icons_->setUniformItemSizes(true);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(500);
    icons_->setMovement(QListView::Static);
    cells_ = new IconCellDelegate(icons_);
    icons_->setItemDelegate(cells_);

    for (QAbstractItemView* v : views()) {
        connect(v, &QAbstractItemView::doubleClicked, this, &BrowserViews::rowDoubleClicked);
        addWidget(v);
    }
}

std::array<QAbstractItemView*, 2> BrowserViews::views() const { return {report_, icons_}; }

QAbstractItemView* BrowserViews::ActiveView() const {
    return mode_ == list_view::Details ? static_cast<QAbstractItemView*>(report_)
                                       : static_cast<QAbstractItemView*>(icons_);
}

QItemSelectionModel& BrowserViews::Selection() const { return *report_->selectionModel(); }

void BrowserViews::setMode(int mode) {
    if (mode < list_view::LargeIcons || mode > list_view::Details) return;
    mode_ = mode;
    if (mode == list_view::Details) {
        setCurrentWidget(report_);
    } else {
        const bool large = mode == list_view::LargeIcons;
        icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
        icons_->setFlow(mode == list_view::List ? QListView::TopToBottom : QListView::LeftToRight);
        icons_->setWrapping(true);
        icons_->setWordWrap(large);
        icons_->setTextElideMode(Qt::ElideRight);
        layoutIconView();
        setCurrentWidget(icons_);
    }
    if (Selection().currentIndex().isValid()) ActiveView()->scrollTo(Selection().currentIndex());
}

bool BrowserViews::gridlines() const { return grid_->on; }

void BrowserViews::setGridlines(bool on) {
    grid_->on = on;
    report_->viewport()->update();
}

void BrowserViews::layoutIconView() {
    if (mode_ == list_view::Details) return;
    const bool large = mode_ == list_view::LargeIcons;
    const int edge = large ? row_picture::LargeSize : row_picture::SmallSize;
    icons_->setIconSize(QSize(edge, edge));
    const QFontMetrics text(icons_->font());
    const int line = text.height();
    QSize grid;
    if (large) {
        // The picture above up to three lines of the name.
        grid = QSize(text.averageCharWidth() * 22, edge + 3 * line + 10);
        cells_->cell = grid - QSize(8, 4);
    } else if (mode_ == list_view::SmallIcons) {
        grid = QSize(text.averageCharWidth() * 32, std::max(edge, line) + 4);
        cells_->cell = grid;
    } else {
        // The list's columns are as wide as its longest names, within the window.
        // The view itself may not have been laid out yet (a hidden page of the
        // stack keeps its old size), so the room is reckoned from the stack.
        const int room = contentsRect().width() - 2 * icons_->frameWidth() -
                         icons_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 8;
        grid =
            QSize(std::clamp(edge + 14 + longestNameWidth(text), 150, std::max(150, room)), std::max(edge, line) + 4);
        cells_->cell = grid;
    }
    icons_->setSpacing(large ? 4 : 0);
    icons_->setGridSize(grid);
}

int BrowserViews::longestNameWidth(const QFontMetrics& metrics) const {
    // Measuring every name of a large folder would take a while; the longest few by
    // their number of bytes are the only candidates worth measuring.
    constexpr std::size_t kMeasured = 16;
    std::vector<std::pair<std::size_t, int>> sizes;
    sizes.reserve(model_.rows().size());
    for (int i = 0; i < model_.size(); ++i) sizes.emplace_back(model_.row(i).Text.size(), i);
    const std::size_t n = std::min(kMeasured, sizes.size());
    std::partial_sort(sizes.begin(), sizes.begin() + static_cast<std::ptrdiff_t>(n), sizes.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    int widest = 0;
    for (std::size_t k = 0; k < n; ++k)
        widest = std::max(widest, metrics.horizontalAdvance(ToQString(model_.row(sizes[k].second).Text)));
    return widest;
}

void BrowserViews::resetColumns() {
    // The designed widths were set for a small system font of about six pixels a
    // letter; they grow with a wider font so that each column holds as much text.
    // The columns whose text has a fixed shape are widened where it would still be cut.
    static const char* const fixedShape[] = {nullptr, "Dupl",  nullptr,      "0000/00/00 00:00:00 0000 0000 0000",
                                             nullptr, nullptr, "000,000 KB", "000"};
    const QFontMetrics text(report_->font());
    const QFontMetrics caption(report_->header()->font());
    constexpr double kDesignedLetterWidth = 6.0;
    const double letter =
        text.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ")) / 52.0;
    const double scale = std::max(1.0, letter / kDesignedLetterWidth);
    QHeaderView* h = report_->header();
    for (int logical = 0; logical < model_.columnCount(); ++logical) {
        h->moveSection(h->visualIndex(logical), logical);
        h->showSection(logical);
        int width = qRound(BrowserModel::kColumnTwips[logical] / kTwipsPerPixel * scale);
        const QString key = model_.headerData(logical, Qt::Horizontal).toString();
        width = std::max(width, caption.horizontalAdvance(key) + 24);  // room for the sort arrow
        if (fixedShape[logical])
            width = std::max(width, text.horizontalAdvance(QString::fromLatin1(fixedShape[logical])) + 14);
        h->resizeSection(logical, width);
    }
}

void BrowserViews::showSortIndicator(int column, Qt::SortOrder order) {
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setSortIndicator(column, order);
}

void BrowserViews::hideSortIndicator() { report_->header()->setSortIndicatorShown(false); }

}  // namespace lorvane
