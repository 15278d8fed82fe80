#include "terminal_view.h"

#include <algorithm>
#include <cstdio>

#include "cp932.h"

namespace tovra::cli {
namespace {

constexpr int kBarWidth = 40;
// "郵便番号高速検索用データを作成中です..."
constexpr const char kIndexNotice[] =
    "\x97\x58\x95\xD6\x94\xD4\x8D\x86\x8D\x82\x91\xAC\x8C\x9F\x8D\xF5\x97\x70\x83\x66\x81\x5B"
    "\x83\x5E\x82\xF0\x8D\xEC\x90\xAC\x92\x86\x82\xC5\x82\xB7...";

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
  std::string shown = cp932::ToLocale(text);
  std::replace(shown.begin(), shown.end(), '\n', ' ');
  std::fprintf(stderr, "tovra-search: %s\n", shown.c_str());
}

void TerminalView::ShowIndexNotice() {
  if (!progress_bar_) return;
  std::fprintf(stderr, "%s\n", cp932::ToLocale(kIndexNotice).c_str());
}

void TerminalView::HideIndexNotice() { Clear(); }

}  // namespace tovra::cli
