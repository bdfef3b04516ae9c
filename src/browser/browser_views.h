// The Browser's list as the user sees it: the report view and the icon view over
// one model and one selection, stacked so that the view mode shows one of them,
// with the cell delegates that draw the grid lines and give names room.
#pragma once

#include <QStackedWidget>

#include <array>

class QAbstractItemView;
class QFontMetrics;
class QItemSelectionModel;
class QListView;
class QTreeView;

namespace lorvane {

class BrowserModel;
class GridLineDelegate;
class IconCellDelegate;

// View modes as the FileListView setting numbers them.
namespace list_view {
constexpr int LargeIcons = 0, SmallIcons = 1, List = 2, Details = 3;
}

class BrowserViews final : public QStackedWidget {
    Q_OBJECT
public:
    BrowserViews(BrowserModel& model, QWidget* parent);

    QTreeView* ReportView() const { return report_; }
    QListView* IconView() const { return icons_; }
    std::array<QAbstractItemView*, 2> views() const;
    // The view the mode shows.
    QAbstractItemView* ActiveView() const;
    // The one selection both views share.
    QItemSelectionModel& Selection() const;

    int mode() const { return mode_; }
    // Details shows the report view, the other modes the icon view laid out for
    // them; the current row stays in sight. A mode out of range is ignored.
    void setMode(int mode);
    bool gridlines() const;
    void setGridlines(bool on);
    // Cell and grid of the icon views for the current mode; the list mode's
    // columns follow the longest names, so again after every load.
    void layoutIconView();
    // The report view's columns in their first order, shown, at their designed widths.
    void resetColumns();
    void showSortIndicator(int column, Qt::SortOrder order);
    void hideSortIndicator();

signals:
    void columnClicked(int column);
    void rowDoubleClicked();

private:
    int longestNameWidth(const QFontMetrics& metrics) const;

    BrowserModel& model_;
    QTreeView* report_;
    QListView* icons_;
    GridLineDelegate* grid_;
    IconCellDelegate* cells_;
    int mode_ = list_view::Details;
};

}  // namespace lorvane
