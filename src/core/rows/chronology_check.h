// Check Chronology: rows sorted by their chronology key, and every row of a run
// of equal keys marked as a duplicate. The Browser and `lorvane chronology` share it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/rows/file_rows.h"

namespace lorvane {

// The order of the "Chronology" column, ascending: the keys' bytes compared as
// text, which for keys of fixed-width fields is capture time, then sequence,
// component and version number.
bool ChronologyBefore(const FileRow& a, const FileRow& b);
// Stable: rows with equal keys keep their order.
void SortByChronology(std::vector<FileRow>& rows);

// Picture 4, "Dupl" and "Duplicate chronology"; the next parse of the row puts
// its own status back.
void MarkDuplicateChronology(FileRow& row);

// Before each row: its 1-based position and the number of rows; false stops the
// check before that row.
using ChronologyProgress = std::function<bool(std::int32_t position, std::int32_t total)>;

// Over rows already in chronology order: each row whose key equals its
// neighbour's (before or after) is marked; unique keys leave a row as it was.
// Fewer than two rows: nothing. False when progress stopped it.
bool CheckChronology(std::span<FileRow* const> rows, const ChronologyProgress& progress);

}  // namespace lorvane
