#include "record_scan.h"

#include <algorithm>
#include <cstring>

#include "candidate_search.h"
#include "characters_data.h"
#include "cp932.h"
#include "post_fields.h"

namespace tovra {
namespace {

// A town field that opens a "（" without closing it goes on over the next line(s).
constexpr std::string_view kOpenParen = character::kOpenParen;
constexpr std::string_view kCloseParen = character::kCloseParen;
constexpr int kLineHead = -1;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A line that begins with one of these may be blank or begin with a comma (which ends a
// search): such lines are looked at even when they hold no hit. The published files begin
// every line with a digit.
bool MayHeadSpecialLine(unsigned char c) { return c <= ','; }

struct Parens {
  int opens = 0;
  int closes = 0;
};

Parens CountParens(std::string_view text) {
  Parens p;
  for (std::size_t i = 0; i < text.size();) {
    if (cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      const std::string_view c = text.substr(i, 2);
      if (c == kOpenParen) ++p.opens;
      if (c == kCloseParen) ++p.closes;
      i += 2;
    } else {
      ++i;
    }
  }
  return p;
}

// No data file holds a NUL byte; a mapped file shortened meanwhile reads as NULs past its end.
bool HoldsNul(std::string_view text) { return std::memchr(text.data(), 0, text.size()) != nullptr; }

// "(" minus ")" of a reading (half-width text: no double-byte characters to step over).
int KanaDepth(std::string_view kana) {
  return static_cast<int>(std::count(kana.begin(), kana.end(), '(') - std::count(kana.begin(), kana.end(), ')'));
}

}  // namespace

RecordScanner::RecordScanner(const PostFileBytes& bytes, PostFile file)
    : bytes_(bytes.Bytes()),
      eol_(bytes.LineEnd()),
      field_count_(FieldCount(file)),
      joins_(file == PostFile::kKenAll) {
  SetWholeFile();
}

RecordScanner::RecordScanner(std::string_view bytes, PostFile file)
    : bytes_(bytes),
      eol_(LineEndByte(bytes.substr(0, 512))),
      field_count_(FieldCount(file)),
      joins_(file == PostFile::kKenAll) {
  SetWholeFile();
}

void RecordScanner::SetWindow(std::int64_t start, std::int64_t end) {
  bytes_read_ += static_cast<std::int64_t>(reached_ - window_start_);
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (start < 0 || start >= size || end <= start) start = end = size;
  window_start_ = static_cast<std::size_t>(start);
  window_end_ = static_cast<std::size_t>(std::min(end, size));
  // Hits are looked for up to the end of the line that crosses the window's end.
  limit_ = window_end_;
  if (limit_ > window_start_ && limit_ < bytes_.size() && bytes_[limit_ - 1] != eol_) {
    limit_ = LineAt(LineStartOf(limit_ - 1)).next;
  } else if (eol_ == '\r' && limit_ < bytes_.size() && bytes_[limit_] == '\n') {
    ++limit_;
  }
  pos_ = last_end_ = reached_ = reported_ = window_start_;
}

void RecordScanner::Look(std::vector<std::string> needles, bool joined_too) {
  std::erase_if(needles, [](const std::string& n) { return n.empty(); });
  std::sort(needles.begin(), needles.end());
  needles.erase(std::unique(needles.begin(), needles.end()), needles.end());
  needles_ = std::move(needles);
  joined_too_ = joined_too && joins_;
  if (joined_too_) needles_.emplace_back(kOpenParen);
}

// Start of the line holding `pos`; lines never start before the window.
std::size_t RecordScanner::LineStartOf(std::size_t pos) const {
  const std::size_t floor = window_start_;
  if (pos <= floor) return floor;
  const void* at = memrchr(bytes_.data() + floor, eol_, pos - floor);
  if (at == nullptr) return floor;
  std::size_t start = static_cast<std::size_t>(static_cast<const char*>(at) - bytes_.data()) + 1;
  if (eol_ == '\r' && start < pos && bytes_[start] == '\n') ++start;
  return start;
}

// The first position in [from, to) where a needle starts or a line that may be special begins
// (reported at its preceding line end, kind kLineHead); kNone when there is none.
std::size_t RecordScanner::FindHit(std::size_t from, std::size_t to, int& kind) const {
  const char* const base = bytes_.data();
  const std::size_t size = bytes_.size();
  auto kind_at = [&](std::size_t q) {
    if (base[q] == eol_ && q + 1 < size && MayHeadSpecialLine(static_cast<unsigned char>(base[q + 1]))) {
      kind = kLineHead;
      return true;
    }
    for (std::size_t i = 0; i < needles_.size(); ++i) {
      const std::string& n = needles_[i];
      // The end bytes first: the candidate is most often another needle's.
      if (q + n.size() > size || base[q] != n.front() || base[q + n.size() - 1] != n.back()) continue;
      if (n.size() > 2 && std::memcmp(base + q + 1, n.data() + 1, n.size() - 2) != 0) continue;
      // Most "（" close on their own line: passed over here, without leaving the search.
      if (joined_too_ && i + 1 == needles_.size() && !MayOpenRecord(q)) continue;
      kind = static_cast<int>(i);
      return true;
    }
    return false;
  };
  std::size_t p = from;
  std::size_t hit = kNone;
#if defined(TOVRA_VECTOR_SEARCH)
  switch (needles_.size()) {
    case 1: hit = candidates::Find<1>(base, size, p, to, eol_, needles_, kind_at); break;
    case 2: hit = candidates::Find<2>(base, size, p, to, eol_, needles_, kind_at); break;
    case 3: hit = candidates::Find<3>(base, size, p, to, eol_, needles_, kind_at); break;
    case 4: hit = candidates::Find<4>(base, size, p, to, eol_, needles_, kind_at); break;
    case 5: hit = candidates::Find<5>(base, size, p, to, eol_, needles_, kind_at); break;
    default: break;  // more forms than any key folds into: the plain loop below
  }
  if (hit != kNone || p >= to) return hit;
#endif
  for (; p < to; ++p) {
    if (kind_at(p)) return p;
  }
  return kNone;
}

// A "（" starts a joined record only when its line does not close it again.
bool RecordScanner::MayOpenRecord(std::size_t paren) const {
  const std::size_t from = paren + kOpenParen.size();
  const LineSpan line = LineAt(from);
  const std::string_view rest = bytes_.substr(from, line.text_end - from);
  return rest.find(kCloseParen) == std::string_view::npos;
}

// The first line of the record that holds the line at `line_start`: back over the lines with
// the same postal code that hold no parenthesis, to a line that opens one (the record's start)
// or one that cannot belong to it.
std::size_t RecordScanner::RecordStart(std::size_t line_start) const {
  if (!joins_) return line_start;
  const std::size_t floor = std::max(window_start_, last_end_);
  // A line's postal code (field 3) and town (field 9), as the split of the record gives them.
  auto code_and_town = [this](std::size_t start, std::string_view& code, std::string_view& town) {
    const LineSpan line = LineAt(start);
    if (SplitTwoFields(bytes_.substr(start, line.text_end - start), 3, 9, code, town) != SplitResult::kFields) {
      return false;
    }
    code = Unquoted(code);
    town = Unquoted(town);
    return true;
  };
  std::string_view code, town, before_code, before_town;
  if (!code_and_town(line_start, code, town)) return line_start;
  std::size_t cur = line_start;
  for (int n = 1; n < kMaxJoinedLines && cur > floor; ++n) {
    std::size_t prev_end = cur - 1;  // the previous line's line end
    if (eol_ == '\r' && bytes_[prev_end] == '\n' && prev_end > floor && bytes_[prev_end - 1] == '\r') --prev_end;
    const std::size_t prev = LineStartOf(prev_end);
    if (!code_and_town(prev, before_code, before_town) || before_code != code) break;
    const Parens p = CountParens(before_town);
    if (p.opens > p.closes) return prev;
    if (p.opens > 0 || p.closes > 0) break;
    cur = prev;
  }
  return line_start;
}

RecordScanner::Step RecordScanner::Next(PostRecord& record, std::size_t& consumed) {
  auto report = [&](std::size_t upto) {
    upto = std::max(upto, reported_);
    consumed = upto - reported_;
    reported_ = upto;
    reached_ = std::max(reached_, upto);
  };
  const bool every_record = needles_.empty();
  for (;;) {
    std::size_t start;
    if (every_record) {
      start = std::max(pos_, last_end_);
      if (start >= window_end_) break;
    } else {
      std::size_t line_start;
      int kind = 0;
      if (pos_ == last_end_ && pos_ < limit_ && MayHeadSpecialLine(static_cast<unsigned char>(bytes_[pos_]))) {
        // The line right after the last record (or the window's first): its line end was
        // passed already, so the search below would not report it.
        line_start = pos_;
        ++pos_;
      } else {
        const std::size_t hit = FindHit(pos_, limit_, kind);
        if (hit == kNone) break;
        if (kind == kLineHead) {
          line_start = LineAt(hit).next;
          if (line_start >= window_end_) break;
          pos_ = line_start;
        } else {
          pos_ = hit + 1;
          line_start = LineStartOf(hit);
        }
      }
      if (line_start < last_end_) {
        pos_ = std::max(pos_, last_end_);
        continue;
      }
      // A line right after the last record begins one of its own.
      start = line_start == last_end_ ? line_start : RecordStart(line_start);
    }
    bool blank = false;
    const Step step = ReadRecord(start, record, blank);
    if (step == Step::kEnd) break;
    if (blank) continue;
    report(step == Step::kRecord ? last_end_ : LineAt(start).next);
    return step;
  }
  pos_ = limit_;
  report(limit_);
  return Step::kEnd;
}

RecordScanner::Step RecordScanner::ReadRecord(std::size_t start, PostRecord& record, bool& blank) {
  const LineSpan first = LineAt(start);
  const std::string_view text = bytes_.substr(start, first.text_end - start);
  if (HoldsNul(text)) {
    // What a file shortened during the search reads as past its new end, NULs to the end of
    // the map: the data ends here. A NUL inside the data loses its own line only.
    const std::size_t nul = start + text.find('\0');
    if (bytes_.find_first_not_of('\0', nul) == std::string_view::npos) {
      pos_ = last_end_ = limit_;
      return Step::kEnd;
    }
    last_end_ = first.next;
    pos_ = std::max(pos_, first.next);
    blank = true;
    return Step::kRecord;
  }
  const SplitResult split = SplitPostLine(text, field_count_, record);
  std::size_t end = first.next;
  blank = split == SplitResult::kBlank;
  if (split == SplitResult::kLeadingComma) return Step::kLeadingComma;
  if (!blank) {
    UnquoteFields(record, field_count_);
    if (joins_) end = JoinContinuations(record, end);
  }
  last_end_ = end;
  pos_ = std::max(pos_, end);
  return Step::kRecord;
}

// Appends the town and kana fields of the lines that continue the record and returns the end
// of its last line. The record ends where its "（" closes, the postal code changes, or the file
// ends. A reading short enough for one line is repeated on every line of the record instead of
// split: it is appended only while its own "(" is open.
std::size_t RecordScanner::JoinContinuations(PostRecord& record, std::size_t end) {
  const Parens own = CountParens(record[ken_field::kTown]);
  int depth = own.opens - own.closes;
  if (depth <= 0) return end;
  int kana_depth = KanaDepth(record[ken_field::kTownKana]);
  town_.assign(record[ken_field::kTown]);
  kana_.assign(record[ken_field::kTownKana]);
  PostRecord next;
  for (int n = 1; depth > 0 && n < kMaxJoinedLines && end < bytes_.size(); ++n) {
    const LineSpan line = LineAt(end);
    const std::string_view text = bytes_.substr(end, line.text_end - end);
    if (HoldsNul(text) || SplitPostLine(text, field_count_, next) != SplitResult::kFields) break;
    UnquoteFields(next, field_count_);
    if (next[ken_field::kPostCode] != record[ken_field::kPostCode]) break;
    town_ += next[ken_field::kTown];
    if (kana_depth > 0) {
      kana_ += next[ken_field::kTownKana];
      kana_depth += KanaDepth(next[ken_field::kTownKana]);
    }
    const Parens p = CountParens(next[ken_field::kTown]);
    depth += p.opens - p.closes;
    end = line.next;
  }
  record.Set(ken_field::kTown, town_);
  record.Set(ken_field::kTownKana, kana_);
  return end;
}

}  // namespace tovra
