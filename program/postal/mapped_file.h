// The bytes of one data file for the length of a search or an index build.
//
// Why a memory map: a search looks at a stretch of a 17 MB file for a few bytes and splits
// only the lines around a hit, so the cost is the byte search itself; reading the file
// through a buffer costs a copy of every byte and several times the time. The risk of a map
// is a file that another program shortens while it is mapped (KEN_ALL.CSV rewritten in place
// during a search): touching the pages past its new end raises SIGBUS, which would end the
// program. So every map is guarded: a bus error inside a guarded map puts zero-filled pages
// over the rest of it, and the data then reads as NUL bytes from the new end to the end of
// the map (the record reader ends where nothing but NULs is left). A bus error anywhere else goes where the program
// had sent it. When no map can be made or guarded (an odd file system, every guard slot
// taken), the file is read whole into memory instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovra {

class PostFileBytes {
 public:
  // Why the last Open failed.
  enum class OpenFailure {
    kNone,
    kCannotOpen,      // missing, not permitted, or a directory (taken for a missing file)
    kNotRegularFile,  // a pipe, device or socket: never read, so it can never hang a search
  };

  PostFileBytes() = default;
  ~PostFileBytes();
  PostFileBytes(const PostFileBytes&) = delete;
  PostFileBytes& operator=(const PostFileBytes&) = delete;

  // Opens the file behind `path` (links followed) if it is a regular file. Every data file the
  // engine reads is opened here.
  bool Open(const std::string& path);
  OpenFailure LastOpenFailure() const { return failure_; }
  std::string_view Bytes() const { return {data_, size_}; }
  // The byte that ends a line (see LineEndByte).
  char LineEnd() const { return eol_; }
  // Asks the system to bring [start, end) in ahead of the scan.
  void Prefetch(std::int64_t start, std::int64_t end) const;

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  void* map_ = nullptr;
  int guard_ = -1;
  std::string copy_;
  char eol_ = '\n';
  OpenFailure failure_ = OpenFailure::kNone;
};

// Opens a data file for reading without ever waiting on a FIFO: the descriptor, or -1 with
// `failure` telling whether the path cannot be opened or is no regular file. `length` is the
// file's size.
int OpenDataFile(const std::string& path, PostFileBytes::OpenFailure& failure, std::int64_t& length);

}  // namespace tovra
