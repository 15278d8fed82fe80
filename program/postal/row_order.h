// The order of the result list: by the text of column 0, byte by byte; rows with equal text
// keep the order in which the searches added them.
#pragma once

#include <algorithm>
#include <vector>

#include "search_view.h"

namespace tovra {

inline bool RowBefore(const ResultRow& a, const ResultRow& b) {
  return a.columns[kColPostCode] < b.columns[kColPostCode];
}

inline void SortRows(std::vector<ResultRow>& rows) { std::stable_sort(rows.begin(), rows.end(), RowBefore); }

}  // namespace tovra
