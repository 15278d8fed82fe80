// The exports without search logic: versions, table access, the address query by
// prefecture and city, and the carrier class of two prefectures.
#include <cstring>

#include "lookup/library_heap.h"
#include "tables/tables.h"

namespace meklan {
namespace {

constexpr int kEasternLastPrefNo = 17;  // 北海道 .. 長野県 belong to the eastern carrier

bool IsHokkaido(int prefNo) { return prefNo > 50; }

bool AddressMatches(const MKADDRESS& a, const char* prefName, const char* cityName) {
  return std::strcmp(a.prefName, prefName) == 0 &&
         (cityName == nullptr || std::strcmp(a.cityName, cityName) == 0);
}

}  // namespace
}  // namespace meklan

using namespace meklan;

extern "C" {

char* MEKLAN_CALL MEKLAN_GetVersion(char* out) {
  if (out != nullptr) std::memcpy(out, MEKLAN_VERSION_TEXT, sizeof MEKLAN_VERSION_TEXT);
  return out;
}

int MEKLAN_CALL MEKLAN_GetVersionX(void) { return MEKLAN_VERSION_NUMBER; }

int MEKLAN_CALL MEKLAN_GetVersionCompati(void) { return MEKLAN_VERSION_COMPATI; }

char* MEKLAN_CALL MEKLAN_GetDayData(char* out) {
  if (out != nullptr) std::memcpy(out, MEKLAN_DATA_DATE, sizeof MEKLAN_DATA_DATE);
  return out;
}

int MEKLAN_CALL MEKLAN_GetNumOfMKMA(void) { return kMaCount; }

const MKMA* MEKLAN_CALL MEKLAN_GetMKMA(void) { return kMaTable; }

int MEKLAN_CALL MEKLAN_GetNumOfAddress(void) { return kAddressCount; }

const MKADDRESS* MEKLAN_CALL MEKLAN_GetAddress(void) { return kAddressTable; }

// The block is sized by a counting scan and allocated once; with list == NULL the count
// alone is returned and nothing is allocated.
int MEKLAN_CALL MEKLAN_GetAddressAreaList(const char* prefName, const char* cityName, int /*reserved*/,
                              MKADDRESS** list) {
  if (prefName == nullptr) {
    if (list != nullptr) *list = nullptr;
    return 0;
  }
  int count = 0;
  for (int i = 0; i < kAddressCount; ++i) {
    if (AddressMatches(kAddressTable[i], prefName, cityName)) ++count;
  }
  if (list == nullptr) return count;
  if (count == 0) {
    *list = nullptr;
    return 0;
  }
  auto* block = static_cast<MKADDRESS*>(
      AllocateCallerBlock(sizeof(MKADDRESS) * static_cast<std::size_t>(count)));
  if (block == nullptr) return -1;
  int n = 0;
  for (int i = 0; i < kAddressCount; ++i) {
    if (AddressMatches(kAddressTable[i], prefName, cityName)) block[n++] = kAddressTable[i];
  }
  *list = block;
  return count;
}

void MEKLAN_CALL MEKLAN_MemFree(void* block) { ReleaseCallerBlock(block); }

int MEKLAN_CALL MEKLAN_GetNumOfNTT(int prefNoA, int prefNoB) {
  if (prefNoA == prefNoB || (IsHokkaido(prefNoA) && IsHokkaido(prefNoB))) {
    return prefNoA <= kEasternLastPrefNo || prefNoA >= 51 ? 0 : 1;
  }
  return 2;
}

}  // extern "C"
