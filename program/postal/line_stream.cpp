#include "line_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "post_line.h"

namespace tovra {

LineStream::~LineStream() {
  if (fd_ >= 0) ::close(fd_);
}

bool LineStream::Open(const std::string& path) {
  fd_ = OpenDataFile(path, failure_, length_);
  if (fd_ < 0) return false;
  Refill();
  eol_ = LineEndByte(std::string_view(buf_.data(), std::min<std::size_t>(end_, 512)));
  return true;
}

// Moves what is left to the front (growing the buffer for a line longer than it) and reads on.
bool LineStream::Refill() {
  if (eof_) return false;
  std::memmove(buf_.data(), buf_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
  ssize_t got;
  do {
    got = ::pread(fd_, buf_.data() + end_, buf_.size() - end_, static_cast<off_t>(read_to_));
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  read_to_ += got;
  return true;
}

bool LineStream::Next(std::string_view& text, std::int64_t& start) {
  for (;;) {
    const std::string_view left(buf_.data() + begin_, end_ - begin_);
    if (left.empty() && (eof_ || !Refill())) return false;
    if (left.empty()) continue;
    const LineSpan line = LineAt(left, eol_, 0);
    // A line that reaches the end of the buffer may go on (or its CR LF end be cut) in the file.
    if (line.next == left.size() && !eof_) {
      Refill();
      continue;
    }
    text = left.substr(0, line.text_end);
    start = offset_;
    begin_ += line.next;
    offset_ += static_cast<std::int64_t>(line.next);
    return true;
  }
}

}  // namespace tovra
