// MEKLAN_GetDistance: resolve both ends, then class the pair and find its charging distance
// with the tariff's special rules applied in their fixed order.
#include <cstring>

#include "cp932.h"
#include "distance/distance.h"
#include "lookup/bounded_text.h"
#include "lookup/lookup.h"
#include "tables/tables.h"
#include "tables/texts_data.h"

namespace meklan {
namespace {

// The caller's text of one end, read no further than its 32-byte field even when the
// caller left no NUL in it.
struct EndText {
  char text[sizeof(MKDISTANCE::fromName) + 1];
  explicit EndText(const char (&field)[sizeof(MKDISTANCE::fromName)]) {
    const std::size_t n = strnlen(field, sizeof field);
    std::memcpy(text, field, n);
    text[n] = '\0';
  }
};

// The full text first; a number that names nothing is retried on its shorter beginnings.
int ResolveEnd(Matcher matcher, Matcher shortMatcher, const char* text) {
  const int found = matcher(text);
  return found != -1 ? found : ResolveByShortening(shortMatcher, text);
}

// Numbers inside these two pairs of special areas are charged by distance between the base
// MAs, although the MAs themselves are adjacent.
bool IsSpecialAreaPair(int sa, int sb) {
  return (sa == 0 && sb == 1) || (sa == 1 && sb == 0) || (sa == 2 && sb == 3) ||
         (sa == 3 && sb == 2);
}

bool IsNahaNagoPair(const MKMA& a, const MKMA& b) {
  return (std::strcmp(a.maName, text::kNaha) == 0 && std::strcmp(b.maName, text::kNago) == 0) ||
         (std::strcmp(a.maName, text::kNago) == 0 && std::strcmp(b.maName, text::kNaha) == 0);
}

const char* PrefectureName(int prefNo) {
  if (prefNo > 50) return kPrefectureTable[0];  // every Hokkaido sub-area is 北海道
  if (prefNo >= 1 && prefNo <= kPrefectureCount) return kPrefectureTable[prefNo - 1];
  return "";
}

int MaDistance(const MKMA& a, const MKMA& b) {
  return CalcMaDistance(a.posNS - b.posNS, a.posEW - b.posEW);
}

void FillEnd(const MKMA& ma, char (&name)[32], char (&areaCode)[11], char (&prefName)[16],
             MKMA& copy) {
  CopyField(name, sizeof name, ma.maName);
  char code[24] = "0";
  code[1 + FormatDecimal(ma.areaCode, code + 1)] = '\0';
  CopyField(areaCode, sizeof areaCode, code);
  CopyField(prefName, sizeof prefName, PrefectureName(ma.prefNo));
  copy = ma;
}

void FillEnds(const MKMA& a, const MKMA& b, MKDISTANCE& r) {
  FillEnd(a, r.fromName, r.fromAreaCode, r.fromPrefName, r.fromMa);
  FillEnd(b, r.toName, r.toAreaCode, r.toPrefName, r.toMa);
}

// Kind and charging distance of two resolved MAs whose straight-line distance is known.
void ClassifyPair(const MKMA& a, const MKMA& b, MKDISTANCE& r) {
  const int distance = r.distance;
  int kind = 0;
  int charge = distance;
  if (IsAdjacentPair(a.maName, b.maName)) {
    kind = 1;
    charge = 1;
  } else if (distance <= 0 || distance > kAdjacentKm) {
    // charged by distance
  } else if (IsNearException(a.maName, b.maName)) {
    // close, yet not adjacent: charged by distance
  } else {
    kind = 2;
    charge = 1;
  }

  if (IsIslandPair(a.maName, b.maName)) {
    kind = 4;
    charge = 1;
  }

  const bool okA = IsOkinawaMa(a);
  const bool okB = IsOkinawaMa(b);
  if (okA && !okB) {
    charge = DistanceToOkinawaRef(b);
  } else if (okB && !okA) {
    charge = DistanceToOkinawaRef(a);
  } else if (okA && okB && distance > 0 && !IsNahaNagoPair(a, b)) {
    charge = 1;
  }

  if (charge == 0 && distance > 0) charge = 1;
  if (charge > distance) charge = distance;
  r.kind = kind;
  r.chargeDistance = charge;
}

}  // namespace

void CopyField(char* field, std::size_t size, const char* src) {
  if (size == 0) return;
  std::size_t n = 0;
  while (src[n] != '\0') {
    const bool pair = cp932::IsLeadByte(static_cast<unsigned char>(src[n])) && src[n + 1] != '\0';
    const std::size_t width = pair ? 2 : 1;
    if (n + width > size - 1) break;
    n += width;
  }
  std::memcpy(field, src, n);
  std::memset(field + n, 0, size - n);
}

}  // namespace meklan

extern "C" int MEKLAN_CALL MEKLAN_GetDistance(MKDISTANCE* rec) {
  using namespace meklan;
  if (rec == nullptr) return 0;
  const EndText from(rec->fromName);
  const EndText to(rec->toName);

  int a = ResolveEnd(FindMaIndex, FindMaIndexForShortening, from.text);
  int b = ResolveEnd(FindMaIndex, FindMaIndexForShortening, to.text);
  const int sa = ResolveEnd(FindSpecialArea, FindSpecialArea, from.text);
  const int sb = ResolveEnd(FindSpecialArea, FindSpecialArea, to.text);

  // Filled in a copy, so that a failure leaves the caller's record exactly as it was.
  MKDISTANCE result = *rec;
  if (IsSpecialAreaPair(sa, sb)) {
    a = FindMaIndex(kSpecialAreaBaseMa[sa]);
    b = FindMaIndex(kSpecialAreaBaseMa[sb]);
    if (a == -1 || b == -1) return 0;
    const MKMA& ma = kMaTable[a];
    const MKMA& mb = kMaTable[b];
    FillEnds(ma, mb, result);
    result.kind = 0;
    result.distance = MaDistance(ma, mb);
    result.chargeDistance = 0;
    result.nttNo = 1;
    *rec = result;
    return 1;
  }
  if (a == -1 || b == -1) return 0;

  const MKMA& ma = kMaTable[a];
  const MKMA& mb = kMaTable[b];
  result.distance = MaDistance(ma, mb);
  ClassifyPair(ma, mb, result);
  FillEnds(ma, mb, result);
  result.nttNo = MEKLAN_GetNumOfNTT(ma.prefNo, mb.prefNo);
  *rec = result;
  return 1;
}
