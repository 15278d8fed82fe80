// meklan-gen: turns the reviewed UTF-8 TSV files of the built-in data into C++ source with
// constant CP932 arrays, after checking every invariant the lookups rely on. Data that breaks
// one is refused with "file:line: rule" messages, so a bad edit never reaches the library.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace meklan::gen {

// One record of ma.tsv or tokurei_areas.tsv; texts are CP932.
struct MaRow {
  int line = 0;
  std::string name;
  int branch = 0;
  std::string kana;
  int posNS = 0;
  int posEW = 0;
  int areaCode = 0;
  std::string prefixList;
  int prefNo = 0;
  int regionCode = 0;
  std::string baseMa;  // special areas only
};

struct AddressRow {
  int line = 0;
  std::string dantaiCode, maName;
  int branch = 0;
  std::string prefName, cityName, townName, chomeNote;
};

struct PairRow {
  int line = 0;
  std::string nameA, nameB;
};

struct PrefectureRow {
  int line = 0;
  std::string name;
};

struct PairTable {
  std::string file;   // "adjacent_pairs.tsv"
  std::string array;  // "kAdjacentPairs"
  std::vector<PairRow> rows;
};

struct Tables {
  std::vector<MaRow> ma;
  std::vector<MaRow> special;
  std::vector<PrefectureRow> prefectures;
  std::vector<AddressRow> address;
  PairTable adjacent{"adjacent_pairs.tsv", "kAdjacentPairs", {}};
  PairTable near{"near_exceptions.tsv", "kNearExceptions", {}};
  PairTable island{"island_pairs.tsv", "kIslandPairs", {}};
};

// Collects "file:line: rule" messages (UTF-8).
class Diagnostics {
 public:
  void Add(const std::string& file, int line, const std::string& rule);
  bool Empty() const { return messages_.empty(); }
  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  std::vector<std::string> messages_;
};

// Reads the seven TSV files of `dir`; syntax errors (field counts, numbers, encodings) go
// to `diag`.
Tables ReadTables(const std::string& dir, Diagnostics& diag);

// Checks the invariants across all tables.
void CheckTables(const Tables& tables, Diagnostics& diag);

// The C++ sources: every table except the prefecture names, and the prefecture names alone
// (the command-line tool compiles that one too).
std::string EmitTables(const Tables& tables);
std::string EmitPrefectures(const Tables& tables);

// Whole run: read, check, write `out_dir`/tables_data.cpp and prefectures_data.cpp.
// Messages go to `err`; returns the process exit code (0 success, 1 refused data or I/O).
int RunGenerator(const std::string& in_dir, const std::string& out_dir, std::ostream& err);

// Whole kilometres of the charging distance between two grid points (one unit = 2 km),
// truncated the way the library's distance computation truncates them.
int GridDistanceKm(int ns1, int ew1, int ns2, int ew2);

}  // namespace meklan::gen
