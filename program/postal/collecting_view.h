// A screen without widgets: keeps what the searches show, for the front ends that print it
// at the end (tovra-search), the benchmarks and the tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "post_index.h"
#include "row_order.h"
#include "search_view.h"

namespace tovra {

class CollectingView : public SearchView {
 public:
  void AddRow(ResultRow row) override {
    rows_.push_back(std::move(row));
    sorted_ = false;
  }
  bool SelectPrefecture(const std::string& name) override {
    if (PrefectureIndex(name) < 0) return false;
    prefecture = name;
    return true;
  }
  void ClearCities() override { cities.clear(); }
  void AddCity(const std::string& city) override { cities.push_back(city); }
  void SetWorkList(const std::vector<std::string>& sorted_names) override { work = sorted_names; }

  // Rows in the result list's order: sorted where they lie when asked for (a stable sort, so
  // rows added later still come after the equal ones added before).
  const std::vector<ResultRow>& Rows() const {
    if (!sorted_) SortRows(rows_);
    sorted_ = true;
    return rows_;
  }
  void ClearRows() {
    rows_.clear();
    sorted_ = true;
  }

  std::string prefecture;           // the last prefecture a search selected
  std::vector<std::string> cities;  // the city list
  std::vector<std::string> work;    // the hidden work list

 private:
  mutable std::vector<ResultRow> rows_;
  mutable bool sorted_ = true;
};

}  // namespace tovra
