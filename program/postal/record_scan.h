// Reading the postal files record by record, hit first.
//
// KEN_ALL.CSV splits a town field longer than its column over consecutive lines with the same
// postal code: the first line opens a "（" that a later line closes, and the kana field is split
// alike. A record is such a run of lines (or one line), handed out with the town and kana fields
// joined (a reading short enough for one line is repeated on every line, and taken once). The
// index and its offsets stay per line: a record starts at its first line.
//
// A search rarely needs most of the file, so the scanner looks for the key's bytes in the whole
// stretch first and splits only the records around a hit; a line without a hit costs nothing
// beyond the byte search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapped_file.h"
#include "post_line.h"

namespace tovra {

// Lines a KEN_ALL.CSV record may join at most: a guard against a file whose "（" never closes.
constexpr int kMaxJoinedLines = 32;

// The longest text a search key can match: a town field joined from the most lines a record
// may span. A longer key can match nothing and is refused rather than cut.
constexpr std::size_t kKeyMax = kMaxJoinedLines * kFieldMax;

class RecordScanner {
 public:
  enum class Step {
    kRecord,        // `record` holds the next record worth testing
    kEnd,           // no further record in the window
    kLeadingComma,  // a line begins with a comma: the search ends here
  };

  // The records of KEN_ALL.CSV join the lines of its long town fields.
  RecordScanner(const PostFileBytes& bytes, PostFile file);
  // Over bytes held elsewhere (the line end is found as PostFileBytes finds it); they must
  // outlive the scanner.
  RecordScanner(std::string_view bytes, PostFile file);

  // Records whose first line starts in [start, end); the last one is read to its end.
  // Out-of-range windows give no records, like LineReader::SetWindow.
  void SetWindow(std::int64_t start, std::int64_t end);
  void SetWholeFile() { SetWindow(0, static_cast<std::int64_t>(bytes_.size())); }

  // The records worth testing from now on: those holding any of `needles` (every record when
  // there is none) and, with `joined_too`, every record joined from several lines, whose
  // joined fields may hold a key that no single line holds.
  void Look(std::vector<std::string> needles, bool joined_too);

  // The next such record, split and unquoted (town and its reading joined). `consumed` is the
  // number of bytes passed since the last call, for the progress indicator.
  Step Next(PostRecord& record, std::size_t& consumed);

  // Bytes of the file the scans of this scanner have covered (for the I/O accounting).
  std::int64_t BytesRead() const { return bytes_read_ + (reached_ - window_start_); }

 private:
  LineSpan LineAt(std::size_t start) const { return tovra::LineAt(bytes_, eol_, start); }
  std::size_t LineStartOf(std::size_t pos) const;
  std::size_t FindHit(std::size_t from, std::size_t to, int& kind) const;
  bool MayOpenRecord(std::size_t paren) const;
  std::size_t RecordStart(std::size_t line_start) const;
  Step ReadRecord(std::size_t start, PostRecord& record, bool& blank);
  std::size_t JoinContinuations(PostRecord& record, std::size_t end);

  std::string_view bytes_;
  char eol_;
  int field_count_;
  bool joins_;
  std::vector<std::string> needles_;
  bool joined_too_ = false;
  std::size_t window_start_ = 0;
  std::size_t window_end_ = 0;  // records start before it
  std::size_t limit_ = 0;       // hits are searched before it: the end of the window's last line
  std::size_t pos_ = 0;         // where the search for the next hit resumes
  std::size_t last_end_ = 0;    // end of the last record handed out
  std::size_t reached_ = 0;     // furthest byte covered in this window
  std::size_t reported_ = 0;    // position up to which `consumed` was reported
  std::int64_t bytes_read_ = 0; // of earlier windows
  std::string town_, kana_;     // joined fields of the last record
};

namespace test_seams {
// The widest vector search the scanner may use: 512, 256 or 128 bits, or 0 for the byte loop
// alone (the processor's widest is used up to it). Lets a test run every path on one machine.
void LimitVectorWidth(int bits);
}  // namespace test_seams

}  // namespace tovra
