#include <climits>
#include <cmath>
#include <cstdint>

#include "distance/distance.h"

namespace meklan {

int CalcMaDistance(int dNS, int dEW) {
  // Table coordinates keep the sum far inside 32 bits; the wider type only keeps arbitrary
  // arguments from overflowing.
  const int64_t ns = dNS;
  const int64_t ew = dEW;
  const uint64_t s = static_cast<uint64_t>(ns * ns) + static_cast<uint64_t>(ew * ew);
  // Tenths first, then whole km: the cut-off happens on the tenths, as the tariff does it.
  const double tenths = std::sqrt(static_cast<double>(s)) * 2.0 * 10.0;
  const int64_t km = static_cast<int64_t>(tenths) / 10;
  return km > INT_MAX ? INT_MAX : static_cast<int>(km);
}

bool IsOkinawaMa(const MKMA& ma) { return ma.regionCode % 1000 / 100 == 0; }

int DistanceToOkinawaRef(const MKMA& ma) {
  return CalcMaDistance(kOkinawaRefNS - ma.posNS, kOkinawaRefEW - ma.posEW);
}

}  // namespace meklan
