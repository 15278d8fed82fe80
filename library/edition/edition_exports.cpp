// The exports that name their edition: the same lookups as the sixteen exports, over the
// 2003 tables or the current edition, and the join of postal rows with MAs. No state: the
// edition is an argument of every call.
#include <cstring>

#include "join.h"
#include "lookup/bounded_text.h"
#include "lookup/lookup.h"
#include "tables/edition_tables.h"

namespace meklan {
namespace {

const Edition* EditionOf(int edition) {
  switch (edition) {
    case MEKLAN_EDITION_2003:
      return &kEdition2003;
    case MEKLAN_EDITION_CURRENT:
      return &kEditionCurrent;
    default:
      return nullptr;
  }
}

MaTable TableOf(const Edition& e) { return {e.ma, e.maCount}; }

// A table or count of the edition; `none` for an edition that does not exist.
template <typename T>
T FieldOf(int edition, T Edition::*field, T none) {
  const Edition* e = EditionOf(edition);
  return e != nullptr ? e->*field : none;
}

// Writes a text built by `build(BoundedText&)` into out[size]: whole pieces only, and
// returns the bytes the whole text needs (NUL included).
template <typename Build>
int WriteSized(char* out, int size, std::size_t work_size, Build build) {
  char work[MEKLAN_MALIST_SIZE];
  BoundedText whole(work, work_size < sizeof work ? work_size : sizeof work);
  build(whole);
  if (out != nullptr && size > 0) {
    BoundedText part(out, static_cast<std::size_t>(size));
    build(part);
  }
  return static_cast<int>(whole.Length()) + 1;
}

}  // namespace
}  // namespace meklan

using namespace meklan;

extern "C" {

int MEKLAN_CALL MEKLAN_EditionGetDayData(int edition, char* out) {
  const Edition* e = EditionOf(edition);
  if (e == nullptr || out == nullptr) return 0;
  std::memcpy(out, e->dataDate, std::strlen(e->dataDate) + 1);
  return 1;
}

int MEKLAN_CALL MEKLAN_EditionGetNumOfMKMA(int edition) { return FieldOf(edition, &Edition::maCount, 0); }

const MKMA* MEKLAN_CALL MEKLAN_EditionGetMKMA(int edition) {
  return FieldOf<const MKMA*>(edition, &Edition::ma, nullptr);
}

int MEKLAN_CALL MEKLAN_EditionGetNumOfAddress(int edition) { return FieldOf(edition, &Edition::addressCount, 0); }

const MKADDRESS* MEKLAN_CALL MEKLAN_EditionGetAddress(int edition) {
  return FieldOf<const MKADDRESS*>(edition, &Edition::address, nullptr);
}

int MEKLAN_CALL MEKLAN_EditionGetMA(int edition, const char* key, int prefIndex, char* out, int size) {
  const Edition* e = EditionOf(edition);
  if (e == nullptr) return 0;
  return WriteSized(out, size, MEKLAN_MALIST_SIZE,
                    [&](BoundedText& text) { ListMas(TableOf(*e), key, prefIndex, text); });
}

int MEKLAN_CALL MEKLAN_EditionGetAreaCode(int edition, const char* key, int branch, char* out, int size) {
  const Edition* e = EditionOf(edition);
  if (e == nullptr || FindMaIndex(TableOf(*e), key) < 0) return 0;
  return WriteSized(out, size, MEKLAN_AREACODE_SIZE,
                    [&](BoundedText& text) { WriteAreaCodes(TableOf(*e), key, branch, text); });
}

int MEKLAN_CALL MEKLAN_EditionJoin(int edition, const char* dantaiCode, const char* town, const char* street,
                       MKJOIN* result) {
  const Edition* e = EditionOf(edition);
  if (e == nullptr || result == nullptr) return -1;
  JoinTown(*e, dantaiCode, town, street, *result);
  return result->count;
}

}  // extern "C"
