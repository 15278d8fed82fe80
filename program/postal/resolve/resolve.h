// Resolving a written address to its KEN_ALL.CSV record, and through the join of the telephone
// tables to its MAs and area codes.
//
// People do not hold addresses as the file's fields but as they were written on a form, an
// envelope or a customer list: "大阪府高槻市奈佐原２丁目１－２", "港区芝2-10-2 〇〇ビル3F",
// "京都市中京区河原町通三条上る恵比須町", "〒335-0022 戸田市大字新曽2242". A Resolver holds the
// towns of KEN_ALL.CSV in memory (built once, in about a tenth of a second) and resolves any
// number of such texts against them, offline.
//
// What it accepts:
// - the prefecture written or left out, 郡 written or left out, a designated city with its ward
//   (or the ward alone, or the city alone when the town tells the ward);
// - digits in ASCII, full width or kanji (二丁目, 十四号); chome as "２丁目", "二丁目", "2丁目" or
//   the first number of "2-10-2" in a town with chome; blocks as "１８－１", "18番1号",
//   "18番地の1", with any dash people type; blanks anywhere;
// - ヶ/ケ/が and ノ/の where the file writes the other, 大字 and 字 present or absent;
// - a leading 〒 and postal code (passed over), a trailing building name and floor;
// - Kyoto's street directions (…通…上る/下る/東入/西入) before or after the town.
//
// Levels of a Resolution:
//   0  nothing recognised (or a city name that several prefectures have, with no town that
//      tells them apart: `note` says so and `candidates` lists the cities);
//   1  the prefecture;
//   2  the city (`dantai` is its local-government code);
//   3  the town, whose records the text does not tell apart: `candidates` lists them all;
//   4  one record decided (`postcode`, `dantai`, `town`), by the wording of the town field's
//      parentheses when the town has several: chome ranges and lists, （その他）, block ranges
//      and lists, （丁目）/（番地）/（大字）, a named building's floors (（１７階）,
//      （地階・階層不明）), the names of a town's parts, Kyoto's directions; and
//      以下に掲載がない場合 for a town the file does not list.
// A guess is never given as level 4: where the file cannot decide, the result stays at 3.
//
// With ResolveOptions::offices and AddOffices done, an address of a large office of
// JIGYOSYO.CSV resolves to the office's own postal code (`office` names it).
//
// All text in and out is CP932. A Resolver is filled once and may then be used by one thread
// at a time (the MA join is cached inside).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "town_tables.h"

namespace tovra::resolve {

struct ResolveOptions {
  bool offices = false;  // also resolve to the large offices of JIGYOSYO.CSV
  int edition = 1;       // MEKLAN_EDITION_*: the telephone tables of the MA join
};

// A record the text may mean (level 3), or a city a name may mean (level 0 or 1).
struct Candidate {
  std::string postcode;  // empty for a city
  std::string dantai;
  std::string prefecture, city, town;
  std::string office;    // the office's name, for an office of JIGYOSYO.CSV
};

struct Resolution {
  int level = 0;
  std::string prefecture, city;  // as the file writes them (levels 1 to 4)
  std::string postcode;          // level 4
  std::string dantai;            // levels 2 to 4
  std::string town;              // the town field as the file writes it (level 4)
  std::string office;            // level 4 on an office of JIGYOSYO.CSV: its name
  std::vector<Candidate> candidates;
  std::string ma_names;          // "札幌" or "浜松/天竜"; empty where the MAs are not known
  std::string area_codes;        // "011-[2～8]"; the same order
  std::string rest;              // the text after the town (or city) as written: 番地, building
  std::string note;              // why the resolution stopped where it did (empty at level 4)
};

class Resolver {
 public:
  // Builds the town tables from KEN_ALL.CSV. False, with a message, when the file cannot be
  // read or holds no record.
  bool Load(const std::string& ken_all_path, std::string& error);
  // The same from the file's bytes.
  bool LoadBytes(std::string_view ken_all, std::string& error);
  // Adds the large offices of JIGYOSYO.CSV (after Load).
  bool LoadOffices(const std::string& jigyosyo_path, std::string& error);
  void LoadOfficeBytes(std::string_view jigyosyo);

  Resolution Resolve(std::string_view address, const ResolveOptions& options = {}) const;

  const TownTables& tables() const { return tables_; }
  // Bytes the tables take in memory (an estimate from the containers' sizes).
  std::size_t MemoryBytes() const { return tables_.MemoryBytes(); }

 private:
  struct Join {
    bool done = false;
    std::string ma_names, area_codes;
  };
  const Join& JoinOf(int edition, std::uint32_t record) const;
  void AddMas(const ResolveOptions& options, Resolution& out, const std::vector<std::uint32_t>& records) const;

  TownTables tables_;
  mutable std::unordered_map<std::uint32_t, Join> joins_[2];
};


}  // namespace tovra::resolve
