// The order of the result list: by the text of column 0, byte by byte; rows with equal text
// keep the order in which the searches added them.
#pragma once

#include <algorithm>
#include <numeric>
#include <vector>

#include "search_view.h"

namespace tovra {

inline bool RowBefore(const ResultRow& a, const ResultRow& b) {
  return a.columns[kColPostCode] < b.columns[kColPostCode];
}

// Sorts positions rather than rows: a row is twelve strings, too heavy to shuffle around.
inline void SortRows(std::vector<ResultRow>& rows) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return RowBefore(rows[a], rows[b]); });
  std::vector<ResultRow> sorted;
  sorted.reserve(rows.size());
  for (std::size_t i : order) sorted.push_back(std::move(rows[i]));
  rows = std::move(sorted);
}

}  // namespace tovra
