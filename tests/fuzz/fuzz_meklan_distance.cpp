// MEKLAN_GetDistance with any bytes in both 32-byte name fields, terminated or not: a miss
// leaves the record as it was, a hit fills terminated texts and plausible numbers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "meklan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MKDISTANCE rec;
  std::memset(&rec, 0x5A, sizeof rec);
  std::size_t from = size < 32 ? size : 32;
  std::memcpy(rec.fromName, data, from);
  std::size_t to = size - from < 32 ? size - from : 32;
  std::memcpy(rec.toName, data + from, to);
  MKDISTANCE before = rec;
  int r = MEKLAN_GetDistance(&rec);
  if (r == 0) {
    if (std::memcmp(&before, &rec, sizeof rec) != 0) __builtin_trap();
    return 0;
  }
  if (r != 1) __builtin_trap();
  if (strnlen(rec.fromName, sizeof rec.fromName) == sizeof rec.fromName) __builtin_trap();
  if (strnlen(rec.toName, sizeof rec.toName) == sizeof rec.toName) __builtin_trap();
  if (strnlen(rec.fromAreaCode, sizeof rec.fromAreaCode) == sizeof rec.fromAreaCode) __builtin_trap();
  if (strnlen(rec.toPrefName, sizeof rec.toPrefName) == sizeof rec.toPrefName) __builtin_trap();
  if (rec.kind != 0 && rec.kind != 1 && rec.kind != 2 && rec.kind != 4) __builtin_trap();
  if (rec.distance < 0 || rec.chargeDistance < 0 || rec.chargeDistance > rec.distance) __builtin_trap();
  if (rec.nttNo < 0 || rec.nttNo > 2) __builtin_trap();
  return 0;
}
