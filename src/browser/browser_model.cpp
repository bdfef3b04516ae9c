#include "browser/browser_model.h"

#include <algorithm>
#include <numeric>

#include "browser/row_pictures.h"
#include "core/qt_text.h"

namespace lorvane {

BrowserModel::BrowserModel(QObject* parent) : QAbstractTableModel(parent) {}

int BrowserModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BrowserModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kBrowserColumns.size());
}

QVariant BrowserModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= size()) return {};
    const FileRow& r = row(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole: {
            const std::string* text = r.column(kBrowserColumns[static_cast<std::size_t>(index.column())]);
            return text ? ToQString(*text) : QVariant();
        }
        case Qt::DecorationRole:
            if (index.column() != 0) return {};
            return RowIcon(r.Icon);  // the view takes the size it shows
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant BrowserModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) {
        const std::string_view key = kBrowserColumns[static_cast<std::size_t>(section)];
        return ToQString(key);
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags BrowserModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) f |= Qt::ItemIsEditable;
    return f;
}

bool BrowserModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || !rename_) return false;
    const bool accepted = rename_(index.row(), value.toString());
    if (accepted) emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return accepted;
}

void BrowserModel::clear() {
    if (rows_.empty()) return;
    beginResetModel();
    std::vector<FileRow>().swap(rows_);  // a large folder's room goes back too
    endResetModel();
}

void BrowserModel::append(std::vector<FileRow>& chunk) {
    if (chunk.empty()) return;
    const int first = size();
    beginInsertRows({}, first, first + static_cast<int>(chunk.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(chunk.begin()), std::make_move_iterator(chunk.end()));
    endInsertRows();
    chunk.clear();
}

void BrowserModel::updateRow(int i, const std::function<void(FileRow&)>& change) {
    if (i < 0 || i >= size()) return;
    change(rows_[static_cast<std::size_t>(i)]);
    emit dataChanged(index(i, 0), index(i, columnCount() - 1));
}

void BrowserModel::rowsChanged() {
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(size() - 1, columnCount() - 1));
}

void BrowserModel::removeRowAt(int i) {
    if (i < 0 || i >= size()) return;
    beginRemoveRows({}, i, i);
    rows_.erase(rows_.begin() + i);
    endRemoveRows();
}

void BrowserModel::removeRows(const std::vector<int>& rows) {
    // A few rows go one by one, so that the selection and the current row of the
    // others stay; many at once would cost a pass over the list for each.
    constexpr std::size_t kOneByOne = 64;
    if (rows.size() <= kOneByOne) {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) removeRowAt(*it);
        return;
    }
    beginResetModel();
    std::vector<FileRow> kept;
    kept.reserve(rows_.size() - rows.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (next < rows.size() && static_cast<std::size_t>(rows[next]) == i) {
            ++next;
            continue;
        }
        kept.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(kept);
    endResetModel();
}

int BrowserModel::findKey(std::string_view key) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].Key == key) return static_cast<int>(i);
    return -1;
}

void BrowserModel::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount() || rows_.size() < 2) return;
    const std::string_view key = kBrowserColumns[static_cast<std::size_t>(column)];
    std::vector<const std::string*> text(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) text[i] = rows_[i].column(key);

    // order[newPlace] = oldPlace; equal texts keep their relative order either way.
    std::vector<int> order_(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    if (order == Qt::AscendingOrder)
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return *text[a] < *text[b]; });
    else
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) { return *text[b] < *text[a]; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPlace(rows_.size());
    std::vector<FileRow> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t n = 0; n < order_.size(); ++n) {
        newPlace[static_cast<std::size_t>(order_[n])] = static_cast<int>(n);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order_[n])]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) to.append(index(newPlace[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QItemSelection BrowserModel::rowsWhere(const std::function<bool(const FileRow&)>& keep) const {
    QItemSelection sel;
    const int last = columnCount() - 1;
    int start = -1;
    for (int i = 0; i <= size(); ++i) {
        const bool match = i < size() && keep(row(i));
        if (match && start < 0) start = i;
        if (!match && start >= 0) {
            sel.select(index(start, 0), index(i - 1, last));
            start = -1;
        }
    }
    return sel;
}

QItemSelection BrowserModel::rowsWithStatus(std::string_view status) const {
    return rowsWhere([status](const FileRow& r) { return r.Status == status; });
}

QItemSelection BrowserModel::rowsMarkedSelected() const {
    return rowsWhere([](const FileRow& r) { return r.Selected; });
}

QItemSelection BrowserModel::allRows() const {
    QItemSelection sel;
    if (!rows_.empty()) sel.select(index(0, 0), index(size() - 1, columnCount() - 1));
    return sel;
}


}  // namespace lorvane
