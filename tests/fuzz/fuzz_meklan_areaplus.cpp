// MEKLAN_GetAreaPlus with any key: a miss leaves the buffer untouched, a hit stays inside the
// documented buffer size with CRLF-ended lines.
#include <cstring>

#include "fuzz_key.h"
#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzKey key(data, size);
  FuzzOut out(MEKLAN_AREAPLUS_SIZE);
  int r = MEKLAN_GetAreaPlus(key.c_str(), out.get());
  if (r == 0) {
    for (int i = 0; i < MEKLAN_AREAPLUS_SIZE; ++i)
      if (out.get()[i] != 'x') __builtin_trap();
    return 0;
  }
  std::size_t len = strnlen(out.get(), MEKLAN_AREAPLUS_SIZE);
  if (r != 1 || len == MEKLAN_AREAPLUS_SIZE) __builtin_trap();
  if (len < 2 || std::memcmp(out.get() + len - 2, "\r\n", 2) != 0) __builtin_trap();
  return 0;
}
