#include "post_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cp932.h"

namespace tovra {
namespace {

// How far past the window's end a crossing line is followed per read.
constexpr std::size_t kOvershootChunk = 256;

bool IsScanSpace(unsigned char c) {
  // Every white-space byte is at most a space: one comparison settles most bytes.
  return c <= ' ' && (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r');
}

// The commas of one line, handed out in order from a bit mask per 64 bytes of the line. A
// line is searched once, however many fields it has: a search per field stopped at every
// field end and cost a mispredicted branch for each.
class CommaCursor {
 public:
  explicit CommaCursor(std::string_view line) : line_(line) {}

  // Offset of the next comma not yet handed out, or the line's length when there is none.
  std::size_t Next() {
    while (mask_ == 0) {
      if (next_block_ >= line_.size()) return line_.size();
      block_ = next_block_;
      mask_ = BlockMask();
      next_block_ += kBlock;
    }
    const std::size_t at = block_ + static_cast<std::size_t>(std::countr_zero(mask_));
    mask_ &= mask_ - 1;
    return at;
  }

 private:
  static constexpr std::size_t kBlock = 64;

  // Bit i set when byte block_ + i of the line is a comma.
  std::uint64_t BlockMask() const {
    const std::size_t left = line_.size() - block_;
    if (left >= kBlock) return FullCommaMask(line_.data() + block_);
    if (line_.size() >= kBlock) {
      // The last 64 bytes of the line, shifted down: no byte past the line is read.
      return FullCommaMask(line_.data() + line_.size() - kBlock) >> (kBlock - left);
    }
    char copy[kBlock] = {};  // a zero byte is never a comma
    std::memcpy(copy, line_.data() + block_, left);
    return FullCommaMask(copy);
  }

  static std::uint64_t FullCommaMask(const char* p) {
    std::uint64_t mask = 0;
#if defined(__SSE2__)
    const __m128i commas = _mm_set1_epi8(',');
    for (std::size_t i = 0; i < kBlock; i += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, commas)));
      mask |= static_cast<std::uint64_t>(hits) << i;
    }
#else
    for (std::size_t i = 0; i < kBlock; ++i) mask |= static_cast<std::uint64_t>(p[i] == ',') << i;
#endif
    return mask;
  }

  std::string_view line_;
  std::size_t block_ = 0;       // offset of the block mask_ covers
  std::size_t next_block_ = 0;  // offset of the block to load next
  std::uint64_t mask_ = 0;      // commas of the block not yet handed out
};

}  // namespace

