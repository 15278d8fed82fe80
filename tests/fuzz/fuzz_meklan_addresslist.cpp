// MEKLAN_GetAddressAreaList with any prefecture and city texts (or none): the count matches
// the records handed back, each of which matches the request, and the block goes back freely.
#include <cstring>

#include "fuzz_key.h"
#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Layout: one flag byte (bit 0: no city, bit 1: no prefecture), then pref NUL city.
  unsigned flags = size > 0 ? data[0] : 0;
  if (size > 0) { ++data; --size; }
  const std::uint8_t* sep = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  std::size_t pref_len = sep ? static_cast<std::size_t>(sep - data) : size;
  FuzzKey pref(data, pref_len);
  std::size_t rest = sep ? size - pref_len - 1 : 0;
  FuzzKey city(sep ? sep + 1 : data, rest);
  const char* pref_arg = (flags & 2) ? nullptr : pref.c_str();
  const char* city_arg = (flags & 1) ? nullptr : city.c_str();

  MKADDRESS* list = reinterpret_cast<MKADDRESS*>(0x1);
  int n = MEKLAN_GetAddressAreaList(pref_arg, city_arg, 0, &list);
  if (n < 0) __builtin_trap();  // memory does not run out here
  if (n == 0 && list != nullptr) __builtin_trap();
  for (int i = 0; i < n; ++i) {
    if (std::strcmp(list[i].prefName, pref_arg) != 0) __builtin_trap();
    if (city_arg && std::strcmp(list[i].cityName, city_arg) != 0) __builtin_trap();
  }
  MEKLAN_MemFree(list);
  return 0;
}
