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

// Length of the longest text that FindMaIndex can match with a text beginning with "0":
// "0" + area code, a prefix candidate, or a name or reading that begins with "0".
std::size_t LongestNumberKey() {
  std::size_t longest = 0;
  auto consider = [&longest](std::size_t length) { longest = length > longest ? length : longest; };
  for (int i = 0; i < kMaCount; ++i) {
    const MKMA& r = kMaTable[i];
    if (r.maName[0] == '0') consider(std::strlen(r.maName));
    if (r.maKana[0] == '0') consider(std::strlen(r.maKana));
    for (NumberCandidates c(r); c.Next();) consider(c.Length());
    char code[24];
    consider(1 + FormatDecimal(r.areaCode, code));
  }
  return longest;
}

}  // namespace

int FindMaIndexForShortening(const char* text) {
  // Hyphens do not count: FindMaIndex compares numbers without them.
  std::size_t length = 0;
  for (const char* p = text; *p != '\0'; ++p) length += *p != '-';
  static const std::size_t longest = LongestNumberKey();
  if (length > longest) return -1;
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
