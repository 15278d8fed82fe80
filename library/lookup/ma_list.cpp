// MEKLAN_GetMA: every MA a partly typed number, name or reading can belong to.
#include <algorithm>
#include <cstring>

#include "bounded_text.h"
#include "key.h"
#include "lookup.h"
#include "tables/tables.h"

namespace meklan {
namespace {

bool PassesFilter(const MKMA& r, int prefIndex) {
  if (prefIndex == -1) return true;
  return r.prefNo == prefIndex + 1 || (prefIndex == 0 && r.prefNo > 50);
}

bool ReadingBeginsWith(const MKMA& r, const LookupKey& k) { return BeginsWith(r.maKana, k.text, k.length); }

// How many leading bytes of the hyphen-free key some candidate of the record shares.
std::size_t SharedDigits(const MKMA& r, const LookupKey& k) {
  std::size_t best = 0;
  for (NumberCandidates c(r); c.Next();) {
    std::size_t limit = std::min(c.Length(), k.digitsLength);
    std::size_t n = 0;
    while (n < limit && c.Text()[n] == k.digits[n]) ++n;
    best = std::max(best, n);
    if (n < c.CodeLength()) break;  // the rest share the code, so none of them shares more
  }
  return best;
}

void AddName(BoundedText& list, const MKMA& r) { list.Append({r.maName, "$"}); }

// The number search shortens the hyphen-free key (the probe) from its end, one byte a pass,
// until some record that passes the filter has a candidate beginning with it, and lists
// every such record of that pass. A record whose reading begins with the key is listed in
// every pass instead (without making it successful), which repeats it once per pass.
// Rather than comparing every probe with every candidate, the longest successful probe is
// found in one scan and the passes are then written out.
void ListByNumbersAndReadings(const MaTable& table, BoundedText& list, const LookupKey& k, int prefIndex) {
  // Every candidate begins with the trunk 0: other keys cannot match a number.
  const bool number_key = k.digits[0] == '0';
  std::size_t longest = 0;
  bool any_reading = false;
  for (int i = 0; i < table.count; ++i) {
    const MKMA& r = table.records[i];
    if (!PassesFilter(r, prefIndex)) continue;
    if (ReadingBeginsWith(r, k)) {
      any_reading = true;
    } else if (number_key) {
      longest = std::max(longest, SharedDigits(r, k));
    }
  }
  if (longest < 2) longest = 0;  // a probe is at least two bytes
  std::size_t failed_passes = longest != 0 ? k.digitsLength - longest : k.digitsLength - 1;
  for (std::size_t pass = 0; any_reading && pass < failed_passes; ++pass) {
    for (int i = 0; i < table.count; ++i) {
      const MKMA& r = table.records[i];
      if (PassesFilter(r, prefIndex) && ReadingBeginsWith(r, k)) AddName(list, r);
    }
  }
  if (longest == 0) return;
  for (int i = 0; i < table.count; ++i) {
    const MKMA& r = table.records[i];
    if (!PassesFilter(r, prefIndex)) continue;
    if (ReadingBeginsWith(r, k) || SharedDigits(r, k) >= longest) AddName(list, r);
  }
}

}  // namespace

void ListMas(const MaTable& table, const char* key, int prefIndex, BoundedText& list) {
  if (key == nullptr) return;
  LookupKey k(key);
  if (std::strcmp(k.text, "0") == 0) {  // the request for every MA
    for (int i = 0; i < table.count; ++i) {
      if (PassesFilter(table.records[i], prefIndex)) AddName(list, table.records[i]);
    }
    return;
  }
  for (int i = 0; i < table.count; ++i) {
    const MKMA& r = table.records[i];
    if (BeginsWith(r.maName, k.text, k.length) && PassesFilter(r, prefIndex)) AddName(list, r);
  }
  if (k.digitsLength >= 2) ListByNumbersAndReadings(table, list, k, prefIndex);
}

}  // namespace meklan

using namespace meklan;

extern "C" int MEKLAN_CALL MEKLAN_GetMA(const char* key, char* out, int prefIndex) {
  if (out == nullptr) return 1;
  BoundedText list(out, MEKLAN_MALIST_SIZE);
  ListMas(Table2003(), key, prefIndex, list);
  return 1;
}
