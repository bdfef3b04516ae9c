// lvwFiles' data: one model over the Browser's rows, shown by the report view and
// by the icon and list views alike. Rows live in a plain vector; sorting reorders
// the vector itself (no proxy), so a row's index is its place on screen.
#pragma once

#include <QAbstractTableModel>
#include <QItemSelection>

#include <functional>
#include <string_view>
#include <vector>

#include "core/rows/file_rows.h"

namespace lorvane {

class BrowserModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Width of each column in twips as the list creates it.
    static constexpr int kColumnTwips[8] = {4000, 700, 2000, 3000, 1440, 1440, 1100, 700};

    explicit BrowserModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of the name is a rename request, answered by the rename handler.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const std::vector<FileRow>& rows() const { return rows_; }
    const FileRow& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    int size() const { return static_cast<int>(rows_.size()); }

    void clear();
    // Room for this many rows in all, so that a load's appends never move the rows
    // already there.
    void reserve(std::size_t rows) { rows_.reserve(rows); }
    // Moves the rows in at the end with one insertion notice; chunk is left empty.
    void append(std::vector<FileRow>& chunk);
    // Lets the caller change a row in place; the views repaint it afterwards.
    void updateRow(int i, const std::function<void(FileRow&)>& change);
    // The rows for a batch run to change in place; rowsChanged() repaints them after.
    FileRow* rowAt(int i) { return &rows_[static_cast<std::size_t>(i)]; }
    void rowsChanged();
    void removeRowAt(int i);
    // Takes these rows (in ascending order) off the list in one pass.
    void removeRows(const std::vector<int>& rows);
    // The row whose Key is key, or -1.
    int findKey(std::string_view key) const;

    // Stable sort by the column's text (byte order of the UTF-8 text, which is
    // code-point order); selections and the current row follow their rows.
    void sortByColumn(int column, Qt::SortOrder order);

    // The rows whose "Status" column equals status exactly, as row ranges.
    QItemSelection rowsWithStatus(std::string_view status) const;
    // The rows whose Selected is set, as row ranges.
    QItemSelection rowsMarkedSelected() const;
    QItemSelection allRows() const;

    // Answers a finished label edit of the name: true accepts the new text.
    using RenameHandler = std::function<bool(int row, const QString& newText)>;
    void setRenameHandler(RenameHandler handler) { rename_ = std::move(handler); }

private:
    QItemSelection rowsWhere(const std::function<bool(const FileRow&)>& keep) const;

    std::vector<FileRow> rows_;
    RenameHandler rename_;
};

}  // namespace lorvane
