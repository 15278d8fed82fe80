// Shared by the fuzz targets: the fuzzer's bytes as a NUL-terminated key of any length, in a
// heap block of exactly that size so that the sanitizer sees any read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

struct FuzzKey {
  FuzzKey(const std::uint8_t* data, std::size_t size) : bytes(new char[size + 1]) {
    if (size != 0) std::memcpy(bytes.get(), data, size);
    bytes[size] = '\0';
  }
  const char* c_str() const { return bytes.get(); }
  std::unique_ptr<char[]> bytes;
};

// An output block of exactly `size` bytes, so that a write past the documented size is caught.
struct FuzzOut {
  explicit FuzzOut(std::size_t size) : bytes(new char[size]) { std::memset(bytes.get(), 'x', size); }
  char* get() { return bytes.get(); }
  std::unique_ptr<char[]> bytes;
};
