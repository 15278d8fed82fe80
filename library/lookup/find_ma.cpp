// Resolving one key to one MA record, and the number candidates both searches compare with.
#include <cctype>
#include <cstdint>
#include <cstring>

#include "bounded_text.h"
#include "key.h"
#include "lookup.h"
#include "tables/tables.h"

namespace meklan {

std::size_t FormatDecimal(long long value, char* out) {
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                   : static_cast<unsigned long long>(value);
  // Area codes fit 32 bits, whose division is cheaper: with the 64-bit loop alone,
  // build/bench/meklan_lookup_bench measured MEKLAN_GetMA on numbers at 18.7 instead of 16.5 us.
  if (v <= 0xFFFFFFFFULL) {
    auto w = static_cast<std::uint32_t>(v);
    do {
      *--p = static_cast<char>('0' + w % 10);
      w /= 10;
    } while (w != 0);
  } else {
    do {
      *--p = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
  }
  if (value < 0) *--p = '-';
  const auto length = static_cast<std::size_t>(end - p);
  std::memcpy(out, p, length);
  return length;
}

bool BoundedText::AppendNumber(long long value) {
  char digits[24];
  return Append(std::string_view(digits, FormatDecimal(value, digits)));
}

LookupKey::LookupKey(const char* key) : length(0), digitsLength(0) {
  if (key != nullptr) length = strnlen(key, MEKLAN_KEY_MAX);
  if (length > 0) std::memcpy(text, key, length);
  text[length] = '\0';
  // A CP932 trail byte is never 0x2D, so dropping hyphens cannot split a character.
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] != '-') digits[digitsLength++] = text[i];
  }
  digits[digitsLength] = '\0';
}

long long NumberValue(const char* text) {
  const long long kCeiling = 1000000000000000LL;  // far above any area code; no overflow
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value < kCeiling) value = value * 10 + (*p - '0');
  }
  return negative ? -value : value;
}

NumberCandidates::NumberCandidates(const MKMA& record)
    : next_(record.prefixList != nullptr ? record.prefixList : "/*/"),
      whole_code_(next_[0] == '/' && next_[1] == '*' && next_[2] == '/' && next_[3] == '\0') {
  text_[0] = '0';
  code_length_ = 1 + FormatDecimal(record.areaCode, text_ + 1);
  text_[code_length_] = '\0';
}

bool NumberCandidates::Next() {
  if (next_ == nullptr) return false;
  if (whole_code_) {
    length_ = code_length_;
    next_ = nullptr;
    return true;
  }
  // next_ stands on the "/" that opens the list or closes the previous entry.
  const char* p = *next_ != '\0' ? next_ + 1 : next_;
  if (*p == '\0') {
    next_ = nullptr;
    return false;
  }
  std::size_t n = code_length_;
  for (; *p != '\0' && *p != '/'; ++p) {
    if (n + 1 < kCapacity) text_[n++] = *p;
  }
  text_[n] = '\0';
  length_ = n;
  next_ = *p == '/' ? p : nullptr;
  return true;
}

namespace {

bool HasPrefixList(const MKMA& record) { return std::strcmp(record.prefixList, "/*/") != 0; }

bool IsCandidateOf(const MKMA& record, const char* text, std::size_t length) {
  for (NumberCandidates c(record); c.Next();) {
    if (length < c.CodeLength() || std::memcmp(c.Text(), text, c.CodeLength()) != 0) return false;
    if (c.Length() == length && std::memcmp(c.Text(), text, length) == 0) return true;
  }
  return false;
}

}  // namespace

MaTable Table2003() { return {kMaTable, kMaCount}; }

int FindMaIndex(const char* key) { return FindMaIndex(Table2003(), key); }

int FindMaIndex(const MaTable& table, const char* key) {
  if (key == nullptr) return -1;
  LookupKey k(key);
  long long value = NumberValue(k.digits);
  // A candidate match is kept only until a later record matches by name, reading or area
  // code: the scan goes by record, so area codes win over prefixes of earlier records.
  int remembered = -1;
  for (int i = 0; i < table.count; ++i) {
    const MKMA& r = table.records[i];
    if (SameText(k.text, r.maName) || SameText(k.text, r.maKana)) return i;
    if (value == 0) continue;
    if (value == r.areaCode) return i;
    if (HasPrefixList(r) && IsCandidateOf(r, k.digits, k.digitsLength)) remembered = i;
  }
  return remembered;
}

}  // namespace meklan
