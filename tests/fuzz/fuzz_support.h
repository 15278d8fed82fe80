// Shared by the postal fuzz targets: a scratch directory for data files, and a screen that
// checks what the searches hand it instead of showing it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "search_view.h"

namespace fuzz {

inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    // tmpfs when there is one: the settings save syncs its file, which is slow on a disk.
    char tmpl[] = "/dev/shm/tovra-fuzz-XXXXXX";
    char fallback[] = "/tmp/tovra-fuzz-XXXXXX";
    const char* d = mkdtemp(tmpl);
    if (d == nullptr) d = mkdtemp(fallback);
    if (d == nullptr) std::abort();
    return std::string(d) + "/";
  }();
  return dir;
}

inline std::string WriteScratch(const std::string& name, std::string_view bytes) {
  std::string path = ScratchDir() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
  return path;
}

// Takes one byte from the front of the input (0 when it is used up).
inline unsigned TakeByte(const std::uint8_t*& data, std::size_t& size) {
  if (size == 0) return 0;
  unsigned b = *data;
  ++data;
  --size;
  return b;
}

// Takes a text up to the first NUL (consumed) or the end.
inline std::string TakeText(const std::uint8_t*& data, std::size_t& size) {
  std::size_t n = 0;
  while (n < size && data[n] != 0) ++n;
  std::string text(reinterpret_cast<const char*>(data), n);
  std::size_t used = n < size ? n + 1 : n;
  data += used;
  size -= used;
  return text;
}

// A screen that keeps nothing but checks the shape of what it is given.
class CheckingView : public tovra::SearchView {
 public:
  int rows = 0;

  void AddRow(tovra::ResultRow row) override {
    for (const std::string& c : row.columns)
      if (c.size() > 4096) std::abort();  // a column never grows without bound
    ++rows;
  }
  void SetProgressRange(int low, int high) override { if (low > high) std::abort(); }
  void AddCity(const std::string& city) override { if (city.size() > 255) std::abort(); }
};

}  // namespace fuzz
