// MEKLAN_GetAreaPlus: the MAs adjacent to one MA and those linked to it by the remote-island
// rule, one line per MA with all of its area codes, ready to show (CRLF line ends).
#include <cstring>

#include "distance/distance.h"
#include "lookup/bounded_text.h"
#include "lookup/lookup.h"
#include "tables/tables.h"
#include "tables/texts_data.h"

namespace meklan {
namespace {

// The listing under construction, with the one-time island header. Lines go in whole;
// the first that does not fit ends the listing.
class Listing {
 public:
  Listing(char* out, std::size_t size) : text_(out, size) {}
  void Append(std::string_view piece) {
    if (!ended_ && !text_.Append(piece)) ended_ = true;
  }
  void AppendLine(const BoundedText& line) {
    if (line.Full()) ended_ = true;  // longer than a whole listing may be
    Append(line.View());
  }
  void OpenIslandSection() {
    if (islandHeaderWritten_) return;
    islandHeaderWritten_ = true;
    Append(text::kAreaPlusIslandHeader);
  }

 private:
  BoundedText text_;
  bool islandHeaderWritten_ = false;
  bool ended_ = false;
};

bool SameName(int i, int j) { return std::strcmp(kMaTable[i].maName, kMaTable[j].maName) == 0; }

int NextNameIndex(int i) {
  int j = i + 1;
  while (j < kMaCount && SameName(i, j)) ++j;
  return j;
}

// "名前      （0980-[1,4,5]・...）" for the records of one name, from its first record on.
void AppendMaLine(Listing& listing, int first) {
  char buffer[MEKLAN_AREAPLUS_SIZE];
  BoundedText line(buffer, sizeof buffer);
  // Names are at most 10 bytes; the column is 10 bytes wide.
  const std::string_view name = kMaTable[first].maName;
  line.Append({name, std::string_view("          ", name.size() < 10 ? 10 - name.size() : 0),
               text::kAreaPlusOpen});
  for (int i = first; i < kMaCount && SameName(first, i); ++i) {
    const MKMA& record = kMaTable[i];
    if (i > first) line.Append(text::kAreaPlusSeparator);
    line.Append("0");
    line.AppendNumber(record.areaCode);
    if (record.prefixList[0] != '\0' && record.prefixList[1] != '*') {
      line.Append({"-[", FormatPrefixRanges(record.prefixList), "]"});
    }
  }
  line.Append(text::kAreaPlusClose);
  listing.AppendLine(line);
}

// One line per MA name whose records pass the test, in table order. The records of a name
// share their position and region, so the first record decides for all.
template <class Test>
void ListNames(Listing& listing, Test passes) {
  for (int i = 0; i < kMaCount; i = NextNameIndex(i)) {
    if (passes(kMaTable[i])) AppendMaLine(listing, i);
  }
}

int FirstRecordNamed(const char* name) {
  for (int i = 0; i < kMaCount; ++i) {
    if (std::strcmp(kMaTable[i].maName, name) == 0) return i;
  }
  return -1;
}

// The partners of `name` in a pair table, in row order.
template <class BeforeLine>
void ListPartners(Listing& listing, const MKPAIR* rows, int count, const char* name,
                  BeforeLine beforeLine) {
  for (int r = 0; r < count; ++r) {
    char partner[sizeof rows[r].nameA + 1] = {};
    if (PairPartner(rows[r], name, partner)) {
      const int first = FirstRecordNamed(partner);
      if (first == -1) continue;  // the table generator refuses such rows
      beforeLine();
      AppendMaLine(listing, first);
    }
  }
}

bool WithinAdjacentKm(int km) { return km > 0 && km <= kAdjacentKm; }

}  // namespace

void BuildAreaPlus(int maIndex, char* out, std::size_t size) {
  if (size == 0) return;
  Listing listing(out, size);
  const MKMA& a = kMaTable[maIndex];
  const bool okinawa = IsOkinawaMa(a);

  listing.Append(text::kAreaPlusAdjacentHeader);
  ListNames(listing, [&](const MKMA& r) {
    return WithinAdjacentKm(CalcMaDistance(a.posNS - r.posNS, a.posEW - r.posEW));
  });
  ListPartners(listing, kAdjacentPairs, kAdjacentPairCount, a.maName, [] {});
  ListPartners(listing, kIslandPairs, kIslandPairCount, a.maName,
               [&] { listing.OpenIslandSection(); });

  // Okinawa and the 大根占 MA stand for each other under the island rule.
  if (okinawa || std::strcmp(a.maName, text::kOkinawaGatewayName) == 0) {
    listing.OpenIslandSection();
    ListNames(listing, [&](const MKMA& r) {
      return (IsOkinawaMa(r) || std::strcmp(r.maName, text::kOkinawaGatewayName) == 0) &&
             std::strcmp(r.maName, a.maName) != 0;
    });
  }
  if (okinawa) {
    ListNames(listing, [](const MKMA& r) { return WithinAdjacentKm(DistanceToOkinawaRef(r)); });
  }
  if (WithinAdjacentKm(DistanceToOkinawaRef(a))) {
    listing.OpenIslandSection();
    ListNames(listing, [](const MKMA& r) { return IsOkinawaMa(r); });
  }
}

}  // namespace meklan

extern "C" int MEKLAN_CALL MEKLAN_GetAreaPlus(const char* text, char* out) {
  if (text == nullptr || out == nullptr) return 0;
  const int index = meklan::FindMaIndex(text);
  if (index == -1) return 0;
  meklan::BuildAreaPlus(index, out, MEKLAN_AREAPLUS_SIZE);
  return 1;
}
