// The library's built-in tables, generated at build time from the TSV files beside this
// header. Constant arrays in table order; nothing is built, sorted or allocated at load time.
#pragma once

#include "meklan.h"

namespace meklan {

// A row of a pair table: two MA names, CP932, NUL-padded to 11 bytes.
struct MKPAIR {
  char nameA[11];
  char nameB[11];
};
static_assert(sizeof(MKPAIR) == 22, "pair rows are 22 bytes with no gap");

constexpr int kPrefectureCount = 47;
constexpr int kSpecialAreaCount = 4;

extern const MKMA kMaTable[];                  // the MA table, table order
extern const int kMaCount;
extern const int kLongestNumberKey;            // longest "0..." text a look-up can match
extern const MKMA kSpecialAreaTable[];         // 山口特例, 小郡特例, 福山特例, 尾道松永特例
extern const char* const kSpecialAreaBaseMa[]; // the MA standing for each special area
extern const char* const kPrefectureTable[];   // prefNo n is entry n - 1
extern const char* const kPrefectureByJisCode[];  // the same names, national code n is entry n - 1
extern const MKADDRESS kAddressTable[];        // by dantaiCode
extern const int kAddressCount;

extern const MKPAIR kAdjacentPairs[];          // adjacent although over 20 km
extern const int kAdjacentPairCount;
extern const MKPAIR kNearExceptions[];         // within 20 km, yet not adjacent
extern const int kNearExceptionCount;
extern const MKPAIR kIslandPairs[];            // the remote-island rule
extern const int kIslandPairCount;

}  // namespace meklan
