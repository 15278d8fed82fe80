// A data file read line by line through a buffer, for the index build, which reads every byte
// once: copying through a small buffer that stays in the cache costs less than setting up and
// tearing down the pages of a map of the whole file. Lines are split by the same rule
// (LineAt) as in a map.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapped_file.h"

namespace tovra {

class LineStream {
 public:
  LineStream() = default;
  ~LineStream();
  LineStream(const LineStream&) = delete;
  LineStream& operator=(const LineStream&) = delete;

  bool Open(const std::string& path);
  PostFileBytes::OpenFailure LastOpenFailure() const { return failure_; }
  std::int64_t Length() const { return length_; }

  // The next line's text (without its line end) and the offset of its first byte; false at
  // the end of the file.
  bool Next(std::string_view& text, std::int64_t& start);
  // The offset just after the last line handed out (its line end included).
  std::int64_t Position() const { return offset_; }

 private:
  bool Refill();

  int fd_ = -1;
  PostFileBytes::OpenFailure failure_ = PostFileBytes::OpenFailure::kNone;
  std::int64_t length_ = 0;
  char eol_ = '\n';
  std::vector<char> buf_ = std::vector<char>(256 * 1024);
  std::size_t begin_ = 0, end_ = 0;  // the bytes of buf_ not handed out yet
  std::int64_t offset_ = 0;          // file offset of buf_[begin_]
  std::int64_t read_to_ = 0;         // file offset of buf_[end_]
  bool eof_ = false;
};

}  // namespace tovra
