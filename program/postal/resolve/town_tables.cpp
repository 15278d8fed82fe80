#include "town_tables.h"

#include "address_fold.h"
#include "characters_data.h"
#include "cp932.h"
#include "post_fields.h"
#include "post_line.h"
#include "record_scan.h"
#include "resolve_words.h"

namespace tovra::resolve {
namespace {

constexpr char kDantaiTag = 'D';  // scope 0; key: the five-digit code -> city

// Every record of a postal file's bytes in file order (KEN_ALL.CSV's split records joined), to
// the end or to a line that begins with a comma.
template <typename Each>
void ForEachRecord(std::string_view bytes, PostFile file, Each each) {
  RecordScanner scanner(bytes, file);  // every record
  PostRecord record;
  std::size_t consumed = 0;
  while (scanner.Next(record, consumed) == RecordScanner::Step::kRecord) each(record);
}

void CopyCode(char* out, std::size_t size, std::string_view code) {
  code = code.substr(0, size - 1);
  code.copy(out, code.size());
  out[code.size()] = '\0';
}

// The index of a prefecture by its name, adding it when new (files go prefecture by prefecture).
int PrefectureOf(std::string_view name, TownTables& t) {
  for (std::size_t i = t.prefectures.size(); i-- > 0;)
    if (t.prefectures[i] == name) return static_cast<int>(i);
  t.prefectures.emplace_back(name);
  return static_cast<int>(t.prefectures.size() - 1);
}

std::uint32_t CityOf(const PostRecord& r, TownTables& t) {
  const std::string_view dantai = r[ken_field::kDantaiCode];
  if (!t.cities.empty() && t.cities.back().dantai == dantai) return static_cast<std::uint32_t>(t.cities.size() - 1);
  if (const std::int64_t hit = t.names.FindFirst(kDantaiTag, 0, dantai); hit >= 0) return static_cast<std::uint32_t>(hit);
  City city;
  city.prefecture = PrefectureOf(r[ken_field::kPrefecture], t);
  city.name = std::string(r[ken_field::kCity]);
  city.dantai = std::string(dantai);
  t.cities.push_back(std::move(city));
  const auto index = static_cast<std::uint32_t>(t.cities.size() - 1);
  t.names.Add(kDantaiTag, 0, dantai, index);
  return index;
}

bool IsBuildingFloor(const TownRule& rule) {
  return rule.kind == RuleKind::kFloor || rule.kind == RuleKind::kBasementOrUnknown;
}

std::uint32_t TownOf(std::uint32_t city, const std::string& key, TownTables& t) {
  // The records of a town mostly follow each other.
  if (!t.towns.empty() && t.towns.back().city == city && t.towns.back().key == key)
    return static_cast<std::uint32_t>(t.towns.size() - 1);
  if (const std::int64_t hit = t.names.FindFirst(kTownTag, city, key); hit >= 0) return static_cast<std::uint32_t>(hit);
  Town town;
  town.city = city;
  town.key = key;
  t.towns.push_back(std::move(town));
  const auto index = static_cast<std::uint32_t>(t.towns.size() - 1);
  t.names.Add(kTownTag, city, key, index);
  t.cities[city].towns.push_back(index);
  return index;
}

bool RuleNamesChome(const TownRule& rule) {
  if (rule.kind == RuleKind::kWithChome) return true;
  for (const RuleItem& item : rule.items)
    if (item.unit == RuleItem::Unit::kChome) return true;
  return false;
}

void AddRecord(std::uint32_t index, const std::string& base, bool chome_flag, TownTables& t) {
  TownRecord& record = t.records[index];
  City& city = t.cities[record.city];
  if (record.rule.kind == RuleKind::kCatchAll) {
    city.catch_all = static_cast<std::int32_t>(index);
    return;
  }
  if (record.rule.kind == RuleKind::kNextIsBanchi) {
    city.next_is_banchi = static_cast<std::int32_t>(index);
    return;
  }
  Town& town = t.towns[TownOf(record.city, base, t)];
  town.records.push_back(index);
  town.has_chome = town.has_chome || chome_flag || RuleNamesChome(record.rule);
}

// A named building's floor records go under the longest town whose name starts the building's.
void AddBuildingRecord(std::uint32_t index, const std::string& base, TownTables& t) {
  const std::uint32_t city = t.records[index].city;
  for (std::size_t len = cp932::BoundaryAtOrBefore(base, base.size() - 1); len > 0;
       len = cp932::BoundaryAtOrBefore(base, len - 1)) {
    const std::int64_t hit = t.names.FindFirst(kTownTag, city, std::string_view(base).substr(0, len));
    if (hit < 0) continue;
    Town& town = t.towns[static_cast<std::size_t>(hit)];
    const std::string key = base.substr(len);
    for (Building& b : town.buildings) {
      if (b.key != key) continue;
      b.records.push_back(index);
      return;
    }
    town.buildings.push_back(Building{key, {index}});
    return;
  }
  t.towns[TownOf(city, base, t)].records.push_back(index);
}

void AddCityNames(std::uint32_t index, TownTables& t) {
  const City& city = t.cities[index];
  const auto scope = static_cast<std::uint32_t>(city.prefecture + 1);
  auto add = [&](std::string_view name) {
    const std::string key = FoldAddress(name);
    t.names.Add(kCityTag, scope, key, index);
    t.names.Add(kCityTag, 0, key, index);
  };
  const std::string_view name = city.name;
  add(name);
  // 当別町 for 石狩郡当別町 (but no 山市 for 大和郡山市)
  const std::size_t gun = cp932::Find(name, word::kGun);
  const std::string_view last = name.substr(name.size() - std::min<std::size_t>(2, name.size()));
  if (gun != std::string_view::npos && gun + 4 <= name.size() && (last == word::kMachi || last == word::kMura))
    add(name.substr(gun + 2));
  const std::size_t shi = cp932::Find(name, word::kShi);
  const bool ward = name.size() > 2 && name.substr(name.size() - 2) == word::kKu;
  if (ward && shi != std::string_view::npos && shi + 2 < name.size()) {
    add(name.substr(0, shi + 2));  // 札幌市: every ward of the city
    add(name.substr(shi + 2));     // 中央区: the ward alone
  }
}

void AddPrefectureNames(TownTables& t) {
  for (std::size_t i = 0; i < t.prefectures.size(); ++i) {
    const std::string& name = t.prefectures[i];
    const std::string key = FoldAddress(name);
    t.names.Add(kPrefectureTag, 0, key, static_cast<std::uint32_t>(i));
    const std::string_view last = std::string_view(name).substr(name.size() >= 2 ? name.size() - 2 : 0);
    if (name.size() > 4 && (last == word::kTo || last == word::kFu || last == word::kKen))
      t.names.Add(kPrefectureTag, 0, FoldAddress(name.substr(0, name.size() - 2)), static_cast<std::uint32_t>(i));
  }
}

template <typename T>
std::size_t VectorBytes(const std::vector<T>& v) {
  return v.capacity() * sizeof(T);
}

std::size_t StringBytes(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }

}  // namespace

std::size_t TownTables::MemoryBytes() const {
  std::size_t bytes = names.MemoryBytes() + VectorBytes(cities) + VectorBytes(towns) + VectorBytes(records) +
                      VectorBytes(offices);
  for (const City& c : cities) bytes += StringBytes(c.name) + VectorBytes(c.towns);
  for (const Town& t : towns) {
    bytes += StringBytes(t.key) + VectorBytes(t.records) + VectorBytes(t.buildings);
    for (const Building& b : t.buildings) bytes += StringBytes(b.key) + VectorBytes(b.records);
  }
  for (const TownRecord& r : records) {
    bytes += StringBytes(r.town_field) + VectorBytes(r.rule.items);
    for (const RuleItem& item : r.rule.items) bytes += StringBytes(item.name);
  }
  for (const Office& o : offices)
    bytes += StringBytes(o.name) + StringBytes(o.town) + StringBytes(o.street) + StringBytes(o.address_key);
  return bytes;
}

bool BuildTownTables(std::string_view ken_all, TownTables& t, std::string& error) {
  t = TownTables();
  t.records.reserve(ken_all.size() / 90);
  t.towns.reserve(ken_all.size() / 100);
  t.names.Reserve(ken_all.size() / 100);
  std::vector<std::pair<std::uint32_t, std::string>> building_floors;  // once every town is known
  ForEachRecord(ken_all, PostFile::kKenAll, [&](const PostRecord& r) {
    if (r[ken_field::kPostCode].empty()) return;
    TownRecord record;
    CopyCode(record.postcode, sizeof record.postcode, r[ken_field::kPostCode]);
    CopyCode(record.dantai, sizeof record.dantai, r[ken_field::kDantaiCode]);
    record.city = CityOf(r, t);
    record.town_field = std::string(r[ken_field::kTown]);
    TownField field = ParseTownField(record.town_field);
    record.rule = std::move(field.rule);
    t.records.push_back(std::move(record));
    const auto index = static_cast<std::uint32_t>(t.records.size() - 1);
    if (IsBuildingFloor(t.records.back().rule)) building_floors.emplace_back(index, std::move(field.base));
    else AddRecord(index, field.base, r[ken_field::kHasChome] == "1", t);
  });
  if (t.records.empty()) {
    error = "no KEN_ALL.CSV record";
    return false;
  }
  for (const auto& [index, base] : building_floors) AddBuildingRecord(index, base, t);
  for (std::uint32_t i = 0; i < t.cities.size(); ++i) AddCityNames(i, t);
  AddPrefectureNames(t);
  return true;
}

void AddOffices(std::string_view jigyosyo, TownTables& t) {
  t.offices.clear();
  ForEachRecord(jigyosyo, PostFile::kJigyosyo, [&](const PostRecord& r) {
    const std::int64_t city = t.names.FindFirst(kDantaiTag, 0, r[jig_field::kDantaiCode]);
    if (city < 0) return;
    Office office;
    CopyCode(office.postcode, sizeof office.postcode, r[jig_field::kPostCode]);
    office.city = static_cast<std::uint32_t>(city);
    office.name = std::string(r[jig_field::kBusiness]);
    office.town = std::string(r[jig_field::kTown]);
    office.street = std::string(r[jig_field::kStreet]);
    office.address_key = FoldAddress(office.town + office.street);
    const std::string key = AddressHead(office.address_key);
    t.offices.push_back(std::move(office));
    t.names.Add(kOfficeTag, static_cast<std::uint32_t>(city), key, static_cast<std::uint32_t>(t.offices.size() - 1));
  });
}

std::string AddressHead(std::string_view text) {
  const std::size_t digit = text.find_first_of("0123456789");
  if (digit == std::string_view::npos) return std::string(text);
  return std::string(text.substr(0, digit)) + BlockKey(text.substr(digit));
}

std::string BlockKey(std::string_view text) {
  std::string key;
  for (;;) {
    const int n = TakeNumber(text);
    if (n < 0) break;
    if (!key.empty()) key += '-';
    key += std::to_string(n);
    bool separated = false;
    for (std::string_view sep : {std::string_view(word::kChome), std::string_view(word::kChomeShort),
                                 std::string_view(word::kBanchi), std::string_view(word::kBan),
                                 std::string_view(word::kGo), std::string_view("-"), std::string_view(character::kNo)})
      separated = TakeWord(text, sep) || separated;
    if (!separated) break;
  }
  return key;
}

}  // namespace tovra::resolve
