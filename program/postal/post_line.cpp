#include "post_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cp932.h"

namespace tovra {
namespace {

// Large enough that a national file is read in a few dozen system calls.
constexpr std::size_t kBufferSize = 256 * 1024;
// How far past the window's end a crossing line is followed per read.
constexpr std::size_t kOvershootChunk = 256;

bool IsScanSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::int64_t GetFileLength(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat st {};
  if (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    Close();
    return false;
  }
  length_ = static_cast<std::int64_t>(st.st_size);
  buf_.resize(kBufferSize);
  bytes_read_ = 0;
  SetWholeFile();
  return true;
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
  if (line_pos_ >= window_end_) return false;
  std::size_t scanned = 0;  // bytes already known to hold no LF
  for (;;) {
    const char* from = buf_.data() + begin_ + scanned;
    const void* nl = std::memchr(from, '\n', end_ - begin_ - scanned);
    if (nl != nullptr) {
      std::size_t len = static_cast<std::size_t>(static_cast<const char*>(nl) - (buf_.data() + begin_));
      consumed = len + 1;
      break;
    }
    scanned = end_ - begin_;
    if (!Refill()) {
      // End of file (a last line without LF) or a line longer than the buffer: hand out what
      // there is as one line.
      consumed = end_ - begin_;
      if (consumed == 0) return false;
      break;
    }
  }
  std::size_t len = consumed;
  const char* start = buf_.data() + begin_;
  if (len > 0 && start[len - 1] == '\n') --len;
  if (len > 0 && start[len - 1] == '\r') --len;
  line = std::string_view(start, len);
  begin_ += consumed;
  line_pos_ += static_cast<std::int64_t>(consumed);
  return true;
}

SplitResult SplitPostLine(std::string_view line, int field_count, PostRecord& record) {
  record.field.fill(std::string_view());
  std::size_t i = 0;
  const std::size_t n = line.size();
  for (int f = 0; f < field_count; ++f) {
    while (i < n && IsScanSpace(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= n) return f == 0 ? SplitResult::kBlank : SplitResult::kFields;
    if (line[i] == ',') return f == 0 ? SplitResult::kLeadingComma : SplitResult::kFields;
    const char* comma = static_cast<const char*>(std::memchr(line.data() + i, ',', n - i));
    std::size_t stop = comma != nullptr ? static_cast<std::size_t>(comma - line.data()) : n;
    std::string_view text = line.substr(i, stop - i);
    if (text.size() > kFieldMax) text = text.substr(0, cp932::BoundaryAtOrBefore(text, kFieldMax));
    record.field[static_cast<std::size_t>(f)] = text;
    if (comma == nullptr) break;
    i = stop + 1;
  }
  return SplitResult::kFields;
}

void UnquoteFields(PostRecord& record, int field_count) {
  for (int f = 0; f < field_count; ++f) {
    std::string_view& text = record.field[static_cast<std::size_t>(f)];
    if (text.find('"') == std::string_view::npos) continue;
    text = CopySubstring(text, 1, static_cast<int>(text.size()) - 2);
  }
}

std::string_view CopySubstring(std::string_view src, int start, int count) {
  if (count <= 0 || start < 0 || static_cast<std::size_t>(start) >= src.size()) return {};
  return src.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

}  // namespace tovra
