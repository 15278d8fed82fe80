// MEKLAN_GetAreaCode with any key and branch: a miss leaves the buffer untouched, a hit
// writes a terminated text inside 256 bytes.
#include <cstring>

#include "fuzz_key.h"
#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int branch = -1;
  if (size > 0) {
    branch = static_cast<int>(data[0] % 10) - 1;  // -1..8
    ++data;
    --size;
  }
  FuzzKey key(data, size);
  FuzzOut out(MEKLAN_AREACODE_SIZE);
  int r = MEKLAN_GetAreaCode(key.c_str(), out.get(), branch);
  if (r == 0) {
    for (int i = 0; i < MEKLAN_AREACODE_SIZE; ++i)
      if (out.get()[i] != 'x') __builtin_trap();
  } else if (r != 1 || strnlen(out.get(), MEKLAN_AREACODE_SIZE) == MEKLAN_AREACODE_SIZE) {
    __builtin_trap();
  }
  return 0;
}