std::int64_t GetFileLength(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

LineReader::~LineReader() { Close(); }

int OpenDataFile(const std::string& path, LineReader::OpenFailure& failure, std::int64_t& length) {
  failure = LineReader::OpenFailure::kCannotOpen;
  // Without O_NONBLOCK, opening a FIFO waits for a writer for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  const bool known = fstat(fd, &st) == 0;
  if (!known || !S_ISREG(st.st_mode)) {
    if (known && !S_ISDIR(st.st_mode)) failure = LineReader::OpenFailure::kNotRegularFile;
    ::close(fd);
    return -1;
  }
  failure = LineReader::OpenFailure::kNone;
  length = static_cast<std::int64_t>(st.st_size);
  return fd;
}

bool LineReader::Open(const std::string& path) {
  Close();
  fd_ = OpenDataFile(path, failure_, length_);
  if (fd_ < 0) return false;
  buf_.resize(std::max<std::size_t>(buffer_size_, 16));
  bytes_read_ = 0;
  eol_ = HasCrLineEnds() ? '\r' : '\n';
  SetWholeFile();
  return true;
}

// Decided once from the head of the file, so that a search that seeks into the middle of a
// file splits its lines exactly as the index build did. The look at the head is not counted
// in BytesRead: it is the same few bytes for every search.
bool LineReader::HasCrLineEnds() {
  char head[512];
  ssize_t got;
  do {
    got = ::pread(fd_, head, sizeof head, 0);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return false;
  return LineEndByte(std::string_view(head, static_cast<std::size_t>(got))) == '\r';
}

char LineEndByte(std::string_view head) {
  for (std::size_t i = 0; i < head.size(); ++i) {
    if (head[i] == '\n') return '\n';
    if (head[i] == '\r') return i + 1 < head.size() && head[i + 1] != '\n' ? '\r' : '\n';
  }
  return '\n';
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  length_ = 0;
  begin_ = end_ = 0;
  eof_ = true;
}

void LineReader::SetWindow(std::int64_t start, std::int64_t end) {
  begin_ = end_ = 0;
  eof_ = false;
  if (start < 0 || start >= length_ || end <= start) {
    // Nothing to read: also what a stale index pointing past the file gets.
    start = length_;
    end = length_;
    eof_ = true;
  }
  file_pos_ = start;
  line_pos_ = start;
  window_end_ = end;
  hit_ = -1;
  hit_from_ = hit_to_ = start;
}

bool LineReader::Refill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  std::size_t room = buf_.size() - end_;
  if (room == 0) return false;
  std::size_t want = room;
  if (file_pos_ < window_end_) {
    want = std::min<std::size_t>(want, static_cast<std::size_t>(window_end_ - file_pos_));
  } else {
    want = std::min(want, kOvershootChunk);
  }
  ssize_t got;
  do {
    got = ::pread(fd_, buf_.data() + end_, want, static_cast<off_t>(file_pos_));
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  file_pos_ += got;
  bytes_read_ += got;
  return true;
}

bool LineReader::ReadLine(std::string_view& line, std::size_t& consumed) {
  cut_ = false;
  if (line_pos_ >= window_end_) return false;
  std::size_t scanned = 0;  // bytes already known to hold no line end
  std::size_t len = 0;      // of the line without its line end
  for (;;) {
    const char* from = buf_.data() + begin_ + scanned;
    const void* at = std::memchr(from, eol_, end_ - begin_ - scanned);
    if (at != nullptr) {
      len = static_cast<std::size_t>(static_cast<const char*>(at) - (buf_.data() + begin_));
      consumed = len + 1;
      if (eol_ == '\r') {
        // A CR LF is one line end here too; its LF may still be in the file.
        if (begin_ + consumed == end_) Refill();
        if (begin_ + consumed < end_ && buf_[begin_ + consumed] == '\n') ++consumed;
      } else if (len > 0 && buf_[begin_ + len - 1] == '\r') {
        --len;
      }
      break;
    }
    scanned = end_ - begin_;
    if (!Refill()) {
      if (!eof_) {
        // The buffer is full and holds no line end: a line longer than any data line.
        cut_line_.assign(buf_.data() + begin_, end_ - begin_);
        consumed = end_ - begin_;
        begin_ = end_;
        consumed += SkipRestOfLine();
        cut_ = true;
        line = cut_line_;
        line_pos_ += static_cast<std::int64_t>(consumed);
        return true;
      }
      // End of file: a last line without a line end.
      consumed = end_ - begin_;
      if (consumed == 0) return false;
      len = consumed;
      const char* start = buf_.data() + begin_;
      if (eol_ == '\n' && start[len - 1] == '\r') --len;
      break;
    }
  }
  line = std::string_view(buf_.data() + begin_, len);
  begin_ += consumed;
  line_pos_ += static_cast<std::int64_t>(consumed);
  return true;
}

// Passes over the rest of a cut line, its line end included; returns the bytes passed.
std::size_t LineReader::SkipRestOfLine() {
  std::size_t passed = 0;
  for (;;) {
    if (begin_ == end_ && !Refill()) return passed;
    const void* at = std::memchr(buf_.data() + begin_, eol_, end_ - begin_);
    if (at == nullptr) {
      passed += end_ - begin_;
      begin_ = end_;
      continue;
    }
    std::size_t n = static_cast<std::size_t>(static_cast<const char*>(at) - (buf_.data() + begin_)) + 1;
    if (eol_ == '\r') {
      if (begin_ + n == end_) Refill();
      if (begin_ + n < end_ && buf_[begin_ + n] == '\n') ++n;
    }
    begin_ += n;
    return passed + n;
  }
}

bool LineReader::ReadLineHolding(std::string_view needle, std::string_view& line, std::size_t& consumed) {
  std::size_t passed = 0;
  std::size_t one = 0;
  while (ReadLine(line, one)) {
    passed += one;
    std::size_t i = 0;
    while (i < line.size() && IsScanSpace(static_cast<unsigned char>(line[i]))) ++i;
    if (i == line.size()) continue;  // blank
    if (line[i] == ',' || needle.empty()) {
      consumed = passed;
      return true;
    }
    if (cut_) {
      // A cut line is not in the buffer: look at the line alone and forget what was known.
      hit_ = -1;
      hit_from_ = hit_to_ = line_pos_;
      if (memmem(line.data(), line.size(), needle.data(), needle.size()) != nullptr) {
        consumed = passed;
        return true;
      }
      continue;
    }
    const std::int64_t line_start = line_pos_ - static_cast<std::int64_t>(one);
    const bool known = hit_ >= 0 ? hit_from_ <= line_start && line_start <= hit_
                                 : hit_from_ <= line_start && line_pos_ <= hit_to_;
    if (!known) {
      // Everything from this line to the end of the buffer is in memory right now.
      const std::size_t span = static_cast<std::size_t>(file_pos_ - line_start);
      const void* at = memmem(line.data(), span, needle.data(), needle.size());
      hit_from_ = line_start;
      if (at != nullptr) {
        hit_ = line_start + (static_cast<const char*>(at) - line.data());
      } else {
        hit_ = -1;
        // A hit may still start in the last needle-1 bytes, completed by the next read.
        hit_to_ = file_pos_ - static_cast<std::int64_t>(needle.size()) + 1;
      }
    }
    if (hit_ >= 0 && hit_ < line_pos_) {
      consumed = passed;
      return true;
    }
  }
  consumed = passed;
  return false;
}

SplitResult SplitPostLine(std::string_view line, int field_count, PostRecord& record) {
  std::fill_n(record.field.begin(), field_count, std::string_view());
  // The next comma the cursor hands out is always the first one at or after p: white space
  // is never a comma, and every field ends at the comma handed out for it.
  CommaCursor commas(line);
  std::size_t p = 0;
  const std::size_t end = line.size();
  for (int f = 0; f < field_count; ++f) {
    while (p < end && IsScanSpace(static_cast<unsigned char>(line[p]))) ++p;
    if (p == end) return f == 0 ? SplitResult::kBlank : SplitResult::kFields;
    if (line[p] == ',') return f == 0 ? SplitResult::kLeadingComma : SplitResult::kFields;
    const std::size_t stop = commas.Next();
    std::string_view text = line.substr(p, stop - p);
    if (text.size() > kFieldMax) text = text.substr(0, cp932::BoundaryAtOrBefore(text, kFieldMax));
    record.field[static_cast<std::size_t>(f)] = text;
    if (stop == end) break;
    p = stop + 1;
  }
  return SplitResult::kFields;
}

SplitResult SplitTwoFields(std::string_view line, int first, int second, std::string_view& first_text,
                           std::string_view& second_text) {
  // While every field up to `second` begins with a byte that is neither white space nor a
  // comma and is no longer than kFieldMax, the split skips nothing and cuts nothing: the
  // fields are the stretches between commas.
  CommaCursor commas(line);
  std::size_t start = 0;
  for (int f = 1; f <= second; ++f) {
    if (start >= line.size()) break;
    const auto lead = static_cast<unsigned char>(line[start]);
    if (lead <= ' ' || lead == ',') break;
    const std::size_t stop = commas.Next();
    if (stop - start > kFieldMax) break;
    const std::string_view text(line.data() + start, stop - start);
    if (f == first) first_text = text;
    if (f == second) {
      second_text = text;
      return SplitResult::kFields;
    }
    if (stop == line.size()) break;
    start = stop + 1;
  }
  PostRecord record;
  const SplitResult result = SplitPostLine(line, second, record);
  first_text = record[first];
  second_text = record[second];
  return result;
}

std::string_view Unquoted(std::string_view field) {
  if (field.find('"') == std::string_view::npos) return field;
  return CopySubstring(field, 1, static_cast<int>(field.size()) - 2);
}

void UnquoteFields(PostRecord& record, int field_count) {
  for (int f = 0; f < field_count; ++f) {
    std::string_view& text = record.field[static_cast<std::size_t>(f)];
    text = Unquoted(text);
  }
}

std::string_view CopySubstring(std::string_view src, int start, int count) {
  if (count <= 0 || start < 0 || static_cast<std::size_t>(start) >= src.size()) return {};
  return src.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

}  // namespace tovra
