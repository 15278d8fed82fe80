// The progress indicator of a long read: one step for every total/steps bytes passed.
#pragma once

#include <cstdint>

#include "search_view.h"

namespace tovra {

// Steps of a search's progress bar and of an index build's.
constexpr int kSearchProgressSteps = 20;
constexpr int kBuildProgressSteps = 36;

class ProgressPacer {
 public:
  // Sets the view's range to [0, steps] and its step to 1.
  ProgressPacer(SearchView& view, std::int64_t total, int steps) : view_(view), step_(total / steps) {
    view_.SetProgressRange(0, steps);
    view_.SetProgressStep(1);
  }
  void Add(std::size_t bytes) {
    counted_ += static_cast<std::int64_t>(bytes);
    if (counted_ > step_) {
      view_.StepProgress();
      counted_ -= step_;
    }
  }

 private:
  SearchView& view_;
  std::int64_t step_;
  std::int64_t counted_ = 0;
};

}  // namespace tovra
