// The in-memory town tables of KEN_ALL.CSV (and, on request, the offices of JIGYOSYO.CSV) that
// written addresses are resolved against: prefectures, cities under every name people write
// them by, the towns of each city in key form, and each town's records with their rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "name_index.h"
#include "town_rule.h"

namespace tovra::resolve {

// One KEN_ALL.CSV record (its lines joined where the town field spans several).
struct TownRecord {
  char postcode[8] = {};
  char dantai[6] = {};
  std::uint32_t city = 0;
  std::string town_field;  // as the file writes it
  TownRule rule;
};

// The records of a named building in a town, told apart by floor.
struct Building {
  std::string key;  // the building's name in key form
  std::vector<std::uint32_t> records;
};

struct Town {
  std::uint32_t city = 0;
  std::string key;
  std::vector<std::uint32_t> records;  // the town's own records (no building floors)
  std::vector<Building> buildings;
  bool has_chome = false;  // addresses here start with a chome ("2-10-2" is 2丁目10番2号)
};

struct City {
  int prefecture = 0;
  std::string name;    // as the file writes it: "札幌市中央区", "石狩郡当別町"
  std::string dantai;  // five digits
  std::vector<std::uint32_t> towns;
  std::int32_t catch_all = -1;       // 以下に掲載がない場合 / 一円
  std::int32_t next_is_banchi = -1;  // …の次に番地がくる場合
};

// One large office of JIGYOSYO.CSV.
struct Office {
  char postcode[8] = {};
  std::uint32_t city = 0;
  std::string name, town, street;  // as the file writes them
  std::string address_key;         // town and street in key form
};

// Tags of the NameIndex.
constexpr char kPrefectureTag = 'P';  // scope 0
constexpr char kCityTag = 'C';        // scope: prefecture + 1, or 0 for the whole country
constexpr char kTownTag = 'T';        // scope: city
constexpr char kOfficeTag = 'O';      // scope: city; key: AddressHead of town and street

struct TownTables {
  std::vector<std::string> prefectures;  // as the file writes them, in file order
  std::vector<City> cities;
  std::vector<Town> towns;
  std::vector<TownRecord> records;
  std::vector<Office> offices;
  NameIndex names;

  std::size_t MemoryBytes() const;
};

// Builds the tables from the bytes of KEN_ALL.CSV. False (with `error`) when the bytes hold no
// record at all.
bool BuildTownTables(std::string_view ken_all, TownTables& tables, std::string& error);
// Adds the offices of JIGYOSYO.CSV to tables built from KEN_ALL.CSV.
void AddOffices(std::string_view jigyosyo, TownTables& tables);

// The head of an address after its city, by which offices are found: the text up to its
// first number, and the block numbers from there ("盛町宇津野沢15" for "盛町字宇津野沢１５番地").
std::string AddressHead(std::string_view text);

// The block numbers at the start of a key-form text as one key: "6丁目1番2号" and "6-1-2" are
// both "6-1-2". Empty when the text starts with no number.
std::string BlockKey(std::string_view text);

}  // namespace tovra::resolve
