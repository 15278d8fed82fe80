// A lookup key as the lookups read it: the caller's text cut at MEKLAN_KEY_MAX bytes, and
// its hyphen-free form for every comparison with numbers.
#pragma once

#include <cstddef>

#include "meklan.h"

namespace meklan {

struct LookupKey {
  explicit LookupKey(const char* key);

  char text[MEKLAN_KEY_MAX + 1];    // as passed (names and readings compare with this)
  std::size_t length;
  char digits[MEKLAN_KEY_MAX + 1];  // hyphens removed wherever they stood
  std::size_t digitsLength;
};

// The value of the leading decimal digits the way atol reads them (leading blanks and a
// sign allowed, 0 when there are no digits), but saturating instead of overflowing.
long long NumberValue(const char* text);

}  // namespace meklan
