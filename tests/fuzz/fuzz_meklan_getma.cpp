// MEKLAN_GetMA with any key and any prefecture filter: the list stays inside its 4,096 bytes
// and is always a run of "name$" entries.
#include <cstring>

#include "fuzz_key.h"
#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int prefIndex = -1;
  if (size > 0) {
    prefIndex = static_cast<int>(data[0]) - 2;  // -2..253: valid, Hokkaido and nonsense filters
    ++data;
    --size;
  }
  FuzzKey key(data, size);
  FuzzOut out(MEKLAN_MALIST_SIZE);
  if (MEKLAN_GetMA(key.c_str(), out.get(), prefIndex) != 1) __builtin_trap();
  std::size_t len = strnlen(out.get(), MEKLAN_MALIST_SIZE);
  if (len == MEKLAN_MALIST_SIZE) __builtin_trap();               // no terminator inside
  if (len != 0 && out.get()[len - 1] != '$') __builtin_trap();   // ends after a whole name
  return 0;
}
