#include "core/rows/chronology_check.h"

#include <algorithm>

namespace lorvane {

bool ChronologyBefore(const FileRow& a, const FileRow& b) { return a.Chronology < b.Chronology; }

void SortByChronology(std::vector<FileRow>& rows) { std::stable_sort(rows.begin(), rows.end(), ChronologyBefore); }

void MarkDuplicateChronology(FileRow& row) {
    row.Icon = row_icon::Dupl;
    row.Status = kDuplicateStatus;
    row.Message = kDuplicateMessage;
}

bool CheckChronology(std::span<FileRow* const> rows, const ChronologyProgress& progress) {
    const auto n = static_cast<std::int32_t>(rows.size());
    if (n < 2) return true;
    // Marking changes no key, so each row is compared with its neighbours as they stand.
    for (std::int32_t i = 0; i < n; ++i) {
        if (!progress(i + 1, n)) return false;
        const auto at = static_cast<std::size_t>(i);
        const std::string& key = rows[at]->Chronology;
        if ((i > 0 && rows[at - 1]->Chronology == key) || (i + 1 < n && rows[at + 1]->Chronology == key))
            MarkDuplicateChronology(*rows[at]);
    }
    return true;
}

}  // namespace lorvane
