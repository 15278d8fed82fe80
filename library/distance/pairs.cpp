#include <cstring>

#include "distance/distance.h"
#include "tables/tables.h"

namespace meklan {
namespace {

// A row field is NUL-padded but is read no further than its 11 bytes.
bool FieldEquals(const char (&field)[11], const char* text) {
  if (field[0] != text[0]) return false;  // settles almost every row of a scan
  const std::size_t n = strnlen(field, sizeof field);
  return std::strncmp(field, text, n) == 0 && text[n] == '\0';
}

bool RowJoins(const MKPAIR& row, const char* a, const char* b) {
  return (FieldEquals(row.nameA, a) && FieldEquals(row.nameB, b)) ||
         (FieldEquals(row.nameA, b) && FieldEquals(row.nameB, a));
}

int TableHasPair(const MKPAIR* rows, int count, const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 0;
  for (int i = 0; i < count; ++i) {
    if (RowJoins(rows[i], a, b)) return 1;
  }
  return 0;
}

}  // namespace

bool PairPartner(const MKPAIR& row, const char* name, char (&partner)[sizeof(MKPAIR::nameA) + 1]) {
  const char* other = nullptr;
  if (FieldEquals(row.nameA, name)) {
    other = row.nameB;
  } else if (FieldEquals(row.nameB, name)) {
    other = row.nameA;
  } else {
    return false;
  }
  const std::size_t n = strnlen(other, sizeof row.nameA);
  std::memcpy(partner, other, n);
  partner[n] = '\0';
  return true;
}

int IsAdjacentPair(const char* a, const char* b) {
  return TableHasPair(kAdjacentPairs, kAdjacentPairCount, a, b);
}

int IsNearException(const char* a, const char* b) {
  return TableHasPair(kNearExceptions, kNearExceptionCount, a, b);
}

int IsIslandPair(const char* a, const char* b) {
  return TableHasPair(kIslandPairs, kIslandPairCount, a, b);
}

}  // namespace meklan
