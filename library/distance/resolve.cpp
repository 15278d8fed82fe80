#include <cstdio>
#include <cstring>

#include "distance/distance.h"
#include "tables/tables.h"

namespace meklan {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Copies text without its hyphens, reading no more than the keys are allowed to be.
void CopyWithoutHyphens(const char* text, char (&out)[MEKLAN_KEY_MAX + 1]) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < MEKLAN_KEY_MAX && text[i] != '\0'; ++i) {
    if (text[i] != '-') out[n++] = text[i];
  }
  out[n] = '\0';
}

// True when key is "0" + areaCode followed by exactly one entry of the record's prefix list.
bool IsPrefixCandidate(const MKMA& area, const char* key) {
  char code[16];
  const int codeLen = std::snprintf(code, sizeof code, "0%d", static_cast<int>(area.areaCode));
  if (codeLen <= 0 || std::strncmp(key, code, static_cast<std::size_t>(codeLen)) != 0) return false;
  const char* rest = key + codeLen;
  const std::size_t restLen = std::strlen(rest);

  const char* p = area.prefixList;
  if (*p == '/') ++p;
  if (*p == '*') return false;
  while (*p != '\0') {
    const char* end = std::strchr(p, '/');
    if (end == nullptr) end = p + std::strlen(p);
    const std::size_t runLen = static_cast<std::size_t>(end - p);
    if (runLen > 0 && runLen == restLen && std::memcmp(p, rest, runLen) == 0) return true;
    if (*end == '\0') break;
    p = end + 1;
  }
  return false;
}

}  // namespace

std::optional<int32_t> ReadLeadingNumber(const char* text) {
  const char* p = text;
  while (IsSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  // The magnitude is bounded as it grows, so even a long run of digits cannot overflow.
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t value = 0;
  for (; IsDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int ResolveByShortening(Matcher matcher, const char* text) {
  const std::optional<int32_t> number = ReadLeadingNumber(text);
  if (!number || *number == 0) return -1;
  char work[16];  // "0" and at most a sign and ten digits
  std::snprintf(work, sizeof work, "0%ld", static_cast<long>(*number));
  // The formatted number itself was already tried as the caller's text.
  for (std::size_t len = std::strlen(work); len > 2;) {
    work[--len] = '\0';
    const int found = matcher(work);
    if (found != -1) return found;
  }
  return -1;
}

int FindSpecialArea(const char* text) {
  if (text == nullptr) return -1;
  char key[MEKLAN_KEY_MAX + 1];
  CopyWithoutHyphens(text, key);
  const std::optional<int32_t> number = ReadLeadingNumber(key);
  if (!number || *number == 0) return -1;
  for (int i = 0; i < kSpecialAreaCount; ++i) {
    if (IsPrefixCandidate(kSpecialAreaTable[i], key)) return i;
  }
  return -1;
}

}  // namespace meklan
