#include "address_parse.h"

#include <algorithm>

#include "address_fold.h"
#include "cp932.h"
#include "resolve_words.h"

namespace tovra::resolve {
namespace {

constexpr std::string_view kDirections[] = {word::kUpward, word::kDownward, word::kEastward, word::kWestward};

// The end of the last street direction in a text, or 0 when it has none.
std::size_t AfterLastDirection(std::string_view text) {
  std::size_t end = 0;
  for (std::string_view d : kDirections) {
    for (std::size_t from = 0;;) {
      const std::size_t at = cp932::Find(text.substr(from), d);
      if (at == std::string_view::npos) break;
      from += at + d.size();
      end = std::max(end, from);
    }
  }
  return end;
}

TownHit LongestTown(const TownTables& t, std::uint32_t city, std::string_view text, std::size_t offset) {
  const std::vector<NameHit> hits = NamesStarting(t, kTownTag, city, text.substr(offset));
  if (hits.empty()) return {};
  return {static_cast<std::int32_t>(hits.front().values.front()), offset + hits.front().length};
}

bool StartsWithDigit(std::string_view text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; }

Decision One(std::int32_t record) {
  Decision d;
  d.level = 4;
  d.records = {static_cast<std::uint32_t>(record)};
  return d;
}

// Records that share one postal code decide it as well as one record does.
bool OneCode(const TownTables& t, const std::vector<std::uint32_t>& records) {
  return std::all_of(records.begin(), records.end(), [&](std::uint32_t r) {
    return std::string_view(t.records[r].postcode) == t.records[records.front()].postcode;
  });
}

Decision Several(const TownTables& t, std::vector<std::uint32_t> records, std::string note) {
  if (records.size() == 1 || OneCode(t, records)) return One(static_cast<std::int32_t>(records.front()));
  Decision d;
  d.level = 3;
  d.records = std::move(records);
  d.note = std::move(note);
  return d;
}

// The record of a named building's floor, when the rest names one of the town's buildings.
std::int32_t BuildingRecord(const TownTables& t, const Town& town, std::string_view rest) {
  for (const Building& b : town.buildings) {
    const std::size_t at = cp932::Find(rest, b.key);
    if (at == std::string_view::npos) continue;
    const int floor = ReadFloor(rest.substr(at + b.key.size()));
    std::int32_t unknown = -1;
    for (std::uint32_t r : b.records) {
      const TownRule& rule = t.records[r].rule;
      if (rule.kind == RuleKind::kFloor && floor > 0 && rule.floor == floor) return static_cast<std::int32_t>(r);
      if (rule.kind == RuleKind::kBasementOrUnknown) unknown = static_cast<std::int32_t>(r);
    }
    if (unknown >= 0) return unknown;
  }
  return -1;
}

}  // namespace

std::vector<NameHit> NamesStarting(const TownTables& t, char tag, std::uint32_t scope, std::string_view text) {
  std::vector<NameHit> hits;
  t.names.ForEachPrefix(tag, scope, text, [&](std::size_t length, std::uint32_t value) {
    if (hits.empty() || hits.back().length != length) hits.push_back({{}, length});
    hits.back().values.push_back(value);
  });
  return hits;
}

TownHit FindTown(const TownTables& t, std::uint32_t city, std::string_view text) {
  // Kyoto: "烏丸通七条下る東塩小路町" names the town after its directions; the street's name
  // in front may be a town's name too.
  std::size_t after = AfterLastDirection(text);
  if (after > 0) {
    std::string_view block = text.substr(after);  // "寺之内上る4丁目天神北町": the 4th block up
    if (TakeNumber(block) >= 0 && TakeWord(block, word::kChome)) after = text.size() - block.size();
    const TownHit hit = LongestTown(t, city, text, after);
    if (hit.town >= 0) return hit;
  }
  return LongestTown(t, city, text, 0);
}

Decision DecideInTown(const TownTables& t, const Town& town, std::string_view rest, std::string_view around) {
  const std::int32_t building = BuildingRecord(t, town, rest);
  if (building >= 0) return One(building);
  if (town.records.size() == 1) return One(static_cast<std::int32_t>(town.records.front()));
  const AddressNumbers numbers = ReadAddressNumbers(rest, town.has_chome);
  std::vector<std::uint32_t> yes, unknown, fallback;
  for (std::uint32_t r : town.records) {
    const TownRule& rule = t.records[r].rule;
    if (rule.kind == RuleKind::kPlain || rule.kind == RuleKind::kOther) {
      fallback.push_back(r);
      continue;
    }
    const RuleMatch m = MatchTownRule(rule, rest, numbers, around);
    if (m == RuleMatch::kYes) yes.push_back(r);
    if (m == RuleMatch::kUnknown) unknown.push_back(r);
  }
  if (!yes.empty()) return Several(t, std::move(yes), "several records of the town fit the address");
  if (!unknown.empty()) {
    unknown.insert(unknown.end(), fallback.begin(), fallback.end());
    return Several(t, std::move(unknown), "the address does not say which part of the town");
  }
  if (!fallback.empty()) return Several(t, std::move(fallback), "the town's records do not tell the address apart");
  return Several(t, town.records, "no record of the town lists the address");
}

Decision DecideWithoutTown(const TownTables&, const City& city, std::string_view text) {
  Decision none;
  none.note = text.empty() ? "no town given" : "no town of the city recognised";
  if (text.empty()) return none;
  if (StartsWithDigit(text) && city.next_is_banchi >= 0) return One(city.next_is_banchi);
  if (city.catch_all >= 0 && (city.towns.empty() || !StartsWithDigit(text))) return One(city.catch_all);
  if (city.towns.empty() && city.next_is_banchi >= 0) return One(city.next_is_banchi);
  return none;
}

Decision DecideOffice(const TownTables& t, std::uint32_t city, std::string_view text) {
  Decision none;
  std::vector<std::uint32_t> offices;
  if (text.empty() || !t.names.Find(kOfficeTag, city, AddressHead(text), offices)) return none;
  std::vector<std::uint32_t> exact;
  for (std::uint32_t o : offices)
    if (t.offices[o].address_key == text) exact.push_back(o);
  const std::vector<std::uint32_t>& pick = exact.empty() ? offices : exact;
  const bool one_code = std::all_of(pick.begin(), pick.end(), [&](std::uint32_t o) {
    return std::string_view(t.offices[o].postcode) == t.offices[pick.front()].postcode;
  });
  Decision d;
  d.level = one_code ? 4 : 3;
  d.records = one_code ? std::vector<std::uint32_t>{pick.front()} : pick;
  if (!one_code) d.note = "several offices at the address";
  return d;
}

}  // namespace tovra::resolve
