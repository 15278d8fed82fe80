// The search port of tovra-search: rows and cities are collected and printed at the end,
// messages and the progress bar go to stderr (the bar only when stderr is a terminal).
#pragma once

#include <string>

#include "collecting_view.h"

namespace tovra::cli {

class TerminalView : public CollectingView {
 public:
  explicit TerminalView(bool progress_bar) : progress_bar_(progress_bar) {}

  void SetProgressRange(int low, int high) override;
  void SetProgressStep(int step) override { step_ = step; }
  void StepProgress() override;
  void SetProgressPos(int pos) override;
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void ShowIndexNotice() override;
  void HideIndexNotice() override;

 private:
  void Draw();
  void Clear();

  bool progress_bar_;
  int low_ = 0, high_ = 0, step_ = 1, pos_ = 0;
  bool drawn_ = false;
};

}  // namespace tovra::cli
