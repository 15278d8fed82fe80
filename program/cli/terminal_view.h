// The search port of tovra-search: rows are collected and printed at the end, messages and the
// progress bar go to stderr (the bar only when stderr is a terminal).
#pragma once

#include <string>
#include <vector>

#include "search_view.h"

namespace tovra::cli {

class TerminalView : public SearchView {
 public:
  explicit TerminalView(bool progress_bar) : progress_bar_(progress_bar) {}

  void AddRow(const ResultRow& row) override { rows_.push_back(row); }
  void SetProgressRange(int low, int high) override;
  void SetProgressStep(int step) override { step_ = step; }
  void StepProgress() override;
  void SetProgressPos(int pos) override;
  void ClearCities() override { cities_.clear(); }
  void AddCity(const std::string& city) override { cities_.push_back(city); }
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void ShowIndexNotice() override;
  void HideIndexNotice() override;

  // Rows in the result list's order.
  std::vector<ResultRow> SortedRows() const;
  const std::vector<std::string>& Cities() const { return cities_; }
  int MessageCount() const { return messages_; }

 private:
  void Draw();
  void Clear();

  bool progress_bar_;
  int low_ = 0, high_ = 0, step_ = 1, pos_ = 0;
  bool drawn_ = false;
  std::vector<ResultRow> rows_;
  std::vector<std::string> cities_;
  int messages_ = 0;
};

}  // namespace tovra::cli
