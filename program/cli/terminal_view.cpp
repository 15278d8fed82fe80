#include "terminal_view.h"

#include <algorithm>
#include <cstdio>

#include "cp932.h"
#include "field_text.h"
#include "messages.h"

namespace tovra::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

void TerminalView::SetProgressRange(int low, int high) {
  low_ = low;
  high_ = high;
  pos_ = low;
}

void TerminalView::StepProgress() {
  pos_ = std::min(pos_ + step_, high_);
  Draw();
}

void TerminalView::SetProgressPos(int pos) {
  pos_ = pos;
  if (pos <= low_) {
    Clear();
  } else {
    Draw();
  }
}

void TerminalView::Draw() {
  if (!progress_bar_ || high_ <= low_) return;
  int filled = (pos_ - low_) * kBarWidth / (high_ - low_);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), (pos_ - low_) * 100 / (high_ - low_));
  std::fflush(stderr);
  drawn_ = true;
}

void TerminalView::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

void TerminalView::ShowMessage(const std::string& text, const std::string&) {
  Clear();
  // One line: the message's line break becomes a space, and a path from a hostile settings
  // file gets the escapes of a TSV field, so that it cannot drive the terminal either.
  std::string line = text;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "tovra-search: %s\n", clitext::TsvLine({&line, 1}).c_str());
}

void TerminalView::ShowIndexNotice() {
  if (!progress_bar_) return;
  std::fprintf(stderr, "%s\n", cp932::ToLocale(msg::kIndexNotice).c_str());
}

void TerminalView::HideIndexNotice() { Clear(); }

}  // namespace tovra::cli
