// MEKLAN_EditionJoin and MEKLAN_EditionGetMA with any code, town and street, in either
// edition: every field of the result stays within its record and names real MA records, and
// a list cut to a caller's buffer stays inside it and reports the size the whole list needs.
#include <cstring>

#include "fuzz_key.h"
#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int edition = data[0] & 1;
  const int small = 1 + data[1] % 64;  // the caller's buffer for the list
  data += 2;
  size -= 2;
  // Code, town and street are separated by the first two bytes 0x0A.
  const auto* end = data + size;
  const auto* first = static_cast<const std::uint8_t*>(std::memchr(data, '\n', size));
  const auto* second = first != nullptr ? static_cast<const std::uint8_t*>(std::memchr(first + 1, '\n', end - first - 1)) : nullptr;
  FuzzKey code(data, first != nullptr ? first - data : size);
  FuzzKey town(first != nullptr ? first + 1 : end, first == nullptr ? 0 : (second != nullptr ? second : end) - first - 1);
  FuzzKey street(second != nullptr ? second + 1 : end, second != nullptr ? end - second - 1 : 0);

  MKJOIN join;
  const int count = MEKLAN_EditionJoin(edition, code.c_str(), town.c_str(), second != nullptr ? street.c_str() : nullptr, &join);
  if (count != join.count || count < 0 || count > MEKLAN_JOIN_MAX) __builtin_trap();
  if (join.how < MEKLAN_JOIN_NONE || join.how > MEKLAN_JOIN_CATCH_ALL) __builtin_trap();
  if ((count == 0) != (join.how == MEKLAN_JOIN_NONE)) __builtin_trap();
  for (int i = 0; i < count; ++i) {
    if (join.maIndex[i] < 0 || join.maIndex[i] >= MEKLAN_EditionGetNumOfMKMA(edition)) __builtin_trap();
  }
  if (strnlen(join.maNames, sizeof join.maNames) == sizeof join.maNames) __builtin_trap();
  if (strnlen(join.areaCodes, sizeof join.areaCodes) == sizeof join.areaCodes) __builtin_trap();

  FuzzOut out(static_cast<std::size_t>(small));
  const int needed = MEKLAN_EditionGetMA(edition, town.c_str(), -1, out.get(), small);
  const std::size_t written = strnlen(out.get(), static_cast<std::size_t>(small));
  if (needed < 1 || needed > MEKLAN_MALIST_SIZE || written == static_cast<std::size_t>(small)) __builtin_trap();
  if (needed <= small && written + 1 != static_cast<std::size_t>(needed)) __builtin_trap();
  return 0;
}
