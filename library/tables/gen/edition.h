// The current edition of the built-in data (library/tables/current/): MA records in the 2003
// layout, and the municipality/part -> MA table whose published wording of each part is
// turned into records of the towns (and chome) the part covers or excludes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generator.h"

namespace meklan::gen {

// A town named by a part's wording (UTF-8). `chome` has bit n set for n丁目, 0 = every chome.
struct TownTerm {
  std::string town;
  std::uint64_t chome = 0;
  bool under = false;  // a former municipality: also the start of the towns written under it
};

// The library's PartMode (the tables name its enumerators).
enum WordingMode { kWordingWhole = 0, kWordingOnly = 1, kWordingExcept = 2, kWordingRest = 3 };

struct PartWording {
  int mode = kWordingWhole;
  std::vector<TownTerm> towns;
  // Some town it names has no row in the postal file (town_corrections.tsv writes "-" for
  // it): an address there takes the municipality's catch-all row, which the part then serves.
  bool unlistedTowns = false;
};

// The last letter of a former municipality's name ("安富町", "熊石村", "安塚区": the towns of
// a merged municipality are written under it). The generator marks such names in wordings;
// the join reads the same letters (emitted as kFormerMunicipalityMarks) before a town name.
inline constexpr std::string_view kFormerMunicipalityMarks[] = {"町", "村", "区"};
bool IsFormerMunicipality(std::string_view utf8_town);

// A letter the government's list and the postal file write differently in one name, and
// the letter it is compared as (letter_variants.tsv); CP932.
struct LetterVariantRow {
  int line = 0;
  std::string letter, sameAs;
};
std::vector<LetterVariantRow> ReadLetterVariants(const std::string& dir, Diagnostics& diag);

// Reads one published wording ("", "富野", "富野を除く。", "久井町及び大和町に限る。",
// "石神一丁目及び三丁目から五丁目まで、栗原並びに野寺一丁目及び五丁目に限る。",
// "岩田町（三丁目を除く。）"). Returns nullopt with `rule` set when the text takes a form
// this reader does not know: nothing is guessed.
std::optional<PartWording> ReadPartWording(const std::string& utf8, std::string& rule);

// The value of a chome number in kanji numerals (一 .. 六十三); 0 when it is none.
int KanjiNumber(const std::string& utf8);

struct EditionAddressRow {
  int line = 0;
  std::string dantaiCode, maName, areaCode, prefName, cityName, wording;  // CP932
  int branch = 0;
  PartWording part;  // town names already CP932 and corrected
};

struct CurrentEdition {
  std::string dataDate;
  std::vector<MaRow> ma;
  std::vector<EditionAddressRow> address;
};

// Reads current/ of the table folder; syntax errors and unreadable wordings go to `diag`.
CurrentEdition ReadCurrentEdition(const std::string& dir, Diagnostics& diag);
// Cross-table rules: MA records as in 2003, every address record names an MA record by
// (name, branch) whose area code it repeats, codes ordered, parts of one code consistent.
void CheckCurrentEdition(const CurrentEdition& edition, Diagnostics& diag);
// The C++ source of both editions' join data, of the current tables and of the join's rules
// on names (letter variants, former municipalities).
std::string EmitEditions(const Tables& tables2003, const CurrentEdition& current,
                         const std::vector<LetterVariantRow>& variants);

// Whole run for the editions: reads the 2003 tables and letter_variants.tsv of `in_dir` and
// the current edition of `in_dir`/current, checks the current edition and writes `out_dir`/editions_data.cpp.
// Messages go to `err`; returns 0, or 1 for refused data or I/O.
int RunEditionGenerator(const std::string& in_dir, const std::string& out_dir, std::ostream& err);

}  // namespace meklan::gen
