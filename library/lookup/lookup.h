// Lookups inside the library shared by the lookup, distance and area-plus code.
#pragma once

#include <cstddef>

#include "meklan.h"

namespace meklan {

class BoundedText;

// The MA records a lookup scans: the 2003 table of the sixteen exports, or an edition's.
struct MaTable {
  const MKMA* records;
  int count;
};
// The table the sixteen exports answer from.
MaTable Table2003();

// Index (0..kMaCount-1) of the one MA record a name, reading, area code or area code with
// one prefix names; -1 when nothing matches. The key is read up to MEKLAN_KEY_MAX bytes.
int FindMaIndex(const char* key);
int FindMaIndex(const MaTable& table, const char* key);

// The MEKLAN_GetMA list of `table` ("名前$名前$") into `list`.
void ListMas(const MaTable& table, const char* key, int prefIndex, BoundedText& list);

// The MEKLAN_GetAreaCode text of `table` into `text`; false when the key names no MA.
bool WriteAreaCodes(const MaTable& table, const char* key, int branch, BoundedText& text);

// Range text of a prefix list other than "/*/": "/1/2/3/4/5/6/9/" -> "1～6,9".
// The result lives in a per-thread buffer, valid until this thread's next call.
const char* FormatPrefixRanges(const char* prefixList);

// The number candidates of an MA or special-area record, in list order: "0" + areaCode for
// a record whose list is "/*/", otherwise "0" + areaCode + entry for every list entry
// (厚岸, 0153, "/1/5/6/" -> 01531, 01535, 01536).
//
//   for (NumberCandidates c(record); c.Next();) use(c.Text(), c.Length());
class NumberCandidates {
 public:
  explicit NumberCandidates(const MKMA& record);
  // Moves to the next candidate; false when there is none left.
  bool Next();
  const char* Text() const { return text_; }
  std::size_t Length() const { return length_; }
  // Every candidate of the record begins with the same "0" + areaCode of this length, so a
  // text that differs from one candidate there differs from all of them.
  std::size_t CodeLength() const { return code_length_; }

 private:
  // "0" + a 32-bit code + an entry fits; longer entries are cut (the tables have none).
  static constexpr std::size_t kCapacity = 32;
  char text_[kCapacity];
  std::size_t code_length_;  // length of "0" + areaCode
  std::size_t length_ = 0;
  const char* next_;         // next list entry, or nullptr when the candidates are done
  bool whole_code_;          // "/*/": the code alone is the one candidate
};

}  // namespace meklan
