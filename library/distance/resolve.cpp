#include <cstring>

#include "distance/distance.h"
#include "lookup/bounded_text.h"
#include "lookup/key.h"
#include "lookup/lookup.h"
#include "tables/tables.h"

namespace meklan {
namespace {

bool IsCandidateOf(const MKMA& area, const char* key, std::size_t length) {
  // A record without a prefix list names no special zone: its bare code is no candidate.
  if (std::strcmp(area.prefixList, "/*/") == 0) return false;
  for (NumberCandidates c(area); c.Next();) {
    if (c.Length() == length && std::memcmp(c.Text(), key, length) == 0) return true;
  }
  return false;
}

}  // namespace

int FindMaIndexForShortening(const char* text) {
  // Hyphens do not count: FindMaIndex compares numbers without them.
  std::size_t length = 0;
  for (const char* p = text; *p != '\0'; ++p) length += *p != '-';
  if (length > static_cast<std::size_t>(kLongestNumberKey)) return -1;
  return FindMaIndex(text);
}

std::optional<int32_t> ReadLeadingNumber(const char* text) {
  // NumberValue saturates far above 32 bits, so a value out of range is seen as such.
  const long long value = NumberValue(text);
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

int ResolveByShortening(Matcher matcher, const char* text) {
  const std::optional<int32_t> number = ReadLeadingNumber(text);
  if (!number || *number == 0) return -1;
  char work[24] = "0";
  work[1 + FormatDecimal(*number, work + 1)] = '\0';
  // The formatted number is not tried itself: it differs from the caller's text, which
  // the caller tried already, only in leading zeros, blanks or what followed the digits.
  for (std::size_t len = std::strlen(work); len > 2;) {
    work[--len] = '\0';
    const int found = matcher(work);
    if (found != -1) return found;
  }
  return -1;
}

int FindSpecialArea(const char* text) {
  if (text == nullptr) return -1;
  const LookupKey key(text);
  const std::optional<int32_t> number = ReadLeadingNumber(key.digits);
  if (!number || *number == 0) return -1;
  for (int i = 0; i < kSpecialAreaCount; ++i) {
    if (IsCandidateOf(kSpecialAreaTable[i], key.digits, key.digitsLength)) return i;
  }
  return -1;
}

}  // namespace meklan
